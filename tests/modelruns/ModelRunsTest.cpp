// Runs of marked assessments through the model manager: the real plug-in, the real model
// programs (or stand-ins that fail on purpose), real run directories and the results stored
// in a real database on each engine.

#include "tests/modelruns/ModelRunTest.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "platform/Exceptions.h"
#include "platform/UiHooks.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModelGlidar.h"
#include "program/runs/TZentorModelMundre.h"
#include "program/system/ProcessGroups.h"
#include "program/system/RunStop.h"
#include "tests/support/SlowModels.h"

#include <gmock/gmock.h>

#include <csignal>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

namespace parvela::test {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

constexpr int ProjectID = 40;

const std::string CanopyWarning =
    "Only the canopy process option \"Lumped\" using 10 d for the half life is valid for the "
    "Chinese paddy rice scenarios. (substance: EPSILON)";
const std::string MoistureWarning =
    "According the SOP for transformation in soil, the experiment should be performed under "
    "optimum moisture conditions. Select \"Option moisture conditions (pF = 2 or wetter)\". "
    "(substance: EPSILON)";

class ModelRunsTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        LoadDeliveredScenarios();
        AddProject(ProjectID, "Runs");
    }

    TModelManager& Manager() { return TModelManager::GetSingleton(); }

    // Assessment on the delivered scenario and scheme.
    void AddRun(int id, const std::string& guid, const std::string& caption = "A run",
                bool selected = true) {
        AddAssessment(id, ProjectID, JinhuaScenarioID, guid, DeliveredSchemeID, selected, caption);
    }

    std::string RunDirectory(int id) const {
        return TModelManager::GetSingleton().ProjectDirectory(ProjectID, true) + std::to_string(id);
    }

    // A models directory of stand-in programs: each given as the body of a shell script;
    // an empty body takes the real program.
    std::string FakeModels(const std::string& glidarBody, const std::string& mundreBody) {
        const std::string directory = Environment().Work().File("fake-models/");
        PlaceModelPrograms(directory, glidarBody, mundreBody);
        return directory;
    }

    void SetStoredValidResults(int id) {
        RunRawSQL(Format("UPDATE ASSESSMENTS SET VALIDRESULTS = TRUE, ASSESSMENTREPORT = "
                         "'old@report' WHERE ASSESSMENTID = %d",
                         id));
    }
};

TEST_P(ModelRunsTest, BothModelsRunAndTheResultsAreStored) {
    AddRun(1, AlphaGuid, "Alpha run");
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)))
        << StoredResults(1).ErrorMessage
        << ReadWholeFile(RunDirectory(1) + "/GLIDAR/run_Alpha run.log");

    const TStoredResults stored = StoredResults(1);
    EXPECT_TRUE(stored.ValidResults);
    EXPECT_EQ(stored.ErrorMessage, "");
    EXPECT_THAT(stored.AssessmentReport,
                StartsWith("@Summary output of model: GLIDAR@" + std::string(31, '-') + "@"));
    EXPECT_THAT(stored.AssessmentReport,
                HasSubstr("@Summary output of model: MUNDRE@" + std::string(31, '-') + "@"));
    EXPECT_THAT(stored.AssessmentReport, HasSubstr("End of GLIDAR REPORT@\r\n@\r\n"));
    EXPECT_THAT(stored.AssessmentReport, HasSubstr("End of MUNDRE REPORT@\r\n@\r\n"));
    EXPECT_LT(stored.AssessmentReport.find("GLIDAR REPORT"),
              stored.AssessmentReport.find("MUNDRE REPORT"));

    const std::string run = RunDirectory(1);
    for (const char* file : {"/GLIDAR/1.gld", "/GLIDAR/glidar.ok", "/GLIDAR/1.e2m", "/GLIDAR/1.sum",
                             "/GLIDAR/run_Alpha run.sh", "/MUNDRE/1.mnd", "/MUNDRE/1.e2m",
                             "/MUNDRE/mundre.ok", "/MUNDRE/1.sum"})
        EXPECT_TRUE(FileExists(run + file)) << file;
    EXPECT_EQ(ReadWholeFile(run + "/GLIDAR/run_Alpha run.sh"),
              FileText({"#!/bin/sh", "'" + Manager().ModelsDirectory() + "glidarmodel' '" + run +
                                         "/GLIDAR/1.gld' #"}));
    EXPECT_EQ(ReadWholeFile(run + "/MUNDRE/run_Alpha run.sh"),
              FileText({"#!/bin/sh", "cp '" + run + "/GLIDAR/1.e2m' '" + run + "/MUNDRE/1.e2m' #",
                        "'" + Manager().ModelsDirectory() + "Mundremodel' '" + run +
                            "/MUNDRE/1.mnd' #"}));
}

// A team shares the data path through a group: what a run makes follows the umask, so that
// with umask 007 every member of the group may read and replace it.
TEST_P(ModelRunsTest, WhatARunMakesFollowsTheUmask) {
    AddRun(1, EtaGuid, "Shared");
    const mode_t previous = ::umask(007);
    const bool ran = Manager().RunProject(&Project(ProjectID));
    ::umask(previous);
    ASSERT_TRUE(ran) << StoredResults(1).ErrorMessage;
    auto mode = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
    };
    const std::string run = RunDirectory(1);
    for (const std::string& directory :
         {Manager().ProjectDirectory(ProjectID, false), run, run + "/GLIDAR", run + "/MUNDRE"})
        EXPECT_EQ(mode(directory), 0770u) << directory;
    std::vector<std::string> files{run + "/GLIDAR/1.gld",          run + "/GLIDAR/run_Shared.sh",
                                   run + "/GLIDAR/run_Shared.log", run + "/MUNDRE/1.e2m",
                                   run + "/MUNDRE/1.sum",          Manager().RunLogPath(ProjectID)};
    // The scenario cache with the digests of its files.
    for (const auto& entry : std::filesystem::directory_iterator(Manager().ProjectsDirectory()))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    EXPECT_EQ(files.size(), 10u);
    for (const std::string& file : files)
        EXPECT_EQ(mode(file), 0660u) << file;
}

TEST_P(ModelRunsTest, TheRunProgressNamesEachModelBeforeItStarts) {
    std::vector<std::string> told;
    Manager().SetRunProgress([&](const TModelManager::TRunProgressState& state) {
        std::string line =
            Format("%d of %d, %d ended:", state.Started, state.Total, state.Finished);
        for (const auto& running : state.Running)
            line += " " + running.Assessment + " " + running.Model;
        told.push_back(line);
    });
    AddRun(9, EtaGuid, "Told");
    AddRun(10, GammaGuid, "Refused");
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    // The total from the start; the refusal, checked first, ends before any model starts.
    EXPECT_EQ(told,
              (std::vector<std::string>{"0 of 2, 0 ended:", "1 of 2, 0 ended:", "1 of 2, 1 ended:",
                                        "2 of 2, 1 ended:", "2 of 2, 1 ended: Told GLIDAR",
                                        "2 of 2, 1 ended: Told MUNDRE", "2 of 2, 2 ended:"}))
        << "a run stopped by its substance starts no model";
    Manager().SetRunProgress(nullptr);
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_EQ(told.size(), 7u);
}

// Captions of 255 two-byte characters, as every engine stores them, are too long for file
// names whole: the run script and its log, the scenario's files and its cache, and the
// report get shortened names, and two assessments whose captions differ only at the end
// keep reports of their own.
TEST_P(ModelRunsTest, CaptionsTooLongForFileNamesNeverStopARun) {
    std::string longest;
    for (int i = 0; i < 255; ++i)
        longest += "\xC3\xA9"; // e acute
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR, "
              "GLIDAR_data, MUNDRE_data, GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, MUNDRE_rain) "
              "SELECT 9, " +
              Quoted(longest) +
              ", DESCRIPTION, STARTYEAR, ENDYEAR, GLIDAR_data, MUNDRE_data, GLIDAR_meteo, "
              "MUNDRE_meteo, GLIDAR_pond, MUNDRE_rain FROM SCENARIOS WHERE SCENARIOID = 1");
    const std::string other = longest.substr(0, longest.size() - 2) + "e";
    AddAssessment(11, ProjectID, 9, EtaGuid, DeliveredSchemeID, true, longest);
    AddAssessment(12, ProjectID, 9, EtaGuid, DeliveredSchemeID, true, other);
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID))) << StoredResults(11).ErrorMessage;
    EXPECT_TRUE(StoredResults(11).ValidResults);
    EXPECT_TRUE(StoredResults(12).ValidResults) << "the scenario cache of the first is taken";
    std::vector<std::string> cached;
    for (const auto& entry : std::filesystem::directory_iterator(Manager().ProjectsDirectory()))
        if (entry.is_regular_file())
            cached.push_back(entry.path().extension().string());
    std::sort(cached.begin(), cached.end());
    EXPECT_EQ(cached, (std::vector<std::string>{".bfo", ".sha256", ".sha256", ".swe"}))
        << "one scenario, one cache, each file with its digest";
    const std::string first = WriteSummaryReportFile(OpenAssessment(11));
    const std::string second = WriteSummaryReportFile(OpenAssessment(12));
    EXPECT_NE(first, second);
    EXPECT_TRUE(FileExists(first));
    EXPECT_TRUE(FileExists(second));
}

TEST_P(ModelRunsTest, QuotesInCaptionsAndPathsReachTheShellAsData) {
    AddRun(2, EtaGuid, "it's $(touch pwned)");
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_TRUE(StoredResults(2).ValidResults);
    const std::string script = RunDirectory(2) + "/GLIDAR/run_it's $(touch pwned).sh";
    EXPECT_TRUE(FileExists(script));
    EXPECT_FALSE(FileExists(RunDirectory(2) + "/GLIDAR/pwned"));
}

TEST_P(ModelRunsTest, GlidarExitingWithOneFailsTheRunAndMundreIsNotStarted) {
    Manager().SetModelsDirectory(FakeModels("exit 1", "touch started; exit 0"));
    AddRun(3, EtaGuid);
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    const TStoredResults stored = StoredResults(3);
    EXPECT_EQ(stored.ErrorMessage, "running model GLIDAR failed: exit code 1");
    EXPECT_FALSE(stored.ValidResults);
    EXPECT_EQ(stored.AssessmentReport, "") << "cleared before the first model";
    EXPECT_FALSE(std::filesystem::exists(RunDirectory(3) + "/MUNDRE"));
}

// Model programs that fail in other ways than by their error file: an exit code (also when a
// parent started the program with SIGCHLD ignored, so that the system would reap the child
// itself), a missing program (the shell's 127) and a program killed by a signal. The message
// names the reason, with the last line of the run script's log where there is one.
TEST_P(ModelRunsTest, AFailingGlidarProcessFailsTheRun) {
    struct Case {
        const char* Name;
        std::string Body;
        std::string Message;
        bool SigchldIgnored = false;
    };
    const std::string okAndSummary = "touch glidar.ok; printf 'GLIDAR REPORT\\nEnd of GLIDAR "
                                     "REPORT\\n' > \"$(basename \"$1\" .gld).sum\"; exit 3";
    int id = 60;
    for (const Case& c :
         {Case{"exit code 3", "touch glidar.ok; exit 3", "exit code 3"},
          Case{"exit code 3 with SIGCHLD ignored", okAndSummary, "exit code 3", true},
          Case{"no such program", "echo starting; exec ./no-such-program",
               "exit code 127; run_no such program.log ends with: .*no-such-program: not found"},
          Case{"killed", "echo starting; kill -9 $$",
               "exit code 137 \\(signal 9, Killed\\); run_killed.log ends with: Killed"}}) {
        Manager().SetModelsDirectory(FakeModels(c.Body, ""));
        AddRun(++id, EtaGuid, c.Name);
        TdciAssessments& assessment = OpenAssessment(id);
        Manager().CreateProjectDirectory(ProjectID);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction previous {};
        if (c.SigchldIgnored)
            sigaction(SIGCHLD, &ignore, &previous);
        const bool succeeded = Manager().RunAssessment(ProjectID, &assessment);
        if (c.SigchldIgnored)
            sigaction(SIGCHLD, &previous, nullptr);
        EXPECT_FALSE(succeeded) << c.Name;
        EXPECT_THAT(StoredResults(id).ErrorMessage,
                    MatchesRegex("running model GLIDAR failed: " + c.Message))
            << c.Name;
        EXPECT_FALSE(StoredResults(id).ValidResults) << c.Name;
        EXPECT_FALSE(std::filesystem::exists(RunDirectory(id) + "/MUNDRE")) << c.Name;
        std::filesystem::remove_all(Environment().Work().File("fake-models"));
    }
}

TEST_P(ModelRunsTest, AModelThatLeavesNoOkFlagFailsWithItsErrorFile) {
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR, "
              "GLIDAR_data, MUNDRE_data, GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, MUNDRE_rain) "
              "SELECT 9, 'Broken', DESCRIPTION, STARTYEAR, ENDYEAR, GLIDAR_data, MUNDRE_data, "
              "GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, MUNDRE_rain FROM SCENARIOS WHERE "
              "SCENARIOID = 1");
    // A template without the substance, the applications and the weather station.
    RunRawSQL("UPDATE SCENARIOS SET GLIDAR_data = " + Quoted("@START\r\n@STOP\r\n") +
              " WHERE SCENARIOID = 9");
    AddAssessment(4, ProjectID, 9, EtaGuid, DeliveredSchemeID, true, "Broken run");
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    const TStoredResults stored = StoredResults(4);
    EXPECT_THAT(stored.ErrorMessage,
                StartsWith("running model GLIDAR failed: \"Error in model: GLIDAR\","));
    EXPECT_FALSE(stored.ValidResults);
    EXPECT_TRUE(FileExists(RunDirectory(4) + "/GLIDAR/4.err"));
    EXPECT_FALSE(FileExists(RunDirectory(4) + "/GLIDAR/glidar.ok"));
}

TEST_P(ModelRunsTest, WithoutTheHandOverFileMundreIsNotStarted) {
    Manager().SetModelsDirectory(FakeModels("touch glidar.ok", "touch started"));
    AddRun(5, EtaGuid);
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    const std::string source = RunDirectory(5) + "/GLIDAR/5.e2m";
    EXPECT_EQ(StoredResults(5).ErrorMessage,
              "running model MUNDRE failed: File not found " + source);
    EXPECT_FALSE(StoredResults(5).ValidResults);
    EXPECT_FALSE(FileExists(RunDirectory(5) + "/MUNDRE/started"));
}

TEST_P(ModelRunsTest, AnOkFlagFromAnEarlierRunCannotMakeANewRunSucceed) {
    AddRun(6, EtaGuid);
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)));
    std::ofstream(RunDirectory(6) + "/stray.txt") << "left behind";
    Manager().SetModelsDirectory(FakeModels("exit 0", ""));
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_FALSE(FileExists(RunDirectory(6) + "/stray.txt")) << "the run directory was emptied";
    EXPECT_FALSE(FileExists(RunDirectory(6) + "/GLIDAR/glidar.ok"));
    EXPECT_EQ(StoredResults(6).ErrorMessage,
              "running model GLIDAR failed: the model wrote no glidar.ok");
}

TEST_P(ModelRunsTest, UnattendedWarningsRunWithoutBoxesAndTheNoteIsSetBeforeTheModels) {
    Manager().SetContinueOnError(true);
    AddRun(7, EpsilonGuid);
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_TRUE(ScriptedDialogs().Boxes().empty());
    EXPECT_TRUE(StoredResults(7).ValidResults);
    EXPECT_EQ(StoredResults(7).ErrorMessage, "") << "the error file read clears the note";

    Manager().SetModelsDirectory(FakeModels("exit 1", ""));
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_EQ(StoredResults(7).ErrorMessage, "running model GLIDAR failed: exit code 1; [WARNING]" +
                                                 CanopyWarning + "; " + MoistureWarning +
                                                 "; --> Simulation started with warnings.");
    EXPECT_TRUE(ScriptedDialogs().Boxes().empty());
}

TEST_P(ModelRunsTest, WarningsAskTheUserAndCancelKeepsTheResults) {
    AddRun(8, EpsilonGuid, "Epsilon");
    SetStoredValidResults(8);
    ScriptedDialogs().QueueAnswer(TDialogAnswer::Cancel);
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_EQ(ScriptedDialogs().Texts(),
              (std::vector<std::string>{CanopyWarning, MoistureWarning,
                                        "Selected substance for assessment Epsilon has warnings. "
                                        "Are you sure you want to start the calculation for this "
                                        "assessment?"}));
    EXPECT_EQ(ScriptedDialogs().Boxes()[0].Box.Icon, TDialogIcon::Warning);
    EXPECT_EQ(ScriptedDialogs().Boxes()[2].Box.Buttons, TDialogButtons::OkCancel);
    const TStoredResults stored = StoredResults(8);
    EXPECT_EQ(stored.ErrorMessage, "[WARNING]" + CanopyWarning + "; " + MoistureWarning +
                                       "; --> Simulation canceled by user due to warnings.");
    EXPECT_TRUE(stored.ValidResults);
    EXPECT_EQ(stored.AssessmentReport, "old@report");
    EXPECT_FALSE(std::filesystem::exists(RunDirectory(8) + "/GLIDAR"));

    ScriptedDialogs().QueueAnswer(TDialogAnswer::Ok);
    EXPECT_TRUE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_TRUE(StoredResults(8).ValidResults);
    EXPECT_THAT(StoredResults(8).AssessmentReport, HasSubstr("MUNDRE REPORT"));
}

TEST_P(ModelRunsTest, SubstanceErrorsInTheSecondOfThreeAssessments) {
    AddRun(11, AlphaGuid, "First");
    AddRun(12, GammaGuid, "Second");
    AddRun(13, EtaGuid, "Third");
    AddRun(14, DeltaGuid, "Not marked", false);
    SetStoredValidResults(12);
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_TRUE(StoredResults(11).ValidResults);
    EXPECT_TRUE(StoredResults(13).ValidResults);
    const TStoredResults second = StoredResults(12);
    EXPECT_EQ(second.ErrorMessage, "[ERROR]Only the sorption on soil option \"Kom, "
                                   "pH-independent\" is available for Parvela. (substance: GAMMA)");
    EXPECT_TRUE(second.ValidResults) << "unchanged";
    EXPECT_EQ(second.AssessmentReport, "old@report");
    ASSERT_EQ(ScriptedDialogs().Boxes().size(), 1u) << "an error box and no question";
    EXPECT_EQ(ScriptedDialogs().Boxes()[0].Box.Icon, TDialogIcon::Error);
    EXPECT_FALSE(std::filesystem::exists(RunDirectory(14)));
}

TEST_P(ModelRunsTest, AnExceptionFromTheWriterEndsTheRun) {
    ExecutePluginSql(Environment().DaxoDatabase(),
                     "UPDATE attributes SET value = '2' WHERE guid = '" + AlphaM2Guid +
                         "' AND name = 'OptCofFreCode'");
    AddRun(21, EtaGuid, "First");
    AddRun(22, AlphaGuid, "Second");
    AddRun(23, EtaGuid, "Third");
    SetStoredValidResults(22);
    try {
        Manager().RunProject(&Project(ProjectID));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid option for OptCofFre");
    }
    EXPECT_TRUE(StoredResults(21).ValidResults);
    EXPECT_FALSE(StoredResults(22).ValidResults) << "its earlier results were deleted";
    EXPECT_FALSE(std::filesystem::exists(RunDirectory(23))) << "not run";
}

// The scenario cache is filled by the first run and used by the next ones while it holds what
// the scenario in the database gives now; a torn file is never used and is written again, and
// a changed scenario never meets the files of its earlier self.
TEST_P(ModelRunsTest, TheScenarioCacheHoldsWhatTheScenarioGivesNow) {
    const auto preloaded = [&](int id) {
        AddRun(id, EtaGuid, "Run " + std::to_string(id));
        EXPECT_TRUE(Manager().WriteInputFilesOnly(&OpenAssessment(id)));
        return FileExists(RunDirectory(id) + "/GLIDAR/Jinhua.swe");
    };
    const auto run = [&](int id) {
        return Manager().RunAssessment(ProjectID, &OpenAssessment(id));
    };
    Manager().CreateProjectDirectory(ProjectID);
    ASSERT_FALSE(preloaded(31)) << "an empty cache";
    ASSERT_TRUE(run(31));
    const std::string cached = Manager().Glidar().CacheFile(".swe");
    ASSERT_TRUE(FileExists(cached));
    EXPECT_EQ(ReadWholeFile(cached), ReadWholeFile(RunDirectory(31) + "/GLIDAR/Jinhua.swe"));

    EXPECT_TRUE(preloaded(32)) << "an intact cache is used";
    EXPECT_EQ(ReadWholeFile(RunDirectory(32) + "/GLIDAR/Jinhua.swe"), ReadWholeFile(cached));

    const std::string whole = ReadWholeFile(cached);
    std::ofstream(cached, std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() / 2);
    EXPECT_FALSE(preloaded(33)) << "a torn file is not used";
    ASSERT_TRUE(run(33));
    EXPECT_EQ(ReadWholeFile(cached), whole) << "and written again";

    RunRawSQL("UPDATE SCENARIOS SET STARTYEAR = STARTYEAR + 1 WHERE SCENARIOID = 1");
    EXPECT_FALSE(preloaded(34)) << "the cache of the scenario before its change";
    EXPECT_NE(Manager().Glidar().CacheFile(".swe"), cached);
    ASSERT_TRUE(run(34));
    EXPECT_TRUE(FileExists(Manager().Glidar().CacheFile(".swe")));
    EXPECT_EQ(ReadWholeFile(cached), whole) << "the earlier scenario keeps its own";
}

TEST_P(ModelRunsTest, InputFilesOnlyKeepsTheOldResultFiles) {
    AddRun(41, EtaGuid);
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)));
    const std::string run = RunDirectory(41);
    std::filesystem::remove(run + "/GLIDAR/41.gld");
    std::filesystem::remove(run + "/MUNDRE/41.mnd");
    TdciAssessments& assessment = OpenAssessment(41);
    ASSERT_TRUE(Manager().WriteInputFilesOnly(&assessment));
    for (const char* file : {"/GLIDAR/41.gld", "/MUNDRE/41.mnd", "/GLIDAR/glidar.ok",
                             "/GLIDAR/41.sum", "/MUNDRE/mundre.ok", "/MUNDRE/41.e2m"})
        EXPECT_TRUE(FileExists(run + file)) << file;
    EXPECT_EQ(assessment.InputFileName(), run + "/MUNDRE/41.mnd");
    EXPECT_EQ(assessment.ItemState(), isBrowse) << "nothing stored";
    EXPECT_FALSE(Manager().WriteInputFilesOnly(nullptr));
}

TEST_P(ModelRunsTest, ResultsAreStoredInALockedProject) {
    RunRawSQL(Format("UPDATE PROJECTS SET LOCKED = TRUE WHERE PROJECTID = %d", ProjectID));
    AddRun(51, EtaGuid);
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_TRUE(StoredResults(51).ValidResults);
}

TEST_P(ModelRunsTest, ARunDirectoryThatCannotBeCreated) {
    AddRun(52, EtaGuid);
    SetStoredValidResults(52);
    Manager().CreateProjectDirectory(ProjectID);
    std::ofstream(RunDirectory(52)) << "a file where the directory belongs";
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_EQ(StoredResults(52).ErrorMessage,
              "Cannot create assessment directory: " + RunDirectory(52) + ".");
    EXPECT_TRUE(StoredResults(52).ValidResults);
}

TEST_P(ModelRunsTest, RunProjectOfNoProjectAndOfNoMarkedAssessment) {
    EXPECT_FALSE(Manager().RunProject(nullptr));
    AddRun(53, GammaGuid, "Unmarked", false);
    EXPECT_TRUE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_TRUE(Manager().RunAssessment(ProjectID, nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(Manager().ProjectDirectory(ProjectID, false)));
}

// Calls `probe` at every wait for a model process, as the window's event processing would.
class ProbingUiHooks final : public IUiHooks {
public:
    explicit ProbingUiHooks(std::function<void()> probe) : probe_(std::move(probe)) {
        SetUiHooks(this);
    }
    ~ProbingUiHooks() override { SetUiHooks(nullptr); }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ProcessPendingEvents() override { probe_(); }

private:
    std::function<void()> probe_;
};

// A stop while the second assessment's GLIDAR runs (one that ignores SIGTERM): its whole
// process group is gone, the assessment is stored as not valid with the stop's message, the
// first keeps its results, the third is not touched, and the run log tells what ran.
TEST_P(ModelRunsTest, AStopTerminatesTheModelsProcessGroupAndLeavesTheRestUntouched) {
    const std::string work = Environment().Work().Path();
    Manager().SetModelsDirectory(FakeModels("case \"$1\" in */12.gld) " + SlowModelBody(work) +
                                                ";; esac\nexec '" + PARVELA_BIN_DIR +
                                                "/models/glidarmodel' \"$@\"",
                                            ""));
    AddRun(11, EtaGuid, "First");
    AddRun(12, EtaGuid, "Stopped");
    AddRun(13, EtaGuid, "Untouched");
    for (int id : {12, 13})
        SetStoredValidResults(id);
    int group = 0;
    bool ran;
    {
        ProbingUiHooks stopWhenSlow([&] {
            if (!group && (group = NotedProcessGroup(work, 12)) != 0)
                RequestRunStop();
        });
        ran = Manager().RunProject(&Project(ProjectID));
    }
    ResetRunStop();
    EXPECT_FALSE(ran);
    ASSERT_NE(group, 0) << "the slow model ran";
    EXPECT_FALSE(GroupHasLiveProcess(group));
    EXPECT_TRUE(StoredResults(11).ValidResults);
    const TStoredResults stopped = StoredResults(12);
    EXPECT_EQ(stopped.ErrorMessage, "Run stopped by the user.");
    EXPECT_FALSE(stopped.ValidResults);
    EXPECT_EQ(stopped.AssessmentReport, "");
    const TStoredResults untouched = StoredResults(13);
    EXPECT_TRUE(untouched.ValidResults);
    EXPECT_EQ(untouched.AssessmentReport, "old@report");
    EXPECT_FALSE(std::filesystem::exists(RunDirectory(13)));
    EXPECT_EQ(Manager().RunAssessments(), (std::vector<int>{11, 12}));

    const TTextLines log = LoadTextLines(Manager().RunLogPath(ProjectID));
    ASSERT_EQ(log.size(), 3u) << ReadWholeFile(Manager().RunLogPath(ProjectID));
    const std::string when = "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\t";
    EXPECT_THAT(log[0], MatchesRegex(when + "11\tFirst\tGLIDAR\t0\t[0-9]+\\.[0-9]{3}\tvalid"));
    EXPECT_THAT(log[1], MatchesRegex(when + "11\tFirst\tMUNDRE\t0\t[0-9.]+\tvalid"));
    EXPECT_THAT(log[2], MatchesRegex(when + "12\tStopped\tGLIDAR\t143\t[0-9.]+\tnot valid"))
        << "the run script's shell ended by SIGTERM";
}

PARVELA_INSTANTIATE_DATABASE_TEST(ModelRunsTest);

} // namespace
} // namespace parvela::test
