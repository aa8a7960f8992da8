#pragma once
// The substances a new database starts with: usable ones, ones with metabolites in each
// compartment, and ones whose options or data the program refuses or warns about.

#include "plugins/daxo/SubstanceData.h"

namespace daxo {

// A substance with every catalogue attribute at its starting value.
Substance NewSubstance(const std::string& guid, const std::string& code, const std::string& name,
                       bool isMetabolite);

SubstanceCollection ExampleSubstances();

} // namespace daxo
