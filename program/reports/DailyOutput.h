#pragma once
// The daily output "ID.out" of the model programs: comment lines beginning with "*", a line of
// column names (the first is the date), a line of units in parentheses, then one row per day
// with the date as "dd-Mmm-yyyy" and a number per column.

#include "framework/DateTime.h"

#include <optional>
#include <string>
#include <vector>

namespace parvela {

struct TDailyColumn {
    std::string Name;
    std::string Unit; // without the parentheses
    std::vector<double> Values;
};

// A value that the model wrote as a number that is not finite ("NaN", "Infinity"). Its
// column holds NaN for it, so that no chart draws it and no average takes it in unnoticed.
struct TUnreadableValue {
    std::size_t Line = 0; // of the file, counted from 1
    std::string Column;
    std::string Text; // as written
};

struct TDailyOutput {
    std::string FileName; // without its directory
    std::vector<TDateTime> Days;
    std::vector<TDailyColumn> Columns;
    std::vector<TUnreadableValue> Unreadable;

    // The column of that name; none when the file has no such column.
    const TDailyColumn* Column(const std::string& name) const;
};

// The blank-separated words of a line of a model's text file.
std::vector<std::string> SplitWords(const std::string& line);
// A number of a model's text file: "." as decimal separator whatever the locale, no other
// characters.
bool ParseModelNumber(const std::string& word, double& value);

// Where a model's daily output lies: run directory/GLIDAR/ID.out.
std::string DailyOutputPath(const std::string& runDirectory, const std::string& modelName,
                            int assessmentID);

// None when the file does not exist. Raises EConvertError naming the file and the line when
// it is not in the layout above or holds no day.
std::optional<TDailyOutput> ReadDailyOutput(const std::string& path);

} // namespace parvela
