#include "models/common/DailySeries.h"

#include "models/common/Text.h"

namespace parvela::models {

namespace {

bool ReadRow(const DailySeries& series, const std::string& fileName, int line,
             const std::vector<std::string>& words, std::size_t columns, Day& day,
             std::vector<double>& values, Issues& issues) {
    if (words.size() != columns + 1) {
        issues.AddAt(
            fileName, line,
            Printf("expected a date and %zu values, found %zu words", columns, words.size()));
        return false;
    }
    const auto date = ParseDate(words[0]);
    if (!date) {
        issues.AddAt(fileName, line, "\"" + words[0] + "\" is not a date like 01-Jan-1990");
        return false;
    }
    if (!series.Empty() && *date != series.Last() + 1) {
        issues.AddAt(fileName, line,
                     words[0] + " does not follow " + FormatDate(series.Last()) +
                         " (one row per day, without gaps)");
        return false;
    }
    day = *date;
    values.clear();
    for (std::size_t i = 1; i < words.size(); ++i) {
        const auto value = ParseNumber(words[i]);
        if (!value) {
            issues.AddAt(fileName, line, "\"" + words[i] + "\" is not a number");
            return false;
        }
        values.push_back(*value);
    }
    return true;
}

} // namespace

DailySeries DailySeries::Read(const std::filesystem::path& path, std::size_t columns,
                              Issues& issues) {
    const std::string fileName = path.filename().string();
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        issues.Add("File " + fileName + " not found");
        return DailySeries(fileName, 0);
    }
    DailySeries series(fileName, 0);
    const std::vector<std::string> lines = ReadLines(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string text = Trim(lines[i]);
        if (text.empty() || text.front() == '*')
            continue;
        Day day = 0;
        std::vector<double> values;
        if (!ReadRow(series, fileName, static_cast<int>(i) + 1, SplitWords(text), columns, day,
                     values, issues))
            return DailySeries(fileName, 0);
        if (series.Empty())
            series.first_ = day;
        series.Append(std::move(values));
    }
    if (series.Empty())
        issues.Add("File " + fileName + " holds no daily rows");
    return series;
}

bool DailySeries::RequireCoverage(Day from, Day to, Issues& issues) const {
    if (Covers(from, to))
        return true;
    if (!Empty())
        issues.Add("File " + fileName_ + " holds " + FormatDate(first_) + " to " +
                   FormatDate(Last()) + " and does not cover the simulation period " +
                   FormatDate(from) + " to " + FormatDate(to));
    return false;
}

DailySeries ReadMeteo(const std::filesystem::path& path, Issues& issues) {
    DailySeries meteo = DailySeries::Read(path, MeteoColumns, issues);
    for (Day day = meteo.First(); !meteo.Empty() && day <= meteo.Last(); ++day) {
        const std::vector<double>& row = meteo.At(day);
        const bool plausible = row[TemMin] >= -60 && row[TemMax] <= 60 &&
                               row[TemMax] >= row[TemMin] && row[Rain] >= 0 && row[Radiation] >= 0;
        if (!plausible) {
            issues.Add("File " + meteo.FileName() + ", " + FormatDate(day) +
                       ": temperatures outside -60 to 60 C or maximum below minimum, or "
                       "negative radiation or rain");
            return DailySeries(meteo.FileName(), 0);
        }
    }
    return meteo;
}

double MeanTemperature(const DailySeries& meteo, Day day) {
    const std::vector<double>& row = meteo.At(day);
    return 0.5 * (row[TemMin] + row[TemMax]);
}

} // namespace parvela::models
