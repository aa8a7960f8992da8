// The summary report page of an assessment, from rows of a real database on each engine and
// the real plug-in's version.

#include "tests/modelruns/ModelRunTest.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "framework/TVersionInfo.h"
#include "program/reports/SummaryReport.h"
#include "program/reports/TCordessaReport.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace parvela::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::StartsWith;

constexpr int ProjectID = 60;
constexpr int ScenarioID = 10;
constexpr int HeadLines = 18;

class SummaryReportTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        AddScenario(ScenarioID, "Plain", 1990, 1990, "", "");
        AddScheme(20, "Scheme");
        AddProject(ProjectID, "Reports");
    }

    TdciAssessments& Assessment(int id, const std::string& caption, const std::string& errorMessage,
                                const std::string& report) {
        AddAssessment(id, ProjectID, ScenarioID, EtaGuid, 20, true, caption);
        RunRawSQL("UPDATE ASSESSMENTS SET ERRORMESSAGE = " + Quoted(errorMessage) +
                  ", ASSESSMENTREPORT = " + Quoted(report) +
                  ", DESCRIPTION = 'Two  blanks & <b>bold</b>' WHERE ASSESSMENTID = " +
                  std::to_string(id));
        return OpenAssessment(id);
    }

    // The lines of the page after the fixed head, which the writer's own tests cover, without
    // the sections about the run that follow the models' blocks (ReportChartsTest covers them
    // on real runs).
    std::vector<std::string> Body(const std::string& path) {
        std::vector<std::string> lines = WholeBody(path);
        const auto scenario = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("Scenario&nbsp;", 0) == 0;
        });
        const auto sections = std::find_if(scenario, lines.end(), [](const std::string& line) {
            return line.rfind("<P class=\"FontTitle2\">", 0) == 0;
        });
        if (sections != lines.end())
            lines.erase(sections, lines.end() - 2);
        return lines;
    }

    std::vector<std::string> WholeBody(const std::string& path) {
        const std::string text = ReadWholeFile(path);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        // Split at the line ends of the file only: a text line that was just a line break
        // keeps its line feed before the <BR>.
        std::vector<std::string> lines;
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(lines.at(2), "<TITLE>Parvela_2.4.2_CN - report</TITLE>");
        return {lines.begin() + HeadLines, lines.end()};
    }

    std::vector<std::string> ExpectedStart(const std::string& caption) {
        return {"<P class=\"FontTitle1\">Summary report: Parvela_2.4.2_CN</P>",
                "Parvela&nbsp;version&nbsp;&nbsp;&nbsp;:&nbsp;" +
                    TVersionInfo::GetSingleton().VersionText(2) + "<BR>",
                "DAXO&nbsp;version&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;:&nbsp;DAXO&nbsp;"
                "stand-in&nbsp;1.0<BR>",
                "", // the date line, compared apart
                "<BR>",
                "Assessment:&nbsp;" + caption +
                    ",&nbsp;Two&nbsp;&nbsp;blanks&nbsp;&amp;&nbsp;&lt;b&gt;bold&lt;/b&gt;<BR>",
                "Scenario&nbsp;&nbsp;:&nbsp;Plain,&nbsp;Test&nbsp;field&nbsp;&amp;&nbsp;&lt;"
                "pond&gt;<BR>",
                "<BR>"};
    }

    void ExpectBody(const std::string& path, const std::string& caption,
                    const std::vector<std::string>& rest) {
        ExpectBodyLines(Body(path), caption, rest);
    }

    void ExpectBodyLines(std::vector<std::string> body, const std::string& caption,
                         const std::vector<std::string>& rest) {
        ASSERT_GE(body.size(), 8u);
        EXPECT_THAT(body[3], StartsWith("Report&nbsp;generated&nbsp;on:&nbsp;20"));
        body[3].clear();
        std::vector<std::string> expected = ExpectedStart(caption);
        expected.insert(expected.end(), rest.begin(), rest.end());
        expected.push_back("</BODY>");
        expected.push_back("</HTML>");
        EXPECT_THAT(body, ElementsAreArray(expected));
    }
};

TEST_P(SummaryReportTest, AnAssessmentThatWasNeverRun) {
    const std::string path = WriteSummaryReportFile(Assessment(1, "Never", "", ""));
    EXPECT_EQ(path, Environment().ReportDirectory() + "Never.htm");
    ExpectBody(path, "Never", {});
}

const std::string BothBlocks = "@Summary output of model: GLIDAR@" + std::string(31, '-') +
                               "@GLIDAR REPORT@\r\nPEC    1.50@\r\nEnd of GLIDAR REPORT@\r\n@\r\n"
                               "@Summary output of model: MUNDRE@" +
                               std::string(31, '-') +
                               "@MUNDRE REPORT@\r\nEnd of MUNDRE REPORT@\r\n@\r\n";
const std::vector<std::string> BothBlocksLines = {
    "<BR>",
    "Summary&nbsp;output&nbsp;of&nbsp;model:&nbsp;GLIDAR<BR>",
    std::string(31, '-') + "<BR>",
    "GLIDAR&nbsp;REPORT<BR>",
    "PEC&nbsp;&nbsp;&nbsp;&nbsp;1.50<BR>",
    "End&nbsp;of&nbsp;GLIDAR&nbsp;REPORT<BR>",
    "\n<BR>",
    "\n<BR>",
    "Summary&nbsp;output&nbsp;of&nbsp;model:&nbsp;MUNDRE<BR>",
    std::string(31, '-') + "<BR>",
    "MUNDRE&nbsp;REPORT<BR>",
    "End&nbsp;of&nbsp;MUNDRE&nbsp;REPORT<BR>",
    "\n<BR>",
    "\n<BR>"};

TEST_P(SummaryReportTest, BothModelBlocks) {
    const std::string path = WriteSummaryReportFile(Assessment(2, "Blocks", "", BothBlocks));
    ExpectBody(path, "Blocks", BothBlocksLines);
}

TEST_P(SummaryReportTest, WithoutDailyOutputARunsPageKeepsItsLines) {
    const std::string path = WriteSummaryReportFile(Assessment(7, "Ran", "", BothBlocks));
    const std::string run = ProjectDirectory(ProjectID, true) + "7/";
    for (const char* file : {"GLIDAR/7.gld", "GLIDAR/7.sum", "GLIDAR/glidar.ok", "MUNDRE/7.mnd",
                             "MUNDRE/7.sum", "MUNDRE/mundre.ok"}) {
        std::filesystem::create_directories(std::filesystem::path(run + file).parent_path());
        std::ofstream(run + file) << file;
    }
    EXPECT_EQ(WriteSummaryReportFile(OpenAssessment(7)), path);
    ExpectBody(path, "Ran", BothBlocksLines);

    // GLIDAR's daily output adds its chart after its block and the input files at the end;
    // nothing else changes.
    std::ofstream(run + "GLIDAR/7.out") << "Date DepPnd ConLiq_ETA CntSol_ETA\r\n"
                                           "  (mm) (ug.L-1) (mg.kg-1)\r\n"
                                           "01-Jan-2000 1 0.5 0\r\n02-Jan-2000 1 1.5 0\r\n";
    std::vector<std::string> body = WholeBody(WriteSummaryReportFile(OpenAssessment(7)));
    const auto chart = std::find(body.begin(), body.end(), "<DIV>");
    ASSERT_NE(chart, body.end());
    EXPECT_EQ(*(chart - 1), "End&nbsp;of&nbsp;GLIDAR&nbsp;REPORT<BR>");
    const auto chartEnd = std::find(chart, body.end(), "</DIV>");
    ASSERT_NE(chartEnd, body.end());
    EXPECT_EQ(std::count_if(chart, chartEnd,
                            [](const std::string& line) { return line.rfind("<svg", 0) == 0; }),
              1);
    body.erase(chart, chartEnd + 1);
    const auto inputs =
        std::find(body.begin(), body.end(), "<P class=\"FontTitle2\">Run input files</P>");
    ASSERT_NE(inputs, body.end());
    EXPECT_NE(std::find_if(inputs, body.end(),
                           [](const std::string& line) {
                               return line.rfind("Substance&nbsp;checksum&nbsp;stored&nbsp;on&nbsp;"
                                                 "the&nbsp;assessment:&nbsp;",
                                                 0) == 0;
                           }),
              body.end());
    body.erase(inputs, body.end() - 2);
    ExpectBodyLines(body, "Ran", BothBlocksLines);
}

TEST_P(SummaryReportTest, ValidResultsWithoutThePondsMetabolitesSayItFirst) {
    const std::string notice = "<P class=\"FontTitle2\">Valid results, metabolites not "
                               "calculated: the metabolites that the substance forms in the water "
                               "and sediment of the pond and in the paddy water are left out by "
                               "policy (the substance check's warning)</P>";
    struct Case {
        std::string Guid; // BETA forms metabolites in the pond's water and sediment
        bool Valid;
        bool Said;
    };
    int id = 10;
    for (const Case& c :
         {Case{BetaGuid, true, true}, Case{BetaGuid, false, false}, Case{EtaGuid, true, false}}) {
        ++id;
        Assessment(id, "Metabolites" + std::to_string(id), "", BothBlocks);
        RunRawSQL("UPDATE ASSESSMENTS SET SUBSTANCEGUID = " + Quoted(c.Guid) + ", VALIDRESULTS = " +
                  (c.Valid ? "TRUE" : "FALSE") + " WHERE ASSESSMENTID = " + std::to_string(id));
        std::vector<std::string> body = Body(WriteSummaryReportFile(OpenAssessment(id)));
        ASSERT_GE(body.size(), 2u);
        EXPECT_EQ(body[1] == notice, c.Said) << id << ": " << body[1];
        if (c.Said)
            body.erase(body.begin() + 1);
        ExpectBodyLines(body, "Metabolites" + std::to_string(id), BothBlocksLines);
    }
}

TEST_P(SummaryReportTest, AnErrorPageHidesTheModelBlocks) {
    const std::string path = WriteSummaryReportFile(
        Assessment(3, "Failed", "[ERROR]Only  <this> & that", "@GLIDAR REPORT@\r\n"));
    ExpectBody(path, "Failed", {"[ERROR]Only&nbsp;&nbsp;&lt;this&gt;&nbsp;&amp;&nbsp;that<BR>"});
}

TEST_P(SummaryReportTest, ASecondReportReplacesTheFirstAndACaptionStaysInItsDirectory) {
    const std::string first = WriteSummaryReportFile(Assessment(4, "Same", "first", ""));
    std::ofstream(first, std::ios::app) << "stale tail";
    const std::string second = WriteSummaryReportFile(OpenAssessment(4));
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadWholeFile(second).find("stale tail"), std::string::npos);

    const std::string escaped = WriteSummaryReportFile(Assessment(5, "../up", "", ""));
    EXPECT_EQ(escaped, Environment().ReportDirectory() + ".._up.htm");
    EXPECT_TRUE(FileExists(escaped));
}

TEST_P(SummaryReportTest, TheReportIsOpenedWithTheDesktopsProgram) {
    const std::string log = Environment().Work().File("opened.txt");
    const std::string opener = Environment().Work().File("opener.sh");
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > '" << log << "'\n";
    chmod(opener.c_str(), 0755);
    {
        TScopedEnvironment use("PARVELA_OPENER", opener);
        EXPECT_TRUE(WriteSummaryReport(Assessment(6, "Opened", "", "")));
    }
    EXPECT_THAT(ReadWholeFile(log), ::testing::HasSubstr("Opened.htm"));
    EXPECT_TRUE(ScriptedDialogs().Boxes().empty());

    TScopedEnvironment refuse("PARVELA_OPENER", "/bin/false");
    EXPECT_TRUE(WriteSummaryReport(OpenAssessment(6)));
    ASSERT_EQ(ScriptedDialogs().Texts().size(), 1u);
    EXPECT_EQ(ScriptedDialogs().Texts()[0], "Could not start Opened.htm");
}

TEST(SplitReportText, CutsAtEveryAt) {
    EXPECT_EQ(SplitReportText(""), std::vector<std::string>{});
    EXPECT_EQ(SplitReportText("one"), std::vector<std::string>{"one"});
    EXPECT_EQ(SplitReportText("@a@b@"), (std::vector<std::string>{"", "a", "b"}));
    EXPECT_EQ(SplitReportText("a@@b"), (std::vector<std::string>{"a", "", "b"}));
}

PARVELA_INSTANTIATE_DATABASE_TEST(SummaryReportTest);

} // namespace
} // namespace parvela::test
