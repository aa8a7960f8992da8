#include "UnitsFromGenerator/TdcProjects.h"

#include "program/connection/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(Projects)

} // namespace parvela
