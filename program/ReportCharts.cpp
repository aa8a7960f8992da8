#include "ReportCharts.h"

#include "SvgChart.h"
#include "framework/Exceptions.h"

namespace parvela {

namespace {

constexpr std::size_t TwaWindow = 21;
const std::string PaddyWaterPrefix = "ConLiq_";

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
    double sum = 0;
    for (std::size_t i = 0; i < width; ++i)
        sum += values[i];
    double bestSum = sum;
    for (std::size_t last = width; last < values.size(); ++last) {
        sum += values[last] - values[last - width];
        if (sum > bestSum) {
            bestSum = sum;
            best.First = last + 1 - width;
        }
    }
    best.Last = best.First + width - 1;
    best.Mean = bestSum / static_cast<double>(width);
    return best;
}

std::vector<std::string> PaddyWaterChart(const TDailyOutput& output) {
    TChartPanel panel;
    panel.Title = "GLIDAR: concentration in the paddy water";
    panel.ValueName = "Concentration";
    for (const TDailyColumn& column : output.Columns)
        if (column.Name.rfind(PaddyWaterPrefix, 0) == 0) {
            panel.Unit = column.Unit;
            panel.Series.push_back(
                {column.Name.substr(PaddyWaterPrefix.size()), column.Values, "maximum"});
        }
    if (panel.Series.empty())
        throw EConvertError("The daily output has no column " + PaddyWaterPrefix + "...");
    return SvgChart("chart-GLIDAR", panel.Title, output.Days, {panel});
}

std::vector<std::string> PondChart(const TDailyOutput& output) {
    const TDailyColumn& water = RequiredColumn(output, "ConWat");
    const TDailyColumn& sediment = RequiredColumn(output, "CntSed");
    TChartPanel waterPanel{"MUNDRE: concentration in the pond water",
                           "Concentration",
                           water.Unit,
                           {{"Pond water", water.Values, "global maximum"}},
                           {}};
    const TMovingAverage twa = HighestMovingAverage(water.Values, TwaWindow);
    waterPanel.Spans.push_back({twa.First, twa.Last, twa.Mean,
                                "Highest 21-day TWA " + ChartNumber(twa.Mean) + " " + water.Unit +
                                    ", " + DateToStr(output.Days[twa.First]) + " to " +
                                    DateToStr(output.Days[twa.Last])});
    TChartPanel sedimentPanel{"MUNDRE: content in the sediment",
                              "Content",
                              sediment.Unit,
                              {{"Sediment", sediment.Values, "maximum"}},
                              {}};
    return SvgChart("chart-MUNDRE", "MUNDRE: pond water and sediment", output.Days,
                    {waterPanel, sedimentPanel});
}

} // namespace parvela
