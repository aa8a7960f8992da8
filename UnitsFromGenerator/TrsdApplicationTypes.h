#pragma once
// The record-set definition of the entity ApplicationTypes.

#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

PARVELA_RECORDSET_DEFS_CLASS(ApplicationTypes);

} // namespace parvela
