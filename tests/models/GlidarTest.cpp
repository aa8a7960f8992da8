// The paddy model program: results of a good run, refusal of bad input, the scenario files
// it keeps, and the physics of its mass balance.

#include "tests/models/ModelTestSupport.h"
#include "tests/models/ProgramInputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

namespace parvela::models::test {
namespace {

namespace fs = std::filesystem;

const std::string Id = "17";

struct GlidarRun {
    fs::path directory;
    int exitCode = -1;
    fs::path File(const std::string& name) const { return directory / name; }
    bool Has(const std::string& name) const { return fs::exists(File(name)); }
    Lines Block() const {
        return ReportBlock(File(Id + ".sum"), "GLIDAR REPORT", "End of GLIDAR REPORT");
    }
};

GlidarRun RunGlidar(const std::string& name, const Lines& input, const Assessment& assessment) {
    GlidarRun run{FreshDirectory(name)};
    PrepareGlidarRun(run.directory, Id, input, assessment);
    run.exitCode = RunProgram(Glidar(), {(run.directory / (Id + ".gld")).string()}, run.directory);
    return run;
}

GlidarRun RunGlidar(const std::string& name, const Assessment& assessment = Assessment()) {
    return RunGlidar(name, ExpandGlidarTemplate(TestGlidarTemplate(), assessment), assessment);
}

// Reads the mass balance row of a compound from the .sum file.
struct MassBalance {
    double applied, formed, intercepted, drained, transformed, leached, below, inWater, inSoil;
};

MassBalance MassBalanceOf(const GlidarRun& run, const std::string& code) {
    // The report block has a row for the code too; the mass balance row has ten words.
    for (const std::string& line : ReadFileLines(run.File(Id + ".sum"))) {
        const auto words = RowOf({line}, code);
        if (words.size() == 10)
            return MassBalance{Number(words[1]), Number(words[2]), Number(words[3]),
                               Number(words[4]), Number(words[5]), Number(words[6]),
                               Number(words[7]), Number(words[8]), Number(words[9])};
    }
    ADD_FAILURE() << "no mass balance row for " << code;
    return {};
}

double MaximumConcentration(const GlidarRun& run, const std::string& code) {
    const auto row = RowOf(run.Block(), code);
    EXPECT_EQ(row.size(), 6u) << code;
    return row.size() == 6 ? Number(row[1]) : -1;
}

bool EveryLineEndsWithCrLf(const fs::path& path) {
    const std::string text = ReadFileText(path);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    return !text.empty() && text.back() == '\n';
}

TEST(GlidarRunTest, GoodInputWritesOkFlagSummaryHandOverAndScenarioFiles) {
    const GlidarRun run = RunGlidar("glidar-good");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.Has(Id + ".err")) << ReadFileText(run.File(Id + ".err"));
    EXPECT_TRUE(run.Has("glidar.ok"));
    const Lines block = run.Block();
    ASSERT_GE(block.size(), 3u);
    EXPECT_EQ(block.front(), "GLIDAR REPORT");
    EXPECT_EQ(block.back(), "End of GLIDAR REPORT");
    EXPECT_EQ(RowOf(block, "ABC").size(), 6u);
    EXPECT_EQ(RowOf(block, "M1").size(), 6u);
    EXPECT_EQ(RowOf(block, "Application").back(), "sprays"); // "Two sprays", blanks kept
    EXPECT_GT(MaximumConcentration(run, "ABC"), 0);
    EXPECT_GT(MaximumConcentration(run, "M1"), 0);

    // The hand-over file: one row per simulated day for the substance.
    const Lines handOver = ReadFileLines(run.File(Id + ".e2m"));
    const auto first = std::find(handOver.begin(), handOver.end(), "table Drainage");
    const auto last = std::find(handOver.begin(), handOver.end(), "end_table");
    ASSERT_NE(first, handOver.end());
    ASSERT_NE(last, handOver.end());
    EXPECT_EQ(
        std::count_if(first, last, [](const std::string& l) { return l.rfind("*", 0) != 0; }) - 1,
        365 + 365);
    const Lines rows(first, last);
    EXPECT_EQ(RowOf(rows, "01-Jan-1990").size(), 3u);
    EXPECT_EQ(RowOf(rows, "31-Dec-1991").size(), 3u);
    EXPECT_EQ(RowOf(handOver, "ABC").back(), "SubstanceName");

    EXPECT_TRUE(run.Has("Testfield.bfo"));
    EXPECT_TRUE(run.Has("Testfield.swe"));
    EXPECT_TRUE(run.Has(Id + ".out")); // OptDailyOutput Yes
    for (const std::string& name : {Id + ".sum", Id + ".e2m", std::string("Testfield.bfo"),
                                    std::string("Testfield.swe"), Id + ".out"})
        EXPECT_TRUE(EveryLineEndsWithCrLf(run.File(name))) << name;
    EXPECT_EQ(fs::file_size(run.File("glidar.ok")), 0u);
}

TEST(GlidarRunTest, InputWithLineFeedsOnlyIsReadAlike) {
    const Assessment assessment;
    const GlidarRun crlf = RunGlidar("glidar-crlf", assessment);
    GlidarRun lf{FreshDirectory("glidar-lf")};
    PrepareGlidarRun(lf.directory, Id, {}, assessment);
    std::string text;
    for (const std::string& line : ExpandGlidarTemplate(TestGlidarTemplate(), assessment))
        text += line + "\n";
    std::ofstream(lf.File(Id + ".gld"), std::ios::binary) << text;
    lf.exitCode = RunProgram(Glidar(), {lf.File(Id + ".gld").string()}, lf.directory);
    ASSERT_EQ(lf.exitCode, 0);
    EXPECT_TRUE(lf.Has("glidar.ok"));
    EXPECT_EQ(ReadFileText(lf.File(Id + ".e2m")), ReadFileText(crlf.File(Id + ".e2m")));
}

// A fault put into an otherwise good input, and a text that the error file must hold.
struct BadInput {
    std::string name;
    std::function<void(Lines&, fs::path)> spoil;
    std::string message;
};

void PrintTo(const BadInput& c, std::ostream* os) {
    *os << c.name;
}

class GlidarBadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(GlidarBadInputTest, WritesErrorLinesAndNoOkFlag) {
    const BadInput& c = GetParam();
    const Assessment assessment;
    GlidarRun run{FreshDirectory("glidar-bad-" + c.name)};
    Lines input = ExpandGlidarTemplate(TestGlidarTemplate(), assessment);
    PrepareGlidarRun(run.directory, Id, input, assessment);
    c.spoil(input, run.directory);
    WriteLines(run.File(Id + ".gld"), input);
    // Results of an earlier run must not survive a failed one.
    for (const std::string& stale : {std::string("glidar.ok"), Id + ".sum", Id + ".e2m"})
        WriteLines(run.File(stale), {"stale"});
    run.exitCode = RunProgram(Glidar(), {run.File(Id + ".gld").string()}, run.directory);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.Has("glidar.ok"));
    EXPECT_FALSE(run.Has(Id + ".sum"));
    EXPECT_FALSE(run.Has(Id + ".e2m"));
    ASSERT_TRUE(run.Has(Id + ".err"));
    const Lines lines = ReadFileLines(run.File(Id + ".err"));
    std::vector<std::string> messages;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(messages),
                 [](const std::string& l) { return !l.empty() && l.front() != '*'; });
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(
        std::any_of(messages.begin(), messages.end(),
                    [&](const std::string& l) { return l.find(c.message) != std::string::npos; }))
        << "expected \"" << c.message << "\" in:\n"
        << ReadFileText(run.File(Id + ".err"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, GlidarBadInputTest,
    ::testing::Values(
        BadInput{"MissingTimEnd", [](Lines& l, fs::path) { Remove(l, "TimEnd"); },
                 "keyword TimEnd is missing"},
        BadInput{"BadStartDate",
                 [](Lines& l, fs::path) { Replace(l, "TimStart", "32-Jan-1990       TimStart"); },
                 "TimStart: \"32-Jan-1990\" is not a date"},
        BadInput{"EndBeforeStart",
                 [](Lines& l, fs::path) { Replace(l, "TimEnd", "31-Dec-1989       TimEnd"); },
                 "TimEnd 31-Dec-1989 is not after TimStart 01-Jan-1990"},
        BadInput{"NotANumber",
                 [](Lines& l, fs::path) {
                     Replace(l, "DT50Ref_ABC", "ten              DT50Ref_ABC (d)");
                 },
                 "DT50Ref_ABC: \"ten\" is not a number"},
        BadInput{"AbsentAttribute",
                 [](Lines& l, fs::path) {
                     Replace(l, "KomEql_M1 ", "                 KomEql_M1 (L.kg-1)");
                 },
                 "KomEql_M1 has no value"},
        BadInput{"MetaboliteWithoutParameter",
                 [](Lines& l, fs::path) { Remove(l, "MolEntTra_M1"); },
                 "keyword MolEntTra_M1 is missing"},
        BadInput{"ZeroHalfLife",
                 [](Lines& l, fs::path) { Replace(l, "DT50Ref_ABC", "0 DT50Ref_ABC (d)"); },
                 "DT50Ref_ABC: 0 is not greater than 0"},
        BadInput{"UnknownFormationCompound",
                 [](Lines& l, fs::path) { Replace(l, "ABC -> M1", "0.5 ABC -> M9"); },
                 "M9 is not a compound"},
        BadInput{"UnknownApplicationType",
                 [](Lines& l, fs::path) {
                     Replace(l, "05-May ", "05-May        AppXyz       1.0000     0.50");
                 },
                 "application type \"AppXyz\" is not known"},
        BadInput{
            "ApplicationWithoutType",
            [](Lines& l, fs::path) { Replace(l, "05-May ", "05-May                   1.0000"); },
            "type must be given"},
        BadInput{"BadApplicationDate",
                 [](Lines& l, fs::path) {
                     Replace(l, "05-May ", "31-Jun        AppCrpUsr    1.0000     0.50");
                 },
                 "\"31-Jun\" is not a day and month"},
        BadInput{"InterceptionAboveOne",
                 [](Lines& l, fs::path) {
                     Replace(l, "05-May ", "05-May        AppCrpUsr    1.0000     1.50");
                 },
                 "intercepted fraction: 1.50 is not between 0 and 1"},
        BadInput{"TableWithoutEnd",
                 [](Lines& l, fs::path) {
                     const auto at = std::find(l.begin(), l.end(), "table compounds");
                     l.erase(std::find(at, l.end(), "end_table"));
                 },
                 "has no end_table"},
        BadInput{"SubstanceNotFirstCompound",
                 [](Lines& l, fs::path) { Replace(l, "SubstanceName", "M1 SubstanceName"); },
                 "the first compound ABC is not the substance M1"},
        BadInput{"MissingMeteoFile", [](Lines&, fs::path d) { fs::remove(d / "Testfield.met"); },
                 "File Testfield.met not found"},
        BadInput{"MissingPondingFile", [](Lines&, fs::path d) { fs::remove(d / "Testfield.pnd"); },
                 "File Testfield.pnd not found"},
        BadInput{"MeteoTooShort",
                 [](Lines&, fs::path d) {
                     Lines met = ReadFileLines(d / "Testfield.met");
                     met.pop_back();
                     WriteLines(d / "Testfield.met", met);
                 },
                 "does not cover the simulation period 01-Jan-1990 to 31-Dec-1991"},
        BadInput{"MeteoWithGap",
                 [](Lines&, fs::path d) {
                     Lines met = ReadFileLines(d / "Testfield.met");
                     met.erase(met.begin() + 40);
                     WriteLines(d / "Testfield.met", met);
                 },
                 "(one row per day, without gaps)"},
        BadInput{"FormationCycle",
                 [](Lines& l, fs::path) {
                     const auto at = std::find(l.begin(), l.end(), "0.5 ABC -> M1");
                     l.insert(at + 1, "0.5 M1 -> ABC");
                 },
                 "forms a compound from itself"},
        BadInput{"MissingSoilParameter", [](Lines& l, fs::path) { Remove(l, "CntOm"); },
                 "keyword CntOm is missing"},
        BadInput{
            "UnsupportedSorptionOption",
            [](Lines& l, fs::path) { Replace(l, "OptCofFre_ABC", "pH-dependent OptCofFre_ABC"); },
            "OptCofFre_ABC: option \"pH-dependent\" is not supported"}),
    [](const auto& info) { return info.param.name; });

TEST(GlidarRunTest, SchemeCaptionsAndScenarioCaptionsAreTakenWhole) {
    Assessment assessment;
    assessment.scheme = "Table grapes (early)";
    assessment.scenario = "Test field ";
    GlidarRun run{FreshDirectory("glidar-captions")};
    // As the writer names them: the weather file after the trimmed caption, the ponding file
    // after the caption as stored.
    WriteLines(run.File(Id + ".gld"), ExpandGlidarTemplate(TestGlidarTemplate(), assessment));
    WriteLines(run.File("Test field.met"), TestMeteo(1990, 1991));
    WriteLines(run.File("Test field .pnd"), TestPonding(1990, 1991));
    run.exitCode = RunProgram(Glidar(), {run.File(Id + ".gld").string()}, run.directory);
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_TRUE(run.Has("glidar.ok")) << ReadFileText(run.File(Id + ".err"));
    const Lines block = run.Block();
    // Not a table header: a header has no keyword after the table's name and unit.
    EXPECT_NE(std::find(block.begin(), block.end(), "Application scheme : Table grapes (early)"),
              block.end());
    EXPECT_NE(std::find(block.begin(), block.end(), "Meteo station      : Test field"),
              block.end());
}

TEST(GlidarRunTest, MetaboliteReachedTwiceIsOneCompound) {
    Assessment assessment;
    assessment.metabolites = {MetaboliteAttributes(), MetaboliteAttributes()};
    const GlidarRun run = RunGlidar("glidar-metabolite-twice", assessment);
    ASSERT_TRUE(run.Has("glidar.ok")) << ReadFileText(run.File(Id + ".err"));
    const Lines block = run.Block();
    EXPECT_EQ(std::count_if(block.begin(), block.end(),
                            [](const std::string& l) { return l.rfind("M1 ", 0) == 0; }),
              1);
    // The repeated formation line is the same path, not a second share of the parent.
    EXPECT_EQ(MassBalanceOf(run, "M1").formed,
              MassBalanceOf(RunGlidar("glidar-metabolite-once"), "M1").formed);
}

TEST(GlidarRunTest, UnreadableInputGivesNonZeroExitCode) {
    const fs::path directory = FreshDirectory("glidar-unreadable");
    EXPECT_NE(RunProgram(Glidar(), {(directory / "missing.gld").string()}, directory), 0);
    EXPECT_FALSE(fs::exists(directory / "glidar.ok"));
    fs::create_directory(directory / "folder.gld");
    EXPECT_NE(RunProgram(Glidar(), {(directory / "folder.gld").string()}, directory), 0);
    EXPECT_NE(RunProgram(Glidar(), {}, directory), 0);
    EXPECT_FALSE(fs::exists(directory / "glidar.ok"));
}

TEST(GlidarScenarioFilesTest, CachedFilesAreReadInsteadOfRecomputed) {
    const Assessment assessment;
    const GlidarRun first = RunGlidar("glidar-cache-first", assessment);
    ASSERT_TRUE(first.Has("glidar.ok"));
    ASSERT_GT(MassBalanceOf(first, "ABC").drained, 0);

    // The same cached files give the same results, even without the weather and ponding files
    // from which they were made.
    GlidarRun second{FreshDirectory("glidar-cache-second")};
    WriteLines(second.File(Id + ".gld"), ExpandGlidarTemplate(TestGlidarTemplate(), assessment));
    for (const std::string name : {"Testfield.bfo", "Testfield.swe"})
        fs::copy_file(first.File(name), second.File(name));
    second.exitCode = RunProgram(Glidar(), {second.File(Id + ".gld").string()}, second.directory);
    ASSERT_EQ(second.exitCode, 0);
    ASSERT_TRUE(second.Has("glidar.ok")) << ReadFileText(second.File(Id + ".err"));
    EXPECT_EQ(ReadFileText(second.File(Id + ".e2m")), ReadFileText(first.File(Id + ".e2m")));
    EXPECT_EQ(ReadFileText(second.File("Testfield.bfo")),
              ReadFileText(first.File("Testfield.bfo")));

    // A cached boundary file without outflow makes the paddy drain nothing, whatever the
    // ponding file says.
    GlidarRun third{FreshDirectory("glidar-cache-third")};
    PrepareGlidarRun(third.directory, Id, ExpandGlidarTemplate(TestGlidarTemplate(), assessment),
                     assessment);
    Lines boundary;
    for (const std::string& line : ReadFileLines(first.File("Testfield.bfo"))) {
        auto words = RowOf({line}, line.substr(0, line.find(' ')));
        boundary.push_back(line.front() == '*' ? line
                                               : words[0] + " " + words[1] + " 0.0 " + words[3]);
    }
    WriteLines(third.File("Testfield.bfo"), boundary);
    third.exitCode = RunProgram(Glidar(), {third.File(Id + ".gld").string()}, third.directory);
    ASSERT_TRUE(third.Has("glidar.ok")) << ReadFileText(third.File(Id + ".err"));
    EXPECT_EQ(MassBalanceOf(third, "ABC").drained, 0);
    EXPECT_EQ(ReadFileLines(third.File("Testfield.bfo")), boundary); // not overwritten
    EXPECT_TRUE(third.Has("Testfield.swe"));                         // made, it was missing
}

TEST(GlidarScenarioFilesTest, DamagedCachedFileIsReported) {
    const Assessment assessment;
    GlidarRun run{FreshDirectory("glidar-cache-damaged")};
    PrepareGlidarRun(run.directory, Id, ExpandGlidarTemplate(TestGlidarTemplate(), assessment),
                     assessment);
    WriteLines(run.File("Testfield.swe"), {"* damaged", "01-Jan-1990 12.0 11.0"});
    run.exitCode = RunProgram(Glidar(), {run.File(Id + ".gld").string()}, run.directory);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.Has("glidar.ok"));
    EXPECT_NE(ReadFileText(run.File(Id + ".err")).find("Testfield.swe line 2"), std::string::npos);
}

TEST(GlidarMassBalanceTest, MassIsConservedAndNothingIsNegative) {
    const GlidarRun run = RunGlidar("glidar-balance");
    ASSERT_TRUE(run.Has("glidar.ok"));
    const MassBalance parent = MassBalanceOf(run, "ABC");
    EXPECT_DOUBLE_EQ(parent.applied, 4.0); // two sprays of 1 kg/ha in two years
    EXPECT_NEAR(parent.intercepted, 2.0, 1e-9);
    EXPECT_GT(parent.drained, 0);
    EXPECT_LE(parent.drained, parent.applied);
    const double out = parent.intercepted + parent.drained + parent.transformed + parent.leached +
                       parent.below + parent.inWater + parent.inSoil;
    EXPECT_NEAR(out, parent.applied + parent.formed, 1e-4);
    const MassBalance metabolite = MassBalanceOf(run, "M1");
    EXPECT_EQ(metabolite.applied, 0);
    // At most half a mole of M1 (half the molar mass) per mole of ABC transformed.
    EXPECT_GT(metabolite.formed, 0);
    EXPECT_LE(metabolite.formed, 0.5 * 0.5 * parent.transformed + 1e-6);
    const double metaboliteOut = metabolite.drained + metabolite.transformed + metabolite.leached +
                                 metabolite.inWater + metabolite.inSoil;
    EXPECT_NEAR(metaboliteOut, metabolite.formed, 1e-4);

    int rows = 0;
    for (const std::string& line : ReadFileLines(run.File(Id + ".out"))) {
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line.front())))
            continue;
        const auto words = RowOf({line}, line.substr(0, 11));
        ASSERT_EQ(words.size(), 6u) << line; // date, depth, two values per compound
        for (std::size_t i = 1; i < words.size(); ++i)
            EXPECT_GE(Number(words[i]), 0) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 730);
}

TEST(GlidarMassBalanceTest, LongerHalfLifeGivesHigherMaximum) {
    Assessment quick;
    quick.parent["DT50Ref"] = "2";
    Assessment slow;
    slow.parent["DT50Ref"] = "50";
    const double quickMaximum = MaximumConcentration(RunGlidar("glidar-dt50-quick", quick), "ABC");
    const double slowMaximum = MaximumConcentration(RunGlidar("glidar-dt50-slow", slow), "ABC");
    EXPECT_GT(slowMaximum, quickMaximum);
    EXPECT_GT(quickMaximum, 0);
}

TEST(GlidarMassBalanceTest, InterceptionKeepsTheSprayFromTheWater) {
    Assessment open;
    for (ApplicationRow& a : open.applications)
        a.parameter = 0.0;
    Assessment half = open;
    for (ApplicationRow& a : half.applications)
        a.parameter = 0.5;
    Assessment closed = open;
    for (ApplicationRow& a : closed.applications)
        a.parameter = 1.0;
    const double openMaximum = MaximumConcentration(RunGlidar("glidar-icp-0", open), "ABC");
    const double halfMaximum = MaximumConcentration(RunGlidar("glidar-icp-50", half), "ABC");
    const GlidarRun closedRun = RunGlidar("glidar-icp-100", closed);
    EXPECT_GT(openMaximum, 0);
    // The model is linear in the mass that reaches the water.
    EXPECT_NEAR(halfMaximum, 0.5 * openMaximum, 1e-3 * openMaximum);
    EXPECT_EQ(MaximumConcentration(closedRun, "ABC"), 0);
    EXPECT_EQ(MassBalanceOf(closedRun, "ABC").drained, 0);
}

TEST(GlidarMassBalanceTest, SoilApplicationsReachTheTopSoilOrBelowIt) {
    Assessment tilled;
    tilled.applications = {{5, 5, "AppSolTil", 1.0, 0.20, 0.0}}; // mixed into 20 cm
    Assessment injected;
    injected.applications = {{5, 5, "AppSolInj", 1.0, 0.20, 0.0}}; // placed at 20 cm
    const MassBalance til = MassBalanceOf(RunGlidar("glidar-til", tilled), "ABC");
    const MassBalance inj = MassBalanceOf(RunGlidar("glidar-inj", injected), "ABC");
    // A 5 cm top soil holds a quarter of what is mixed into 20 cm.
    EXPECT_NEAR(til.below, 0.75 * til.applied, 1e-9);
    EXPECT_NEAR(inj.below, inj.applied, 1e-9);
    EXPECT_EQ(inj.drained, 0);
}

TEST(GlidarMassBalanceTest, DrainingTheFieldEmptySendsItsWaterToThePond) {
    Assessment late;
    late.applications = {{25, 8, "AppCrpUsr", 1.0, 0.0, 0.0}};
    const GlidarRun kept = RunGlidar("glidar-kept", late);
    GlidarRun drained{FreshDirectory("glidar-drained-empty")};
    PrepareGlidarRun(drained.directory, Id, ExpandGlidarTemplate(TestGlidarTemplate(), late), late);
    // The flooding ends on 1 September: the 50 mm of water flow out that day.
    Lines ponding = ReadFileLines(drained.File("Testfield.pnd"));
    for (std::string& line : ponding)
        if (line.rfind("01-Sep-", 0) == 0)
            line = line.substr(0, 11) + "    0.0   50.0";
    WriteLines(drained.File("Testfield.pnd"), ponding);
    drained.exitCode =
        RunProgram(Glidar(), {drained.File(Id + ".gld").string()}, drained.directory);
    ASSERT_TRUE(drained.Has("glidar.ok")) << ReadFileText(drained.File(Id + ".err"));
    const MassBalance before = MassBalanceOf(kept, "ABC");
    const MassBalance after = MassBalanceOf(drained, "ABC");
    EXPECT_GT(after.drained, before.drained);
    EXPECT_LE(after.drained, after.applied);
    const auto row = RowOf(ReadFileLines(drained.File(Id + ".e2m")), "01-Sep-1990");
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(Number(row[1]), 50.0);
    EXPECT_GT(Number(row[2]), 0);
    const double out = after.intercepted + after.drained + after.transformed + after.leached +
                       after.below + after.inWater + after.inSoil;
    EXPECT_NEAR(out, after.applied, 1e-4);
}

TEST(GlidarMassBalanceTest, ApplicationsRepeatInEverySimulatedYear) {
    Assessment threeYears;
    threeYears.endYear = 1992;
    const GlidarRun run = RunGlidar("glidar-three-years", threeYears);
    ASSERT_TRUE(run.Has("glidar.ok")) << ReadFileText(run.File(Id + ".err"));
    EXPECT_DOUBLE_EQ(MassBalanceOf(run, "ABC").applied, 6.0);
}

} // namespace
} // namespace parvela::models::test
