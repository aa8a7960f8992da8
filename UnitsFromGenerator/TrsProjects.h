#pragma once
// The record set of the entity Projects: one typed reader per column.

#include "UnitsFromGenerator/TrsdProjects.h"

namespace parvela {

PARVELA_RECORDSET_CLASS(Projects);

} // namespace parvela
