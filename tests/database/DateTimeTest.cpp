// Date-times as days since 30 December 1899.

#include "framework/DateTime.h"
#include "framework/FormatSettings.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace parvela {
namespace {

TEST(DateTime, EncodesDaysSinceTheOrigin) {
    struct Case {
        int year, month, day;
        double expected;
    };
    const Case cases[] = {{1899, 12, 30, 0},  {1899, 12, 31, 1},      {1900, 1, 1, 2},
                          {1899, 12, 29, -1}, {2015, 12, 31, 42369},  {2000, 2, 29, 36585},
                          {1, 1, 1, -693593}, {9999, 12, 31, 2958465}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(EncodeDate(c.year, c.month, c.day), c.expected) << c.year;
        const TDateParts parts = DecodeDateTime(c.expected);
        EXPECT_EQ(parts.Year, c.year);
        EXPECT_EQ(parts.Month, c.month);
        EXPECT_EQ(parts.Day, c.day);
    }
}

TEST(DateTime, TimeIsTheFractionAlsoBeforeTheOrigin) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 12, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
    const TDateParts before = DecodeDateTime(-1.25);
    EXPECT_EQ(before.Day, 29);
    EXPECT_EQ(before.Hour, 6);
    const TDateParts parts = DecodeDateTime(EncodeDateTime(2015, 12, 31, 14, 5, 7, 250));
    EXPECT_EQ(parts.Hour, 14);
    EXPECT_EQ(parts.Minute, 5);
    EXPECT_EQ(parts.Second, 7);
    EXPECT_EQ(parts.Millisecond, 250);
    EXPECT_EQ(DayNumber(-1.25), -1);
    EXPECT_EQ(DayNumber(42369.99), 42369);
}

TEST(DateTime, RefusesDatesThatDoNotExist) {
    EXPECT_THROW(EncodeDate(2015, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2015, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2015, 4, 31), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDateTime(2015, 1, 1, 24, 0, 0), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2016, 2, 29));
}

TEST(DateTime, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 11), 30);
}

TEST(DateTime, FormatsWithThePatternLetters) {
    const TDateTime value = EncodeDateTime(2015, 3, 7, 4, 5, 6, 7);
    struct Case {
        const char* pattern;
        const char* expected;
    };
    const Case cases[] = {{"yyyy-mm-dd", "2015-03-07"}, {"dd/mm/yyyy", "07.03.2015"},
                          {"d/m/yy", "7.3.15"},         {"hh:nn:ss", "04:05:06"},
                          {"h:n:s", "4:5:6"},           {"zzz", "007"},
                          {"hh mm", "04 03"},           {"mmm d", "Mar 7"},
                          {"dddd", "Saturday"},         {"yyyy \"at\" hh", "2015 at 04"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(c.pattern, value, '.'), c.expected) << c.pattern;
}

TEST(DateTime, ProgramWideNotation) {
    FormatSettings().ShortDatePattern = "yyyy-mm-dd";
    FormatSettings().LongTimePattern = "hh:nn:ss";
    FormatSettings().DateSeparator = '-';
    EXPECT_EQ(DateToStr(EncodeDate(2015, 12, 31)), "2015-12-31");
    EXPECT_EQ(DateTimeToStr(EncodeDateTime(2015, 12, 31, 14, 5, 0)), "2015-12-31 14:05:00");
}

TEST(DateTime, NowIsToday) {
    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2024, 1, 1));
    EXPECT_LT(now, EncodeDate(2200, 1, 1));
}

} // namespace
} // namespace parvela
