#include "framework/DateTime.h"
#include "framework/Format.h"
#include "platform/Exceptions.h"
#include "platform/ScriptedDialogs.h"
#include "program/reports/CsvExport.h"
#include "program/reports/DailyOutput.h"
#include "program/reports/ReportCharts.h"
#include "program/reports/SvgChart.h"
#include "program/reports/TCordessaReport.h"
#include "program/system/DayMonth.h"
#include "program/system/FileDigest.h"
#include "tests/platform/TestDirectory.h"
#include "tests/support/SvgCharts.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace parvela {
namespace {

namespace fs = std::filesystem;

struct HtmlLineCase {
    const char* text;
    const char* html;
};

class HtmlLineTest : public ::testing::TestWithParam<HtmlLineCase> {};

TEST_P(HtmlLineTest, BecomesOneLineOfThePage) {
    EXPECT_EQ(GetParam().html, TCordessaReport::ToHtmlLine(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlLineTest,
    ::testing::Values(HtmlLineCase{"", "<BR>"},
                      HtmlLineCase{"two  blanks", "two&nbsp;&nbsp;blanks<BR>"},
                      HtmlLineCase{"\r\nGLIDAR REPORT", "GLIDAR&nbsp;REPORT<BR>"},
                      HtmlLineCase{"\r\n", "\n<BR>"},
                      HtmlLineCase{"ends in a return\r", "ends&nbsp;in&nbsp;a&nbsp;return<BR><BR>"},
                      HtmlLineCase{"a\0b", "a<BR>"},
                      HtmlLineCase{"<script>alert(\"x\")</script> & co",
                                   "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&nbsp;&amp;"
                                   "&nbsp;co<BR>"}));

class ReportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(PARVELA_TEST_WORK_DIR) / "report" /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        setenv("TMPDIR", directory_.c_str(), 1);
        unsetenv("XDG_RUNTIME_DIR");
    }

    // Where the reports of this user go.
    std::string Private() const {
        return (directory_ / ("parvela-" + std::to_string(::geteuid()))).string();
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (directory_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    fs::path directory_;
};

TEST_F(ReportFileTest, WritesTheFixedHeadAndTheLinesWithCarriageReturns) {
    TCordessaReport report("Rice_1", "Parvela_2.4.2_CN - report");
    EXPECT_EQ(Private() + "/Rice_1.htm", report.ReportPath());
    report.AddTitle1("Summary report: Parvela_2.4.2_CN");
    report.AddLine("Assessment: A, x < y");
    report.FinishReport();
    std::string page = Read(report.ReportPath());
    EXPECT_EQ(0u, page.find("<HTML>\r\n<HEAD>\r\n<TITLE>Parvela_2.4.2_CN - report</TITLE>\r\n"
                            "<META http-equiv=\"Content-Type\" content=\"text/html; "
                            "charset=iso-8859-1\">\r\n<STYLE type=\"text/css\">\r\n<!--\r\n"
                            ".FontStandard   {font-family: Courier, \"Courier New\", monospace; "
                            "font-size: 8pt}\r\n"));
    EXPECT_NE(std::string::npos,
              page.find("-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY CLASS=\"FontStandard\" "
                        "bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n<P class=\"FontTitle1\">Summary "
                        "report: Parvela_2.4.2_CN</P>\r\nAssessment:&nbsp;A,&nbsp;x&nbsp;&lt;"
                        "&nbsp;y<BR>\r\n</BODY>\r\n</HTML>\r\n"));
    EXPECT_EQ(18u + 4u, report.Lines().size());
}

TEST_F(ReportFileTest, TheTitleAndTitleParagraphAreEscaped) {
    TCordessaReport report("x", "</TITLE><script>");
    report.AddTitle1("<b>bold</b>");
    EXPECT_EQ("<TITLE>&lt;/TITLE&gt;&lt;script&gt;</TITLE>", report.Lines()[2]);
    EXPECT_EQ("<P class=\"FontTitle1\">&lt;b&gt;bold&lt;/b&gt;</P>", report.Lines().back());
}

TEST_F(ReportFileTest, ThePageIsSingleByteWithReferencesForOtherCharacters) {
    TCordessaReport report("chars", "t");
    report.AddLine("caf\xC3\xA9 \xE4\xB8\xAD");
    report.FinishReport();
    std::string page = Read(report.ReportPath());
    EXPECT_NE(std::string::npos, page.find("caf\xE9&nbsp;&#20013;<BR>\r\n"));
}

TEST_F(ReportFileTest, ASecondReportReplacesTheFirst) {
    {
        TCordessaReport first("same", "t");
        first.AddLine("first");
        first.FinishReport();
    }
    TCordessaReport second("same", "t");
    second.AddLine("second");
    second.FinishReport();
    std::string page = Read(second.ReportPath());
    EXPECT_EQ(std::string::npos, page.find("first"));
    EXPECT_NE(std::string::npos, page.find("second<BR>"));
}

// The report is the user's alone, in a directory of theirs. A directory that another user
// planted where it belongs (here a link to theirs) is refused with the reason and the fix,
// and nothing is written through it.
TEST_F(ReportFileTest, ThePageIsTheUsersAloneAndAPlantedDirectoryIsRefused) {
    TCordessaReport report("Example", "t");
    report.FinishReport();
    EXPECT_EQ(test::ModeOf(report.ReportPath()), 0600u);
    EXPECT_EQ(test::ModeOf(Private()), 0700u);
    fs::remove_all(Private());
    const fs::path planted = directory_ / "theirs";
    fs::create_directories(planted);
    fs::create_directory_symlink(planted, Private());
    try {
        TCordessaReport refused("Example", "t");
        refused.FinishReport();
        ADD_FAILURE() << "written through the link";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message(), "The directory \"" + Private() +
                                   "\" cannot hold this user's private files: it is a symbolic "
                                   "link. Remove it, or set TMPDIR to a directory of your own.");
    }
    EXPECT_TRUE(fs::is_empty(planted));
}

TEST_F(ReportFileTest, ARefusedOpenIsReported) {
    fs::path opener = directory_ / "refuse.sh";
    std::ofstream(opener) << "#!/bin/sh\nexit 3\n";
    fs::permissions(opener, fs::perms::owner_all);
    setenv("PARVELA_OPENER", opener.c_str(), 1);
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    TCordessaReport report("Rice_2", "t");
    report.FinishReport();
    report.OpenReport();
    ASSERT_EQ(1u, dialogs.Boxes().size());
    EXPECT_EQ("Could not start Rice_2.htm", dialogs.Boxes()[0].Box.Text);
    EXPECT_TRUE(fs::exists(report.ReportPath())) << "the file stays";
}

const std::string DailyHead = "* daily\r\nDate   ConWat  CntSed\r\n  (ug.L-1) (ug.kg-1)\r\n";

TEST_F(ReportFileTest, DailyOutputIsReadWithItsUnits) {
    EXPECT_FALSE(ReadDailyOutput((directory_ / "none.out").string()));
    const auto output = ReadDailyOutput(
        Write("17.out", DailyHead + "01-Jan-2000 1.5e+00 2\r\n\r\n02-Jan-2000 0.25 3\n"));
    ASSERT_TRUE(output);
    EXPECT_EQ(output->Days,
              (std::vector<TDateTime>{EncodeDate(2000, 1, 1), EncodeDate(2000, 1, 2)}));
    ASSERT_NE(output->Column("CntSed"), nullptr);
    EXPECT_EQ(output->Column("CntSed")->Unit, "ug.kg-1");
    EXPECT_EQ(output->Column("ConWat")->Values, (std::vector<double>{1.5, 0.25}));
    EXPECT_EQ(output->Column("FlwOut"), nullptr);
}

TEST_F(ReportFileTest, ValuesThatAreNoFiniteNumbersAreKeptAsUnreadableWithTheirLine) {
    const auto output = ReadDailyOutput(
        Write("17.out", DailyHead + "01-Jan-2000 NaN 2\r\n02-Jan-2000 0.25 -inf\r\n"));
    ASSERT_TRUE(output);
    EXPECT_EQ(output->FileName, "17.out");
    EXPECT_TRUE(std::isnan(output->Column("ConWat")->Values[0]));
    EXPECT_TRUE(std::isnan(output->Column("CntSed")->Values[1]));
    ASSERT_EQ(output->Unreadable.size(), 2u);
    EXPECT_EQ(output->Unreadable[0].Line, 4u);
    EXPECT_EQ(output->Unreadable[0].Column, "ConWat");
    EXPECT_EQ(output->Unreadable[0].Text, "NaN");
    EXPECT_EQ(output->Unreadable[1].Line, 5u);
    EXPECT_EQ(output->Unreadable[1].Column, "CntSed");
}

TEST_F(ReportFileTest, DailyOutputFaultsNameTheLine) {
    struct Case {
        std::string text;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"Date\r\n", "17.out line 1: no value columns"},
             {"Date ConWat CntSed\r\n(ug.L-1)\r\n", "17.out line 2: expected one unit per column"},
             {"Date ConWat\r\nug.L-1\r\n", "17.out line 2: a unit is not in parentheses: ug.L-1"},
             {DailyHead + "01-Jan-2000 1\r\n", "17.out line 4: expected a date and 2 values"},
             {DailyHead + "31-Feb-2000 1 2\r\n", "17.out line 4: not a date: 31-Feb-2000"},
             {DailyHead + "01-Foo-2000 1 2\r\n", "17.out line 4: not a date: 01-Foo-2000"},
             {DailyHead + "01-Jan-2000 1,5 2\r\n", "17.out line 4: not a number: 1,5"},
             {DailyHead, "17.out: no daily rows"},
         }) {
        try {
            ReadDailyOutput(Write("17.out", c.text));
            ADD_FAILURE() << c.message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

// The literal definition: the mean of every run of `window` days; a run that holds a value
// that is no finite number has none.
TMovingAverage HighestMeanByDefinition(const std::vector<double>& values, std::size_t window) {
    const std::size_t width = std::min(window, values.size());
    TMovingAverage best;
    for (std::size_t first = 0; first + width <= values.size(); ++first) {
        double sum = 0;
        for (std::size_t i = first; i < first + width; ++i)
            sum += values[i];
        if (!std::isfinite(sum))
            ++best.LeftOutRuns;
        else if (!best.Found || sum / width > best.Mean)
            best = {true, first, first + width - 1, sum / width, best.LeftOutRuns};
    }
    return best;
}

TEST(HighestMovingAverage, AgreesWithTheDefinition) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(0, 100);
    for (double unreadableShare : {0.0, 0.02, 0.3, 1.0})
        for (std::size_t size : {1u, 5u, 21u, 22u, 400u}) {
            std::vector<double> values(size);
            for (double& v : values)
                v = value(random) < 100 * unreadableShare ? NAN : value(random);
            for (std::size_t window : {1u, 7u, 21u, 28u}) {
                const TMovingAverage fast = HighestMovingAverage(values, window);
                const TMovingAverage literal = HighestMeanByDefinition(values, window);
                const std::string what = std::to_string(size) + " " + std::to_string(window) + " " +
                                         std::to_string(unreadableShare);
                ASSERT_EQ(fast.Found, literal.Found) << what;
                EXPECT_EQ(fast.LeftOutRuns, literal.LeftOutRuns) << what;
                if (!literal.Found)
                    continue;
                EXPECT_EQ(fast.First, literal.First) << what;
                EXPECT_EQ(fast.Last, literal.Last) << what;
                EXPECT_NEAR(fast.Mean, literal.Mean, 1e-9) << what;
            }
        }
}

// The plain thinning: each run of finite values, and in it each pixel column searched over
// all the run's points for its lowest (first) and highest (last) value.
std::vector<std::vector<std::size_t>> DrawnPointsByDefinition(const std::vector<double>& x,
                                                              const std::vector<double>& values) {
    std::vector<std::vector<std::size_t>> runs(1);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isfinite(values[i]))
            runs.emplace_back();
        else
            runs.back().push_back(i);
    std::vector<std::vector<std::size_t>> drawn;
    for (const std::vector<std::size_t>& run : runs) {
        if (run.empty())
            continue;
        std::set<double> columns;
        for (std::size_t i : run)
            columns.insert(std::floor(x[i]));
        std::vector<std::size_t> kept;
        for (double column : columns) {
            std::optional<std::size_t> lowest, highest;
            for (std::size_t i : run) {
                if (std::floor(x[i]) != column)
                    continue;
                if (!lowest || values[i] < values[*lowest])
                    lowest = i;
                if (!highest || values[i] >= values[*highest])
                    highest = i;
            }
            kept.push_back(std::min(*lowest, *highest));
            if (*lowest != *highest)
                kept.push_back(std::max(*lowest, *highest));
        }
        drawn.push_back(kept);
    }
    return drawn;
}

TEST(DrawnPoints, AgreeWithThePlainThinning) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> level(0, 4); // few levels: many equal values
    std::uniform_real_distribution<double> chance(0, 1);
    for (double daysPerPixel : {0.3, 1.0, 1.7, 29.5})
        for (double unreadableShare : {0.0, 0.05}) {
            const std::size_t size = 2000;
            std::vector<double> x(size), values(size);
            for (std::size_t i = 0; i < size; ++i) {
                x[i] = 78 + static_cast<double>(i) / daysPerPixel;
                values[i] = chance(random) < unreadableShare ? NAN : level(random);
            }
            EXPECT_EQ(DrawnPoints(x, values), DrawnPointsByDefinition(x, values))
                << daysPerPixel << " " << unreadableShare;
        }
}

TEST_F(ReportFileTest, ChartTextsAreEscapedAndTheChartIsWellFormed) {
    const auto output = ReadDailyOutput(
        Write("1.out", "Date DepPnd ConLiq_A<&\"> CntSol_A<&\">\r\n (mm) (ug.L-1) (mg.kg-1)\r\n"
                       "01-Jan-2000 1 0 0\r\n02-Jan-2000 1 3 0\r\n03-Jan-2000 1 1 0\r\n"));
    ASSERT_TRUE(output);
    std::string page;
    for (const std::string& line : PaddyWaterChart(*output))
        page += line + "\r\n";
    std::string errors;
    const auto charts = test::ReadSvgCharts(page, errors);
    ASSERT_EQ(charts.size(), 1u) << errors;
    ASSERT_EQ(charts[0].Panels.size(), 1u);
    const test::TSvgPanel& panel = charts[0].Panels[0];
    ASSERT_EQ(panel.Series.size(), 1u);
    EXPECT_EQ(panel.Series[0].Label, "A<&\">");
    EXPECT_NEAR(panel.PlottedMaximum(panel.Series[0]), 3, 1e-3);
    EXPECT_THAT(panel.Legend, ::testing::ElementsAre("A<&\">, maximum 3 ug.L-1 on 2000-01-02"));
    EXPECT_EQ(panel.DateTicks.front(), "2000-01-01");
    EXPECT_THROW(PondChart(*output), EConvertError) << "no pond columns";
}

// A daily output of the pond with a row per value from `first` on, the sediment at 1.
std::string PondRows(TDateTime first, const std::vector<std::string>& values) {
    std::string text = DailyHead;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const TDateParts day = DecodeDateTime(first + static_cast<double>(i));
        text += Format("%.2d-%s-%d %s 1\r\n", day.Day, MonthAbbreviation(day.Month), day.Year,
                       values[i]);
    }
    return text;
}

std::vector<test::TSvgChart> ParsedPondChart(const TDailyOutput& output, std::string& page) {
    for (const std::string& line : PondChart(output))
        page += line + "\r\n";
    std::string errors;
    const auto charts = test::ReadSvgCharts(page, errors);
    EXPECT_EQ(errors, "");
    return charts;
}

TEST_F(ReportFileTest, UnreadableValuesAreNotDrawnAndTheChartNamesTheirLines) {
    // 40 days with the value of the day, the pond's peak of 50 on day 20; day 10 unreadable.
    std::vector<std::string> values;
    for (int day = 1; day <= 40; ++day)
        values.push_back(day == 10 ? "NaN" : std::to_string(day == 20 ? 50 : day));
    const auto output = ReadDailyOutput(Write("17.out", PondRows(EncodeDate(2000, 1, 1), values)));
    ASSERT_TRUE(output);
    std::string page;
    const auto charts = ParsedPondChart(*output, page);
    ASSERT_EQ(charts.size(), 1u);
    EXPECT_EQ(page.find("NAN"), std::string::npos);
    EXPECT_EQ(page.find("nan"), std::string::npos);
    const test::TSvgPanel& water = charts[0].Panels.at(0);
    ASSERT_EQ(water.Series.size(), 1u);
    EXPECT_EQ(water.Series[0].Runs, 2u) << "cut at day 10";
    EXPECT_EQ(water.Series[0].Points.size(), 39u);
    EXPECT_THAT(water.Notes, ::testing::ElementsAre(
                                 "Not drawn, could not be read: 17.out line 13 (ConWat NaN)"));
    EXPECT_TRUE(charts[0].Panels.at(1).Notes.empty()) << "the sediment's values were read";
    // Only the runs of 21 days without day 10 count: the best is days 20 to 40.
    ASSERT_EQ(water.Legend.size(), 2u);
    EXPECT_THAT(water.Legend[1], ::testing::HasSubstr(" 2000-01-20 to 2000-02-09 (10 runs of 21 "
                                                      "days over values that could not be read "
                                                      "left out)"));
}

TEST_F(ReportFileTest, LongSeriesAreThinnedPerPixelColumnAndKeepTheirPeaks) {
    // 50 years of a pulse that decays every year, with one highest day.
    std::vector<std::string> values;
    const TDateTime first = EncodeDate(1971, 1, 1);
    for (int i = 0; first + i < EncodeDate(2021, 1, 1); ++i)
        values.push_back(
            i == 9000 ? "987.5" : FloatToStrGeneral(100 * std::exp(-(i % 365) / 9.0) + i % 7, 7));
    const auto output = ReadDailyOutput(Write("17.out", PondRows(first, values)));
    ASSERT_TRUE(output);
    std::string page;
    const auto charts = ParsedPondChart(*output, page);
    ASSERT_EQ(charts.size(), 1u);
    const test::TSvgPanel& water = charts[0].Panels.at(0);
    ASSERT_EQ(water.Series.size(), 1u);
    std::map<long, int> perColumn;
    for (const test::TSvgPoint& point : water.Series[0].Points)
        ++perColumn[static_cast<long>(std::floor(point.X))];
    for (const auto& [column, points] : perColumn)
        EXPECT_LE(points, 2) << "pixel column " << column;
    EXPECT_LT(water.Series[0].Points.size(), 2 * perColumn.size() + 1) << "of 18263 days";
    EXPECT_NEAR(water.PlottedMaximum(water.Series[0]), 987.5, 1);
    ASSERT_EQ(water.Maxima.size(), 1u);
    EXPECT_NEAR(water.ValueAt(water.Maxima[0].Y), 987.5, 1);
    EXPECT_THAT(water.Legend[0], ::testing::HasSubstr("global maximum 987.5 ug.L-1 on 1995-08-23"));
}

TEST(Csv, FieldsAreQuotedAsRfc4180AndNumbersKeepFullPrecision) {
    const std::pair<std::string, std::string> fields[] = {{"plain", "plain"},
                                                          {"", ""},
                                                          {"a,b", "\"a,b\""},
                                                          {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                                          {"two\r\nlines", "\"two\r\nlines\""},
                                                          {"Zhèjiāng", "Zhèjiāng"}};
    for (const auto& [text, written] : fields)
        EXPECT_EQ(CsvField(text), written) << text;
    const std::pair<double, std::string> numbers[] = {{0.1, "0.1"},
                                                      {1.0 / 3, "0.3333333333333333"},
                                                      {-2.5e-7, "-2.5e-07"},
                                                      {1234567.0, "1234567"},
                                                      {NAN, ""},
                                                      {INFINITY, ""}};
    for (const auto& [value, written] : numbers)
        EXPECT_EQ(CsvNumber(value), written) << value;
}

TEST_F(ReportFileTest, Sha256OfFiles) {
    EXPECT_EQ(FileSha256(Write("empty", "")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(FileSha256(Write("abc", "abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    std::string large(200000, 'a');
    EXPECT_EQ(FileSha256(Write("large", large)).size(), 64u);
    EXPECT_THROW(FileSha256((directory_ / "missing").string()), EOSError);
    EXPECT_EQ(TextSha256(""), FileSha256(Write("empty", "")));
    EXPECT_EQ(TextSha256("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

} // namespace
} // namespace parvela
