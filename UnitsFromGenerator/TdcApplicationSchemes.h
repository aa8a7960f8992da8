#pragma once
// The list of application schemes.

#include "UnitsFromGenerator/TdciApplicationSchemes.h"

namespace parvela {

class TdcApplicationSchemes : public TDACDatabaseClass {
public:
    PARVELA_LIST_PATTERN(ApplicationSchemes)
};

} // namespace parvela
