#pragma once
// The record set of the entity ApplicationSchemes: one typed reader per column.

#include "UnitsFromGenerator/TrsdApplicationSchemes.h"

namespace parvela {

PARVELA_RECORDSET_CLASS(ApplicationSchemes);

} // namespace parvela
