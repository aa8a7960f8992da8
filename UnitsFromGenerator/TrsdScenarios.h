#pragma once
// The record-set definition of the entity Scenarios.

#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

PARVELA_RECORDSET_DEFS_CLASS(Scenarios);

} // namespace parvela
