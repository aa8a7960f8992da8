// parvela-batch as a real process on a real database of each engine, with the real plug-in
// and the real model programs.

#include "tests/modelruns/ModelRunTest.h"

#include "program/plugin/TDAXOInterface.h"
#include "program/reports/DailyOutput.h"
#include "program/reports/ReportFigures.h"
#include "program/runs/RunClaims.h"
#include "program/system/ProcessGroups.h"
#include "tests/support/SlowModels.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

extern char** environ;

namespace parvela::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

constexpr int ProjectID = 70;

// The fields of a CSV line without quoted fields.
std::vector<std::string> SplitCsvLine(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line)
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    return fields;
}

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
        std::string command = ShellQuote(program_);
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

    // Starts the batch front end on the project without waiting; its output goes to
    // `output`, its errors to `output` + ".err".
    pid_t StartRun(const std::vector<std::string>& options, const std::string& output) {
        std::vector<std::string> arguments{program_, "--settings", settings_,
                                           "run",    "--project",  std::to_string(ProjectID)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (output + ".err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return started == 0 ? pid : -1;
    }

    static int ExitCodeOf(pid_t pid) {
        int status = 0;
        if (pid <= 0 || waitpid(pid, &status, 0) != pid)
            return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Runs the batch front end from a directory of its own whose models/ hold stand-ins
    // (script bodies; an empty body takes the real program).
    void UseModels(const std::string& glidarBody, const std::string& mundreBody) {
        const std::string directory = Environment().Work().File("batch-bin/");
        std::filesystem::create_directories(directory);
        program_ = directory + "parvela-batch";
        // The program with the guard of its model processes, as installed.
        for (const char* name : {"parvela-batch", "parvela-model-guard"}) {
            std::error_code linked;
            const std::string installed = std::string(PARVELA_BIN_DIR) + "/" + name;
            std::filesystem::create_hard_link(installed, directory + name, linked);
            if (linked)
                std::filesystem::copy_file(installed, directory + name);
        }
        PlaceModelPrograms(directory + "models", glidarBody, mundreBody);
    }

    std::string ProjectsDirectory() { return Environment().DataPath() + "projects/"; }

    // Every file below the projects directory but the run log, with its text; the run records
    // only when asked for: they note the moments of their run.
    std::map<std::string, std::string> RunFiles(bool withRunRecords = false) {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(ProjectsDirectory()))
            if (entry.is_regular_file() && entry.path().filename() != "runs.log" &&
                (withRunRecords || entry.path().filename() != "run-record.json"))
                files[entry.path().string().substr(ProjectsDirectory().size())] =
                    ReadWholeFile(entry.path().string());
        return files;
    }

    std::map<int, std::tuple<std::string, std::string, bool>> StoredValues() {
        std::map<int, std::tuple<std::string, std::string, bool>> values;
        for (const auto& row : QueryRows("SELECT ASSESSMENTID FROM ASSESSMENTS")) {
            const int id = static_cast<int>(row[0].AsInteger());
            const TStoredResults stored = StoredResults(id);
            values[id] = {stored.ErrorMessage, stored.AssessmentReport, stored.ValidResults};
        }
        return values;
    }

    // How often each assessment's models ran, from the project's run log.
    std::map<std::string, int> LoggedRuns() {
        std::map<std::string, int> runs;
        for (const std::string& line :
             LoadTextLines(ProjectsDirectory() + std::to_string(ProjectID) + "/runs.log")) {
            std::vector<std::string> fields;
            std::stringstream split(line);
            for (std::string field; std::getline(split, field, '\t');)
                fields.push_back(field);
            if (fields.size() == 7)
                ++runs[fields[1] + " " + fields[3]];
        }
        return runs;
    }

    // Every row of the tables a run writes, as texts.
    std::vector<std::vector<std::string>> StoredRows() {
        std::vector<std::vector<std::string>> rows;
        for (const char* table : {"ASSESSMENTS", "PROJECTS", "APPLICATIONS"})
            for (const auto& row : QueryRows(std::string("SELECT * FROM ") + table)) {
                rows.emplace_back();
                for (const auto& value : row)
                    rows.back().push_back(value.IsNull() ? "NULL" : value.AsString());
            }
        return rows;
    }

    // The line that names where a verification kept the files of its run again; empty when
    // there is none.
    static std::string KeptDirectory(const std::vector<std::string>& output) {
        const std::string kept = "run again: its files are kept in ";
        for (const std::string& line : output)
            if (const std::size_t at = line.find(kept); at != std::string::npos)
                return line.substr(at + kept.size());
        return {};
    }

    void ForgetTheRuns() {
        std::filesystem::remove_all(ProjectsDirectory());
        RunRawSQL("UPDATE ASSESSMENTS SET ERRORMESSAGE = '', ASSESSMENTREPORT = '', VALIDRESULTS "
                  "= FALSE");
    }

    std::string settings_;
    std::string program_ = std::string(PARVELA_BIN_DIR) + "/parvela-batch";
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

    // BETA forms metabolites in the pond's water and sediment, which are left out.
    AddProject(ProjectID + 3, "Pond");
    AddAssessment(8, ProjectID + 3, JinhuaScenarioID, BetaGuid, DeliveredSchemeID, true, "Pond");
    const TBatchResult pond = Batch({"run", "--project", "Pond"});
    EXPECT_EQ(pond.ExitCode, 0) << pond.Errors;
    EXPECT_THAT(pond.Output, ElementsAre("8\tPond\tvalid (metabolites not calculated)"));
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
    EXPECT_THAT(result.Output, ElementsAre(Environment().ReportDirectory() + "Reported.htm"));
    const std::string page = ReadWholeFile(Environment().ReportDirectory() + "Reported.htm");
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
             {{"run", "--project", "1", "--jobs", "-1"},
              "Not a valid number of jobs (0 or more): -1"},
             {{"run", "--project", "1", "--shard", "3/3"},
              "Not a valid shard (K/N with 0 <= K < N): 3/3"},
             {{"inputs", "--assessment", "1", "--jobs", "2"}, "Unknown option for inputs: --jobs"},
             {{"run", "--project", "1", "--csv"}, "Unknown option for run: --csv"},
             {{"report", "--csv", "--assessment", "999"}, "Assessment 999 not found"},
             {{"verify"}, "Missing --assessment ID or --project ID"},
             {{"verify", "--assessment", "999"}, "Assessment 999 not found"},
             {{"verify", "--project", "1", "--csv"}, "Unknown option for verify: --csv"},
         }) {
        const TBatchResult result = Batch(c.Arguments);
        EXPECT_EQ(result.ExitCode, 2) << c.Message;
        EXPECT_THAT(result.Errors, HasSubstr(c.Message));
        EXPECT_TRUE(result.Output.empty()) << c.Message;
    }
}

TEST_P(BatchTest, VerifyMatchesARunAndWritesNeitherTheRunNorTheDatabase) {
    AddAssessment(9, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Verified");
    AddAssessment(10, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, false, "Unrun");
    ASSERT_EQ(Batch({"run", "--project", "Batch"}).ExitCode, 0);
    // Without the scenario cache, which a verification neither reads nor fills.
    for (const auto& entry : std::filesystem::directory_iterator(ProjectsDirectory()))
        if (entry.is_regular_file())
            std::filesystem::remove(entry.path());
    const auto files = RunFiles(true);
    const std::string logPath = ProjectsDirectory() + std::to_string(ProjectID) + "/runs.log";
    const std::string log = ReadWholeFile(logPath);
    const auto rows = StoredRows();

    const TBatchResult verified = Batch({"verify", "--project", "Batch"});
    EXPECT_EQ(verified.ExitCode, 0) << verified.Errors;
    EXPECT_THAT(verified.Output,
                ElementsAre("9\tVerified\tmatches its run record",
                            "10\tUnrun\tnothing to verify: no run record and no valid results"));
    EXPECT_EQ(RunFiles(true), files) << "the stored run and the scenario cache";
    EXPECT_EQ(ReadWholeFile(logPath), log);
    EXPECT_EQ(StoredRows(), rows);
    for (const auto& entry : std::filesystem::directory_iterator(Environment().ReportDirectory()))
        ADD_FAILURE() << "left behind: " << entry.path();

    const TBatchResult unrun = Batch({"verify", "--assessment", "10"});
    EXPECT_EQ(unrun.ExitCode, 1);
    EXPECT_THAT(unrun.Output,
                ElementsAre(::testing::StartsWith("10\tUnrun\tnot verified: no run record in ")));
    AddProject(ProjectID + 4, "Never run");
    const TBatchResult none = Batch({"verify", "--project", "Never run"});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_THAT(none.Errors, HasSubstr("Project Never run has no run to verify."));
}

TEST_P(BatchTest, VerifyNamesEachStoredFileAndEachFileOfTheRunAgainThatDiffers) {
    AddAssessment(11, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Checked");
    ASSERT_EQ(Batch({"run", "--project", "Batch"}).ExitCode, 0);
    const std::string run = ProjectsDirectory() + std::to_string(ProjectID) + "/11/";
    std::ofstream(run + "GLIDAR/11.sum", std::ios::app) << "edited\r\n";
    std::filesystem::remove(run + "MUNDRE/mundre.ok");
    std::ofstream(run + "GLIDAR/extra.txt") << "extra";
    const TBatchResult stored = Batch({"verify", "--assessment", "11"});
    EXPECT_EQ(stored.ExitCode, 1);
    using ::testing::StartsWith;
    EXPECT_THAT(stored.Output,
                ElementsAre(StartsWith("11\tChecked\tstored files: GLIDAR/11.sum differs from the "
                                       "run record: "),
                            StartsWith("11\tChecked\tstored files: GLIDAR/extra.txt is not in the "
                                       "run record: 5 bytes"),
                            StartsWith("11\tChecked\tstored files: MUNDRE/mundre.ok is missing: "),
                            "11\tChecked\tdoes not match its run record"))
        << "the run again matches";

    // Inputs changed since the run: the run again names the files that follow from them and
    // keeps its own for a look.
    RunRawSQL("UPDATE APPLICATIONS SET DOSAGE = 0.7 WHERE APPLICATIONSCHEMEID = 1");
    const TBatchResult changed = Batch({"verify", "--assessment", "11"});
    EXPECT_EQ(changed.ExitCode, 1);
    EXPECT_THAT(changed.Output,
                ::testing::IsSupersetOf(
                    {StartsWith("11\tChecked\trun again: GLIDAR/11.gld differs from the run "
                                "record: "),
                     StartsWith("11\tChecked\trun again: MUNDRE/11.sum differs from the run "
                                "record: ")}));
    const std::string kept = KeptDirectory(changed.Output);
    EXPECT_TRUE(FileExists(kept + "/GLIDAR/11.gld")) << kept;
    EXPECT_EQ(kept.rfind(Environment().ReportDirectory(), 0), 0u) << "the private directory";
    EXPECT_FALSE(StoredResults(11).AssessmentReport.empty()) << "the results stay";
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

// The same marked assessments on both delivered scenarios, with a plain substance, one with
// warnings and one refused by its substance, run one after the other, with two jobs, and as
// three shards in three processes at once on the same database and data path: the same files,
// the same stored results, and every model of every assessment run once.
TEST_P(BatchTest, ParallelJobsAndConcurrentShardsGiveTheResultsOfASequentialRun) {
    const std::vector<std::tuple<int, int, std::string, std::string>> assessments = {
        {1, 1, AlphaGuid, "Alpha"},   {2, 2, EtaGuid, "Eta"},   {3, 1, EpsilonGuid, "Warned"},
        {4, 2, GammaGuid, "Refused"}, {5, 2, BetaGuid, "Beta"}, {6, 1, EtaGuid, "Eta again"}};
    for (const auto& [id, scenario, guid, caption] : assessments)
        AddAssessment(id, ProjectID, scenario, guid, DeliveredSchemeID, true, caption);
    ASSERT_EQ(Batch({"run", "--project", std::to_string(ProjectID)}).ExitCode, 1);
    const auto files = RunFiles();
    const auto values = StoredValues();
    const auto runs = LoggedRuns();
    ASSERT_EQ(runs.size(), 10u) << "two models of each assessment but the refused one";
    for (const auto& [run, count] : runs)
        EXPECT_EQ(count, 1) << run;
    EXPECT_TRUE(std::get<2>(values.at(3))) << std::get<0>(values.at(3));

    ForgetTheRuns();
    const TBatchResult parallel =
        Batch({"run", "--project", std::to_string(ProjectID), "--jobs", "2"});
    EXPECT_EQ(parallel.ExitCode, 1) << parallel.Errors;
    EXPECT_EQ(RunFiles(), files) << "--jobs 2";
    EXPECT_EQ(StoredValues(), values) << "--jobs 2";
    EXPECT_EQ(LoggedRuns(), runs) << "--jobs 2";

    ForgetTheRuns();
    std::vector<pid_t> shards;
    for (int shard = 0; shard < 3; ++shard)
        shards.push_back(StartRun({"--shard", std::to_string(shard) + "/3"},
                                  Environment().Work().File("shard" + std::to_string(shard))));
    std::vector<int> exitCodes;
    for (pid_t shard : shards)
        exitCodes.push_back(ExitCodeOf(shard));
    EXPECT_EQ(exitCodes, (std::vector<int>{0, 1, 0})) << "the refused assessment 4 is in shard 1";
    EXPECT_THAT(LoadTextLines(Environment().Work().File("shard1")),
                UnorderedElementsAre("1\tAlpha\tvalid", HasSubstr("4\tRefused\t[ERROR]")))
        << "the shard's own assessments";
    EXPECT_EQ(RunFiles(), files) << "three shards";
    EXPECT_EQ(StoredValues(), values) << "three shards";
    EXPECT_EQ(LoggedRuns(), runs) << "three shards";
}

// --jobs 0 runs as many assessments at once as the process may use processors: bound to one
// (as taskset -c 0 binds it), one after the other, also on a machine with more.
TEST_P(BatchTest, JobsZeroRunsOnePerProcessorOfTheAffinityMask) {
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    if (CPU_COUNT(&allowed) < 2)
        GTEST_SKIP() << "one processor only: a run of one per processor is one at a time anyway";
    const std::string work = Environment().Work().Path();
    // A GLIDAR that notes how many others ran beside it during its second.
    UseModels("touch '" + work + "/running-'$$; sleep 1; ls '" + work +
                  "' | grep -c '^running-' >> '" + work + "/beside'; rm '" + work +
                  "/running-'$$; exit 1",
              "");
    for (int id = 1; id <= 2; ++id)
        AddAssessment(id, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true,
                      "Bound" + std::to_string(id));
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; CPU_COUNT(&one) == 0; ++cpu)
        if (CPU_ISSET(cpu, &allowed))
            CPU_SET(cpu, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const std::string output = Environment().Work().File("bound");
    const pid_t batch = StartRun({"--jobs", "0"}, output);
    sched_setaffinity(0, sizeof allowed, &allowed);
    EXPECT_EQ(ExitCodeOf(batch), 1) << ReadWholeFile(output + ".err");
    EXPECT_EQ(LoadTextLines(work + "/beside"), (std::vector<std::string>{"1", "1"}))
        << "each alone";
}

// SIGINT during a run of one job after the other, SIGTERM during one of two jobs, SIGHUP (a
// closed terminal): the running models' process groups are gone, their assessments stored as
// stopped, the rest untouched and reported as not run, and the exit code tells the signal. A
// front end killed outright (a lost shard) leaves the assessment it ran stored as not valid,
// never with the results that went with its emptied run directory, and no model process
// behind.
TEST_P(BatchTest, ASignalStopsTheRunningModelsAndLeavesTheRestUntouched) {
    const std::string work = Environment().Work().Path();
    UseModels(SlowModelBody(work), "");
    for (int id = 1; id <= 3; ++id)
        AddAssessment(id, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true,
                      "Slow" + std::to_string(id));
    struct Case {
        int Signal;
        std::string Jobs;
        int Running;
        std::string Stored; // ERRORMESSAGE of the assessments that ran
    };
    for (const Case& c :
         {Case{SIGINT, "1", 1, "Run stopped by the user."},
          Case{SIGTERM, "2", 2, "Run stopped by the user."},
          Case{SIGHUP, "1", 1, "Run stopped by the user."}, Case{SIGKILL, "1", 1, ""}}) {
        RunRawSQL("UPDATE ASSESSMENTS SET ERRORMESSAGE = 'old', ASSESSMENTREPORT = 'old@report', "
                  "VALIDRESULTS = TRUE");
        for (int id = 1; id <= 3; ++id)
            std::filesystem::remove(work + "/group-" + std::to_string(id));
        const std::string output = Environment().Work().File("stopped");
        const pid_t batch = StartRun({"--jobs", c.Jobs}, output);
        std::vector<int> groups(c.Running);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (int i = 0; i < c.Running; ++i)
            while (!(groups[i] = NotedProcessGroup(work, i + 1)) &&
                   std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kill(batch, c.Signal);
        EXPECT_EQ(ExitCodeOf(batch), 128 + c.Signal) << ReadWholeFile(output + ".err");
        std::vector<std::string> expected;
        for (int id = 1; id <= 3; ++id) {
            const TStoredResults stored = StoredResults(id);
            const bool ran = id <= c.Running;
            ASSERT_TRUE(!ran || groups[id - 1] != 0) << id;
            if (ran && c.Signal == SIGKILL) {
                // The guard ends the group when the front end is gone: SIGTERM, which this
                // model ignores, and SIGKILL after its grace period.
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (GroupHasLiveProcess(groups[id - 1]) &&
                       std::chrono::steady_clock::now() < giveUp)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            EXPECT_FALSE(ran && GroupHasLiveProcess(groups[id - 1])) << id;
            EXPECT_EQ(stored.ErrorMessage, ran ? c.Stored : "old") << id;
            EXPECT_EQ(stored.ValidResults, !ran) << id;
            EXPECT_EQ(stored.AssessmentReport, ran ? "" : "old@report") << id;
            expected.push_back(std::to_string(id) + "\tSlow" + std::to_string(id) + "\t" +
                               (ran ? "Run stopped by the user." : "not run"));
        }
        if (c.Signal != SIGKILL) {
            EXPECT_EQ(LoadTextLines(output), expected) << c.Signal;
        }
    }
}

// Two programs run the same project at once (two windows, two batch runs, a shard beside an
// unsharded run): each assessment runs once, in one of them, under its run claim; the other
// leaves it alone and names the holder; all end valid.
TEST_P(BatchTest, TwoProgramsRunningOneProjectRunEachAssessmentOnce) {
    const std::string glidar = std::string(PARVELA_BIN_DIR) + "/models/glidarmodel";
    UseModels("sleep 1; exec " + ShellQuote(glidar) + " \"$@\"", "");
    constexpr int Assessments = 4;
    for (int id = 1; id <= Assessments; ++id)
        AddAssessment(id, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true,
                      "Shared" + std::to_string(id));
    const std::string outputs[2] = {Environment().Work().File("first"),
                                    Environment().Work().File("second")};
    const pid_t programs[2] = {StartRun({}, outputs[0]), StartRun({"--shard", "0/1"}, outputs[1])};
    std::set<int> exitCodes;
    for (pid_t program : programs)
        exitCodes.insert(ExitCodeOf(program));
    EXPECT_THAT(exitCodes, ::testing::IsSubsetOf({0, 4})) << ReadWholeFile(outputs[0] + ".err");
    const std::vector<std::string> lines[2] = {LoadTextLines(outputs[0]),
                                               LoadTextLines(outputs[1])};
    for (int id = 1; id <= Assessments; ++id) {
        const std::string start = std::to_string(id) + "\tShared" + std::to_string(id) + "\t";
        for (int program = 0; program < 2; ++program) {
            const auto& own = lines[program];
            const auto& other = lines[1 - program];
            if (std::find(own.begin(), own.end(), start + "valid") == own.end())
                continue;
            EXPECT_THAT(other, ::testing::Contains(::testing::MatchesRegex(
                                   start + "not run: claimed by .+, process " +
                                   std::to_string(programs[program]) + ", since .+")))
                << id;
        }
        EXPECT_TRUE(StoredResults(id).ValidResults) << id;
    }
    for (const auto& [run, count] : LoggedRuns())
        EXPECT_EQ(count, 1) << run;
    EXPECT_EQ(LoggedRuns().size(), 2u * Assessments);
}

// The system frees a claim when its holder dies: a program killed with SIGKILL leaves no
// stale claim behind.
TEST_P(BatchTest, AKilledHolderFreesItsClaimAtOnce) {
    const std::string work = Environment().Work().Path();
    UseModels(SlowModelBody(work), "");
    AddAssessment(1, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Held");
    const pid_t batch = StartRun({}, Environment().Work().File("held"));
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!NotedProcessGroup(work, 1) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto other = TestDb().Connect();
    const auto claims = CreateRunClaims(*other);
    const auto holder = claims->Holder(1);
    ASSERT_TRUE(holder.has_value());
    EXPECT_EQ(holder->Process, batch);
    EXPECT_EQ(claims->TryClaim(1, std::nullopt).Outcome, TClaimOutcome::HeldByOther);
    kill(batch, SIGKILL);
    ExitCodeOf(batch);
    // The database server notices the end of the session as soon as the kernel closed it.
    TClaimOutcome outcome = TClaimOutcome::HeldByOther;
    for (int attempt = 0; attempt < 100 && outcome != TClaimOutcome::Claimed; ++attempt) {
        outcome = claims->TryClaim(1, std::nullopt).Outcome;
        if (outcome != TClaimOutcome::Claimed)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(outcome, TClaimOutcome::Claimed);
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
        "SELECT ASSESSMENTID, SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
        "ASSESSMENTS.PROJECTID FROM ASSESSMENTS, PROJECTS WHERE ASSESSMENTS.PROJECTID = "
        "PROJECTS.PROJECTID AND "
        "PROJECTS.CAPTION = 'Example' AND SELECTEDFOREXECUTION = TRUE");
    ASSERT_EQ(example.size(), 1u) << "one marked assessment in the project Example";
    EXPECT_EQ(example[0][1].AsInteger(), JinhuaScenarioID);
    EXPECT_EQ(example[0][2].AsString(), AlphaGuid);
    EXPECT_EQ(example[0][3].AsInteger(), DeliveredSchemeID);
    EXPECT_EQ(example[0][4].AsString(),
              TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(AlphaGuid))
        << "the stored checksum is the plug-in's, so a run's results are not taken for stale";
    const std::string id = example[0][0].AsString();

    const TBatchResult unrun = Batch({"report", "--assessment", id, "--csv"});
    EXPECT_EQ(unrun.ExitCode, 1);
    EXPECT_THAT(unrun.Errors, HasSubstr("has no daily output of its models"));
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
    for (const char* part :
         {"id=\"chart-GLIDAR\"", "id=\"chart-MUNDRE\"", "<P class=\"FontTitle2\">Run record</P>"})
        EXPECT_THAT(page, HasSubstr(part)) << "the delivered scenarios write the daily output";

    const TBatchResult summary = Batch({"report", "--project", "Example"});
    ASSERT_EQ(summary.ExitCode, 0) << summary.Errors;
    EXPECT_THAT(summary.Output,
                ElementsAre(Environment().ReportDirectory() + "Project summary - Example.htm"));
    EXPECT_THAT(ReadWholeFile(summary.Output.at(0)),
                HasSubstr("<TD>Example</TD><TD>Jinhua</TD><TD>ALPHA</TD><TD>Two crop sprays</TD>"
                          "<TD>valid</TD>"));

    // The same as CSV: the summary's figures at full precision, and each model's daily output.
    const TBatchResult summaryCsv = Batch({"report", "--project", "Example", "--csv"});
    ASSERT_EQ(summaryCsv.ExitCode, 0) << summaryCsv.Errors;
    EXPECT_THAT(summaryCsv.Output,
                ElementsAre(Environment().TempDirectory() + "Project summary - Example.csv"));
    const std::vector<std::string> summaryLines = LoadTextLines(summaryCsv.Output.at(0));
    ASSERT_EQ(summaryLines.size(), 2u);
    EXPECT_EQ(summaryLines[0], "ID,Caption,Scenario,Substance,Application scheme,Results,"
                               "Metabolites,Max. paddy water (ug.L-1),Pond global max. (ug.L-1),"
                               "Pond 21-day TWA (ug.L-1)");
    const std::vector<std::string> cells = SplitCsvLine(summaryLines[1]);
    ASSERT_EQ(cells.size(), 10u) << summaryLines[1];
    EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.begin() + 7),
              (std::vector<std::string>{id, "Example", "Jinhua", "ALPHA", "Two crop sprays",
                                        "valid", ""}));
    const TReportFigures figures = ReadReportFigures(StoredResults(std::stoi(id)).AssessmentReport);
    ASSERT_TRUE(figures.PaddyWaterMaximum && figures.PondMaximum && figures.PondTwa21);
    EXPECT_EQ(std::stod(cells[7]), figures.PaddyWaterMaximum->Value);
    EXPECT_EQ(std::stod(cells[8]), figures.PondMaximum->Value);
    EXPECT_EQ(std::stod(cells[9]), figures.PondTwa21->Value);

    const TBatchResult seriesCsv = Batch({"report", "--assessment", id, "--csv"});
    ASSERT_EQ(seriesCsv.ExitCode, 0) << seriesCsv.Errors;
    EXPECT_THAT(seriesCsv.Output,
                ElementsAre(Environment().TempDirectory() + "Example - daily series.csv"));
    const std::vector<std::string> series = LoadTextLines(seriesCsv.Output.at(0));
    ASSERT_EQ(series.size(), 1u + 1096u) << "a header and every day of 2000 to 2002";
    std::vector<std::string> header = SplitCsvLine(series[0]);
    const std::string runDirectory =
        Environment().DataPath() + "projects/" + example[0][5].AsString() + "/" + id + "/";
    std::vector<std::string> expected = {"Date"};
    std::vector<double> firstDay;
    for (const char* model : {"GLIDAR", "MUNDRE"}) {
        const auto output = ReadDailyOutput(runDirectory + model + "/" + id + ".out");
        ASSERT_TRUE(output) << model;
        for (const TDailyColumn& column : output->Columns) {
            expected.push_back(std::string(model) + " " + column.Name + " (" + column.Unit + ")");
            firstDay.push_back(column.Values.at(0));
        }
    }
    EXPECT_EQ(header, expected);
    const std::vector<std::string> day = SplitCsvLine(series[1]);
    ASSERT_EQ(day.size(), expected.size());
    EXPECT_EQ(day[0], "2000-01-01");
    for (std::size_t c = 0; c < firstDay.size(); ++c)
        EXPECT_EQ(std::stod(day[c + 1]), firstDay[c]) << expected[c + 1];

    const TBatchResult check = Batch({"check-substances"});
    EXPECT_EQ(check.ExitCode, 0) << check.Errors;
    EXPECT_TRUE(check.Output.empty()) << check.Output.front();
    EXPECT_TRUE(StoredResults(std::stoi(id)).ValidResults);
}

PARVELA_INSTANTIATE_DATABASE_TEST(BatchOnToolDatabaseTest);

} // namespace
} // namespace parvela::test
