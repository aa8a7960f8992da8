#pragma once
// Turns "Calculate" into model runs: for the marked assessments of a project it checks the
// substance against the program's rules, prepares a fresh run directory, lets GLIDAR and then
// MUNDRE write their input and run, and stores the outcome on the assessment. It owns the
// directory layout of all runs and keeps the last opened project in the registry.

#include "framework/Singleton.h"
#include "program/runs/RunJob.h"
#include "program/runs/TZentorModel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabase;
class TZentorModelGlidar;
class TZentorModelMundre;
class TdciAssessments;
class TdciProjects;

// What the batch line, the project summary and the report add to valid results whose
// metabolites were left out.
inline constexpr const char* MetabolitesNotCalculated = "metabolites not calculated";

// "SOFTWARE\PARVELA\VERSION_" + ProgramVersion, under HKEY_LOCAL_MACHINE.
std::string RegistryKey();

// What the substance check of a run found; the numbers are the check's documented results.
enum class TSubstanceCheck {
    // Nothing to remark: the run starts.
    NoRemarks = 0,
    // Warnings: the run starts when the user (or ContinueOnError) agrees.
    Warnings = 1,
    // Errors: the assessment is not run.
    Errors = 2,
};

class TModelManager : public TSingleton<TModelManager, SingletonKind::SlotOnly> {
public:
    static constexpr const char* ClassName = "TModelManager";

    // Reads the data path, creates the projects directory when missing, creates the two
    // drivers on the folder of the model programs (ModelsPath in the registry, per user before
    // machine-wide, else models/ beside the executable; a named folder without both programs
    // raises) and installs itself as the assessments' project-directory provider.
    TModelManager();

    // True when every marked assessment of the project (of the shard) ran and ended valid
    // (also when none is marked). The substance checks, with their questions, come first for
    // all of them; then up to Jobs() assessments run at once (RunScheduler.h), each under its
    // run claim, so that another program that runs the same assessment meanwhile leaves it
    // alone. An exception ends the run after the running assessments (and is passed on). A
    // stop (RequestRunStop) marks the interrupted assessments "Run stopped by the user." and
    // leaves those not yet run untouched. RunOutcomes() tells how each one ended.
    bool RunProject(TdciProjects* project);
    bool RunAssessment(int projectID, TdciAssessments* assessment);
    // Writes the input files of both models without running them; nothing is stored. Refused,
    // with a message naming the holder, while another program runs the assessment.
    bool WriteInputFilesOnly(TdciAssessments* assessment);
    // The texts go to SubstanceWarnings and SubstanceErrors, and to message boxes unless
    // ContinueOnError.
    TSubstanceCheck CheckSubstance(const std::string& substanceGuid);
    bool HasMetabolites(const std::string& substanceGuid, int compartment);
    // Whether the substance forms metabolites in the pond's water or sediment, which the
    // models leave out by policy (the substance check's metabolite warning).
    bool MetabolitesLeftOut(const std::string& substanceGuid);
    // Whether the assessment's valid results were calculated without such metabolites: a
    // change of the substance or its metabolites in the plug-in since the run makes the
    // results not valid (the substance change check), so the plug-in tells it now.
    bool MetabolitesLeftOut(const TdciAssessments& assessment);

    // ProjectsDirectory + the key, with "/" when asked for.
    std::string ProjectDirectory(int projectID, bool withDelimiter) const;
    bool CreateProjectDirectory(int projectID);
    bool PrepareRunDirectory(const std::string& path, bool clean);

    // Read from the per-user registry, else from the machine-wide one; written per user.
    // Raises "Registry key nog found %s\%s" when neither holds the value.
    int GetLastOpenedProject() const;
    void SetLastOpenedProject(int projectID);

    // Where a run of RunProject stands: told before each model starts and after each
    // assessment has ended.
    struct TRunningModel {
        std::string Assessment; // caption
        std::string Model;
    };
    struct TRunProgressState {
        int Total = 0;    // the assessments of the run
        int Started = 0;  // of them started so far
        int Finished = 0; // of them ended
        std::vector<TRunningModel> Running;
    };
    using TRunProgress = std::function<void(const TRunProgressState&)>;
    void SetRunProgress(TRunProgress progress) { runProgress_ = std::move(progress); }

    // How many assessments run at once: 1 (the default) one after the other, 0 one per
    // processor that the process may use (UsableProcessorCount).
    int Jobs() const { return jobs_; }
    void SetJobs(int jobs);
    // The number of parallel runs kept in the per-user registry (1 when none is kept).
    static int StoredParallelRuns();
    static void StoreParallelRuns(int jobs);
    // Only the marked assessments whose key modulo `count` is `index` run (0 of 1: all).
    void SetShard(int index, int count);
    bool InShard(int assessmentID) const;
    // The keys of the assessments whose run ended in the last RunProject, in the order of
    // their ends.
    const std::vector<int>& RunAssessments() const { return runAssessments_; }
    // How each marked assessment of the last RunProject ended, in the order of the project's
    // list; an assessment not reached is NotRun.
    const std::vector<TRunOutcome>& RunOutcomes() const { return outcomes_; }
    // The project directory's "runs.log".
    std::string RunLogPath(int projectID) const;

    bool ContinueOnError() const { return continueOnError_; }
    void SetContinueOnError(bool value) { continueOnError_ = value; }

    const std::string& ProjectsDirectory() const { return projectsDirectory_; }
    const std::string& ModelsDirectory() const { return modelsDirectory_; }
    // Points both drivers at other model programs (a directory ending in "/").
    void SetModelsDirectory(const std::string& directory);
    const std::vector<std::unique_ptr<TZentorModel>>& Models() const { return models_; }
    TZentorModelGlidar& Glidar() const;
    TZentorModelMundre& Mundre() const;
    // New drivers, GLIDAR first, on the program's model programs. Detached ones save nothing
    // and neither read nor fill the scenario cache: their run leaves no trace outside its run
    // directory (a verification of a stored run).
    std::vector<std::unique_ptr<TZentorModel>> CreateModels(bool detached = false) const;
    const std::string& SubstanceWarnings() const { return substanceWarnings_; }
    const std::string& SubstanceErrors() const { return substanceErrors_; }

protected:
    ~TModelManager() override;

private:
    friend class TRunScheduler;
    friend class TRunJob;

    void AddError(const std::string& text);
    void AddWarning(const std::string& text);
    // The substance checked, asking about warnings unless ContinueOnError: whether the
    // assessment runs, and the ERRORMESSAGE it starts with or is refused with.
    TRunCheck CheckBeforeRun(const TdciAssessments& assessment);
    // ERRORMESSAGE after a model that returned false: stopped by the user, or the model's
    // failure with its reason.
    void NoteModelFailure(TdciAssessments& assessment, const TZentorModel& model);
    void NoteStopped(TdciAssessments& assessment);
    // A job's end: its outcome kept, its model runs logged, the progress told.
    void JobEnded(int projectID, const TRunOutcome& outcome,
                  const std::vector<TModelRunRecord>& runs);
    void CountStarted();
    void ReportRunning(std::vector<TRunningModel> running);
    bool RunMarked(int projectID, TDACDatabase& database,
                   const std::vector<TdciAssessments*>& marked);
    int EffectiveJobs() const;
    void ReportProgress();

    std::string projectsDirectory_;
    std::string modelsDirectory_;
    std::vector<std::unique_ptr<TZentorModel>> models_;
    std::string substanceWarnings_;
    std::string substanceErrors_;
    bool continueOnError_ = false;
    TRunProgress runProgress_;
    TRunProgressState progress_;
    int jobs_ = 1;
    int shardIndex_ = 0;
    int shardCount_ = 1;
    std::vector<int> runAssessments_;
    std::vector<TRunOutcome> outcomes_;
};

} // namespace parvela
