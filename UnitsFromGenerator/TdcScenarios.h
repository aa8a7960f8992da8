#pragma once
// The list of scenarios.

#include "UnitsFromGenerator/TdciScenarios.h"

namespace parvela {

class TdcScenarios : public TDACDatabaseClass {
public:
    PARVELA_LIST_PATTERN(Scenarios)
};

} // namespace parvela
