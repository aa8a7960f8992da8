#include "program/reports/ReportFigures.h"

#include "program/reports/DailyOutput.h"
#include "program/reports/SummaryReport.h"

#include <vector>

namespace parvela {

namespace {

std::optional<TReportFigure> Figure(const std::string& word) {
    TReportFigure figure{word, 0};
    if (!ParseModelNumber(word, figure.Value))
        return std::nullopt;
    return figure;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The first word after the label of a MUNDRE line "label   value  unit  date".
std::optional<TReportFigure> LabelledFigure(const std::string& line, const std::string& label) {
    if (!StartsWith(line, label))
        return std::nullopt;
    const std::vector<std::string> words = SplitWords(line.substr(label.size()));
    return words.empty() ? std::nullopt : Figure(words.front());
}

} // namespace

TReportFigures ReadReportFigures(const std::string& assessmentReport) {
    TReportFigures figures;
    // GLIDAR's compound table: a heading line "Compound ...", a line of units, then the
    // substance's row first.
    enum { Before, Units, Substance, Done } glidar = Before;
    for (std::string line : SplitReportText(assessmentReport)) {
        const std::size_t start = line.find_first_not_of("\r\n");
        line = start == std::string::npos ? "" : line.substr(start);
        const std::vector<std::string> words = SplitWords(line);
        if (glidar == Before && !words.empty() && words.front() == "Compound") {
            glidar = Units;
            continue;
        }
        if (glidar == Units) {
            glidar = Substance;
            continue;
        }
        if (glidar == Substance) {
            if (words.size() > 1)
                figures.PaddyWaterMaximum = Figure(words[1]);
            glidar = Done;
            continue;
        }
        if (auto figure = LabelledFigure(line, "Global maximum concentration in water"))
            figures.PondMaximum = figure;
        if (auto figure = LabelledFigure(line, "Maximum 21-day TWA concentration in water"))
            figures.PondTwa21 = figure;
    }
    return figures;
}

} // namespace parvela
