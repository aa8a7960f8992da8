// The delivered scenarios: complete data in a database made with the schema, interception
// periods on known growth stages, the example scheme, and templates that both model programs
// accept once the input writers have filled them in.

#include "tests/models/ProgramInputs.h"
#include "tests/models/ScenarioData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace parvela::models::test {
namespace {

namespace fs = std::filesystem;

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t LineIndex(const Lines& lines, const std::string& part) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Holds(lines[i], part))
            return i;
    return lines.size();
}

class DeliveredScenariosTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { database = new ScenarioDatabase(); }
    static void TearDownTestSuite() {
        delete database;
        database = nullptr;
    }
    static ScenarioDatabase* database;
};
ScenarioDatabase* DeliveredScenariosTest::database = nullptr;

TEST_F(DeliveredScenariosTest, AtLeastTwoScenariosWithThreeYearsOfCompleteData) {
    const auto scenarios = database->Scenarios();
    ASSERT_GE(scenarios.size(), 2u);
    std::set<std::string> captions;
    for (const ScenarioRow& s : scenarios) {
        SCOPED_TRACE(s.caption);
        EXPECT_GT(s.id, 0);
        EXPECT_FALSE(s.caption.empty());
        EXPECT_EQ(s.caption.find(' '), std::string::npos);
        captions.insert(s.caption);
        EXPECT_EQ(s.endYear - s.startYear, 2);
        for (const std::string* text : {&s.glidarData, &s.mundreData, &s.glidarMeteo,
                                        &s.mundreMeteo, &s.glidarPond, &s.mundreRain})
            EXPECT_GT(text->size(), 100u);
        // Every day of the three years, once, in the daily files.
        const Lines meteo = SplitText(s.glidarMeteo);
        const std::string first = "01-Jan-" + std::to_string(s.startYear);
        const std::string last = "31-Dec-" + std::to_string(s.endYear);
        for (const std::string* text :
             {&s.glidarMeteo, &s.mundreMeteo, &s.glidarPond, &s.mundreRain}) {
            Lines rows;
            for (const std::string& line : SplitText(*text))
                if (!line.empty() && line.front() != '*')
                    rows.push_back(line);
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.front().substr(0, 11), first);
            EXPECT_EQ(rows.back().substr(0, 11), last);
            int days = 0;
            for (int year = s.startYear; year <= s.endYear; ++year)
                days += (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 366 : 365;
            EXPECT_EQ(rows.size(), static_cast<std::size_t>(days));
        }
    }
    EXPECT_EQ(captions.size(), scenarios.size());
}

TEST_F(DeliveredScenariosTest, GlidarTemplatesHoldEveryPlaceholder) {
    for (const ScenarioRow& s : database->Scenarios()) {
        SCOPED_TRACE(s.caption);
        const Lines t = SplitText(s.glidarData);
        for (const std::string placeholder :
             {"@START", "@STOP", "@APPLICATIONSCHEME", "@APPLICATIONSTABLE", "@SUBSTANCE", "@METEO",
              "@PONDINGDEPTHFILE"})
            EXPECT_LT(LineIndex(t, placeholder), t.size()) << placeholder;
        // Lines A and B follow the substance placeholder and hold no placeholder themselves.
        const std::size_t substance = LineIndex(t, "@SUBSTANCE");
        ASSERT_LT(substance + 2, t.size());
        EXPECT_FALSE(Holds(t[substance + 1], "@"));
        EXPECT_FALSE(Holds(t[substance + 2], "@"));
    }
}

TEST_F(DeliveredScenariosTest, MundreTemplatesHoldEveryPlaceholder) {
    for (const ScenarioRow& s : database->Scenarios()) {
        SCOPED_TRACE(s.caption);
        const Lines t = SplitText(s.mundreData);
        for (const std::string placeholder :
             {"@START", "@STOP", "@APPLICATIONSCHEME", "@APPLICATIONSTABLE", "@SUBSTANCE",
              "@END_SUBSTANCE", "@METEO"})
            EXPECT_LT(LineIndex(t, placeholder), t.size()) << placeholder;
        const std::size_t table = LineIndex(t, "@APPLICATIONSTABLE");
        ASSERT_LT(table + 1, t.size());
        const std::string& rowFormat = t[table + 1];
        ASSERT_TRUE(Holds(rowFormat, "@APPDATE") && Holds(rowFormat, "@DOSAGE"));
        EXPECT_LT(rowFormat.find("@APPDATE"), rowFormat.find("@DOSAGE"));
        EXPECT_FALSE(Holds(rowFormat.substr(rowFormat.find(':') + 1), "%"));
        const std::size_t begin = LineIndex(t, "@SUBSTANCE");
        const std::size_t end = LineIndex(t, "@END_SUBSTANCE");
        ASSERT_LT(begin + 1, end);
        for (std::size_t i = begin + 1; i < end; ++i)
            EXPECT_TRUE(Holds(t[i], "_@")) << "override line " << t[i];
    }
}

TEST_F(DeliveredScenariosTest, InterceptionsCoverTheYearWithKnownGrowthStages) {
    for (const ScenarioRow& s : database->Scenarios()) {
        SCOPED_TRACE(s.caption);
        const auto rows = database->Interceptions(s.id);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(database->Count("SELECT COUNT(*) FROM Interceptions, BBCH WHERE "
                                  "Interceptions.ScenarioID = " +
                                  std::to_string(s.id) + " AND Interceptions.BBCH_ID = BBCH.ID"),
                  static_cast<long long>(rows.size()));
        // Every day of a leap year lies in exactly one period (29 February included, so no
        // period starts or ends on a day that some years lack).
        const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= days[month - 1]; ++day) {
                int holding = 0;
                for (const InterceptionRow& r : rows) {
                    const bool afterBegin =
                        month > r.beginMonth || (month == r.beginMonth && day >= r.beginDay);
                    const bool beforeEnd =
                        month < r.endMonth || (month == r.endMonth && day <= r.endDay);
                    holding += afterBegin && beforeEnd;
                }
                EXPECT_EQ(holding, 1) << day << "-" << month;
            }
        for (const InterceptionRow& r : rows) {
            EXPECT_GE(r.fraction, 0);
            EXPECT_LE(r.fraction, 1);
            EXPECT_FALSE(r.beginMonth == 2 && r.beginDay == 29);
            EXPECT_FALSE(r.endMonth == 2 && r.endDay == 29);
        }
        // The stages run through the rice season, from bare field to harvest.
        std::vector<std::string> codes;
        for (const auto& row : database->Query(
                 "SELECT BBCH.Code FROM Interceptions, BBCH WHERE Interceptions.BBCH_ID = "
                 "BBCH.ID AND Interceptions.ScenarioID = " +
                 std::to_string(s.id) + " ORDER BY Interceptions.InterceptionID"))
            codes.push_back(row[0]);
        EXPECT_EQ(codes,
                  (std::vector<std::string>{"00", "13", "21", "30", "51", "61", "71", "89", "00"}));
        // The crop intercepts most when it is fully grown.
        EXPECT_EQ(InterceptionFraction(rows, 1, 15), 0);
        EXPECT_GT(InterceptionFraction(rows, 8, 25), InterceptionFraction(rows, 6, 10));
    }
}

TEST_F(DeliveredScenariosTest, ExampleSchemeHasTwoCropSprays) {
    const auto applications = database->Query(
        "SELECT APPLICATIONTYPES.GLIDARCODE, APPLICATIONS.DOSAGE, APPLICATIONS.SPRAYDRIFTPERC "
        "FROM APPLICATIONSCHEMES, APPLICATIONS, APPLICATIONTYPES WHERE "
        "APPLICATIONS.APPLICATIONSCHEMEID = APPLICATIONSCHEMES.APPLICATIONSCHEMEID AND "
        "APPLICATIONS.APPLICATIONTYPEID = APPLICATIONTYPES.APPLICATIONTYPEID AND "
        "APPLICATIONTYPES.APPLICATIONTYPEID = 1");
    ASSERT_EQ(applications.size(), 2u);
    for (const auto& a : applications) {
        EXPECT_EQ(a[0], "AppCrpUsr");
        EXPECT_GT(std::stod(a[1]), 0);
        EXPECT_GE(std::stod(a[2]), 0);
    }
    EXPECT_EQ(database->Count("SELECT COUNT(*) FROM APPLICATIONSCHEMES WHERE LOCKED = 0 AND "
                              "CAPTION <> ''"),
              1);
}

TEST_F(DeliveredScenariosTest, KeyCountersLieBeyondTheDeliveredRows) {
    for (const auto& [table, key] : std::vector<std::pair<std::string, std::string>>{
             {"SCENARIOS", "SCENARIOID"},
             {"APPLICATIONSCHEMES", "APPLICATIONSCHEMEID"},
             {"APPLICATIONS", "APPLICATIONID"}}) {
        const long long highest = database->Count("SELECT MAX(" + key + ") FROM " + table);
        EXPECT_EQ(
            database->Count("SELECT HIGHESTID FROM SYSTABLES WHERE TABLENAME = '" + table + "'"),
            highest)
            << table;
    }
}

// With one metabolite, and without any (empty formation table, one value per horizon row).
class FilledInTemplatesTest : public DeliveredScenariosTest,
                              public ::testing::WithParamInterface<int> {};

TEST_P(FilledInTemplatesTest, AreAcceptedByBothModels) {
    const int metabolites = GetParam();
    Assessment substance;
    substance.metabolites.resize(static_cast<std::size_t>(metabolites));
    ProgramInputs inputs;
    inputs.LoadDeliveredScenarios();
    inputs.SetSubstance(substance);
    for (const ScenarioRow& s : database->Scenarios()) {
        SCOPED_TRACE(s.caption);
        const fs::path run =
            FreshDirectory("delivered-" + s.caption + "-" + std::to_string(metabolites));
        const fs::path glidar = run / "GLIDAR";
        const fs::path mundre = run / "MUNDRE";
        fs::create_directories(glidar);
        fs::create_directories(mundre);
        WriteLines(glidar / "5.gld",
                   inputs.Write("GLIDAR", s.id, ProgramInputs::DeliveredSchemeId));
        WriteLines(glidar / (s.caption + ".met"), SplitText(s.glidarMeteo));
        WriteLines(glidar / (s.caption + ".pnd"), SplitText(s.glidarPond));
        ASSERT_EQ(RunProgram(Glidar(), {(glidar / "5.gld").string()}, glidar), 0);
        ASSERT_TRUE(fs::exists(glidar / "glidar.ok")) << ReadFileText(glidar / "5.err");
        const Lines glidarBlock =
            ReportBlock(glidar / "5.sum", "GLIDAR REPORT", "End of GLIDAR REPORT");
        const auto parent = RowOf(glidarBlock, "ABC");
        ASSERT_EQ(parent.size(), 6u);
        EXPECT_GT(Number(parent[1]), 0); // some of the spray reaches the paddy water
        EXPECT_NEAR(Number(parent[3]), 3 * 2 * 0.5, 1e-9);
        EXPECT_GT(Number(parent[5]), 0); // and drains to the pond after rain
        EXPECT_EQ(RowOf(glidarBlock, "M1").size(), metabolites == 0 ? 0u : 6u);

        WriteLines(mundre / "5.mnd",
                   inputs.Write("MUNDRE", s.id, ProgramInputs::DeliveredSchemeId));
        WriteLines(mundre / (s.caption + ".met"), SplitText(s.mundreMeteo));
        WriteLines(mundre / (s.caption + ".rai"), SplitText(s.mundreRain));
        fs::copy_file(glidar / "5.e2m", mundre / "5.e2m");
        ASSERT_EQ(RunProgram(Mundre(), {(mundre / "5.mnd").string()}, mundre), 0);
        ASSERT_TRUE(fs::exists(mundre / "mundre.ok")) << ReadFileText(mundre / "5.err");
        const Lines mundreBlock =
            ReportBlock(mundre / "5.sum", "MUNDRE REPORT", "End of MUNDRE REPORT");
        EXPECT_GT(MundreValue(mundreBlock, "Global maximum concentration in water"), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Substances, FilledInTemplatesTest, ::testing::Values(0, 1),
                         [](const auto& info) {
                             return info.param == 0 ? std::string("WithoutMetabolite")
                                                    : std::string("WithOneMetabolite");
                         });

} // namespace
} // namespace parvela::models::test
