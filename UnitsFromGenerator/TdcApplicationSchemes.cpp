#include "UnitsFromGenerator/TdcApplicationSchemes.h"

#include "program/connection/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(ApplicationSchemes)

} // namespace parvela
