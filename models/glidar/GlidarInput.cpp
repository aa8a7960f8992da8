#include "models/glidar/GlidarInput.h"

#include "models/common/Text.h"

#include <algorithm>

namespace parvela::models::glidar {

namespace {

std::optional<std::size_t> IndexOf(const std::vector<std::string>& codes, const std::string& code) {
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (EqualsNoCase(codes[i], code))
            return i;
    return std::nullopt;
}

void RequireOption(const InputFile& input, const std::string& keyword,
                   const std::vector<std::string>& accepted, Issues& issues) {
    const KeywordLine* line = input.Find(keyword);
    if (line == nullptr)
        return;
    if (std::none_of(accepted.begin(), accepted.end(),
                     [&](const std::string& value) { return EqualsNoCase(value, line->value); }))
        issues.AddAt(input.FileName(), line->line,
                     keyword + ": option \"" + line->value + "\" is not supported");
}

// The top horizon's value of each compound from "table horizon <name>": a header row
// "hor <codes>" and rows "<horizon> <values>". -99 stands for "no factor" (1).
std::vector<double> TopHorizonFactors(const InputFile& input, const std::string& name,
                                      const std::vector<std::string>& codes, Issues& issues) {
    std::vector<double> factors(codes.size(), 1.0);
    const Table* table = input.FindTable(name);
    if (table == nullptr)
        return factors;
    const std::string& file = input.FileName();
    if (table->rows.empty() || !EqualsNoCase(table->rows.front().words.front(), "hor")) {
        issues.AddAt(file, table->line, "table " + name + " has no header row \"hor\"");
        return factors;
    }
    const std::vector<std::string>& header = table->rows.front().words;
    for (std::size_t r = 1; r < table->rows.size(); ++r) {
        const TableRow& row = table->rows[r];
        if (row.words.size() != header.size()) {
            issues.AddAt(file, row.line,
                         Printf("table %s: expected %zu values", name.c_str(), header.size()));
            continue;
        }
        const auto horizon =
            input.CheckNumber("horizon of " + name, row.words[0], row.line, Positive, issues);
        for (std::size_t c = 1; c < row.words.size(); ++c) {
            const auto value = input.CheckNumber(name, row.words[c], row.line, AnyNumber, issues);
            const auto compound = IndexOf(codes, header[c]);
            if (horizon && *horizon == 1 && value && compound && *value != -99) {
                if (*value < 0)
                    issues.AddAt(file, row.line, name + ": a factor cannot be negative");
                else
                    factors[*compound] = *value;
            }
        }
    }
    for (std::size_t c = 1; c < header.size(); ++c)
        if (!IndexOf(codes, header[c]))
            issues.AddAt(file, table->rows.front().line,
                         "table " + name + ": " + header[c] + " is not a compound");
    return factors;
}

std::vector<Compound> ReadCompounds(const InputFile& input, const std::vector<std::string>& codes,
                                    Issues& issues) {
    const std::vector<double> facZTra = TopHorizonFactors(input, "FacZTra", codes, issues);
    const std::vector<double> facZSor = TopHorizonFactors(input, "FacZSor", codes, issues);
    std::vector<Compound> compounds;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::string& code = codes[i];
        RequireOption(input, "OptDT50_" + code, {"EqlDom_Input"}, issues);
        RequireOption(input, "OptCofFre_" + code, {"pH-independent"}, issues);
        RequireOption(input, "OptCntLiqTraRef_" + code,
                      {"OptimumConditions", "NonOptimumConditions"}, issues);
        const auto molarMass = RequireCompoundNumber(input, "MolMas", code, Positive, issues);
        const auto transformation =
            ReadTransformation(input, code, "DT50Ref", "TemRefTra", "MolEntTra", issues);
        const auto kom = RequireCompoundNumber(input, "KomEql", code, NonNegative, issues);
        if (molarMass && transformation && kom)
            compounds.push_back(
                Compound{code, *molarMass, *transformation, facZTra[i], *kom, facZSor[i]});
    }
    return compounds;
}

// Rows "0.5 ABC -> M1": the fraction of ABC that becomes M1 (mol.mol-1).
std::vector<Formation> ReadFormations(const InputFile& input, const std::vector<std::string>& codes,
                                      Issues& issues) {
    std::vector<Formation> formations;
    const Table* table = input.FindTable("FraPrtDau");
    if (table == nullptr)
        return formations;
    std::vector<double> formed(codes.size(), 0.0);
    for (const TableRow& row : table->rows) {
        const auto& w = row.words;
        if (w.size() != 4 || w[2] != "->") {
            issues.AddAt(input.FileName(), row.line,
                         "a FraPrtDau row reads \"fraction parent -> daughter\"");
            continue;
        }
        const auto fraction = input.CheckNumber("FraPrtDau", w[0], row.line, Fraction, issues);
        const auto parent = IndexOf(codes, w[1]);
        const auto daughter = IndexOf(codes, w[3]);
        for (const std::string* code : {&w[1], &w[3]})
            if (!IndexOf(codes, *code))
                issues.AddAt(input.FileName(), row.line, *code + " is not a compound");
        if (!fraction || !parent || !daughter)
            continue;
        const bool repeated = std::any_of(formations.begin(), formations.end(), [&](auto& f) {
            return f.parent == *parent && f.daughter == *daughter && f.fraction == *fraction;
        });
        if (repeated)
            continue;
        formations.push_back(Formation{*parent, *daughter, *fraction});
        formed[*parent] += *fraction;
        if (formed[*parent] > 1 + 1e-9)
            issues.AddAt(input.FileName(), row.line,
                         "the fractions formed from " + w[1] + " add up to more than 1");
    }
    return formations;
}

// Parents before daughters, otherwise in table order; a cycle is a fault.
std::vector<std::size_t> ParentsFirst(std::size_t count, const std::vector<Formation>& formations,
                                      const std::string& file, Issues& issues) {
    std::vector<std::size_t> order;
    std::vector<bool> placed(count, false);
    while (order.size() < count) {
        bool progress = false;
        for (std::size_t c = 0; c < count; ++c) {
            const bool ready =
                !placed[c] &&
                std::none_of(formations.begin(), formations.end(), [&](const Formation& f) {
                    return f.daughter == c && !placed[f.parent];
                });
            if (ready) {
                placed[c] = true;
                order.push_back(c);
                progress = true;
            }
        }
        if (!progress) {
            issues.Add(file + ": the FraPrtDau table forms a compound from itself (a cycle)");
            break;
        }
    }
    return order;
}

std::optional<Application> ReadApplication(const InputFile& input, const TableRow& row,
                                           Issues& issues) {
    const std::string& file = input.FileName();
    const auto& w = row.words;
    if (w.size() < 3) {
        issues.AddAt(file, row.line,
                     "an application row reads \"date type dosage [parameter]\" and its "
                     "type must be given");
        return std::nullopt;
    }
    const auto date = ParseDayMonth(w[0]);
    if (!date)
        issues.AddAt(file, row.line, "\"" + w[0] + "\" is not a day and month like 05-May");
    const auto dosage = input.CheckNumber("dosage", w[2], row.line, NonNegative, issues);
    Application application;
    application.code = w[1];
    if (EqualsNoCase(w[1], "AppCrpUsr"))
        application.kind = ApplicationKind::Crop;
    else if (EqualsNoCase(w[1], "AppSolTil"))
        application.kind = ApplicationKind::SoilIncorporated;
    else if (EqualsNoCase(w[1], "AppSolInj"))
        application.kind = ApplicationKind::SoilInjected;
    else {
        issues.AddAt(file, row.line,
                     "application type \"" + w[1] +
                         "\" is not known (AppCrpUsr, AppSolTil, AppSolInj)");
        return std::nullopt;
    }
    if (w.size() != 4) {
        issues.AddAt(file, row.line, w[1] + " needs its parameter after the dosage");
        return std::nullopt;
    }
    const bool crop = application.kind == ApplicationKind::Crop;
    const auto parameter = input.CheckNumber(crop ? "intercepted fraction" : "depth (m)", w[3],
                                             row.line, crop ? Fraction : NonNegative, issues);
    if (!date || !dosage || !parameter)
        return std::nullopt;
    application.date = *date;
    application.dosage = *dosage;
    application.parameter = *parameter;
    return application;
}

std::vector<Application> ReadApplications(const InputFile& input, Issues& issues) {
    std::vector<Application> applications;
    const Table* table = input.RequireTable("Applications", issues);
    if (table == nullptr)
        return applications;
    for (const TableRow& row : table->rows)
        if (auto application = ReadApplication(input, row, issues))
            applications.push_back(*application);
    return applications;
}

std::optional<Field> ReadField(const InputFile& input, Issues& issues) {
    const auto om = input.RequireNumber("CntOm", Range{0, 1, false}, issues);
    const auto rho = input.RequireNumber("RhoSol", Range{0, 3, false}, issues);
    const auto sat = input.RequireNumber("ThetaSat", Range{0, 1, false}, issues);
    const auto fc = input.RequireNumber("ThetaFc", Range{0, 1, false}, issues);
    const auto thickness = input.RequireNumber("ThiTopSol", Range{0, 2, false}, issues);
    const auto percolation = input.RequireNumber("FlvPerPnd", NonNegative, issues);
    const auto exchange = input.RequireNumber("CofMasTraWatSol", NonNegative, issues);
    const auto lag = input.RequireNumber("TimConTemSol", Range{0, 365}, issues);
    const auto dry = input.RequireNumber("DepPndMin", NonNegative, issues);
    if (!om || !rho || !sat || !fc || !thickness || !percolation || !exchange || !lag || !dry)
        return std::nullopt;
    if (*fc > *sat) {
        issues.Add(input.FileName() + ": ThetaFc is larger than ThetaSat");
        return std::nullopt;
    }
    return Field{*om, *rho, *sat, *fc, *thickness, *percolation, *exchange, *lag, *dry};
}

} // namespace

std::optional<GlidarInput> ReadGlidarInput(const InputFile& input, Issues& issues) {
    GlidarInput result;
    const auto start = input.RequireDate("TimStart", issues);
    const auto end = input.RequireDate("TimEnd", issues);
    if (start && end && *end <= *start)
        issues.Add(input.FileName() + ": TimEnd " + FormatDate(*end) + " is not after TimStart " +
                   FormatDate(*start));
    const auto station = input.RequireText("MeteoStation", issues);
    const auto ponding = input.RequireText("PondingDepthFile", issues);
    const KeywordLine* scheme = input.Find("ApplicationScheme");
    const std::vector<std::string> codes = ReadCompoundCodes(input, issues);
    result.compounds = ReadCompounds(input, codes, issues);
    result.formations = ReadFormations(input, codes, issues);
    result.order = ParentsFirst(codes.size(), result.formations, input.FileName(), issues);
    result.applications = ReadApplications(input, issues);
    const auto field = ReadField(input, issues);
    const auto daily = input.OptionalYesNo("OptDailyOutput", false, issues);
    if (!issues.Empty())
        return std::nullopt;
    result.start = *start;
    result.end = *end;
    result.scheme = scheme != nullptr ? scheme->value : "";
    result.meteoStation = *station;
    result.pondingFile = *ponding;
    result.field = *field;
    result.dailyOutput = *daily;
    return result;
}

} // namespace parvela::models::glidar
