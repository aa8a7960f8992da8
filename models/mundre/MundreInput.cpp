#include "models/mundre/MundreInput.h"

#include "models/common/Text.h"

namespace parvela::models::mundre {

namespace {

std::optional<Substance> ReadSubstance(const InputFile& input, Issues& issues) {
    const std::vector<std::string> codes = ReadCompoundCodes(input, issues);
    if (codes.size() > 1)
        issues.Add(input.FileName() +
                   ": MUNDRE simulates the substance alone, the compounds "
                   "table holds " +
                   std::to_string(codes.size()));
    for (const std::string name : {"FraPrtDauWat", "FraPrtDauSed"}) {
        const Table* table = input.FindTable(name);
        if (table != nullptr && !table->rows.empty())
            issues.AddAt(input.FileName(), table->rows.front().line,
                         "metabolites formed in the pond are not simulated (table " + name +
                             " must be empty)");
    }
    if (codes.empty())
        return std::nullopt;
    const std::string& code = codes.front();
    const auto molarMass = RequireCompoundNumber(input, "MolMas", code, Positive, issues);
    const auto water = ReadTransformation(input, code, "DT50Ref", "TemRefTra", "MolEntTra", issues);
    const auto sediment =
        ReadTransformation(input, code, "DT50SedRef", "TemRefSed", "MolEntTraSed", issues);
    const auto kom = RequireCompoundNumber(input, "KomSed", code, NonNegative, issues);
    if (!molarMass || !water || !sediment || !kom)
        return std::nullopt;
    return Substance{code, *molarMass, *water, *sediment, *kom};
}

std::optional<Pond> ReadPond(const InputFile& input, Issues& issues) {
    const auto volume = input.RequireNumber("VolWat", Positive, issues);
    const auto depth = input.RequireNumber("DepWat", Range{0, 100, false}, issues);
    const auto field = input.RequireNumber("AreaFieldDrained", NonNegative, issues);
    const auto base = input.RequireNumber("FlwBas", NonNegative, issues);
    const auto thickness = input.RequireNumber("ThiSed", Range{0, 1, false}, issues);
    const auto density = input.RequireNumber("RhoSed", Range{0, 3, false}, issues);
    const auto porosity = input.RequireNumber("ThetaSed", Range{0, 1, false}, issues);
    const auto om = input.RequireNumber("CntOmSed", Range{0, 1}, issues);
    const auto exchange = input.RequireNumber("CofMasTraSed", NonNegative, issues);
    if (!volume || !depth || !field || !base || !thickness || !density || !porosity || !om ||
        !exchange)
        return std::nullopt;
    return Pond{*volume, *depth, *field, *base, *thickness, *density, *porosity, *om, *exchange};
}

// Rows "05-May-1990 0.20": the drift deposit on the pond in mg.m-2; rows of one day add up.
std::map<Day, double> ReadLoadings(const InputFile& input, Issues& issues) {
    std::map<Day, double> loadings;
    const Table* table = input.RequireTable("Loadings", issues);
    if (table == nullptr)
        return loadings;
    for (const TableRow& row : table->rows) {
        // A template's row format may add the unit: "05-May-1990 0.20 (mg.m-2)".
        const bool withUnit =
            row.words.size() == 3 && row.words[2].front() == '(' && row.words[2].back() == ')';
        if (row.words.size() != 2 && !withUnit) {
            issues.AddAt(input.FileName(), row.line, "a Loadings row reads \"date mg.m-2\"");
            continue;
        }
        const auto day = ParseDate(row.words[0]);
        if (!day)
            issues.AddAt(input.FileName(), row.line,
                         "\"" + row.words[0] + "\" is not a date like 05-May-1990");
        const auto value =
            input.CheckNumber("loading", row.words[1], row.line, NonNegative, issues);
        if (day && value)
            loadings[*day] += *value;
    }
    return loadings;
}

std::optional<Drainage> ParseDrainageRow(const TableRow& row) {
    if (row.words.size() != 3 || !ParseDate(row.words[0]))
        return std::nullopt;
    const auto water = ParseNumber(row.words[1]);
    const auto mass = ParseNumber(row.words[2]);
    if (!water || !mass || *water < 0 || *mass < 0)
        return std::nullopt;
    return Drainage{*water, *mass};
}

std::map<Day, Drainage> ReadDrainage(const MundreInput& input, const RunContext& context,
                                     Issues& issues) {
    std::map<Day, Drainage> drainage;
    const std::string name = context.id + ".e2m";
    if (!std::filesystem::is_regular_file(context.File(name))) {
        issues.Add("File " + name + " not found (the drainage from GLIDAR)");
        return drainage;
    }
    Issues local;
    const InputFile file = InputFile::Read(context.File(name), local);
    const auto substance = file.RequireText("SubstanceName", local);
    if (substance && !EqualsNoCase(*substance, input.substance.code))
        local.Add(name + ": drainage of " + *substance + ", not of " + input.substance.code);
    if (const Table* table = file.RequireTable("Drainage", local)) {
        for (const TableRow& row : table->rows) {
            std::optional<Drainage> parsed = ParseDrainageRow(row);
            if (!parsed) {
                local.AddAt(name, row.line, "a Drainage row reads \"date mm.d-1 mg.m-2.d-1\"");
                break;
            }
            drainage[*ParseDate(row.words[0])] = *parsed;
        }
    }
    for (Day day = input.start; local.Empty() && day <= input.end; ++day)
        if (drainage.count(day) == 0)
            local.Add(name + ": no drainage given for " + FormatDate(day));
    for (const std::string& message : local.Messages())
        issues.Add(message);
    return drainage;
}

} // namespace

std::optional<MundreInput> ReadMundreInput(const InputFile& input, Issues& issues) {
    MundreInput result;
    const auto start = input.RequireDate("TimStart", issues);
    const auto end = input.RequireDate("TimEnd", issues);
    if (start && end && *end <= *start)
        issues.Add(input.FileName() + ": TimEnd " + FormatDate(*end) + " is not after TimStart " +
                   FormatDate(*start));
    const auto station = input.RequireText("MeteoStation", issues);
    const auto substance = ReadSubstance(input, issues);
    const auto pond = ReadPond(input, issues);
    result.loadings = ReadLoadings(input, issues);
    const auto daily = input.OptionalYesNo("OptDailyOutput", false, issues);
    if (!issues.Empty())
        return std::nullopt;
    result.start = *start;
    result.end = *end;
    result.meteoStation = *station;
    result.substance = *substance;
    result.pond = *pond;
    result.dailyOutput = *daily;
    return result;
}

std::optional<MundreForcing> ReadForcing(const MundreInput& input, const RunContext& context,
                                         Issues& issues) {
    MundreForcing forcing{
        ReadMeteo(context.Companion(input.meteoStation, ".met"), issues),
        DailySeries::Read(context.Companion(input.meteoStation, ".rai"), 1, issues),
        ReadDrainage(input, context, issues)};
    if (!issues.Empty())
        return std::nullopt;
    const bool meteoCovers = forcing.meteo.RequireCoverage(input.start, input.end, issues);
    const bool rainCovers = forcing.rain.RequireCoverage(input.start, input.end, issues);
    for (Day day = input.start; rainCovers && day <= input.end; ++day)
        if (forcing.rain.At(day)[0] < 0) {
            issues.Add("File " + forcing.rain.FileName() + ", " + FormatDate(day) +
                       ": negative rain");
            return std::nullopt;
        }
    if (!meteoCovers || !rainCovers)
        return std::nullopt;
    return forcing;
}

} // namespace parvela::models::mundre
