#pragma once
// The record set of the entity Assessments: one typed reader per column.

#include "UnitsFromGenerator/TrsdAssessments.h"

namespace parvela {

PARVELA_RECORDSET_CLASS(Assessments);

} // namespace parvela
