#pragma once
// Turns "Calculate" into model runs: for the marked assessments of a project it checks the
// substance against the program's rules, prepares a fresh run directory, lets GLIDAR and then
// MUNDRE write their input and run, and stores the outcome on the assessment. It owns the
// directory layout of all runs and keeps the last opened project in the registry.

#include "TZentorModel.h"
#include "framework/Singleton.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parvela {

class TZentorModelGlidar;
class TZentorModelMundre;
class TdciAssessments;
class TdciProjects;

// What the batch line, the project summary and the report add to valid results whose
// metabolites were left out.
inline constexpr const char* MetabolitesNotCalculated = "metabolites not calculated";

// "SOFTWARE\PARVELA\VERSION_" + ProgramVersion, under HKEY_LOCAL_MACHINE.
std::string RegistryKey();

class TModelManager : public TSingleton<TModelManager, SingletonKind::SlotOnly> {
public:
    static constexpr const char* ClassName = "TModelManager";

    // Reads the data path, creates the projects directory when missing, creates the two
    // drivers and installs itself as the assessments' project-directory provider.
    TModelManager();

    // True when every marked assessment of the project (of the shard) ran successfully (also
    // when none is marked). With one job the assessments run one after the other, each
    // checked just before its run, and an exception ends the walk at once; with more, the
    // checks of all come first and their model processes run side by side (RunScheduler.h).
    // A stop (RequestRunStop) marks the interrupted assessments "Run stopped by the user."
    // and leaves those not yet run untouched.
    bool RunProject(TdciProjects* project);
    bool RunAssessment(int projectID, TdciAssessments* assessment);
    // Writes the input files of both models without running them; nothing is stored.
    bool WriteInputFilesOnly(TdciAssessments* assessment);
    // 0 no remarks, 1 warnings, 2 errors; the texts go to SubstanceWarnings and
    // SubstanceErrors, and to message boxes unless ContinueOnError.
    int CheckSubstance(const std::string& substanceGuid);
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

    // Raises "Registry key nog found %s\%s" when the value is missing.
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

    // How many assessments run at once: 1 (the default) one after the other, 0 one per core.
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
    const std::string& SubstanceWarnings() const { return substanceWarnings_; }
    const std::string& SubstanceErrors() const { return substanceErrors_; }

protected:
    ~TModelManager() override;

private:
    friend class TRunScheduler;

    void AddError(const std::string& text);
    void AddWarning(const std::string& text);
    // The run directory set and the substance checked, asking about warnings unless
    // ContinueOnError; false when the assessment must not run, with the reason stored.
    bool CheckBeforeRun(int projectID, TdciAssessments& assessment);
    // The run directory emptied, the report cleared and the results stored as not valid;
    // false when the directory cannot be made.
    bool PrepareModelRuns(TdciAssessments& assessment);
    bool RunModels(TdciAssessments& assessment, std::vector<TModelRunRecord>& runs);
    // ERRORMESSAGE after a model that returned false: stopped by the user, or the model's
    // failure.
    void NoteModelFailure(TdciAssessments& assessment, const TZentorModel& model);
    void NoteStopped(TdciAssessments& assessment);
    // Saved, its model runs logged and counted as ended.
    void EndAssessment(int projectID, TdciAssessments& assessment,
                       const std::vector<TModelRunRecord>& runs);
    // The two drivers, GLIDAR first.
    std::vector<std::unique_ptr<TZentorModel>> CreateModels() const;
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
};

} // namespace parvela
