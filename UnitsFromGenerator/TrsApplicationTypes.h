#pragma once
// The record set of the entity ApplicationTypes: one typed reader per column.

#include "UnitsFromGenerator/TrsdApplicationTypes.h"

namespace parvela {

PARVELA_RECORDSET_CLASS(ApplicationTypes);

} // namespace parvela
