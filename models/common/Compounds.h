// The compounds of an input file: "table compounds", the substance name and the parameters
// that carry the compound's code after an "_" (DT50Ref_ABC).
#pragma once

#include "models/common/InputFile.h"

#include <optional>
#include <string>
#include <vector>

namespace parvela::models {

// The codes of the compounds table, duplicates dropped; the first must be SubstanceName.
std::vector<std::string> ReadCompoundCodes(const InputFile& input, Issues& issues);

std::optional<double> RequireCompoundNumber(const InputFile& input, const std::string& parameter,
                                            const std::string& code, Range range, Issues& issues);

struct TransformationParameters {
    double dt50 = 0;                  // d
    double referenceTemperature = 0;  // C
    double molarActivationEnergy = 0; // kJ.mol-1
    double RateAt(double temperature) const;
};

// Reads <dt50Name>_code, <temperatureName>_code and <energyName>_code.
std::optional<TransformationParameters>
ReadTransformation(const InputFile& input, const std::string& code, const std::string& dt50Name,
                   const std::string& temperatureName, const std::string& energyName,
                   Issues& issues);

} // namespace parvela::models
