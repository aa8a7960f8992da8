#pragma once
// Date-times as doubles: days since 30 December 1899, the time of day as the fraction.

#include <string>
#include <string_view>

namespace parvela {

using TDateTime = double;

struct TDateParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Raises EConvertError for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond = 0);
TDateParts DecodeDateTime(TDateTime value);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// The local date and time now.
TDateTime Now();
// The calendar day of a date-time (its integral part, also for dates before 1899).
int DayNumber(TDateTime value);

// Formats with a pattern of the program's notation: yyyy, yy, mm, m, dd, d, hh, h, nn, n,
// ss, s, zzz; "/" gives `dateSeparator`, ":" gives ":"; other characters stay as they are.
// "mm" directly after "hh"/"h" (before "nn") still means the month, as in the pattern texts.
std::string FormatDateTime(std::string_view pattern, TDateTime value, char dateSeparator = '-');
// The program-wide short date, a blank and the long time.
std::string DateTimeToStr(TDateTime value);
std::string DateToStr(TDateTime value);

} // namespace parvela
