#pragma once
// Application dates as the grids and the model input files show them ("05-Jul").

#include "program/system/DayMonth.h"

#include <gtest/gtest.h>

#include <string>

namespace parvela::test {

// "05-Jul" as 705: the order of the numbers is the calendar order of the days.
inline int CalendarDay(const std::string& dayMonth) {
    for (int month = 1; month <= 12; ++month)
        if (dayMonth.size() == 6 && dayMonth.substr(3) == MonthAbbreviation(month))
            return month * 100 + std::stoi(dayMonth.substr(0, 2));
    ADD_FAILURE() << "no day and month: " << dayMonth;
    return 0;
}

} // namespace parvela::test
