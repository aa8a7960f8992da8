#include "framework/DateTime.h"

#include "framework/FormatSettings.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace parvela {

namespace {

constexpr double MillisecondsPerDay = 86400000.0;
// Days from 1 January 1970 back to the date-time origin, 30 December 1899.
constexpr long long OriginFromUnixEpoch = -25569;

const char* const ShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
const char* const ShortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};

// Civil calendar arithmetic on days since 1 January 1970 (proleptic Gregorian).
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(static_cast<long long>(yearOfEra) + era * 400 + (month <= 2));
}

std::string Padded(int value, int width) {
    std::string text = std::to_string(value);
    while (static_cast<int>(text.size()) < width)
        text.insert(text.begin(), '0');
    return text;
}

// 0 = Sunday.
int DayOfWeek(TDateTime value) {
    const long long days = DayNumber(value) + OriginFromUnixEpoch;
    return static_cast<int>(((days % 7) + 7 + 4) % 7); // 1 January 1970 was a Thursday
}

std::size_t RunLength(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && (text[end] | 0x20) == (text[at] | 0x20))
        ++end;
    return end - at;
}

} // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        throw EConvertError("Invalid argument to date encode");
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

TDateTime EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        OriginFromUnixEpoch);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        throw EConvertError("Invalid argument to time encode");
    const double date = EncodeDate(year, month, day);
    const double time = ((hour * 60.0 + minute) * 60.0 + second + millisecond / 1000.0) * 1000.0 /
                        MillisecondsPerDay;
    // Before the origin the time still counts forward from the start of the day.
    return date < 0 ? date - time : date + time;
}

int DayNumber(TDateTime value) {
    return static_cast<int>(std::trunc(value));
}

TDateParts DecodeDateTime(TDateTime value) {
    long long day = DayNumber(value);
    long long milliseconds =
        std::llround(std::fabs(value - static_cast<double>(day)) * MillisecondsPerDay);
    if (milliseconds >= static_cast<long long>(MillisecondsPerDay)) {
        milliseconds -= static_cast<long long>(MillisecondsPerDay);
        ++day;
    }
    TDateParts parts;
    CivilFromDays(day + OriginFromUnixEpoch, parts.Year, parts.Month, parts.Day);
    parts.Millisecond = static_cast<int>(milliseconds % 1000);
    parts.Second = static_cast<int>(milliseconds / 1000 % 60);
    parts.Minute = static_cast<int>(milliseconds / 60000 % 60);
    parts.Hour = static_cast<int>(milliseconds / 3600000);
    return parts;
}

TDateTime Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec, static_cast<int>(milliseconds));
}

std::string FormatDateTime(std::string_view pattern, TDateTime value, char dateSeparator) {
    const TDateParts parts = DecodeDateTime(value);
    std::string out;
    for (std::size_t at = 0; at < pattern.size();) {
        const char c = pattern[at];
        const char lower = static_cast<char>(c | 0x20);
        const std::size_t run = RunLength(pattern, at);
        if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(c, at + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(at + 1, end - at - 1));
            at = end == pattern.size() ? end : end + 1;
            continue;
        }
        if (c == '/') {
            out += dateSeparator;
            ++at;
            continue;
        }
        std::size_t used = run;
        switch (lower >= 'a' && lower <= 'z' ? lower : '\0') {
        case 'y':
            out += run >= 3 ? Padded(parts.Year, 4) : Padded(parts.Year % 100, 2);
            break;
        case 'm':
            used = std::min<std::size_t>(run, 4);
            out += used == 4   ? LongMonthNames[parts.Month - 1]
                   : used == 3 ? ShortMonthNames[parts.Month - 1]
                               : Padded(parts.Month, static_cast<int>(used));
            break;
        case 'd':
            used = std::min<std::size_t>(run, 4);
            out += used == 4   ? LongDayNames[DayOfWeek(value)]
                   : used == 3 ? ShortDayNames[DayOfWeek(value)]
                               : Padded(parts.Day, static_cast<int>(used));
            break;
        case 'h':
            used = std::min<std::size_t>(run, 2);
            out += Padded(parts.Hour, static_cast<int>(used));
            break;
        case 'n':
            used = std::min<std::size_t>(run, 2);
            out += Padded(parts.Minute, static_cast<int>(used));
            break;
        case 's':
            used = std::min<std::size_t>(run, 2);
            out += Padded(parts.Second, static_cast<int>(used));
            break;
        case 'z':
            used = run >= 3 ? 3 : 1;
            out += Padded(parts.Millisecond, static_cast<int>(used));
            break;
        default:
            out += c;
            used = 1;
            break;
        }
        at += used;
    }
    return out;
}

std::string DateToStr(TDateTime value) {
    const TFormatSettings& settings = FormatSettings();
    return FormatDateTime(settings.ShortDatePattern, value, settings.DateSeparator);
}

std::string DateTimeToStr(TDateTime value) {
    const TFormatSettings& settings = FormatSettings();
    return DateToStr(value) + " " +
           FormatDateTime(settings.LongTimePattern, value, settings.DateSeparator);
}

} // namespace parvela
