#pragma once
// The list of projects.

#include "UnitsFromGenerator/TdciProjects.h"

namespace parvela {

class TdcProjects : public TDACDatabaseClass {
public:
    PARVELA_LIST_PATTERN(Projects)
};

} // namespace parvela
