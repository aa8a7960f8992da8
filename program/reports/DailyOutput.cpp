#include "program/reports/DailyOutput.h"

#include "framework/Format.h"
#include "platform/Exceptions.h"
#include "program/runs/TZentorModel.h"
#include "program/system/DayMonth.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

namespace parvela {

namespace {

// "05-May-1990".
bool ParseDate(const std::string& word, TDateTime& date) {
    int day = 0;
    int year = 0;
    const std::size_t first = word.find('-');
    const std::size_t second = word.rfind('-');
    if (first == std::string::npos || second == first)
        return false;
    const std::string monthText = word.substr(first + 1, second - first - 1);
    if (!TryStrToInt(word.substr(0, first), day) || !TryStrToInt(word.substr(second + 1), year))
        return false;
    for (int month = 1; month <= 12; ++month)
        if (MonthAbbreviation(month) == monthText) {
            try {
                date = EncodeDate(year, month, day);
                return true;
            } catch (const EConvertError&) {
                return false;
            }
        }
    return false;
}

} // namespace

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool ParseModelNumber(const std::string& word, double& value) {
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && stop == end;
}

const TDailyColumn* TDailyOutput::Column(const std::string& name) const {
    for (const TDailyColumn& column : Columns)
        if (column.Name == name)
            return &column;
    return nullptr;
}

std::string DailyOutputPath(const std::string& runDirectory, const std::string& modelName,
                            int assessmentID) {
    return runDirectory + "/" + modelName + "/" + std::to_string(assessmentID) + ".out";
}

std::optional<TDailyOutput> ReadDailyOutput(const std::string& path) {
    if (!FileExists(path))
        return std::nullopt;
    const TTextLines lines = LoadTextLines(path);
    auto fault = [&](std::size_t index, const std::string& text) {
        return EConvertError(ExtractFileName(path) + " line " + std::to_string(index + 1) + ": " +
                             text);
    };
    TDailyOutput output;
    output.FileName = ExtractFileName(path);
    enum { Names, Units, Rows } expected = Names;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::vector<std::string> words = SplitWords(lines[index]);
        if (words.empty() || words.front().front() == '*')
            continue;
        if (expected == Names) {
            for (std::size_t c = 1; c < words.size(); ++c)
                output.Columns.push_back({words[c], "", {}});
            if (output.Columns.empty())
                throw fault(index, "no value columns");
            expected = Units;
            continue;
        }
        if (expected == Units) {
            if (words.size() != output.Columns.size())
                throw fault(index, "expected one unit per column");
            for (std::size_t c = 0; c < words.size(); ++c) {
                const std::string& unit = words[c];
                if (unit.size() < 2 || unit.front() != '(' || unit.back() != ')')
                    throw fault(index, "a unit is not in parentheses: " + unit);
                output.Columns[c].Unit = unit.substr(1, unit.size() - 2);
            }
            expected = Rows;
            continue;
        }
        if (words.size() != output.Columns.size() + 1)
            throw fault(index,
                        "expected a date and " + std::to_string(output.Columns.size()) + " values");
        TDateTime day = 0;
        if (!ParseDate(words[0], day))
            throw fault(index, "not a date: " + words[0]);
        output.Days.push_back(day);
        for (std::size_t c = 0; c < output.Columns.size(); ++c) {
            double value = 0;
            if (!ParseModelNumber(words[c + 1], value))
                throw fault(index, "not a number: " + words[c + 1]);
            if (!std::isfinite(value)) {
                output.Unreadable.push_back({index + 1, output.Columns[c].Name, words[c + 1]});
                value = std::numeric_limits<double>::quiet_NaN();
            }
            output.Columns[c].Values.push_back(value);
        }
    }
    if (output.Days.empty())
        throw EConvertError(ExtractFileName(path) + ": no daily rows");
    return output;
}

} // namespace parvela
