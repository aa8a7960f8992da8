#pragma once
// The record set of the entity Applications: one typed reader per column.

#include "UnitsFromGenerator/TrsdApplications.h"

namespace parvela {

PARVELA_RECORDSET_CLASS(Applications);

} // namespace parvela
