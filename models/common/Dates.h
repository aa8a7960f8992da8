// Calendar dates of the model files: "05-May-1990" and, without the year, "05-May".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parvela::models {

// Days since 1 January 1970; consecutive days differ by one.
using Day = int;

struct DayMonth {
    int day = 0;
    int month = 0;
    bool operator==(const DayMonth&) const = default;
};

std::optional<Day> MakeDay(int year, int month, int day);
std::optional<Day> ParseDate(std::string_view text);
// Accepts 29-Feb, which then falls only in leap years.
std::optional<DayMonth> ParseDayMonth(std::string_view text);

std::string FormatDate(Day day);
int YearOf(Day day);
DayMonth DayMonthOf(Day day);

} // namespace parvela::models
