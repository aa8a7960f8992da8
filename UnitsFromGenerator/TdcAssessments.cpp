#include "UnitsFromGenerator/TdcAssessments.h"

#include "program/connection/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(Assessments)

} // namespace parvela
