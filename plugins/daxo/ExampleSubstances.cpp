#include "plugins/daxo/ExampleSubstances.h"

#include "plugins/daxo/AttributeCatalogue.h"

#include <initializer_list>
#include <utility>

namespace daxo {

Substance NewSubstance(const std::string& guid, const std::string& code, const std::string& name,
                       bool isMetabolite) {
    Substance substance;
    substance.guid = guid;
    substance.isMetabolite = isMetabolite;
    for (const auto& definition : AttributeCatalogue())
        substance.attributes.push_back(
            {std::string(definition.name), std::string(definition.defaultValue)});
    substance.SetValue(CodeAttribute, code);
    substance.SetValue("SubstanceName", name);
    return substance;
}

namespace {

using Values = std::initializer_list<std::pair<const char*, const char*>>;

std::string ExampleGuid(int number) {
    std::string digits = std::to_string(number);
    return "{5EED0DA0-7A11-4C0E-9D00-" + std::string(12 - digits.size(), '0') + digits + "}";
}

Substance Example(int number, const char* code, const char* name, bool isMetabolite,
                  Values values = {}) {
    Substance substance = NewSubstance(ExampleGuid(number), code, name, isMetabolite);
    for (const auto& [attribute, value] : values)
        substance.SetValue(attribute, value);
    return substance;
}

void Link(Substance& parent, const Substance& metabolite, int compartment, const char* fraction) {
    parent.metabolites.push_back({metabolite.guid, compartment, fraction});
}

} // namespace

SubstanceCollection ExampleSubstances() {
    Substance alpha = Example(1, "ALPHA", "Alphazin", false,
                              {{"MolMass", "291.3"}, {"DT50Ref", "25.0"}, {"KomEql", "150.0"}});
    Substance alphaM1 = Example(2, "ALPHA-M1", "Alphazin metabolite M1", true,
                                {{"MolMass", "247.2"}, {"DT50Ref", "12.0"}, {"KomEql", "40.0"}});
    Substance alphaM2 = Example(3, "ALPHA-M2", "Alphazin metabolite M2", true,
                                {{"MolMass", "203.1"}, {"DT50Ref", "80.0"}, {"KomEql", "15.0"}});
    Substance alphaM3 = Example(4, "ALPHA-M3", "Alphazin metabolite M3", true,
                                {{"MolMass", "265.7"}, {"DT50Ref", "5.5"}, {"KomEql", "300.0"}});
    Link(alpha, alphaM1, SoilCompartment, "0.5");
    Link(alphaM1, alphaM2, SoilCompartment, "0.8");
    Link(alpha, alphaM3, SoilCompartment, "0.2");

    Substance beta = Example(5, "BETA", "Betaprop", false,
                             {{"MolMass", "354.8"}, {"DT50WatRef", "4.0"}, {"KomSed", "820.0"}});
    Substance betaWater =
        Example(6, "BETA-W1", "Betaprop water metabolite", true, {{"MolMass", "310.2"}});
    Substance betaSediment =
        Example(7, "BETA-S1", "Betaprop sediment metabolite", true, {{"MolMass", "288.4"}});
    Link(beta, betaWater, WaterCompartment, "0.35");
    Link(beta, betaSediment, SedimentCompartment, "0.15");

    return {{
        alpha,
        alphaM1,
        alphaM2,
        alphaM3,
        beta,
        betaWater,
        betaSediment,
        Example(8, "GAMMA", "Gammafos (Freundlich, pH-dependent)", false,
                {{"OptCofFreCode", "1"}, {"MolMass", "321.0"}}),
        Example(9, "DELTA", "Deltanil (pH-dependent sorption)", false,
                {{"OptCofFreCode", "2"}, {"MolMass", "199.6"}}),
        Example(10, "EPSILON", "Epsilam (specified canopy, non-optimum moisture)", false,
                {{"OptDspCrp", "2"}, {"OptCntLiqTraRef", "FALSE"}, {"CntLiqTraRef", "0.18"}}),
        [] {
            Substance zeta =
                Example(11, "ZETA", "Zetanol (incomplete)", false, {{"DataIncomplete", "TRUE"}});
            std::erase_if(zeta.attributes, [](const Attribute& a) { return a.name == "DT50Ref"; });
            return zeta;
        }(),
        Example(12, "ETA", "Etaxan", false,
                {{"MolMass", "412.5"}, {"DT50Ref", "60.0"}, {"PreVapRef", "2.3E-4"}}),
    }};
}

} // namespace daxo
