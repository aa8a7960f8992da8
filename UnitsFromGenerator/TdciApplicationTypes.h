#pragma once
// An application type: reference data with the code that the paddy model input needs.
// Read only: no setters.

#include "UnitsFromGenerator/TrsApplicationTypes.h"

namespace parvela {

class TdcApplicationTypes;

class TdciApplicationTypes : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(ApplicationTypes)

private:
    PARVELA_ITEM_STORAGE(ApplicationTypes)
};

} // namespace parvela
