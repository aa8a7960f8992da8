#pragma once
// The day-month notation of the model input files ("05-Mar"), in English whatever the
// user's language.

#include "framework/DateTime.h"

#include <string>

namespace parvela {

// "05-Mar"; the English month table, whatever the user's language.
std::string FormatDayMonth(TDateTime date);
// "05-Mar-", for a year to follow.
std::string FormatDayMonthPrefix(TDateTime date);
// "Jan" to "Dec" for 1 to 12; empty for any other number.
std::string MonthAbbreviation(int month);

} // namespace parvela
