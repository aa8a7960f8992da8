#include "plugins/daxo/SubstanceChecks.h"

#include "plugins/daxo/AttributeCatalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

namespace daxo {

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::optional<std::string> AttributeProblem(const AttributeDefinition& definition,
                                            const Substance& substance) {
    const Attribute* attribute = substance.FindAttribute(definition.name);
    std::string name(definition.name);
    if (!attribute)
        return "The attribute " + name + " is missing.";
    const std::string& value = attribute->value;
    if (value.empty())
        return "The attribute " + name + " has no value.";
    switch (definition.kind) {
    case AttributeKind::Text:
        return std::nullopt;
    case AttributeKind::Number:
        if (!IsDecimalNumber(value))
            return "The value " + Quoted(value) + " of " + name + " is no number.";
        return std::nullopt;
    case AttributeKind::Boolean:
        if (!ParseBooleanWord(value))
            return name + " must be " + TrueWord + " or " + FalseWord + ", not " + Quoted(value) +
                   ".";
        return std::nullopt;
    case AttributeKind::Option: {
        auto number = ParseDecimalNumber(value);
        bool valid = number && *number == static_cast<int>(*number) && *number >= 1 &&
                     *number <= definition.highestOption && value.find('.') == std::string::npos;
        if (!valid)
            return name + " must be a code from 1 to " + std::to_string(definition.highestOption) +
                   ", not " + Quoted(value) + ".";
        return std::nullopt;
    }
    }
    return std::nullopt;
}

void AddLinkProblems(const Substance& substance, const SubstanceLookup& lookup,
                     std::vector<std::string>& problems) {
    std::map<int, double> fractionSums;
    for (const auto& link : substance.metabolites) {
        if (!IsCompartment(link.compartment))
            problems.push_back("The metabolite " + link.metaboliteGuid +
                               " has the unknown compartment code " +
                               std::to_string(link.compartment) + ".");
        if (!lookup(link.metaboliteGuid))
            problems.push_back("The metabolite " + link.metaboliteGuid +
                               " is not in the database.");
        auto fraction = ParseDecimalNumber(link.fraction);
        if (!fraction || *fraction < 0 || *fraction > 1)
            problems.push_back("The formation fraction " + Quoted(link.fraction) +
                               " of the metabolite " + link.metaboliteGuid +
                               " is no number from 0 to 1.");
        else
            fractionSums[link.compartment] += *fraction;
    }
    for (const auto& [compartment, sum] : fractionSums)
        if (sum > 1 + 1e-9)
            problems.push_back("The formation fractions of compartment " +
                               std::to_string(compartment) + " add up to more than 1.");
}

bool FindCycleFrom(const Substance& substance, const SubstanceLookup& lookup,
                   std::vector<std::string>& path, std::string& repeated) {
    if (std::find(path.begin(), path.end(), substance.guid) != path.end()) {
        repeated = substance.guid;
        return true;
    }
    path.push_back(substance.guid);
    for (const auto& link : substance.metabolites)
        if (auto metabolite = lookup(link.metaboliteGuid))
            if (FindCycleFrom(*metabolite, lookup, path, repeated))
                return true;
    path.pop_back();
    return false;
}

void AppendCanonicalText(const Substance& substance, const SubstanceLookup& lookup,
                         std::set<std::string>& onPath, std::string& text) {
    text += "substance " + substance.guid + (substance.isMetabolite ? " metabolite\n" : "\n");
    std::vector<Attribute> attributes = substance.attributes;
    std::stable_sort(attributes.begin(), attributes.end(),
                     [](const Attribute& a, const Attribute& b) { return a.name < b.name; });
    for (const auto& attribute : attributes)
        text += attribute.name + "=" + attribute.value + "\n";
    std::vector<MetaboliteLink> links = substance.metabolites;
    std::stable_sort(links.begin(), links.end(), [](const auto& a, const auto& b) {
        return std::tie(a.compartment, a.metaboliteGuid) <
               std::tie(b.compartment, b.metaboliteGuid);
    });
    onPath.insert(substance.guid);
    for (const auto& link : links) {
        text += "metabolite " + std::to_string(link.compartment) + " " + link.metaboliteGuid + " " +
                link.fraction + "\n";
        if (onPath.count(link.metaboliteGuid))
            continue;
        if (auto metabolite = lookup(link.metaboliteGuid))
            AppendCanonicalText(*metabolite, lookup, onPath, text);
    }
    onPath.erase(substance.guid);
    text += "end " + substance.guid + "\n";
}

} // namespace

std::vector<std::string> SubstanceProblems(const Substance& substance,
                                           const SubstanceLookup& lookup) {
    std::vector<std::string> problems;
    if (ParseBooleanWord(substance.Value(IncompleteAttribute)).value_or(false))
        problems.push_back("The substance is marked as incomplete.");
    for (const auto& definition : AttributeCatalogue())
        if (auto problem = AttributeProblem(definition, substance))
            problems.push_back(*problem);
    AddLinkProblems(substance, lookup, problems);
    if (auto repeated = FindMetaboliteCycle(substance, lookup))
        problems.push_back("The metabolite chain returns to the substance " + *repeated + ".");
    return problems;
}

bool MetabolitesIncomplete(const Substance& substance, const SubstanceLookup& lookup) {
    std::set<std::string> seen{substance.guid};
    std::vector<std::string> pending;
    for (const auto& link : substance.metabolites)
        pending.push_back(link.metaboliteGuid);
    while (!pending.empty()) {
        std::string guid = pending.back();
        pending.pop_back();
        if (!seen.insert(guid).second)
            continue;
        auto metabolite = lookup(guid);
        if (!metabolite)
            return true;
        if (!SubstanceProblems(*metabolite, lookup).empty())
            return true;
        for (const auto& link : metabolite->metabolites)
            pending.push_back(link.metaboliteGuid);
    }
    return false;
}

std::optional<std::string> FindMetaboliteCycle(const Substance& substance,
                                               const SubstanceLookup& lookup) {
    std::vector<std::string> path;
    std::string repeated;
    if (FindCycleFrom(substance, lookup, path, repeated))
        return repeated;
    return std::nullopt;
}

std::string CanonicalText(const Substance& substance, const SubstanceLookup& lookup) {
    std::set<std::string> onPath;
    std::string text;
    AppendCanonicalText(substance, lookup, onPath, text);
    return text;
}

std::string Fnv1a64Hex(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(hash));
    return digits;
}

std::string SubstanceChecksum(const Substance& substance, const SubstanceLookup& lookup) {
    return Fnv1a64Hex(CanonicalText(substance, lookup));
}

} // namespace daxo
