#include "program/system/DayMonth.h"

#include "framework/Format.h"

#include <array>

namespace parvela {

std::string MonthAbbreviation(int month) {
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return {};
    return months[static_cast<std::size_t>(month - 1)];
}

std::string FormatDayMonth(TDateTime date) {
    TDateParts parts = DecodeDateTime(date);
    return Format("%.2d-%s", parts.Day, MonthAbbreviation(parts.Month));
}

std::string FormatDayMonthPrefix(TDateTime date) {
    TDateParts parts = DecodeDateTime(date);
    return Format("%.2d-%s-", parts.Day, MonthAbbreviation(parts.Month));
}

} // namespace parvela
