// The pond model program: results of a good run on GLIDAR's hand-over, refusal of bad input
// and of a missing hand-over, and the physics of its mass balance.

#include "tests/models/ModelTestSupport.h"
#include "tests/models/ProgramInputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

namespace parvela::models::test {
namespace {

namespace fs = std::filesystem;

const std::string Id = "17";
const std::string Peak = "Global maximum concentration in water";
const std::string Sediment = "Maximum content in sediment";

struct MundreRun {
    fs::path directory;
    int exitCode = -1;
    fs::path File(const std::string& name) const { return directory / name; }
    bool Has(const std::string& name) const { return fs::exists(File(name)); }
    Lines Block() const {
        return ReportBlock(File(Id + ".sum"), "MUNDRE REPORT", "End of MUNDRE REPORT");
    }
    double Value(const std::string& quantity) const { return MundreValue(Block(), quantity); }
};

// A hand-over as GLIDAR writes it: the same drainage every day.
Lines HandOver(const Assessment& s, double water, double mass) {
    Lines lines = {"* drainage", s.parent.at("SubstanceCode") + " SubstanceName",
                   "01-Jan-" + std::to_string(s.startYear) + " TimStart",
                   "31-Dec-" + std::to_string(s.endYear) + " TimEnd", "table Drainage"};
    for (const std::string& line : TestRain(s.startYear, s.endYear))
        if (line.front() != '*')
            lines.push_back(line.substr(0, 11) + " " + std::to_string(water) + " " +
                            std::to_string(mass));
    lines.push_back("end_table");
    return lines;
}

MundreRun RunMundre(const std::string& name, const Lines& input, const Assessment& s,
                    const Lines& handOver) {
    MundreRun run{FreshDirectory(name)};
    PrepareMundreRun(run.directory, Id, input, s);
    if (!handOver.empty())
        WriteLines(run.File(Id + ".e2m"), handOver);
    run.exitCode = RunProgram(Mundre(), {run.File(Id + ".mnd").string()}, run.directory);
    return run;
}

MundreRun RunMundre(const std::string& name, const Assessment& s, const Lines& handOver) {
    return RunMundre(name, ExpandMundreTemplate(TestMundreTemplate(), s), s, handOver);
}

// GLIDAR's real hand-over for the assessment.
Lines GlidarHandOver(const std::string& name, const Assessment& s) {
    const fs::path directory = FreshDirectory(name);
    PrepareGlidarRun(directory, Id, ExpandGlidarTemplate(TestGlidarTemplate(), s), s);
    EXPECT_EQ(RunProgram(Glidar(), {(directory / (Id + ".gld")).string()}, directory), 0);
    EXPECT_TRUE(fs::exists(directory / "glidar.ok"));
    return ReadFileLines(directory / (Id + ".e2m"));
}

TEST(MundreRunTest, RunOnGlidarHandOverWritesOkFlagAndReport) {
    const Assessment s;
    const MundreRun run = RunMundre("mundre-good", s, GlidarHandOver("mundre-good-glidar", s));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.Has(Id + ".err")) << ReadFileText(run.File(Id + ".err"));
    EXPECT_TRUE(run.Has("mundre.ok"));
    const Lines block = run.Block();
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(block.front(), "MUNDRE REPORT");
    EXPECT_EQ(block.back(), "End of MUNDRE REPORT");
    const double peak = run.Value(Peak);
    const double twa7 = run.Value("Maximum 7-day TWA concentration in water");
    const double twa21 = run.Value("Maximum 21-day TWA concentration in water");
    const double twa28 = run.Value("Maximum 28-day TWA concentration in water");
    EXPECT_GT(peak, 0);
    EXPECT_GE(peak, twa7);
    EXPECT_GE(twa7, twa21);
    EXPECT_GE(twa21, twa28);
    EXPECT_GT(twa28, 0);
    EXPECT_GT(run.Value(Sediment), 0);
    // The peak's date is a date of the simulation period.
    const auto peakLine = std::find_if(block.begin(), block.end(),
                                       [](const std::string& l) { return l.rfind(Peak, 0) == 0; });
    ASSERT_NE(peakLine, block.end());
    EXPECT_NE(peakLine->find("-199"), std::string::npos) << *peakLine;
    EXPECT_TRUE(run.Has(Id + ".out"));
}

TEST(MundreRunTest, MissingHandOverFailsCleanly) {
    const Assessment s;
    const MundreRun run = RunMundre("mundre-no-e2m", s, {});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.Has("mundre.ok"));
    EXPECT_FALSE(run.Has(Id + ".sum"));
    EXPECT_NE(ReadFileText(run.File(Id + ".err")).find("File 17.e2m not found"), std::string::npos);
}

TEST(MundreRunTest, UnreadableInputGivesNonZeroExitCode) {
    const fs::path directory = FreshDirectory("mundre-unreadable");
    EXPECT_NE(RunProgram(Mundre(), {(directory / "missing.mnd").string()}, directory), 0);
    EXPECT_NE(RunProgram(Mundre(), {"a", "b"}, directory), 0);
    EXPECT_FALSE(fs::exists(directory / "mundre.ok"));
}

struct BadInput {
    std::string name;
    std::function<void(Lines& input, Lines& handOver, fs::path directory)> spoil;
    std::string message;
};

void PrintTo(const BadInput& c, std::ostream* os) {
    *os << c.name;
}

class MundreBadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(MundreBadInputTest, WritesErrorLinesAndNoOkFlag) {
    const BadInput& c = GetParam();
    const Assessment s;
    MundreRun run{FreshDirectory("mundre-bad-" + c.name)};
    Lines input = ExpandMundreTemplate(TestMundreTemplate(), s);
    Lines handOver = HandOver(s, 1.0, 0.01);
    PrepareMundreRun(run.directory, Id, input, s);
    c.spoil(input, handOver, run.directory);
    WriteLines(run.File(Id + ".mnd"), input);
    WriteLines(run.File(Id + ".e2m"), handOver);
    for (const std::string& stale : {std::string("mundre.ok"), Id + ".sum"})
        WriteLines(run.File(stale), {"stale"});
    run.exitCode = RunProgram(Mundre(), {run.File(Id + ".mnd").string()}, run.directory);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.Has("mundre.ok"));
    EXPECT_FALSE(run.Has(Id + ".sum"));
    const std::string errors = ReadFileText(run.File(Id + ".err"));
    EXPECT_NE(errors.find(c.message), std::string::npos) << "expected \"" << c.message << "\" in:\n"
                                                         << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MundreBadInputTest,
    ::testing::Values(
        BadInput{"MissingSedimentHalfLife",
                 [](Lines& l, Lines&, fs::path) { Replace(l, "DT50SedRef_ABC", "* removed"); },
                 "keyword DT50SedRef_ABC is missing"},
        BadInput{"BadLoadingDate",
                 [](Lines& l, Lines&, fs::path) { Replace(l, "05-May-1990", " 05-Mai-1990 0.20"); },
                 "\"05-Mai-1990\" is not a date"},
        BadInput{
            "NegativeLoading",
            [](Lines& l, Lines&, fs::path) { Replace(l, "05-May-1990", " 05-May-1990 -0.20"); },
            "loading: -0.20 is not at least 0"},
        BadInput{"PondWithoutVolume",
                 [](Lines& l, Lines&, fs::path) { Replace(l, "VolWat", "0 VolWat (m3)"); },
                 "VolWat: 0 is not greater than 0"},
        BadInput{"MetaboliteFormationInPond",
                 [](Lines& l, Lines&, fs::path) {
                     const auto at =
                         std::find(l.begin(), l.end(), "table FraPrtDauWat (mol.mol-1)");
                     l.insert(at + 1, "0.5 ABC -> M1");
                 },
                 "metabolites formed in the pond are not simulated"},
        BadInput{
            "HandOverOfAnotherSubstance",
            [](Lines&, Lines& h, fs::path) { Replace(h, "SubstanceName", "XYZ SubstanceName"); },
            "17.e2m: drainage of XYZ, not of ABC"},
        BadInput{"HandOverTooShort", [](Lines&, Lines& h, fs::path) { h.erase(h.end() - 2); },
                 "17.e2m: no drainage given for 31-Dec-1991"},
        BadInput{"MissingRainFile",
                 [](Lines&, Lines&, fs::path d) { fs::remove(d / "Testfield.rai"); },
                 "File Testfield.rai not found"},
        BadInput{"RainNotANumber",
                 [](Lines&, Lines&, fs::path d) {
                     Lines rain = ReadFileLines(d / "Testfield.rai");
                     rain[3] = rain[3].substr(0, 11) + " wet";
                     WriteLines(d / "Testfield.rai", rain);
                 },
                 "Testfield.rai line 4: \"wet\" is not a number"},
        BadInput{
            "EndBeforeStart",
            [](Lines& l, Lines&, fs::path) { Replace(l, "TimEnd", "01-Jan-1990        TimEnd"); },
            "TimEnd 01-Jan-1990 is not after TimStart 01-Jan-1990"}),
    [](const auto& info) { return info.param.name; });

TEST(MundreMassBalanceTest, DriftAloneGivesAtMostTheDepositOverTheVolume) {
    Assessment s;
    s.applications = {{5, 5, "AppCrpUsr", 1.0, 0.0, 2.0}}; // 2 mg.m-2 on the pond
    const MundreRun run = RunMundre("mundre-drift", s, HandOver(s, 0.0, 0.0));
    ASSERT_TRUE(run.Has("mundre.ok")) << ReadFileText(run.File(Id + ".err"));
    // 2 mg.m-2 on 1000 m2 into 1000 m3: 2 ug.L-1 at most, less after a day's losses.
    EXPECT_GT(run.Value(Peak), 1.0);
    EXPECT_LT(run.Value(Peak), 2.0);
    for (const std::string& line : ReadFileLines(run.File(Id + ".out")))
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line.front()))) {
            const auto words = RowOf({line}, line.substr(0, 11));
            ASSERT_EQ(words.size(), 4u);
            EXPECT_GE(Number(words[1]), 0) << line;
            EXPECT_GE(Number(words[2]), 0) << line;
        }
}

TEST(MundreMassBalanceTest, NothingInGivesNothing) {
    Assessment s;
    s.applications = {};
    const MundreRun run = RunMundre("mundre-nothing", s, HandOver(s, 2.0, 0.0));
    ASSERT_TRUE(run.Has("mundre.ok")) << ReadFileText(run.File(Id + ".err"));
    EXPECT_EQ(run.Value(Peak), 0);
    EXPECT_EQ(run.Value(Sediment), 0);
}

TEST(MundreMassBalanceTest, LongerHalfLifeGivesHigherMaximum) {
    Assessment quick;
    quick.parent["DT50WatRef"] = "1";
    Assessment slow;
    slow.parent["DT50WatRef"] = "100";
    const Lines handOver = HandOver(quick, 0.5, 0.02);
    const double quickPeak = RunMundre("mundre-dt50-quick", quick, handOver).Value(Peak);
    const double slowPeak = RunMundre("mundre-dt50-slow", slow, handOver).Value(Peak);
    EXPECT_GT(quickPeak, 0);
    EXPECT_GT(slowPeak, quickPeak);
}

TEST(MundreMassBalanceTest, TemplateOverrideLineReplacesTheGeneratedOne) {
    Assessment s;
    Lines strong = TestMundreTemplate();
    Replace(strong, "CofSorMph_@", "5000 KomSed_@ (L.kg-1) ! strongly sorbing sediment");
    const Lines handOver = HandOver(s, 0.5, 0.02);
    const Lines input = ExpandMundreTemplate(strong, s);
    ASSERT_NE(std::find(input.begin(), input.end(),
                        "5000 KomSed_ABC (L.kg-1) ! strongly sorbing sediment"),
              input.end());
    const MundreRun weak = RunMundre("mundre-kom-generated", s, handOver);
    const MundreRun sorbing = RunMundre("mundre-kom-override", input, s, handOver);
    ASSERT_TRUE(sorbing.Has("mundre.ok")) << ReadFileText(sorbing.File(Id + ".err"));
    // More sorption moves mass from the water into the sediment.
    EXPECT_GT(sorbing.Value(Sediment), weak.Value(Sediment));
    EXPECT_LT(sorbing.Value("Maximum 28-day TWA concentration in water"),
              weak.Value("Maximum 28-day TWA concentration in water"));
}

TEST(MundreRunTest, LoadingRowsMayCarryTheirUnit) {
    const Assessment s;
    Lines withUnit = TestMundreTemplate();
    Replace(withUnit, "Row format", "Row format: @APPDATE @DOSAGE (mg.m-2)");
    const Lines input = ExpandMundreTemplate(withUnit, s);
    ASSERT_NE(std::find(input.begin(), input.end(), " 05-May-1990 0.20 (mg.m-2)"), input.end());
    const Lines handOver = HandOver(s, 0.5, 0.02);
    const MundreRun plain = RunMundre("mundre-unit-plain", s, handOver);
    const MundreRun unit = RunMundre("mundre-unit", input, s, handOver);
    ASSERT_TRUE(unit.Has("mundre.ok")) << ReadFileText(unit.File(Id + ".err"));
    EXPECT_EQ(unit.Value(Peak), plain.Value(Peak));
}

// An empty row format line gives one empty loadings row per year and application, which
// MUNDRE reads as no drift at all.
TEST(MundreRunTest, EmptyLoadingsRowsAreNoDrift) {
    const Assessment s;
    Lines emptyRows = TestMundreTemplate();
    Replace(emptyRows, "Row format", "");
    const Lines input = ExpandMundreTemplate(emptyRows, s);
    const auto table = std::find(input.begin(), input.end(), "table Loadings");
    ASSERT_GE(input.end() - table, 6);
    EXPECT_EQ(Lines(table + 1, table + 6), (Lines{"", "", "", "", "end_table"}));
    Assessment noDrift = s;
    noDrift.applications = {};
    const Lines handOver = HandOver(s, 0.5, 0.02);
    const MundreRun rows = RunMundre("mundre-empty-rows", input, s, handOver);
    ASSERT_TRUE(rows.Has("mundre.ok")) << ReadFileText(rows.File(Id + ".err"));
    EXPECT_EQ(rows.Value(Peak), RunMundre("mundre-no-drift", noDrift, handOver).Value(Peak));
}

TEST(MundreMassBalanceTest, MassIsConserved) {
    Assessment s;
    for (ApplicationRow& a : s.applications) {
        a.dosage = 0.0625; // a loading of exactly 0.125 mg.m-2: the program writes 0.13
        a.sprayDrift = 2.0;
    }
    const MundreRun run = RunMundre("mundre-balance", s, HandOver(s, 0.5, 0.02));
    ASSERT_TRUE(run.Has("mundre.ok"));
    const Lines lines = ReadFileLines(run.File(Id + ".sum"));
    const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("FromField") != std::string::npos;
    });
    ASSERT_NE(header, lines.end());
    ASSERT_NE(header + 1, lines.end());
    std::vector<double> v;
    std::istringstream words(*(header + 1));
    for (std::string word; words >> word;)
        v.push_back(Number(word));
    ASSERT_EQ(v.size(), 7u);
    // 0.02 mg.m-2.d-1 from 10000 m2 over 730 days, and 2 x 2 x 0.13 mg.m-2 drift on 1000 m2.
    EXPECT_NEAR(v[0], 0.02 * 10000 * 730, 1e-3);
    EXPECT_NEAR(v[1], 4 * 0.13 * 1000, 1e-6);
    EXPECT_NEAR(v[2] + v[3] + v[4] + v[5] + v[6], v[0] + v[1], 1e-6 * (v[0] + v[1]));
}

} // namespace
} // namespace parvela::models::test
