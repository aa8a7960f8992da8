// The program's formatting routine: conversions, widths, precisions, argument selection,
// failures and independence of the C locale.

#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <regex>
#include <sstream>
#include <string>

namespace parvela {
namespace {

struct FormatCase {
    std::string format;
    TVarRecArray args;
    std::string expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class FormatCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatCases, GivesExpectedText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(Format(c.format, c.args), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormatCases,
    ::testing::Values(
        FormatCase{"%s", {"abc"}, "abc"}, FormatCase{"%s", {""}, ""}, FormatCase{"%s", {'c'}, "c"},
        FormatCase{"[%.3s]", {"abcdef"}, "[abc]"}, FormatCase{"%d", {42}, "42"},
        FormatCase{"%d", {-7}, "-7"}, FormatCase{"%d", {MissingInteger}, "-2147483648"},
        FormatCase{"%f", {3.14159}, "3.14"}, FormatCase{"%f", {2.0}, "2.00"},
        FormatCase{"%f", {0.125}, "0.13"}, FormatCase{"%f", {-0.001}, "0.00"},
        FormatCase{"%f", {-2.5}, "-2.50"}, FormatCase{"%9.4f", {3.14159}, "   3.1416"},
        FormatCase{"%9.4f", {-12.5}, " -12.5000"}, FormatCase{"%.0f", {0.6}, "1"},
        FormatCase{"%.3f", {0.0005}, "0.001"}, FormatCase{"%.2f", {0.004}, "0.00"},
        FormatCase{"%10.2f", {-1234.567}, "  -1234.57"},
        FormatCase{"%10.2f", {99.995}, "    100.00"},
        // The exact binary value decides: 0.995 is 0.99499999..., 1.005 is 1.00499999...
        FormatCase{"%f", {0.995}, "0.99"}, FormatCase{"%f", {1.005}, "1.00"},
        FormatCase{"%f", {0.015}, "0.01"}, FormatCase{"%f", {0.045}, "0.04"},
        FormatCase{"%f", {2.675}, "2.67"}, FormatCase{"%9.4f", {1.00005}, "   1.0001"},
        // Exactly halfway: away from zero, in both directions.
        FormatCase{"%.0f", {2.5}, "3"}, FormatCase{"%.0f", {0.5}, "1"},
        FormatCase{"%.0f", {-2.5}, "-3"}, FormatCase{"%f", {-0.125}, "-0.13"},
        FormatCase{"%f", {0.375}, "0.38"}, FormatCase{"%9f", {1.125}, "     1.13"},
        FormatCase{"%9.4f", {0.03125}, "   0.0313"}, FormatCase{"%9.4f", {2.00005}, "   2.0000"},
        FormatCase{"%.2e", {0.125}, "1.3E-001"}, FormatCase{"%n", {1234.125}, "1,234.13"},
        FormatCase{"%-16s|", {"abc"}, "abc             |"},
        FormatCase{"%-16s|", {"longer than sixteen"}, "longer than sixteen|"},
        FormatCase{"%9s", {"abc"}, "      abc"},
        // Widths count characters: a UTF-8 sequence is one, a byte of another encoding too.
        FormatCase{"%-16s|", {"ÄLPHA"}, "ÄLPHA           |"},
        FormatCase{"%-18s|", {"稻田农药"}, "稻田农药              |"},
        FormatCase{"%9s", {"ÄÖ"}, "       ÄÖ"}, FormatCase{"%.2s", {"ÄÖÜ"}, "ÄÖ"},
        FormatCase{"%-4s|", {"\xB5g"}, "\xB5g  |"}, FormatCase{"%.2d", {5}, "05"},
        FormatCase{"%.2d", {123}, "123"}, FormatCase{"%.3d", {-5}, "-005"},
        FormatCase{"%2d", {5}, " 5"}, FormatCase{"%2d", {123}, "123"},
        FormatCase{"%.2d-%s", {7, "Jan"}, "07-Jan"},
        FormatCase{"PROJECTID=%S", {"12"}, "PROJECTID=12"}, FormatCase{"%D", {17}, "17"},
        FormatCase{"%F", {1.5}, "1.50"}, FormatCase{"%9.4F", {1.0}, "   1.0000"},
        FormatCase{"%-5S|", {"ab"}, "ab   |"}, FormatCase{"%%", {}, "%"},
        FormatCase{"100%% of %d", {3}, "100% of 3"}, FormatCase{"%1:s %0:s", {"a", "b"}, "b a"},
        FormatCase{"%0:s-%s", {"a", "b"}, "a-b"}, FormatCase{"%1:d%0:d%d", {1, 2}, "212"},
        FormatCase{"%*d", {5, 42}, "   42"}, FormatCase{"%-*s|", {4, "ab"}, "ab  |"},
        FormatCase{"%.*f", {3, 1.23456}, "1.235"}, FormatCase{"%*.*f", {8, 1, 2.25}, "     2.3"},
        FormatCase{"%n", {1234567.891}, "1,234,567.89"}, FormatCase{"%x", {255}, "FF"},
        FormatCase{"%e", {1.0}, "1.00000000000000E+000"},
        FormatCase{"%s.%s : Wrong state",
                   {"TdciProjects", "CheckItemStateForRead"},
                   "TdciProjects.CheckItemStateForRead : Wrong state"},
        FormatCase{"no conversion", {}, "no conversion"}));

// Whether the exact binary value lies exactly halfway between two texts with that many
// decimals: its expansion, which always ends, is a 5 followed only by zeros from there on.
// 200 decimals hold the whole expansion of every value above 1E-100.
bool IsHalfway(double value, int decimals) {
    char exact[600];
    std::snprintf(exact, sizeof exact, "%.200f", value);
    const std::string digits = std::string(exact).substr(std::string(exact).find('.') + 1);
    return digits[static_cast<std::size_t>(decimals)] == '5' &&
           digits.find_first_not_of('0', static_cast<std::size_t>(decimals) + 1) ==
               std::string::npos;
}

// The C library's text, except that a result rounded to zero has no minus sign.
std::string CLibraryText(const char* format, double value) {
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    if (value < 0 && std::string(text).find_first_of("123456789") == std::string::npos)
        std::snprintf(text, sizeof text, format, -value);
    return text;
}

// The real conversions of the model input writers ("%9.4f", "%9f" and the "%f" of a loadings
// row) and "%.0f" against the C library, which rounds the exact binary value too, on values
// that are not exactly halfway: typed decimals that are one or more digits longer than the
// precision (just above or below a half once in binary) and values of every size. Halfway
// values round to even there and away from zero here: they are rows of the table above.
TEST(FormatRounding, AgreesWithTheCLibraryOnEveryValueNotExactlyHalfway) {
    struct Conversion {
        const char* ours;
        const char* cLibrary;
        int decimals;
    };
    const Conversion conversions[] = {
        {"%9.4f", "%9.4f", 4}, {"%9f", "%9.2f", 2}, {"%f", "%.2f", 2}, {"%.0f", "%.0f", 0}};
    std::mt19937_64 random(15);
    std::uniform_int_distribution<long long> typed(0, 999999999);
    std::uniform_int_distribution<int> typedDecimals(1, 9);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> magnitude(-8, 12);
    int compared = 0;
    for (int i = 0; i < 50000; ++i) {
        double value =
            i % 2 == 0 ? static_cast<double>(typed(random)) / std::pow(10.0, typedDecimals(random))
                       : unit(random) * std::pow(10.0, magnitude(random));
        if (i % 3 == 0)
            value = -value;
        for (const Conversion& c : conversions) {
            if (IsHalfway(value, c.decimals))
                continue;
            ASSERT_EQ(Format(c.ours, value), CLibraryText(c.cLibrary, value))
                << c.ours << " of " << std::setprecision(17) << value;
            ++compared;
        }
    }
    EXPECT_GT(compared, 199000) << "hardly any value is exactly halfway";
}

struct FailureCase {
    std::string format;
    TVarRecArray args;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << '"' << c.format << '"';
}

class FormatFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FormatFailures, RaiseConvertError) {
    const FailureCase& c = GetParam();
    EXPECT_THROW(Format(c.format, c.args), EConvertError);
}

INSTANTIATE_TEST_SUITE_P(Incompatible, FormatFailures,
                         ::testing::Values(FailureCase{"%f", {"text"}}, FailureCase{"%d", {1.5}},
                                           FailureCase{"%d", {"12"}}, FailureCase{"%s", {3}},
                                           FailureCase{"%s", {true}}, FailureCase{"%d", {}},
                                           FailureCase{"%s %s", {"one"}}, FailureCase{"%", {}},
                                           FailureCase{"%q", {1}}, FailureCase{"%*d", {"5", 1}},
                                           FailureCase{"%5", {1}}));

TEST(FormatFailureMessage, NamesTheFormat) {
    try {
        Format("%f", {TVarRec("text")});
        FAIL() << "no failure";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%f' invalid or incompatible with argument");
    }
}

struct GeneralCase {
    double value;
    std::string expected;
};

void PrintTo(const GeneralCase& c, std::ostream* os) {
    *os << c.expected;
}

class FloatToStrGeneralCases : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(FloatToStrGeneralCases, ShortestGeneralNotation) {
    EXPECT_EQ(FloatToStrGeneral(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reals, FloatToStrGeneralCases,
    ::testing::Values(GeneralCase{0.5, "0.5"}, GeneralCase{2.0, "2"}, GeneralCase{12.25, "12.25"},
                      GeneralCase{0.0, "0"}, GeneralCase{-0.25, "-0.25"},
                      GeneralCase{0.1 + 0.2, "0.3"}, GeneralCase{1.0 / 3.0, "0.333333333333333"},
                      GeneralCase{123456789012345.0, "123456789012345"}, GeneralCase{1e15, "1E15"},
                      GeneralCase{1.5e20, "1.5E20"}, GeneralCase{0.0001, "0.0001"},
                      GeneralCase{1e-7, "1E-7"}, GeneralCase{-2.5e-9, "-2.5E-9"}));

// Runs `body` with LC_ALL set to a German locale, whose decimal separator is ",". The locale
// is compiled into the test work directory when the system does not have it.
bool SelectGermanLocale() {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8"))
        return true;
    namespace fs = std::filesystem;
    fs::path dir = fs::path(PARVELA_TEST_WORK_DIR) / "locale";
    fs::create_directories(dir);
    std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (!fs::exists(dir / "de_DE.UTF-8") && std::system(command.c_str()) != 0)
        return false;
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST(FormatLocale, NumbersKeepTheDotUnderAGermanLocale) {
    if (!SelectGermanLocale())
        GTEST_SKIP() << "no German locale can be made on this machine";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(Format("%f", 1.5), "1.50");
    EXPECT_EQ(Format("%9.4f", 3.14159), "   3.1416");
    EXPECT_EQ(Format("%n", 1234.5), "1,234.50");
    EXPECT_EQ(Format("%e", 1.0), "1.00000000000000E+000");
    EXPECT_EQ(FloatToStrGeneral(12.25), "12.25");
    EXPECT_DOUBLE_EQ(StrToFloat("12.25"), 12.25);
    EXPECT_THROW(StrToFloat("12,25"), EConvertError);
    std::setlocale(LC_ALL, "C");
}

// Whatever locales the machine has: the routine must not call into the C library's
// locale-dependent conversions at all.
TEST(FormatLocale, SourceUsesNoLocaleDependentFunction) {
    std::ifstream in(std::string(PARVELA_SOURCE_DIR) + "/framework/Format.cpp");
    ASSERT_TRUE(in.good());
    std::stringstream text;
    text << in.rdbuf();
    const std::regex forbidden(R"(\b(s?n?printf|strto[dfl]|ato[fil]|sto[dfil]|to_string|)"
                               R"(tolower|toupper|is(digit|space|alpha)|localeconv|)"
                               R"(setlocale|std::locale|stringstream)\s*\()");
    std::smatch match;
    std::string source = text.str();
    EXPECT_FALSE(std::regex_search(source, match, forbidden)) << match.str();
}

} // namespace
} // namespace parvela
