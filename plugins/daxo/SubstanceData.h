#pragma once
// The substance data of the DAXO stand-in, as held in memory: a substance is a GUID, a role
// (active substance or metabolite), an ordered list of name/value attributes and the links to
// the metabolites it forms, each with its compartment and formation fraction.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace daxo {

inline constexpr const char* TrueWord = "TRUE";
inline constexpr const char* FalseWord = "FALSE";
inline constexpr const char* IncompleteAttribute = "DataIncomplete";
inline constexpr const char* IncompleteMetabolitesAttribute = "MetabolitesIncomplete";
inline constexpr const char* FormationFractionAttribute = "FraPrtDau";
inline constexpr const char* GuidAttribute = "SubstanceGUID";
inline constexpr const char* CodeAttribute = "SubstanceCode";

// Compartments in which a metabolite is formed.
inline constexpr int SoilCompartment = 1;
inline constexpr int WaterCompartment = 2;
inline constexpr int SedimentCompartment = 3;
bool IsCompartment(int code);

struct Attribute {
    std::string name;
    std::string value;
    bool operator==(const Attribute&) const = default;
};

struct MetaboliteLink {
    std::string metaboliteGuid;
    int compartment = SoilCompartment;
    std::string fraction;
    bool operator==(const MetaboliteLink&) const = default;
};

struct Substance {
    std::string guid;
    bool isMetabolite = false;
    std::vector<Attribute> attributes;
    std::vector<MetaboliteLink> metabolites;
    bool operator==(const Substance&) const = default;

    // Names compare without regard to letter case; the first match counts.
    const Attribute* FindAttribute(std::string_view name) const;
    std::string Value(std::string_view name) const;
    void SetValue(std::string_view name, std::string_view value);
    std::string Code() const { return Value(CodeAttribute); }
};

struct SubstanceCollection {
    std::vector<Substance> substances;

    const Substance* Find(std::string_view guid) const;
    Substance* Find(std::string_view guid);
};

bool SameNameIgnoringCase(std::string_view a, std::string_view b);
// A decimal number written with "." ("-1.5", "2", "1.2E-5").
bool IsDecimalNumber(std::string_view text);
std::optional<double> ParseDecimalNumber(std::string_view text);
// "TRUE" or "FALSE" in any letter case.
std::optional<bool> ParseBooleanWord(std::string_view text);

} // namespace daxo
