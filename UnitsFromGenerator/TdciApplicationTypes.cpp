#include "UnitsFromGenerator/TdciApplicationTypes.h"

#include "UnitsFromGenerator/TdcApplicationTypes.h"

namespace parvela {

PARVELA_ITEM_CONSTRUCTOR(ApplicationTypes)

} // namespace parvela
