#include "UnitsFromGenerator/TdcAssessments.h"

#include "program/TDatabaseConnection.h"

namespace parvela {

PARVELA_LIST_DEFINITIONS(Assessments)

} // namespace parvela
