#include "UnitsFromGenerator/TdcScenarios.h"

#include "program/connection/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(Scenarios)

} // namespace parvela
