#include "UnitsFromGenerator/TdcApplications.h"

#include "program/connection/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(Applications)

} // namespace parvela
