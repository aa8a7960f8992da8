#pragma once
// The record-set definition of the entity Projects.

#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

PARVELA_RECORDSET_DEFS_CLASS(Projects);

} // namespace parvela
