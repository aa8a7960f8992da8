#include "program/reports/SvgChart.h"

#include "framework/Format.h"
#include "program/reports/TCordessaReport.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace parvela {

namespace {

constexpr double Width = 720;
constexpr double PlotLeft = 78;
constexpr double PlotRight = Width - 24;
constexpr double TitleHeight = 26;
constexpr double PlotHeight = 170;
constexpr double DateLabelsHeight = 30;
constexpr double LegendRowHeight = 16;
constexpr double PanelGap = 14;
constexpr int ValueTicks = 5;
constexpr int MaximumDateTicks = 7;

// Colours that stay apart for the common kinds of colour blindness.
const char* const Palette[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                               "#E69F00", "#56B4E9", "#000000", "#999999"};
constexpr const char* SpanColour = "#C00000";

constexpr int CoordinateDecimals = 2;

std::string Coordinate(double value) {
    return FloatToStrFixed(value, CoordinateDecimals);
}

// A coordinate as Coordinate writes it.
double WrittenCoordinate(double value) {
    const double scale = std::pow(10.0, CoordinateDecimals);
    return std::round(value * scale) / scale;
}

std::string Escaped(const std::string& text) {
    return TCordessaReport::EscapeHtml(text);
}

// A step of 1, 2, 2.5 or 5 times a power of ten that cuts the range into about `ticks`.
double NiceStep(double range, int ticks) {
    const double raw = range / ticks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 2.5, 5.0})
        if (factor * magnitude >= raw * (1 - 1e-9))
            return factor * magnitude;
    return 10 * magnitude;
}

// The index of the highest finite value (the first of equal ones); none without one.
std::optional<std::size_t> HighestFinite(const std::vector<double>& values) {
    std::optional<std::size_t> highest;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (std::isfinite(values[i]) && (!highest || values[i] > values[*highest]))
            highest = i;
    return highest;
}

struct TValueAxis {
    double Low = 0;
    double High = 1;
    double Step = 0.2;
};

TValueAxis ValueAxisOf(const TChartPanel& panel) {
    double low = 0;
    double high = 0;
    for (const TChartSeries& series : panel.Series)
        for (double value : series.Values)
            if (std::isfinite(value)) {
                low = std::min(low, value);
                high = std::max(high, value);
            }
    if (high - low <= 0)
        return {};
    TValueAxis axis;
    axis.Step = NiceStep(high - low, ValueTicks);
    axis.Low = std::floor(low / axis.Step + 1e-9) * axis.Step;
    axis.High = std::ceil(high / axis.Step - 1e-9) * axis.Step;
    return axis;
}

// The dates of the time axis's ticks: month starts every 1, 2, 3, 6, 12 ... months, or for a
// period of less than two months every few days from its first day.
std::vector<TDateTime> DateTicks(TDateTime first, TDateTime last) {
    std::vector<TDateTime> ticks;
    const double span = last - first;
    if (span < 60) {
        double step = 1;
        for (double candidate : {1.0, 2.0, 5.0, 7.0, 14.0})
            if ((step = candidate) * (MaximumDateTicks - 1) >= span)
                break;
        for (TDateTime day = first; day <= last; day += step)
            ticks.push_back(day);
        return ticks;
    }
    const TDateParts start = DecodeDateTime(first);
    for (int step : {1, 2, 3, 6, 12, 24, 60, 120}) {
        ticks.clear();
        for (int month = start.Year * 12 + start.Month - 1;; ++month) {
            const TDateTime tick = EncodeDate(month / 12, month % 12 + 1, 1);
            if (tick > last)
                break;
            if (tick >= first && month % step == 0)
                ticks.push_back(tick);
        }
        if (ticks.size() <= static_cast<std::size_t>(MaximumDateTicks))
            break;
    }
    return ticks;
}

class TChartWriter {
public:
    TChartWriter(const std::vector<TDateTime>& days) : days_(days) {}

    void Panel(const TChartPanel& panel, double top) {
        const double plotTop = top + TitleHeight;
        const double plotBottom = plotTop + PlotHeight;
        const TValueAxis axis = ValueAxisOf(panel);
        auto y = [&](double value) {
            return plotBottom - (value - axis.Low) / (axis.High - axis.Low) * PlotHeight;
        };
        Add("<g class=\"panel\">");
        Add("<text class=\"panel-title\" x=\"" + Coordinate(PlotLeft) + "\" y=\"" +
            Coordinate(top + 16) + "\" font-size=\"12\" font-weight=\"bold\">" +
            Escaped(panel.Title) + "</text>");
        ValueTicksOf(axis, y);
        Add("<text class=\"value-axis\" transform=\"translate(16," +
            Coordinate(plotTop + PlotHeight / 2) + ") rotate(-90)\" text-anchor=\"middle\">" +
            Escaped(panel.ValueName + " (" + panel.Unit + ")") + "</text>");
        DateTicksOf(plotTop, plotBottom);
        Add("<rect x=\"" + Coordinate(PlotLeft) + "\" y=\"" + Coordinate(plotTop) + "\" width=\"" +
            Coordinate(PlotRight - PlotLeft) + "\" height=\"" + Coordinate(PlotHeight) +
            "\" fill=\"none\" stroke=\"#808080\"/>");

        std::vector<std::pair<std::string, std::string>> legend; // markup of the key, text
        for (std::size_t s = 0; s < panel.Series.size(); ++s) {
            const TChartSeries& series = panel.Series[s];
            const std::string colour = Palette[s % std::size(Palette)];
            SeriesLine(series, colour, y);
            std::string text = series.Label;
            const std::optional<std::size_t> day = HighestFinite(series.Values);
            if (!series.MaximumName.empty() && day) {
                const double peak = series.Values[*day];
                Add("<circle class=\"maximum\" cx=\"" + Coordinate(X(*day)) + "\" cy=\"" +
                    Coordinate(y(peak)) + "\" r=\"4\" fill=\"none\" stroke=\"" + colour +
                    "\" stroke-width=\"1.5\"/>");
                text += ", " + series.MaximumName + " " + ChartNumber(peak) + " " + panel.Unit +
                        " on " + DateToStr(days_[*day]);
            }
            legend.push_back({"<line x1=\"0\" y1=\"-4\" x2=\"22\" y2=\"-4\" stroke=\"" + colour +
                                  "\" stroke-width=\"2\"/>",
                              text});
        }
        for (const TChartSpan& span : panel.Spans) {
            Add("<line class=\"span\" x1=\"" + Coordinate(X(span.First)) + "\" y1=\"" +
                Coordinate(y(span.Value)) + "\" x2=\"" + Coordinate(X(span.Last)) + "\" y2=\"" +
                Coordinate(y(span.Value)) + "\" stroke=\"" + SpanColour +
                "\" stroke-width=\"4\" stroke-opacity=\"0.7\"/>");
            legend.push_back({"<line x1=\"0\" y1=\"-4\" x2=\"22\" y2=\"-4\" stroke=\"" +
                                  std::string(SpanColour) + "\" stroke-width=\"4\"/>",
                              span.Label});
        }
        double row = plotBottom + DateLabelsHeight;
        for (const auto& [key, text] : legend) {
            row += LegendRowHeight;
            Add("<g class=\"legend\" transform=\"translate(" + Coordinate(PlotLeft) + "," +
                Coordinate(row) + ")\">" + key + "<text x=\"30\">" + Escaped(text) + "</text></g>");
        }
        for (const std::string& note : panel.Notes) {
            row += LegendRowHeight;
            Add("<text class=\"note\" x=\"" + Coordinate(PlotLeft) + "\" y=\"" + Coordinate(row) +
                "\" fill=\"" + SpanColour + "\">" + Escaped(note) + "</text>");
        }
        Add("</g>");
    }

    static double PanelHeight(const TChartPanel& panel) {
        return TitleHeight + PlotHeight + DateLabelsHeight +
               LegendRowHeight * static_cast<double>(panel.Series.size() + panel.Spans.size() +
                                                     panel.Notes.size()) +
               PanelGap;
    }

    std::vector<std::string> Lines;

private:
    void Add(std::string line) { Lines.push_back(std::move(line)); }

    double XOfDate(TDateTime date) const {
        const double span = days_.back() - days_.front();
        return span <= 0 ? PlotLeft
                         : PlotLeft + (date - days_.front()) / span * (PlotRight - PlotLeft);
    }
    double X(std::size_t day) const { return XOfDate(days_[day]); }

    template <typename Y> void ValueTicksOf(const TValueAxis& axis, Y y) {
        const int count = static_cast<int>(std::lround((axis.High - axis.Low) / axis.Step));
        for (int i = 0; i <= count; ++i) {
            const double value = axis.Low + i * axis.Step;
            const std::string at = Coordinate(y(value));
            Add("<g class=\"value-tick\"><line x1=\"" + Coordinate(PlotLeft) + "\" y1=\"" + at +
                "\" x2=\"" + Coordinate(PlotRight) + "\" y2=\"" + at +
                "\" stroke=\"#E0E0E0\"/><text x=\"" + Coordinate(PlotLeft - 6) + "\" y=\"" + at +
                "\" dy=\"4\" text-anchor=\"end\">" + ChartNumber(value) + "</text></g>");
        }
    }

    void DateTicksOf(double plotTop, double plotBottom) {
        for (TDateTime tick : DateTicks(days_.front(), days_.back())) {
            const std::string at = Coordinate(XOfDate(tick));
            Add("<g class=\"date-tick\"><line x1=\"" + at + "\" y1=\"" + Coordinate(plotTop) +
                "\" x2=\"" + at + "\" y2=\"" + Coordinate(plotBottom + 4) +
                "\" stroke=\"#E0E0E0\"/><text x=\"" + at + "\" y=\"" + Coordinate(plotBottom + 17) +
                "\" text-anchor=\"middle\">" + DateToStr(tick) + "</text></g>");
        }
    }

    // One polyline per run of drawable points; a series without any still gets an empty
    // one, so that every series keeps its line and title.
    template <typename Y>
    void SeriesLine(const TChartSeries& series, const std::string& colour, Y y) {
        const std::size_t count = std::min(series.Values.size(), days_.size());
        std::vector<double> x(count);
        // As written, so that the columns are those of the written coordinates.
        for (std::size_t day = 0; day < count; ++day)
            x[day] = WrittenCoordinate(X(day));
        const std::vector<double> values(series.Values.begin(), series.Values.begin() + count);
        std::vector<std::vector<std::size_t>> runs = DrawnPoints(x, values);
        if (runs.empty())
            runs.emplace_back();
        for (const std::vector<std::size_t>& run : runs) {
            std::string points;
            for (std::size_t day : run) {
                if (!points.empty())
                    points += ' ';
                points += Coordinate(x[day]) + "," + Coordinate(y(values[day]));
            }
            Add("<polyline class=\"series\" fill=\"none\" stroke=\"" + colour +
                "\" stroke-width=\"1.2\" stroke-linejoin=\"round\" points=\"" + points +
                "\"><title>" + Escaped(series.Label) + "</title></polyline>");
        }
    }

    const std::vector<TDateTime>& days_;
};

} // namespace

std::vector<std::vector<std::size_t>> DrawnPoints(const std::vector<double>& x,
                                                  const std::vector<double>& values) {
    std::vector<std::vector<std::size_t>> runs;
    std::vector<std::size_t> run;
    // The pixel column being gathered, with its lowest and highest point so far.
    bool gathering = false;
    double column = 0;
    std::size_t lowest = 0;
    std::size_t highest = 0;
    auto endColumn = [&] {
        if (!gathering)
            return;
        run.push_back(std::min(lowest, highest));
        if (lowest != highest)
            run.push_back(std::max(lowest, highest));
        gathering = false;
    };
    auto endRun = [&] {
        endColumn();
        if (!run.empty())
            runs.push_back(std::move(run));
        run.clear();
    };
    for (std::size_t i = 0; i < values.size() && i < x.size(); ++i) {
        if (!std::isfinite(values[i])) {
            endRun();
            continue;
        }
        const double pixel = std::floor(x[i]);
        if (!gathering || pixel != column) {
            endColumn();
            gathering = true;
            column = pixel;
            lowest = highest = i;
            continue;
        }
        if (values[i] < values[lowest])
            lowest = i;
        if (values[i] >= values[highest])
            highest = i;
    }
    endRun();
    return runs;
}

std::string ChartNumber(double value) {
    return FloatToStrGeneral(value, 6);
}

std::vector<std::string> SvgChart(const std::string& id, const std::string& title,
                                  const std::vector<TDateTime>& days,
                                  const std::vector<TChartPanel>& panels) {
    double height = 0;
    for (const TChartPanel& panel : panels)
        height += TChartWriter::PanelHeight(panel);
    const std::string width = ChartNumber(Width);
    const std::string heightText = ChartNumber(height);
    TChartWriter writer(days);
    writer.Lines.push_back("<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + Escaped(id) +
                           "\" class=\"chart\" width=\"" + width + "\" height=\"" + heightText +
                           "\" viewBox=\"0 0 " + width + " " + heightText +
                           "\" font-family=\"Arial, Helvetica, sans-serif\" font-size=\"11\">");
    writer.Lines.push_back("<title>" + Escaped(title) + "</title>");
    double top = 0;
    if (!days.empty())
        for (const TChartPanel& panel : panels) {
            writer.Panel(panel, top);
            top += TChartWriter::PanelHeight(panel);
        }
    writer.Lines.push_back("</svg>");
    return writer.Lines;
}

} // namespace parvela
