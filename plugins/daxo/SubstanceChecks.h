#pragma once
// What the stand-in knows about the quality of a substance's data: the problems that make it
// incomplete, metabolite chains that return to an earlier substance, and the checksum.

#include "plugins/daxo/SubstanceData.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace daxo {

using SubstanceLookup = std::function<std::optional<Substance>(const std::string& guid)>;

// Problems of the substance's own data and of its metabolite links, one sentence each.
std::vector<std::string> SubstanceProblems(const Substance& substance,
                                           const SubstanceLookup& lookup);
// Whether a metabolite reachable from the substance has problems of its own.
bool MetabolitesIncomplete(const Substance& substance, const SubstanceLookup& lookup);
// The GUID of a substance that the metabolite chain of `substance` reaches twice on one path,
// or nothing when the chains end.
std::optional<std::string> FindMetaboliteCycle(const Substance& substance,
                                               const SubstanceLookup& lookup);

// The canonical text of the substance: its attributes in name order and its metabolite links
// in compartment and GUID order, each metabolite followed by its own canonical text.
std::string CanonicalText(const Substance& substance, const SubstanceLookup& lookup);
// FNV-1a (64 bit) of the canonical text as 16 upper-case hexadecimal digits.
std::string SubstanceChecksum(const Substance& substance, const SubstanceLookup& lookup);
std::string Fnv1a64Hex(std::string_view text);

} // namespace daxo
