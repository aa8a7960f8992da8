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

struct TDailyOutput {
    std::vector<TDateTime> Days;
    std::vector<TDailyColumn> Columns;

    // The column of that name; none when the file has no such column.
    const TDailyColumn* Column(const std::string& name) const;
};

// The blank-separated words of a line of a model's text file.
std::vector<std::string> SplitWords(const std::string& line);
// A number of a model's text file: "." as decimal separator whatever the locale, no other
// characters.
bool ParseModelNumber(const std::string& word, double& value);

// None when the file does not exist. Raises EConvertError naming the file and the line when
// it is not in the layout above or holds no day.
std::optional<TDailyOutput> ReadDailyOutput(const std::string& path);

} // namespace parvela
