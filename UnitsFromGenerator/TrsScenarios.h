#pragma once
// The record set of the entity Scenarios: one typed reader per column.

#include "UnitsFromGenerator/TrsdScenarios.h"

namespace parvela {

PARVELA_RECORDSET_CLASS(Scenarios);

} // namespace parvela
