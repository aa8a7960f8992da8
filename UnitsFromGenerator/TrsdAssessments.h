#pragma once
// The record-set definition of the entity Assessments.

#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

PARVELA_RECORDSET_DEFS_CLASS(Assessments);

} // namespace parvela
