#include "models/mundre/MundreOutput.h"

#include "models/common/Text.h"

#include <algorithm>

namespace parvela::models::mundre {

namespace {

std::string ValueLine(const char* quantity, double value, const char* unit,
                      const std::string& date) {
    std::string line = Printf("%-40s %14.6f  %-8s %s", quantity, value, unit, date.c_str());
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

template <typename Value> const PondDay& Highest(const std::vector<PondDay>& days, Value value) {
    return *std::max_element(days.begin(), days.end(), [&](const PondDay& a, const PondDay& b) {
        return value(a) < value(b);
    });
}

std::string DateOf(const PondDay& day, double value) {
    return value > 0 ? FormatDate(day.day) : "-";
}

void AddReportBlock(const MundreInput& input, const MundreResult& result, const RunContext& context,
                    TextFile& file) {
    const Pond& pond = input.pond;
    file.Add("MUNDRE REPORT");
    file.Add("Input file        : " + context.id + ".mnd");
    file.Add("Substance         : " + input.substance.code);
    file.Add("Meteo station     : " + input.meteoStation);
    file.Add("Simulation period : " + FormatDate(input.start) + " to " + FormatDate(input.end));
    file.Add(Printf("Pond              : %.1f m3, %.2f m deep, %.1f m2, drained field %.1f m2",
                    pond.volume, pond.depth, pond.Area(), pond.fieldArea));
    file.Add("");
    file.Add(Printf("%-40s %14s  %-8s %s", "Quantity", "Value", "Unit", "Date"));
    const PondDay& peak = Highest(result.days, [](const PondDay& d) { return d.concentration; });
    file.Add(ValueLine("Global maximum concentration in water", peak.concentration, "ug.L-1",
                       DateOf(peak, peak.concentration)));
    for (std::size_t window : {7, 21, 28})
        file.Add(ValueLine(Printf("Maximum %zu-day TWA concentration in water", window).c_str(),
                           MaximumTimeWeightedAverage(result.days, window), "ug.L-1", ""));
    const PondDay& sediment =
        Highest(result.days, [](const PondDay& d) { return d.sedimentContent; });
    file.Add(ValueLine("Maximum content in sediment", sediment.sedimentContent, "ug.kg-1",
                       DateOf(sediment, sediment.sedimentContent)));
    file.Add("End of MUNDRE REPORT");
}

void AddMassBalance(const MundreResult& result, TextFile& file) {
    const PondTotals& t = result.totals;
    file.Add("Mass balance over the simulation period (mg)");
    file.Add(Printf("%13s %13s %13s %13s %13s %13s %13s", "FromField", "FromDrift", "Outflow",
                    "TransfWater", "TransfSed", "InWater", "InSediment"));
    file.Add(Printf("%13.6e %13.6e %13.6e %13.6e %13.6e %13.6e %13.6e", t.fromField, t.fromDrift,
                    t.outflow, t.transformedWater, t.transformedSediment, t.inWater, t.inSediment));
}

} // namespace

void WriteSummary(const MundreInput& input, const MundreResult& result, const RunContext& context) {
    TextFile file;
    file.Add("* MUNDRE summary of " + context.id + ".mnd");
    file.Add("");
    AddReportBlock(input, result, context, file);
    file.Add("");
    AddMassBalance(result, file);
    file.Save(context.File(context.id + ".sum"));
}

void WriteDailyOutput(const MundreResult& result, const RunContext& context) {
    TextFile file;
    file.Add("* MUNDRE daily output");
    file.Add(Printf("%-11s %14s %14s %14s", "Date", "ConWat", "CntSed", "FlwOut"));
    file.Add(Printf("%-11s %14s %14s %14s", "", "(ug.L-1)", "(ug.kg-1)", "(m3.d-1)"));
    for (const PondDay& day : result.days)
        file.Add(Printf("%-11s %14.6e %14.6e %14.4f", FormatDate(day.day).c_str(),
                        day.concentration, day.sedimentContent, day.outflow));
    file.Save(context.File(context.id + ".out"));
}

} // namespace parvela::models::mundre
