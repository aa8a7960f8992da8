#include "models/common/Compounds.h"

#include "models/common/Kinetics.h"
#include "models/common/Text.h"

#include <algorithm>

namespace parvela::models {

std::vector<std::string> ReadCompoundCodes(const InputFile& input, Issues& issues) {
    std::vector<std::string> codes;
    const auto substance = input.RequireText("SubstanceName", issues);
    const Table* table = input.RequireTable("compounds", issues);
    if (table == nullptr)
        return codes;
    for (const TableRow& row : table->rows) {
        if (row.words.size() != 1) {
            issues.AddAt(input.FileName(), row.line, "a compounds row holds one code");
            continue;
        }
        const std::string& code = row.words.front();
        if (std::none_of(codes.begin(), codes.end(),
                         [&](const std::string& known) { return EqualsNoCase(known, code); }))
            codes.push_back(code);
    }
    if (codes.empty())
        issues.AddAt(input.FileName(), table->line, "table compounds holds no compound");
    else if (substance && !EqualsNoCase(codes.front(), *substance))
        issues.AddAt(input.FileName(), table->line,
                     "the first compound " + codes.front() + " is not the substance " + *substance);
    return codes;
}

std::optional<double> RequireCompoundNumber(const InputFile& input, const std::string& parameter,
                                            const std::string& code, Range range, Issues& issues) {
    return input.RequireNumber(parameter + "_" + code, range, issues);
}

double TransformationParameters::RateAt(double temperature) const {
    return TransformationRate(dt50, temperature, referenceTemperature, molarActivationEnergy);
}

std::optional<TransformationParameters>
ReadTransformation(const InputFile& input, const std::string& code, const std::string& dt50Name,
                   const std::string& temperatureName, const std::string& energyName,
                   Issues& issues) {
    const auto dt50 = RequireCompoundNumber(input, dt50Name, code, Positive, issues);
    const auto temperature =
        RequireCompoundNumber(input, temperatureName, code, Range{-50, 100}, issues);
    const auto energy = RequireCompoundNumber(input, energyName, code, NonNegative, issues);
    if (!dt50 || !temperature || !energy)
        return std::nullopt;
    return TransformationParameters{*dt50, *temperature, *energy};
}

} // namespace parvela::models
