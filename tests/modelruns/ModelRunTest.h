#pragma once
// The model-run tests: a fresh database per test on each engine with the saver on it, the
// real plug-in library on a fresh substance database, the model manager with a data path of
// the test's own, and scripted dialogs. Rows are written behind the program's back.

#include "tests/support/TestDatabase.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "platform/ScriptedDialogs.h"
#include "program/runs/TZentorModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvela::test {

// Example substances of a new plug-in database.
inline const std::string AlphaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000001}"; // M1 (M2), M3
inline const std::string AlphaM1Guid = "{5EED0DA0-7A11-4C0E-9D00-000000000002}";
inline const std::string AlphaM2Guid = "{5EED0DA0-7A11-4C0E-9D00-000000000003}";
inline const std::string BetaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000005}";    // water, sediment
inline const std::string GammaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000008}";   // OptCofFre 1
inline const std::string DeltaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000009}";   // OptCofFre 2
inline const std::string EpsilonGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000010}"; // 2 warnings
inline const std::string ZetaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000011}";    // incomplete
inline const std::string EtaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000012}";     // plain
inline const std::string UnknownGuid = "{00000000-0000-0000-0000-00000000BEEF}";

// The delivered scenario that the full runs use, with its example scheme.
inline constexpr int JinhuaScenarioID = 1;
inline constexpr int DeliveredSchemeID = 1;

// Sets an environment variable for its lifetime.
class TScopedEnvironment {
public:
    TScopedEnvironment(std::string name, const std::string& value);
    ~TScopedEnvironment();
    TScopedEnvironment(const TScopedEnvironment&) = delete;
    TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// A fresh directory below the test work directory, removed at the end.
class TWorkDirectory {
public:
    explicit TWorkDirectory(const std::string& name);
    ~TWorkDirectory();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Registry stores, plug-in database and temporary directory of one test; the plug-in
// library registered machine-wide and a data path set.
class TRunEnvironment {
public:
    explicit TRunEnvironment(const std::string& name, bool withDataPath = true);
    const TWorkDirectory& Work() const { return work_; }
    std::string DataPath() const { return work_.File("data/"); }
    std::string DaxoDatabase() const { return work_.File("daxo.sqlite"); }
    std::string DaxoMessageLog() const { return work_.File("daxo-messages.log"); }
    std::string TempDirectory() const { return work_.File("tmp/"); }
    // The user's private directory in it, where the reports go.
    std::string ReportDirectory() const;

private:
    TWorkDirectory work_;
    TScopedEnvironment machine_;
    TScopedEnvironment user_;
    TScopedEnvironment daxoDatabase_;
    TScopedEnvironment daxoMessages_;
    TScopedEnvironment tmp_;
    TScopedEnvironment runtime_;
};

// Runs SQL on the plug-in's own database file.
void ExecutePluginSql(const std::string& databasePath, const std::string& sql);
// Reads a file whole; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Lines joined, each followed by "\r\n": the text of a file written by the program.
std::string FileText(const std::vector<std::string>& lines);
// Fills a models directory (made when missing): each program given as the body of a shell
// script; an empty body takes the real program.
void PlaceModelPrograms(const std::string& directory, const std::string& glidarBody,
                        const std::string& mundreBody);
// The file's SHA-256 as the system's sha256sum prints it; empty when it cannot tell.
std::string Sha256Sum(const std::string& path);
// Runs the statements of a script of the repository.
void RunScript(TestDatabase& database, const std::string& repositoryPath);

class ModelRunTest : public DatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    TRunEnvironment& Environment() { return *environment_; }
    TScriptedDialogs& ScriptedDialogs() { return dialogs_; }

    void AddProject(int id, const std::string& caption, bool locked = false);
    void AddAssessment(int id, int projectID, int scenarioID, const std::string& guid, int schemeID,
                       bool selected = true, const std::string& caption = "A");
    void AddScheme(int id, const std::string& caption);
    void AddApplication(int id, int schemeID, const std::string& date, double dosage,
                        double parameter, double sprayDrift, int typeID);
    void AddApplicationType(int id, const std::string& code);
    void AddScenario(int id, const std::string& caption, int startYear, int endYear,
                     const std::string& glidarTemplate, const std::string& mundreTemplate,
                     const std::string& glidarMeteo = "meteo", const std::string& pond = "pond",
                     const std::string& mundreMeteo = "mmeteo", const std::string& rain = "rain");
    void AddInterception(int id, int scenarioID, int beginDay, int beginMonth, int endDay,
                         int endMonth, double fraction);
    void LoadDeliveredScenarios();

    // The project, opened from its own list, and its assessments opened.
    TdciProjects& Project(int id);
    // An assessment opened from a list of its own.
    TdciAssessments& OpenAssessment(int id);
    // The stored row of an assessment, read back from the database.
    struct TStoredResults {
        std::string ErrorMessage;
        std::string AssessmentReport;
        bool ValidResults = false;
    };
    TStoredResults StoredResults(int assessmentID);

    static std::string Quoted(const std::string& text);

private:
    std::unique_ptr<TRunEnvironment> environment_;
    TScriptedDialogs dialogs_;
    std::unique_ptr<TScopedDialogs> scopedDialogs_;
    std::vector<std::unique_ptr<TdcProjects>> projectLists_;
    std::vector<std::unique_ptr<TdcAssessments>> assessmentLists_;
};

} // namespace parvela::test
