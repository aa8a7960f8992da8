// The shared reader of the model input format, line by line: every shape of line that the
// input writers produce, tables, dates, both line ends and the faults it reports.

#include "models/common/Dates.h"
#include "models/common/InputFile.h"
#include "models/common/Text.h"

#include <gtest/gtest.h>

namespace parvela::models {
namespace {

struct KeywordCase {
    std::string line;
    std::string keyword;
    std::string value;
    std::string unit;
};

void PrintTo(const KeywordCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class ModelKeywordLineTest : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(ModelKeywordLineTest, GivesValueKeywordAndUnit) {
    const KeywordCase& c = GetParam();
    Issues issues;
    const InputFile file = InputFile::Parse("x.gld", {c.line}, issues);
    EXPECT_TRUE(issues.Empty());
    const KeywordLine* line = file.Find(c.keyword);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->keyword, c.keyword);
    EXPECT_EQ(line->value, c.value);
    EXPECT_EQ(line->unit, c.unit);
    EXPECT_EQ(line->line, 1);
}

INSTANTIATE_TEST_SUITE_P(
    WriterLines, ModelKeywordLineTest,
    ::testing::Values(
        KeywordCase{"01-Jan-1990       TimStart", "TimStart", "01-Jan-1990", ""},
        KeywordCase{"31-Dec-1992        TimEnd", "TimEnd", "31-Dec-1992", ""},
        KeywordCase{"0.25000 DT50Ref_ABC (d)", "DT50Ref_ABC", "0.25000", "d"},
        KeywordCase{"EqlDom_Input     OptDT50_ABC", "OptDT50_ABC", "EqlDom_Input", ""},
        KeywordCase{"OptimumConditions OptCntLiqTraRef_ABC", "OptCntLiqTraRef_ABC",
                    "OptimumConditions", ""},
        KeywordCase{"NonOptimumConditions OptCntLiqTraRef_M1", "OptCntLiqTraRef_M1",
                    "NonOptimumConditions", ""},
        KeywordCase{"pH-independent   OptCofFre_ABC", "OptCofFre_ABC", "pH-independent", ""},
        KeywordCase{"Lumped           OptDspCrp_ABC", "OptDspCrp_ABC", "Lumped", ""},
        KeywordCase{"300.0            MolMas_ABC (g.mol-1)", "MolMas_ABC", "300.0", "g.mol-1"},
        KeywordCase{"1E-05            PreVapRef_ABC (Pa)", "PreVapRef_ABC", "1E-05", "Pa"},
        KeywordCase{"Two crop sprays ApplicationScheme", "ApplicationScheme", "Two crop sprays",
                    ""},
        KeywordCase{"Sprays (2x) ApplicationScheme", "ApplicationScheme", "Sprays (2x)", ""},
        KeywordCase{"Table grapes ApplicationScheme", "ApplicationScheme", "Table grapes", ""},
        KeywordCase{"ABC                SubstanceName", "SubstanceName", "ABC", ""},
        KeywordCase{"Jinhua MeteoStation", "MeteoStation", "Jinhua", ""},
        KeywordCase{"Jinhua PondingDepthFile", "PondingDepthFile", "Jinhua", ""},
        KeywordCase{"5                  DT50Ref_ABC (d)              ! DAXO attribute name: "
                    "DT50WatRef",
                    "DT50Ref_ABC", "5", "d"},
        KeywordCase{"1.0                ConLiqRefSusSol_ABC (mg.L-1) ! DAXO attribute name: "
                    "ConLiqRefSus",
                    "ConLiqRefSusSol_ABC", "1.0", "mg.L-1"},
        KeywordCase{"0.0       CofSorMph_ABC (L.kg-1)       ! the pond holds no macrophytes",
                    "CofSorMph_ABC", "0.0", "L.kg-1"},
        KeywordCase{"                 KomEql_M1 (L.kg-1)", "KomEql_M1", "", "L.kg-1"},
        KeywordCase{"No        OptDailyOutput", "OptDailyOutput", "No", ""}));

TEST(ModelInputFileTest, ReadsTablesAndSkipsComments) {
    Issues issues;
    const InputFile file = InputFile::Parse("x.gld",
                                            {"* comment",
                                             "",
                                             "table compounds",
                                             "ABC",
                                             "M1",
                                             "end_table",
                                             "",
                                             "table FraPrtDau (mol.mol-1)",
                                             "0.5 ABC -> M1",
                                             "end_table",
                                             "table horizon FacZTra (-)",
                                             "hor ABC M1",
                                             "1 1.0 1.0",
                                             "end_table",
                                             "table Applications",
                                             "05-May        AppCrpUsr    1.0000     0.50",
                                             "end_table",
                                             "table Loadings",
                                             " 05-May-1990 0.20",
                                             "end_table",
                                             "table FraPrtDauWat (mol.mol-1)",
                                             "end_table",
                                             "*--------------- Parent: ABC ---------------"},
                                            issues);
    EXPECT_TRUE(issues.Empty()) << issues.Messages().front();
    ASSERT_NE(file.FindTable("compounds"), nullptr);
    EXPECT_EQ(file.FindTable("compounds")->rows.size(), 2u);
    const Table* formation = file.FindTable("FraPrtDau");
    ASSERT_NE(formation, nullptr);
    EXPECT_EQ(formation->unit, "mol.mol-1");
    EXPECT_EQ(formation->rows.at(0).words, (std::vector<std::string>{"0.5", "ABC", "->", "M1"}));
    const Table* horizon = file.FindTable("FacZTra");
    ASSERT_NE(horizon, nullptr);
    EXPECT_TRUE(horizon->horizon);
    EXPECT_EQ(horizon->unit, "-");
    EXPECT_EQ(horizon->rows.size(), 2u);
    EXPECT_EQ(file.FindTable("Applications")->rows.at(0).words.size(), 4u);
    EXPECT_EQ(file.FindTable("Applications")->rows.at(0).line, 16);
    EXPECT_EQ(file.FindTable("Loadings")->rows.at(0).words,
              (std::vector<std::string>{"05-May-1990", "0.20"}));
    EXPECT_TRUE(file.FindTable("FraPrtDauWat")->rows.empty());
}

struct FaultCase {
    std::vector<std::string> lines;
    std::string message;
};

class ModelInputFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ModelInputFaultTest, IsReportedWithItsLine) {
    Issues issues;
    InputFile::Parse("x.gld", GetParam().lines, issues);
    ASSERT_FALSE(issues.Empty());
    EXPECT_EQ(issues.Messages().front(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ModelInputFaultTest,
    ::testing::Values(
        FaultCase{{"table compounds", "ABC"}, "x.gld line 1: table compounds has no end_table"},
        FaultCase{{"ABC SubstanceName", "end_table"}, "x.gld line 2: end_table without a table"},
        FaultCase{{"1 DT50Ref_ABC (d)", "2 DT50Ref_ABC (d)"},
                  "x.gld line 2: DT50Ref_ABC is given again with another value (first on "
                  "line 1)"},
        FaultCase{{"table compounds", "end_table", "table compounds", "end_table"},
                  "x.gld line 3: table compounds is given again (first on line 1)"}));

TEST(ModelInputFileTest, RepeatedLineWithTheSameValueIsAccepted) {
    Issues issues;
    const InputFile file =
        InputFile::Parse("x.gld", {"1 DT50Ref_M1 (d)", "1 DT50Ref_M1 (d)"}, issues);
    EXPECT_TRUE(issues.Empty());
    EXPECT_EQ(file.RequireNumber("dt50ref_m1", Positive, issues), 1.0); // any letter case
}

TEST(ModelInputFileTest, TypedReadersReportMissingAndBadValues) {
    Issues issues;
    const InputFile file = InputFile::Parse(
        "x.mnd", {"abc VolWat (m3)", "-1 DepWat (m)", "1990-01-01 TimStart", "Maybe Opt"}, issues);
    EXPECT_FALSE(file.RequireNumber("VolWat", Positive, issues));
    EXPECT_FALSE(file.RequireNumber("DepWat", Positive, issues));
    EXPECT_FALSE(file.RequireDate("TimStart", issues));
    EXPECT_FALSE(file.RequireYesNo("Opt", issues));
    EXPECT_FALSE(file.RequireText("Missing", issues));
    EXPECT_EQ(
        issues.Messages(),
        (std::vector<std::string>{
            "x.mnd line 1: VolWat: \"abc\" is not a number",
            "x.mnd line 2: DepWat: -1 is not greater than 0",
            "x.mnd line 3: TimStart: \"1990-01-01\" is not a date like 01-Jan-1990",
            "x.mnd line 4: Opt: \"Maybe\" is not Yes or No", "x.mnd: keyword Missing is missing"}));
}

TEST(ModelInputFileTest, OptionalYesNoTakesItsDefaultOnlyWhenLeftOut) {
    Issues issues;
    const InputFile file =
        InputFile::Parse("x.gld", {"yes OptA", "FALSE OptB", "Sometimes OptC"}, issues);
    EXPECT_EQ(file.OptionalYesNo("OptA", false, issues), true);
    EXPECT_EQ(file.OptionalYesNo("OptB", true, issues), false);
    EXPECT_EQ(file.OptionalYesNo("OptD", true, issues), true);
    EXPECT_TRUE(issues.Empty());
    EXPECT_FALSE(file.OptionalYesNo("OptC", false, issues));
    EXPECT_EQ(issues.Messages().size(), 1u);
}

TEST(ModelDatesTest, ParsesAndFormatsTheModelDates) {
    EXPECT_EQ(FormatDate(*ParseDate("05-May-1990")), "05-May-1990");
    EXPECT_EQ(FormatDate(*ParseDate("5-may-1990")), "05-May-1990");
    EXPECT_EQ(*ParseDate("01-Mar-2000") - *ParseDate("28-Feb-2000"), 2); // leap year
    EXPECT_EQ(*ParseDate("01-Mar-1900") - *ParseDate("28-Feb-1900"), 1); // not a leap year
    EXPECT_FALSE(ParseDate("29-Feb-1991"));
    EXPECT_FALSE(ParseDate("05-May-90"));
    EXPECT_FALSE(ParseDate("1990-05-05"));
    EXPECT_FALSE(ParseDate("05-Mai-1990"));
    EXPECT_TRUE(ParseDayMonth("29-Feb"));
    EXPECT_FALSE(ParseDayMonth("30-Feb"));
    EXPECT_EQ(ParseDayMonth("05-May")->month, 5);
    EXPECT_EQ(YearOf(*ParseDate("31-Dec-1992")), 1992);
}

TEST(ModelTextTest, NumbersAreReadWithAPointWhateverTheLocale) {
    EXPECT_EQ(ParseNumber("0.25"), 0.25);
    EXPECT_EQ(ParseNumber("1E-05"), 1e-05);
    EXPECT_EQ(ParseNumber("+3"), 3.0);
    EXPECT_FALSE(ParseNumber("0,25"));
    EXPECT_FALSE(ParseNumber("1.0x"));
    EXPECT_FALSE(ParseNumber("nan"));
    EXPECT_FALSE(ParseNumber(""));
}

} // namespace
} // namespace parvela::models
