#pragma once
// The record-set definition of the entity ApplicationSchemes.

#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

PARVELA_RECORDSET_DEFS_CLASS(ApplicationSchemes);

} // namespace parvela
