// The pieces of the report's charts and provenance without a database: the daily output
// reader, the moving average, the SVG of awkward labels and the SHA-256 of files.

#include "framework/Exceptions.h"
#include "program/DailyOutput.h"
#include "program/FileDigest.h"
#include "program/ReportCharts.h"
#include "tests/support/SvgCharts.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace parvela {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class ReportPiecesTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(PARVELA_TEST_WORK_DIR) / "report-pieces" /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (directory_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    fs::path directory_;
};

const std::string DailyHead = "* daily\r\nDate   ConWat  CntSed\r\n  (ug.L-1) (ug.kg-1)\r\n";

TEST_F(ReportPiecesTest, DailyOutputIsReadWithItsUnits) {
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

TEST_F(ReportPiecesTest, DailyOutputFaultsNameTheLine) {
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

// The literal definition: the mean of every run of `window` days.
TMovingAverage HighestMeanByDefinition(const std::vector<double>& values, std::size_t window) {
    const std::size_t width = std::min(window, values.size());
    TMovingAverage best{0, 0, -1};
    for (std::size_t first = 0; first + width <= values.size(); ++first) {
        double sum = 0;
        for (std::size_t i = first; i < first + width; ++i)
            sum += values[i];
        if (sum / width > best.Mean)
            best = {first, first + width - 1, sum / width};
    }
    return best;
}

TEST(HighestMovingAverage, AgreesWithTheDefinition) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(0, 100);
    for (std::size_t size : {1u, 5u, 21u, 22u, 400u}) {
        std::vector<double> values(size);
        for (double& v : values)
            v = value(random);
        for (std::size_t window : {1u, 7u, 21u, 28u}) {
            const TMovingAverage fast = HighestMovingAverage(values, window);
            const TMovingAverage literal = HighestMeanByDefinition(values, window);
            EXPECT_EQ(fast.First, literal.First) << size << " " << window;
            EXPECT_EQ(fast.Last, literal.Last) << size << " " << window;
            EXPECT_NEAR(fast.Mean, literal.Mean, 1e-9) << size << " " << window;
        }
    }
}

TEST_F(ReportPiecesTest, ChartTextsAreEscapedAndTheChartIsWellFormed) {
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

TEST_F(ReportPiecesTest, Sha256OfFiles) {
    EXPECT_EQ(FileSha256(Write("empty", "")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(FileSha256(Write("abc", "abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    std::string large(200000, 'a');
    EXPECT_EQ(FileSha256(Write("large", large)).size(), 64u);
    EXPECT_THROW(FileSha256((directory_ / "missing").string()), EOSError);
}

} // namespace
} // namespace parvela
