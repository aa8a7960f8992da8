#include "UnitsFromGenerator/TdcApplicationTypes.h"

#include "program/connection/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(ApplicationTypes)

} // namespace parvela
