#include "plugins/daxo/AttributeCatalogue.h"

#include "plugins/daxo/SubstanceData.h"

namespace daxo {

namespace {
using K = AttributeKind;
} // namespace

const std::vector<AttributeDefinition>& AttributeCatalogue() {
    static const std::vector<AttributeDefinition> catalogue = {
        {"SubstanceCode", "", "NEW", K::Text},
        {"SubstanceName", "", "New substance", K::Text},
        {"DataIncomplete", "", "FALSE", K::Boolean},
        {"MolMass", "g.mol-1", "300.0", K::Number},
        // Transformation in soil.
        {"OptCntLiqTraRef", "", "TRUE", K::Boolean},
        {"DT50Ref", "d", "30.0", K::Number},
        {"TemRefTra", "C", "20.0", K::Number},
        {"ExpLiqTra", "-", "0.7", K::Number},
        {"CntLiqTraRef", "kg.kg-1", "0.25", K::Number},
        {"MolEntTra", "kJ.mol-1", "65.4", K::Number},
        // Sorption on soil.
        {"OptCofFreCode", "", "3", K::Option, 3},
        {"MolEntSor", "kJ.mol-1", "0.0", K::Number},
        {"TemRefSor", "C", "20.0", K::Number},
        {"KomEql", "L.kg-1", "100.0", K::Number},
        {"ConLiqRef", "mg.L-1", "1.0", K::Number},
        {"ExpFre", "-", "0.9", K::Number},
        {"CofDesRat", "d-1", "0.0", K::Number},
        {"FacSorNeqEql", "-", "0.0", K::Number},
        // Volatilisation and solubility.
        {"PreVapRef", "Pa", "1.0E-5", K::Number},
        {"TemRefVap", "C", "20.0", K::Number},
        {"MolEntVap", "kJ.mol-1", "95.0", K::Number},
        {"SlbWatRef", "mg.L-1", "100.0", K::Number},
        {"TemRefSlb", "C", "20.0", K::Number},
        {"MolEntSlb", "kJ.mol-1", "27.0", K::Number},
        // Uptake and crop canopy.
        {"FacUpt", "-", "0.5", K::Number},
        {"OptDspCrp", "", "1", K::Option, 3},
        {"DT50DspCrp", "d", "10.0", K::Number},
        {"DT50PenCrp", "d", "1000000.0", K::Number},
        {"DT50VolCrp", "d", "1000000.0", K::Number},
        {"DT50TraCrp", "d", "1000000.0", K::Number},
        {"FacWasCrp", "m-1", "0.0001", K::Number},
        // Diffusion.
        {"TemRefDif", "C", "20.0", K::Number},
        {"CofDifWatRef", "m2.d-1", "4.3E-5", K::Number},
        {"CofDifAirRef", "m2.d-1", "0.43", K::Number},
        // Anaerobic transformation in the paddy.
        {"DT50AnaRef", "d", "60.0", K::Number},
        {"DT50WatLayRef", "d", "15.0", K::Number},
        {"TemRefTraAna", "C", "20.0", K::Number},
        {"MolEntTraAna", "kJ.mol-1", "65.4", K::Number},
        // Surface water: water layer, sediment, suspended solids, macrophytes.
        {"DT50WatRef", "d", "10.0", K::Number},
        {"TemRefTraWat", "C", "20.0", K::Number},
        {"MolEntTraWat", "kJ.mol-1", "65.4", K::Number},
        {"DT50SedRef", "d", "30.0", K::Number},
        {"TemRefSed", "C", "20.0", K::Number},
        {"MolEntTraSed", "kJ.mol-1", "65.4", K::Number},
        {"KomSed", "L.kg-1", "100.0", K::Number},
        {"ConLiqRefSed", "mg.L-1", "1.0", K::Number},
        {"ExpFreSed", "-", "0.9", K::Number},
        {"KomSus", "L.kg-1", "100.0", K::Number},
        {"ConLiqRefSus", "mg.L-1", "1.0", K::Number},
        {"ExpFreSus", "-", "0.9", K::Number},
        {"KSorMph", "L.kg-1", "0.0", K::Number},
    };
    return catalogue;
}

const AttributeDefinition* FindAttributeDefinition(std::string_view name) {
    for (const auto& definition : AttributeCatalogue())
        if (SameNameIgnoringCase(definition.name, name))
            return &definition;
    return nullptr;
}

} // namespace daxo
