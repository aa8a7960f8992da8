#include "models/glidar/GlidarOutput.h"

#include "models/common/Text.h"

namespace parvela::models::glidar {

namespace {

constexpr double KgPerHaPerMgPerM2 = 0.01;
constexpr double MicrogramsPerMilligram = 1000.0;

std::string Period(const GlidarInput& input) {
    return FormatDate(input.start) + " to " + FormatDate(input.end);
}

void AddReportBlock(const GlidarInput& input, const GlidarResult& result, const RunContext& context,
                    TextFile& file) {
    file.Add("GLIDAR REPORT");
    file.Add("Input file         : " + context.id + ".gld");
    file.Add("Application scheme : " + input.scheme);
    file.Add("Meteo station      : " + input.meteoStation);
    file.Add("Simulation period  : " + Period(input));
    file.Add("");
    file.Add(Printf("%-12s %14s %-11s %12s %12s %12s", "Compound", "MaxConLiqPad", "DateMax",
                    "Applied", "Formed", "Drained"));
    file.Add(Printf("%-12s %14s %-11s %12s %12s %12s", "", "(ug.L-1)", "", "(kg.ha-1)", "(kg.ha-1)",
                    "(kg.ha-1)"));
    for (std::size_t c = 0; c < input.compounds.size(); ++c) {
        const CompoundTotals& t = result.totals[c];
        const std::string date = t.maxConcentration > 0 ? FormatDate(t.maxDate) : "-";
        file.Add(Printf("%-12s %14.4f %-11s %12.6f %12.6f %12.6f", input.compounds[c].code.c_str(),
                        t.maxConcentration * MicrogramsPerMilligram, date.c_str(),
                        t.applied * KgPerHaPerMgPerM2, t.formed * KgPerHaPerMgPerM2,
                        t.drained * KgPerHaPerMgPerM2));
    }
    file.Add("End of GLIDAR REPORT");
}

void AddMassBalance(const GlidarInput& input, const GlidarResult& result, TextFile& file) {
    file.Add("Mass balance over the simulation period (kg.ha-1)");
    file.Add(Printf("%-12s %13s %13s %13s %13s %13s %13s %13s %13s %13s", "Compound", "Applied",
                    "Formed", "Intercepted", "Drained", "Transformed", "Leached", "BelowTopSoil",
                    "InWater", "InSoil"));
    for (std::size_t c = 0; c < input.compounds.size(); ++c) {
        const CompoundTotals& t = result.totals[c];
        const double k = KgPerHaPerMgPerM2;
        file.Add(Printf("%-12s %13.6e %13.6e %13.6e %13.6e %13.6e %13.6e %13.6e %13.6e %13.6e",
                        input.compounds[c].code.c_str(), t.applied * k, t.formed * k,
                        t.intercepted * k, t.drained * k, t.transformed * k, t.leached * k,
                        t.belowTopSoil * k, t.inWater * k, t.inSoil * k));
    }
}

} // namespace

void WriteSummary(const GlidarInput& input, const GlidarResult& result, const RunContext& context) {
    TextFile file;
    file.Add("* GLIDAR summary of " + context.id + ".gld");
    file.Add("");
    AddReportBlock(input, result, context, file);
    file.Add("");
    AddMassBalance(input, result, file);
    file.Save(context.File(context.id + ".sum"));
}

void WriteHandOver(const GlidarInput& input, const GlidarResult& result,
                   const RunContext& context) {
    TextFile file;
    file.Add("* GLIDAR drainage from the paddy field into the pond, per m2 of field");
    file.Add(input.compounds.front().code + " SubstanceName");
    file.Add(FormatDate(input.start) + " TimStart");
    file.Add(FormatDate(input.end) + " TimEnd");
    file.Add("table Drainage");
    file.Add("* Date       Water (mm.d-1)  Mass (mg.m-2.d-1)");
    for (const DayState& day : result.days)
        file.Add(Printf("%s %14.6f %18.8e", FormatDate(day.day).c_str(), day.waterDrained,
                        day.substanceDrained));
    file.Add("end_table");
    file.Save(context.File(context.id + ".e2m"));
}

void WriteDailyOutput(const GlidarInput& input, const GlidarResult& result,
                      const RunContext& context) {
    TextFile file;
    file.Add("* GLIDAR daily output: ponding depth (mm), paddy-water concentration (ug.L-1) and "
             "top-soil content (mg.kg-1) per compound");
    std::string header = Printf("%-11s %10s", "Date", "DepPnd");
    std::string units = Printf("%-11s %10s", "", "(mm)");
    for (const Compound& compound : input.compounds) {
        header += Printf(" %14s %14s", ("ConLiq_" + compound.code).c_str(),
                         ("CntSol_" + compound.code).c_str());
        units += Printf(" %14s %14s", "(ug.L-1)", "(mg.kg-1)");
    }
    file.Add(header);
    file.Add(units);
    for (const DayState& day : result.days) {
        std::string line = Printf("%-11s %10.3f", FormatDate(day.day).c_str(), day.depth);
        for (std::size_t c = 0; c < input.compounds.size(); ++c)
            line += Printf(" %14.6e %14.6e", day.concentration[c] * MicrogramsPerMilligram,
                           day.soilContent[c]);
        file.Add(line);
    }
    file.Save(context.File(context.id + ".out"));
}

} // namespace parvela::models::glidar
