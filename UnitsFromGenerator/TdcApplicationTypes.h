#pragma once
// The list of application types.

#include "UnitsFromGenerator/TdciApplicationTypes.h"

namespace parvela {

class TdcApplicationTypes : public TDACDatabaseClass {
public:
    PARVELA_LIST_PATTERN(ApplicationTypes)
};

} // namespace parvela
