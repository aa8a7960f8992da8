#include "program/reports/ReportCharts.h"

#include "platform/Exceptions.h"
#include "program/reports/SvgChart.h"

#include <algorithm>
#include <cmath>

namespace parvela {

namespace {

constexpr std::size_t TwaWindow = 21;
const std::string PaddyWaterPrefix = "ConLiq_";

constexpr std::size_t NamedUnreadableValues = 3;

// The chart's note on the values of its columns that could not be read: the first few by
// their line, and how many more; none when all could be read.
std::vector<std::string> UnreadableNote(const TDailyOutput& output,
                                        const std::vector<std::string>& columns) {
    std::vector<const TUnreadableValue*> found;
    for (const TUnreadableValue& value : output.Unreadable)
        if (std::find(columns.begin(), columns.end(), value.Column) != columns.end())
            found.push_back(&value);
    if (found.empty())
        return {};
    std::string note = "Not drawn, could not be read: " + output.FileName;
    for (std::size_t i = 0; i < found.size() && i < NamedUnreadableValues; ++i)
        note += (i ? ", line " : " line ") + std::to_string(found[i]->Line) + " (" +
                found[i]->Column + " " + found[i]->Text + ")";
    if (found.size() > NamedUnreadableValues)
        note += " and " + std::to_string(found.size() - NamedUnreadableValues) + " more";
    return {note};
}

const TDailyColumn& RequiredColumn(const TDailyOutput& output, const std::string& name) {
    const TDailyColumn* column = output.Column(name);
    if (!column)
        throw EConvertError("The daily output has no column " + name);
    return *column;
}

} // namespace

TMovingAverage HighestMovingAverage(const std::vector<double>& values, std::size_t window) {
    TMovingAverage best;
    if (values.empty() || window == 0)
        return best;
    const std::size_t width = std::min(window, values.size());
    // The run's sum of its finite values and the number of the others.
    double sum = 0;
    std::size_t unreadable = 0;
    double bestSum = 0;
    auto enter = [&](double value) {
        if (std::isfinite(value))
            sum += value;
        else
            ++unreadable;
    };
    auto leave = [&](double value) {
        if (std::isfinite(value))
            sum -= value;
        else
            --unreadable;
    };
    auto consider = [&](std::size_t first) {
        if (unreadable > 0) {
            ++best.LeftOutRuns;
        } else if (!best.Found || sum > bestSum) {
            best.Found = true;
            best.First = first;
            bestSum = sum;
        }
    };
    for (std::size_t i = 0; i < width; ++i)
        enter(values[i]);
    consider(0);
    for (std::size_t last = width; last < values.size(); ++last) {
        const double in = values[last];
        const double out = values[last - width];
        if (std::isfinite(in) && std::isfinite(out)) {
            sum += in - out;
        } else {
            enter(in);
            leave(out);
        }
        consider(last + 1 - width);
    }
    best.Last = best.First + width - 1;
    best.Mean = bestSum / static_cast<double>(width);
    return best;
}

std::vector<std::string> PaddyWaterChart(const TDailyOutput& output) {
    TChartPanel panel;
    panel.Title = "GLIDAR: concentration in the paddy water";
    panel.ValueName = "Concentration";
    std::vector<std::string> drawn;
    for (const TDailyColumn& column : output.Columns)
        if (column.Name.rfind(PaddyWaterPrefix, 0) == 0) {
            panel.Unit = column.Unit;
            panel.Series.push_back(
                {column.Name.substr(PaddyWaterPrefix.size()), column.Values, "maximum"});
            drawn.push_back(column.Name);
        }
    if (panel.Series.empty())
        throw EConvertError("The daily output has no column " + PaddyWaterPrefix + "...");
    panel.Notes = UnreadableNote(output, drawn);
    return SvgChart("chart-GLIDAR", panel.Title, output.Days, {panel});
}

std::vector<std::string> PondChart(const TDailyOutput& output) {
    const TDailyColumn& water = RequiredColumn(output, "ConWat");
    const TDailyColumn& sediment = RequiredColumn(output, "CntSed");
    TChartPanel waterPanel{"MUNDRE: concentration in the pond water",
                           "Concentration",
                           water.Unit,
                           {{"Pond water", water.Values, "global maximum"}},
                           {},
                           UnreadableNote(output, {water.Name})};
    const TMovingAverage twa = HighestMovingAverage(water.Values, TwaWindow);
    if (twa.Found) {
        std::string label = "Highest 21-day TWA " + ChartNumber(twa.Mean) + " " + water.Unit +
                            ", " + DateToStr(output.Days[twa.First]) + " to " +
                            DateToStr(output.Days[twa.Last]);
        if (twa.LeftOutRuns > 0)
            label += " (" + std::to_string(twa.LeftOutRuns) +
                     " runs of 21 days over values that could not be read left out)";
        waterPanel.Spans.push_back({twa.First, twa.Last, twa.Mean, label});
    } else {
        waterPanel.Notes.push_back(
            "No 21-day TWA: every run of 21 days holds a value that could not be read");
    }
    TChartPanel sedimentPanel{"MUNDRE: content in the sediment",
                              "Content",
                              sediment.Unit,
                              {{"Sediment", sediment.Values, "maximum"}},
                              {},
                              UnreadableNote(output, {sediment.Name})};
    return SvgChart("chart-MUNDRE", "MUNDRE: pond water and sediment", output.Days,
                    {waterPanel, sedimentPanel});
}

} // namespace parvela
