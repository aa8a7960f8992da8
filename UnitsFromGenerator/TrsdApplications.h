#pragma once
// The record-set definition of the entity Applications.

#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

PARVELA_RECORDSET_DEFS_CLASS(Applications);

} // namespace parvela
