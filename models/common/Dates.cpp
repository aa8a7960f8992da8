#include "models/common/Dates.h"

#include "models/common/Text.h"

#include <array>
#include <charconv>
#include <chrono>

namespace parvela::models {

namespace {

constexpr std::array<const char*, 12> MonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::optional<int> ParseDigits(std::string_view text, std::size_t minDigits,
                               std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> ParseMonth(std::string_view text) {
    for (std::size_t i = 0; i < MonthNames.size(); ++i)
        if (EqualsNoCase(text, MonthNames[i]))
            return static_cast<int>(i) + 1;
    return std::nullopt;
}

std::chrono::year_month_day ToCalendar(Day day) {
    return std::chrono::year_month_day(std::chrono::sys_days(std::chrono::days(day)));
}

} // namespace

std::optional<Day> MakeDay(int year, int month, int day) {
    const std::chrono::year_month_day date(std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day)));
    if (month < 1 || day < 1 || !date.ok())
        return std::nullopt;
    return static_cast<Day>(std::chrono::sys_days(date).time_since_epoch().count());
}

std::optional<Day> ParseDate(std::string_view text) {
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const auto day = ParseDigits(text.substr(0, first), 1, 2);
    const auto month = ParseMonth(text.substr(first + 1, second - first - 1));
    const auto year = ParseDigits(text.substr(second + 1), 4, 4);
    if (!day || !month || !year)
        return std::nullopt;
    return MakeDay(*year, *month, *day);
}

std::optional<DayMonth> ParseDayMonth(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto day = ParseDigits(text.substr(0, dash), 1, 2);
    const auto month = ParseMonth(text.substr(dash + 1));
    // A leap year decides whether the day exists in some year.
    if (!day || !month || !MakeDay(2000, *month, *day))
        return std::nullopt;
    return DayMonth{*day, *month};
}

std::string FormatDate(Day day) {
    const auto date = ToCalendar(day);
    return Printf("%.2u-%s-%.4d", static_cast<unsigned>(date.day()),
                  MonthNames[static_cast<unsigned>(date.month()) - 1],
                  static_cast<int>(date.year()));
}

int YearOf(Day day) {
    return static_cast<int>(ToCalendar(day).year());
}

DayMonth DayMonthOf(Day day) {
    const auto date = ToCalendar(day);
    return DayMonth{static_cast<int>(static_cast<unsigned>(date.day())),
                    static_cast<int>(static_cast<unsigned>(date.month()))};
}

} // namespace parvela::models
