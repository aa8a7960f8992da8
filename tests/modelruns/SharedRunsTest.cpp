// Runs in a database and data path that other programs share: rows changed behind a run's back
// while its models run, a first save that fails, model output that no database stores as it
// is, a lost database connection, and assessments that another program holds.

#include "tests/modelruns/ModelRunTest.h"

#include "program/checks/SchemeUsage.h"
#include "program/runs/ModelProcessRecord.h"
#include "program/runs/RunClaims.h"
#include "program/runs/TModelManager.h"
#include "program/system/ProcessGroups.h"
#include "tests/support/SlowModels.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace parvela::test {
namespace {

using ::testing::HasSubstr;

constexpr int ProjectID = 80;

class SharedRunsTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        LoadDeliveredScenarios();
        AddProject(ProjectID, "Shared");
    }
    void TearDown() override {
        Manager().SetRunProgress(nullptr);
        ModelRunTest::TearDown();
    }

    static TModelManager& Manager() { return TModelManager::GetSingleton(); }

    void AddRun(int id, const std::string& caption) {
        AddAssessment(id, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, caption);
    }

    std::string RunDirectory(int id) const {
        return Manager().ProjectDirectory(ProjectID, true) + std::to_string(id);
    }

    // Runs each model's action once, when the run first tells that the model runs (its input
    // is written and its process started).
    void WhileRunning(std::map<std::string, std::function<void()>> actions) {
        Manager().SetRunProgress([actions](const TModelManager::TRunProgressState& state) mutable {
            if (state.Running.empty())
                return;
            const auto action = actions.find(state.Running[0].Model);
            if (action == actions.end())
                return;
            const auto run = std::move(action->second);
            actions.erase(action);
            run();
        });
    }

    std::string FailingGlidar() {
        const std::string models = Environment().Work().File("failing/");
        PlaceModelPrograms(models, "exit 1", "");
        return models;
    }

    // A GLIDAR that runs the real one and then appends `shell` output to its summary file.
    std::string GlidarAppendingToItsSummary(const std::string& shell, const std::string& name) {
        const std::string models = Environment().Work().File(name + "/");
        PlaceModelPrograms(models,
                           ShellQuote(std::string(PARVELA_BIN_DIR) + "/models/glidarmodel") +
                               " \"$1\" || exit $?\n" + shell +
                               " >> \"$(basename \"$1\" .gld).sum\"",
                           "");
        return models;
    }
};

// Whatever another program writes while the models run: inputs changed before or after the
// second model wrote its input, or changed and changed back while the second model wrote it,
// end the run not valid, and result columns written meanwhile are all written again, also
// where this program's copy of the row holds the same value.
TEST_P(SharedRunsTest, RowsChangedDuringTheRunNeverLeaveAFalseVerdict) {
    struct Case {
        const char* Name;
        std::string DuringGlidar; // SQL run while the model runs
        std::string DuringMundre;
        bool GlidarFails;
        std::string Message;
    };
    const std::string inputsChanged = "The inputs changed during the run.";
    const std::string doubled =
        "UPDATE APPLICATIONS SET DOSAGE = DOSAGE * 2 WHERE APPLICATIONSCHEMEID = 1";
    const std::string halved =
        "UPDATE APPLICATIONS SET DOSAGE = DOSAGE / 2 WHERE APPLICATIONSCHEMEID = 1";
    int id = 0;
    for (const Case& c : {
             Case{"application during GLIDAR", doubled, "", false, inputsChanged},
             Case{"interception during MUNDRE", "",
                  "UPDATE Interceptions SET InterceptionFraction = 0.5 WHERE ScenarioID = 1", false,
                  inputsChanged},
             Case{"application changed and changed back", doubled, halved, false, inputsChanged},
             Case{"scenario's weather during MUNDRE", "",
                  "UPDATE SCENARIOS SET GLIDAR_meteo = GLIDAR_meteo || ' ' WHERE SCENARIOID = 1",
                  false, inputsChanged},
             Case{"results written behind the run's back",
                  "UPDATE ASSESSMENTS SET VALIDRESULTS = TRUE, ASSESSMENTREPORT = 'stale', "
                  "ERRORMESSAGE = 'stale'",
                  "", true, "running model GLIDAR failed: exit code 1"},
         }) {
        AddRun(++id, c.Name);
        RunRawSQL(Format("UPDATE ASSESSMENTS SET SELECTEDFOREXECUTION = (ASSESSMENTID = %d)", id));
        Manager().SetModelsDirectory(c.GlidarFails ? FailingGlidar()
                                                   : std::string(PARVELA_BIN_DIR) + "/models/");
        std::map<std::string, std::function<void()>> actions;
        for (const auto& [model, sql] :
             {std::pair{"GLIDAR", c.DuringGlidar}, std::pair{"MUNDRE", c.DuringMundre}})
            if (!sql.empty())
                actions[model] = [this, sql = sql] { RunRawSQL(sql); };
        WhileRunning(actions);
        EXPECT_FALSE(Manager().RunProject(&Project(ProjectID))) << c.Name;
        const TStoredResults stored = StoredResults(id);
        EXPECT_FALSE(stored.ValidResults) << c.Name;
        EXPECT_EQ(stored.ErrorMessage, c.Message) << c.Name;
        EXPECT_NE(stored.AssessmentReport, "stale") << c.Name;
    }
}

// The results are stored as not valid before the run directory is emptied: when that save
// fails, the old results and their files stay, and the run says why it could not go on.
TEST_P(SharedRunsTest, AFailingFirstSaveKeepsTheResultsAndTheirFiles) {
    AddRun(1, "Kept");
    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID)));
    const TStoredResults before = StoredResults(1);
    const std::string summary = RunDirectory(1) + "/GLIDAR/1.sum";
    const std::string files = ReadWholeFile(summary);
    ASSERT_FALSE(files.empty());
    if (IsSQLite()) {
        RunRawSQL("CREATE TRIGGER REFUSE BEFORE UPDATE OF VALIDRESULTS ON ASSESSMENTS WHEN "
                  "NEW.VALIDRESULTS = 0 BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
    } else {
        RunRawSQL("CREATE FUNCTION REFUSE() RETURNS TRIGGER AS $$ BEGIN IF NOT NEW.VALIDRESULTS "
                  "THEN RAISE EXCEPTION 'refused by the test'; END IF; RETURN NEW; END $$ "
                  "LANGUAGE plpgsql");
        RunRawSQL("CREATE TRIGGER REFUSE BEFORE UPDATE ON ASSESSMENTS FOR EACH ROW EXECUTE "
                  "FUNCTION REFUSE()");
    }
    try {
        Manager().RunProject(&Project(ProjectID));
        ADD_FAILURE() << "the run went on";
    } catch (const std::exception& failure) {
        EXPECT_THAT(failure.what(), HasSubstr("refused by the test"));
    }
    const TStoredResults after = StoredResults(1);
    EXPECT_TRUE(after.ValidResults);
    EXPECT_EQ(after.AssessmentReport, before.AssessmentReport);
    EXPECT_EQ(ReadWholeFile(summary), files);
    EXPECT_THAT(Manager().RunOutcomes().at(0).Message, HasSubstr("refused by the test"));
}

// Output that a model wrote is stored as valid UTF-8 without NUL bytes on every engine, and a
// summary too large to read fails the run with a message instead of the program's memory.
TEST_P(SharedRunsTest, ModelOutputIsReadWithABoundAndStoredAsValidText) {
    struct Case {
        const char* Name;
        std::string Appended;
        bool Valid;
        std::string Stored; // in the report or the message
    };
    int id = 10;
    for (const Case& c : {
             Case{"NUL and invalid UTF-8",
                  "printf 'GLIDAR REPORT a\\000b \\377 \\355\\240\\200\\nEnd of GLIDAR REPORT\\n'",
                  true,
                  "a\xEF\xBF\xBD"
                  "b \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
             Case{"oversized", "head -c 17000000 /dev/zero | tr '\\000' x", false,
                  ".sum holds more than 16 MiB and was not read"},
         }) {
        AddRun(++id, c.Name);
        RunRawSQL(Format("UPDATE ASSESSMENTS SET SELECTEDFOREXECUTION = (ASSESSMENTID = %d)", id));
        Manager().SetModelsDirectory(GlidarAppendingToItsSummary(c.Appended, c.Name));
        EXPECT_EQ(Manager().RunProject(&Project(ProjectID)), c.Valid) << c.Name;
        const TStoredResults stored = StoredResults(id);
        EXPECT_EQ(stored.ValidResults, c.Valid) << c.Name;
        EXPECT_THAT(c.Valid ? stored.AssessmentReport : stored.ErrorMessage, HasSubstr(c.Stored))
            << c.Name;
    }
}

// A PostgreSQL session that the server ends during a run is made anew once: the assessment in
// flight is stored as not valid, and the run goes on with the next.
TEST_P(SharedRunsTest, ALostConnectionIsMadeAnewOnce) {
    if (IsSQLite())
        GTEST_SKIP() << "a file database has no connection to lose";
    AddRun(21, "In flight");
    AddRun(22, "Next");
    const std::string session =
        Db().OpenQuery("SELECT pg_backend_pid() AS PID")->FieldByName("PID").AsString();
    WhileRunning({{"GLIDAR", [&] { RunRawSQL("SELECT pg_terminate_backend(" + session + ")"); }}});
    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    EXPECT_FALSE(StoredResults(21).ValidResults);
    EXPECT_EQ(StoredResults(21).ErrorMessage,
              "The connection to the database was lost during the run.");
    EXPECT_TRUE(StoredResults(22).ValidResults) << StoredResults(22).ErrorMessage;
}

// An assessment that another program holds counts for the editors as one with valid results,
// and a run leaves it alone, its run directory untouched, naming who holds it.
TEST_P(SharedRunsTest, AnAssessmentUnderAnotherClaimIsLeftAloneAndCountsAsValid) {
    AddRun(31, "Held");
    AddRun(32, "Free");
    const auto other = TestDb().Connect();
    const auto claims = CreateRunClaims(*other);
    EXPECT_EQ(ClassifySchemeUsage(Db(), DeliveredSchemeID, 32), TSchemeUsage::Shared)
        << "shared, nothing valid";
    ASSERT_EQ(claims->TryClaim(31, std::nullopt).Outcome, TClaimOutcome::Claimed);
    EXPECT_EQ(ClassifySchemeUsage(Db(), DeliveredSchemeID, 32), TSchemeUsage::SharedWithResults)
        << "the other one runs";
    std::filesystem::create_directories(RunDirectory(31));
    std::ofstream(RunDirectory(31) + "/theirs") << "in use";

    EXPECT_FALSE(Manager().RunProject(&Project(ProjectID)));
    const std::vector<TRunOutcome>& outcomes = Manager().RunOutcomes();
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].Verdict, TRunVerdict::Claimed);
    EXPECT_THAT(outcomes[0].Message,
                ::testing::MatchesRegex("not run: claimed by .+@.+, process " +
                                        std::to_string(getpid()) + ", since .+"));
    EXPECT_EQ(outcomes[1].Verdict, TRunVerdict::Valid);
    EXPECT_TRUE(FileExists(RunDirectory(31) + "/theirs"));
}

// A model process group that a dead program left working in a run directory is ended before
// the directory is emptied for the next run.
TEST_P(SharedRunsTest, ALeftoverModelProcessIsEndedBeforeItsDirectoryIsEmptied) {
    AddRun(41, "Leftover");
    const std::string directory = RunDirectory(41);
    std::filesystem::create_directories(directory);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("60"), nullptr};
    pid_t leftover = 0;
    ASSERT_EQ(posix_spawn(&leftover, "/bin/sleep", &actions, &attributes, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    NoteModelProcess(directory, leftover);

    ASSERT_TRUE(Manager().RunProject(&Project(ProjectID))) << StoredResults(41).ErrorMessage;
    EXPECT_FALSE(GroupHasLiveProcess(leftover));
    kill(leftover, SIGKILL);
    waitpid(leftover, nullptr, 0);
}

PARVELA_INSTANTIATE_DATABASE_TEST(SharedRunsTest);

} // namespace
} // namespace parvela::test
