// parvela-batch as a real process on a real database of each engine, with the real plug-in
// and the real model programs.

#include "ModelRunTest.h"

#include "program/TDAXOInterface.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr int ProjectID = 70;

struct TBatchResult {
    int ExitCode = -1;
    std::vector<std::string> Output;
    std::string Errors;
};

class BatchTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        LoadDeliveredScenarios();
        AddProject(ProjectID, "Batch");
        settings_ = Environment().Work().File("batch.ini");
        SaveTextLines(settings_, {"[Database]", "DatabaseName=" + ConnectionString(),
                                  "UserName=", "Password="});
    }

    TBatchResult Batch(const std::vector<std::string>& arguments, bool withSettings = true) {
        std::string command = ShellQuote(std::string(PARVELA_BIN_DIR) + "/parvela-batch");
        if (withSettings)
            command += " --settings " + ShellQuote(settings_);
        for (const std::string& argument : arguments)
            command += " " + ShellQuote(argument);
        const std::string out = Environment().Work().File("batch.out");
        const std::string err = Environment().Work().File("batch.err");
        const int status =
            std::system((command + " >" + ShellQuote(out) + " 2>" + ShellQuote(err)).c_str());
        TBatchResult result;
        result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.Output = LoadTextLines(out);
        result.Errors = ReadWholeFile(err);
        return result;
    }

    std::string settings_;
};

TEST_P(BatchTest, RunPrintsOneLinePerMarkedAssessment) {
    AddAssessment(1, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "First");
    AddAssessment(2, ProjectID, JinhuaScenarioID, EpsilonGuid, DeliveredSchemeID, true, "Warned");
    AddAssessment(3, ProjectID, JinhuaScenarioID, GammaGuid, DeliveredSchemeID, false, "Unmarked");
    const TBatchResult all = Batch({"run", "--project", std::to_string(ProjectID)});
    EXPECT_EQ(all.ExitCode, 0) << all.Errors;
    EXPECT_THAT(all.Output, ElementsAre("1\tFirst\tvalid", "2\tWarned\tvalid"))
        << "warnings are accepted unattended";
    EXPECT_TRUE(StoredResults(1).ValidResults);
    EXPECT_TRUE(StoredResults(2).ValidResults);

    RunRawSQL("UPDATE ASSESSMENTS SET SELECTEDFOREXECUTION = TRUE WHERE ASSESSMENTID = 3");
    const TBatchResult failed = Batch({"run", "--project", "Batch"});
    EXPECT_EQ(failed.ExitCode, 1);
    EXPECT_THAT(failed.Output,
                ElementsAre("1\tFirst\tvalid", "2\tWarned\tvalid", // found by its caption
                            "3\tUnmarked\t[ERROR]Only the sorption on soil option \"Kom, "
                            "pH-independent\" is available for Parvela. (substance: GAMMA)"));
}

TEST_P(BatchTest, InputsPrintsThePathsOfTheInputFiles) {
    AddAssessment(4, ProjectID, JinhuaScenarioID, AlphaGuid, DeliveredSchemeID, true, "Inputs");
    const TBatchResult result = Batch({"inputs", "--assessment", "4"});
    EXPECT_EQ(result.ExitCode, 0) << result.Errors;
    const std::string run =
        Environment().DataPath() + "projects/" + std::to_string(ProjectID) + "/4";
    EXPECT_THAT(result.Output, ElementsAre(run + "/GLIDAR/4.gld", run + "/MUNDRE/4.mnd"));
    EXPECT_TRUE(FileExists(run + "/GLIDAR/4.gld"));
    EXPECT_FALSE(FileExists(run + "/GLIDAR/glidar.ok")) << "nothing ran";
    EXPECT_EQ(StoredResults(4).ErrorMessage, "") << "nothing stored";
}

TEST_P(BatchTest, ReportWritesThePageWithoutOpeningIt) {
    AddAssessment(5, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Reported");
    ASSERT_EQ(Batch({"run", "--project", std::to_string(ProjectID)}).ExitCode, 0);
    const std::string marker = Environment().Work().File("opened");
    const std::string opener = Environment().Work().File("opener.sh");
    std::ofstream(opener) << "#!/bin/sh\ntouch '" << marker << "'\n";
    chmod(opener.c_str(), 0755);
    TScopedEnvironment use("PARVELA_OPENER", opener);
    const TBatchResult result = Batch({"report", "--assessment", "5"});
    EXPECT_EQ(Batch({"report", "--assessment", "5", "--settings", settings_}, false).ExitCode, 0)
        << "the settings after the command";
    EXPECT_EQ(result.ExitCode, 0) << result.Errors;
    EXPECT_THAT(result.Output, ElementsAre(Environment().TempDirectory() + "Reported.htm"));
    const std::string page = ReadWholeFile(Environment().TempDirectory() + "Reported.htm");
    EXPECT_THAT(page, HasSubstr("Summary&nbsp;output&nbsp;of&nbsp;model:&nbsp;GLIDAR<BR>"));
    EXPECT_THAT(page, HasSubstr("Summary&nbsp;output&nbsp;of&nbsp;model:&nbsp;MUNDRE<BR>"));
    EXPECT_FALSE(FileExists(marker));
}

TEST_P(BatchTest, WrongCallsAndAbsentItemsExitWithTwo) {
    AddProject(ProjectID + 1, "Twin");
    AddProject(ProjectID + 2, "Twin");
    struct Case {
        std::vector<std::string> Arguments;
        std::string Message;
    };
    for (const Case& c : std::vector<Case>{
             {{}, "No command given."},
             {{"calculate"}, "Unknown command: calculate"},
             {{"run"}, "Missing --project ID"},
             {{"run", "--assessment", "1"}, "Unknown option for run: --assessment"},
             {{"run", "--project"}, "Missing value of --project"},
             {{"run", "--project", "--assessment", "1"}, "Missing value of --project"},
             {{"run", "extra", "--project", "1"}, "Unexpected argument: extra"},
             {{"run", "--project", "seven"}, "Project seven not found"},
             {{"run", "--project", "Twin"},
              "More than one project has the caption Twin: give its ID"},
             {{"run", "--project", "999"}, "Project 999 not found"},
             {{"inputs", "--assessment", "999"}, "Assessment 999 not found"},
             {{"report", "--assessment", "999"}, "Assessment 999 not found"},
             {{"report"}, "Missing --assessment ID or --project ID"},
             {{"report", "--assessment", "1", "--project", "1"},
              "Give only one of --assessment ID or --project ID"},
             {{"report", "--project", "999"}, "Project 999 not found"},
         }) {
        const TBatchResult result = Batch(c.Arguments);
        EXPECT_EQ(result.ExitCode, 2) << c.Message;
        EXPECT_THAT(result.Errors, HasSubstr(c.Message));
        EXPECT_TRUE(result.Output.empty()) << c.Message;
    }
}

TEST_P(BatchTest, CheckSubstancesStoresTheNewChecksumAndInvalidatesTheResults) {
    AddAssessment(6, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Checked");
    RunRawSQL("UPDATE ASSESSMENTS SET VALIDRESULTS = TRUE, SUBSTANCECHECKSUM = 'outdated' "
              "WHERE ASSESSMENTID = 6");
    const TBatchResult result = Batch({"check-substances"});
    EXPECT_EQ(result.ExitCode, 0) << result.Errors;
    EXPECT_THAT(result.Output, ElementsAre("Results of next assessments are invalid because used "
                                           "substance has changed: Checked"))
        << "the box printed as a plain line";
    const std::string checksum = TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(EtaGuid);
    const auto rows = QueryRows("SELECT SUBSTANCECHECKSUM FROM ASSESSMENTS WHERE ASSESSMENTID = 6");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].AsString(), checksum);
    EXPECT_FALSE(StoredResults(6).ValidResults);
}

TEST_P(BatchTest, ASettingsFileThatReachesNoDatabaseFails) {
    SaveTextLines(settings_,
                  {"[Database]", "DatabaseName=NoSuchDataSource", "UserName=", "Password="});
    const TBatchResult result = Batch({"run", "--project", "1"});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_FALSE(result.Errors.empty());
}

PARVELA_INSTANTIATE_DATABASE_TEST(BatchTest);

// A database made by the database tool with the delivered scenarios, which hold the example
// project, and the batch front end from the run to the report.
class BatchOnToolDatabaseTest : public BatchTest {
protected:
    Content DatabaseContent() const override { return Content::Empty; }
    void SetUp() override {
        ModelRunTest::SetUp();
        const std::string tool = ShellQuote(std::string(PARVELA_BIN_DIR) + "/parvela-db") +
                                 " create --connection " + ShellQuote(ConnectionString()) +
                                 " --engine " + (IsSQLite() ? "sqlite" : "postgresql") +
                                 " --with-scenarios >/dev/null";
        ASSERT_EQ(std::system(tool.c_str()), 0);
        settings_ = Environment().Work().File("batch.ini");
        SaveTextLines(settings_, {"[Database]", "DatabaseName=" + ConnectionString(),
                                  "UserName=", "Password="});
    }
};

TEST_P(BatchOnToolDatabaseTest, TheExampleProjectRunsToValidResultsAndItsReports) {
    const auto example = QueryRows(
        "SELECT ASSESSMENTID, SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM "
        "FROM ASSESSMENTS, PROJECTS WHERE ASSESSMENTS.PROJECTID = PROJECTS.PROJECTID AND "
        "PROJECTS.CAPTION = 'Example' AND SELECTEDFOREXECUTION = TRUE");
    ASSERT_EQ(example.size(), 1u) << "one marked assessment in the project Example";
    EXPECT_EQ(example[0][1].AsInteger(), JinhuaScenarioID);
    EXPECT_EQ(example[0][2].AsString(), AlphaGuid);
    EXPECT_EQ(example[0][3].AsInteger(), DeliveredSchemeID);
    EXPECT_EQ(example[0][4].AsString(),
              TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(AlphaGuid))
        << "the stored checksum is the plug-in's, so a run's results are not taken for stale";
    const std::string id = example[0][0].AsString();

    const TBatchResult run = Batch({"run", "--project", "Example"});
    EXPECT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_THAT(run.Output, ElementsAre(id + "\tExample\tvalid"));
    const TBatchResult report = Batch({"report", "--assessment", id});
    ASSERT_EQ(report.ExitCode, 0) << report.Errors;
    ASSERT_EQ(report.Output.size(), 1u);
    const std::string page = ReadWholeFile(report.Output[0]);
    for (const char* line : {"Summary&nbsp;output&nbsp;of&nbsp;model:&nbsp;GLIDAR<BR>",
                             "GLIDAR&nbsp;REPORT<BR>", "End&nbsp;of&nbsp;GLIDAR&nbsp;REPORT<BR>",
                             "Summary&nbsp;output&nbsp;of&nbsp;model:&nbsp;MUNDRE<BR>",
                             "MUNDRE&nbsp;REPORT<BR>", "End&nbsp;of&nbsp;MUNDRE&nbsp;REPORT<BR>"})
        EXPECT_THAT(page, HasSubstr(line));
    EXPECT_THAT(page, HasSubstr("Scenario&nbsp;&nbsp;:&nbsp;Jinhua,"));
    for (const char* part : {"id=\"chart-GLIDAR\"", "id=\"chart-MUNDRE\"",
                             "<P class=\"FontTitle2\">Run input files</P>"})
        EXPECT_THAT(page, HasSubstr(part)) << "the delivered scenarios write the daily output";

    const TBatchResult summary = Batch({"report", "--project", "Example"});
    ASSERT_EQ(summary.ExitCode, 0) << summary.Errors;
    EXPECT_THAT(summary.Output,
                ElementsAre(Environment().TempDirectory() + "Project summary - Example.htm"));
    EXPECT_THAT(ReadWholeFile(summary.Output.at(0)),
                HasSubstr("<TD>Example</TD><TD>Jinhua</TD><TD>ALPHA</TD><TD>Two crop sprays</TD>"
                          "<TD>valid</TD>"));

    const TBatchResult check = Batch({"check-substances"});
    EXPECT_EQ(check.ExitCode, 0) << check.Errors;
    EXPECT_TRUE(check.Output.empty()) << check.Output.front();
    EXPECT_TRUE(StoredResults(std::stoi(id)).ValidResults);
}

PARVELA_INSTANTIATE_DATABASE_TEST(BatchOnToolDatabaseTest);

} // namespace
} // namespace parvela::test
