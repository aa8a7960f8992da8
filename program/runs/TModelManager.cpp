#include "program/runs/TModelManager.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/Format.h"
#include "framework/LockCheckSkipped.h"
#include "framework/TDACDatabaseClass.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/ExecutablePath.h"
#include "platform/Processors.h"
#include "platform/Registry.h"
#include "platform/UserDirectories.h"
#include "program/connection/ProgramIdentity.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/RunClaims.h"
#include "program/runs/RunLog.h"
#include "program/runs/RunScheduler.h"
#include "program/runs/TZentorModelGlidar.h"
#include "program/runs/TZentorModelMundre.h"
#include "program/system/DirectoryTree.h"
#include "program/system/Messages.h"
#include "program/system/RegistryValues.h"
#include "program/system/RunStop.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace parvela {

namespace {

constexpr const char* SubstanceSeparator = "; ";
// Per user: how many assessments run at once.
constexpr const char* ParallelRunsValue = "ParallelRuns";
// Per user, else machine-wide: the folder of the model programs.
constexpr const char* ModelsPathValue = "ModelsPath";

const char* const IncompleteText = "Substance is not complete or has invalid option(s): %s";
const char* const PhDependentSorptionText =
    "Only the sorption on soil option \"Kom, pH-independent\" is available for Parvela. If the "
    "substance shows pH dependent adsorption then perform sorption studies with three paddy "
    "soils with pH-CaCl2 of 4-5 and with three paddy soils with pH-CaCl2 of 7-8 and take the "
    "most unfavourable end point as result for the Kom using the option: \"Kom, "
    "pH-independent\". (substance: %s)";
const char* const SorptionOptionText = "Only the sorption on soil option \"Kom, pH-independent\" "
                                       "is available for Parvela. (substance: %s)";
const char* const CanopyOptionText =
    "Only the canopy process option \"Lumped\" using 10 d for the half life is valid for the "
    "Chinese paddy rice scenarios. (substance: %s)";
const char* const MoistureText =
    "According the SOP for transformation in soil, the experiment should be performed under "
    "optimum moisture conditions. Select \"Option moisture conditions (pF = 2 or wetter)\". "
    "(substance: %s)";
const char* const PondMetabolitesText =
    "Calculations will not be performed for metabolites formed in the water and sediment of the "
    "pond and in the paddy water. This a Chinese policy decision. (substance: %s)";

void Append(std::string& texts, const std::string& text) {
    if (!texts.empty())
        texts += SubstanceSeparator;
    texts += text;
}

void SetErrorMessage(TdciAssessments& assessment, const std::string& text) {
    const TLockCheckSkipped unlocked(assessment);
    assessment.SetERRORMESSAGE(text);
}

bool IsProgram(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) && ::access(path.c_str(), X_OK) == 0;
}

// The folder of the model programs: ModelsPath in the registry, per user before machine-wide,
// so that an installed program runs model programs that its user holds; else the delivered
// ones in models/ beside the executable. A named folder that lacks one of the programs is
// refused at the start: every run would fail.
std::string ModelsDirectoryFromRegistry(const std::vector<std::unique_ptr<TZentorModel>>& models) {
    for (const TRegistryRoot root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const std::string path = ReadRegistryString(root, RegistryKey(), ModelsPathValue);
        if (path.empty())
            continue;
        const std::string directory = WithTrailingSlash(path);
        for (const auto& model : models)
            if (!IsProgram(directory + model->ExecutableName()))
                throw Exception(Format("The folder of the model programs %s (%s in %s) holds no "
                                       "program %s.",
                                       directory, ModelsPathValue, RegistryStorePath(root),
                                       model->ExecutableName()));
        return directory;
    }
    return ExecutableDirectory() + "models/";
}

} // namespace

std::string RegistryKey() {
    return Format("SOFTWARE\\PARVELA\\VERSION_%s", ProgramVersion);
}

TModelManager::TModelManager() {
    const std::string dataPath = ReadRegistryString(HKEY_LOCAL_MACHINE, RegistryKey(), "DataPath");
    if (dataPath.empty()) {
        // Without an installed data path the runs go to the user's own data directory, never
        // to the root of the file system; a directory made here is the user's alone.
        try {
            CreateDirectories(UserDataDirectory(), TFileAccess::OwnerOnly);
        } catch (const EOSError&) {
            // the projects directory below then cannot be made either, and runs say so
        }
        projectsDirectory_ = UserDataDirectory() + "projects/";
    } else {
        projectsDirectory_ = WithTrailingSlash(dataPath) + "projects/";
    }
    CreateDirectoryLevel(projectsDirectory_);
    models_ = CreateModels();
    SetModelsDirectory(ModelsDirectoryFromRegistry(models_));

    SetProjectDirectoryProvider([this](int projectID, bool withDelimiter) {
        return ProjectDirectory(projectID, withDelimiter);
    });
}

TModelManager::~TModelManager() {
    SetProjectDirectoryProvider({});
    models_.clear();
}

std::vector<std::unique_ptr<TZentorModel>> TModelManager::CreateModels(bool detached) const {
    auto glidar = std::make_unique<TZentorModelGlidar>(modelsDirectory_);
    if (!detached)
        glidar->SetScenarioCacheDirectory(projectsDirectory_);
    auto mundre = std::make_unique<TZentorModelMundre>(modelsDirectory_);
    mundre->SetUpstreamModelName("GLIDAR");
    std::vector<std::unique_ptr<TZentorModel>> models;
    models.push_back(std::move(glidar));
    models.push_back(std::move(mundre));
    for (const auto& model : models)
        model->SetSavesAssessment(!detached);
    return models;
}

TZentorModelGlidar& TModelManager::Glidar() const {
    return static_cast<TZentorModelGlidar&>(*models_.at(0));
}

TZentorModelMundre& TModelManager::Mundre() const {
    return static_cast<TZentorModelMundre&>(*models_.at(1));
}

void TModelManager::SetModelsDirectory(const std::string& directory) {
    modelsDirectory_ = WithTrailingSlash(directory);
    for (const auto& model : models_)
        model->SetModelDirectory(modelsDirectory_);
}

std::string TModelManager::ProjectDirectory(int projectID, bool withDelimiter) const {
    return projectsDirectory_ + std::to_string(projectID) + (withDelimiter ? "/" : "");
}

bool TModelManager::CreateProjectDirectory(int projectID) {
    return CreateDirectoryLevel(ProjectDirectory(projectID, true));
}

bool TModelManager::PrepareRunDirectory(const std::string& path, bool clean) {
    if (clean)
        DeleteDirectoryTree(path);
    return CreateDirectoryLevel(path);
}

void TModelManager::SetJobs(int jobs) {
    jobs_ = std::max(jobs, 0);
}

int TModelManager::EffectiveJobs() const {
    if (jobs_ > 0)
        return jobs_;
    return UsableProcessorCount();
}

int TModelManager::StoredParallelRuns() {
    const TRegistry user(HKEY_CURRENT_USER);
    if (!user.ValueExists(RegistryKey(), ParallelRunsValue))
        return 1;
    return std::max(user.ReadInteger(RegistryKey(), ParallelRunsValue), 0);
}

void TModelManager::StoreParallelRuns(int jobs) {
    TRegistry(HKEY_CURRENT_USER).WriteInteger(RegistryKey(), ParallelRunsValue, jobs);
}

void TModelManager::SetShard(int index, int count) {
    Assert(count >= 1 && index >= 0 && index < count, "a shard K/N needs 0 <= K < N");
    shardIndex_ = index;
    shardCount_ = count;
}

bool TModelManager::InShard(int assessmentID) const {
    // The remainder taken as not negative, so that every key falls in exactly one shard.
    return ((assessmentID % shardCount_) + shardCount_) % shardCount_ == shardIndex_;
}

std::string TModelManager::RunLogPath(int projectID) const {
    return ProjectDirectory(projectID, true) + RunLogFileName;
}

void TModelManager::ReportProgress() {
    if (runProgress_)
        runProgress_(progress_);
}

bool TModelManager::RunProject(TdciProjects* project) {
    if (!project)
        return false;
    const int projectID = project->PROJECTID();
    CreateProjectDirectory(projectID);
    TdcAssessments& assessments = project->Assessments();
    if (!assessments.IsOpen())
        assessments.Open();
    std::vector<TdciAssessments*> marked;
    for (assessments.First(); !assessments.Eof(); assessments.Next()) {
        TdciAssessments& assessment = assessments.Item();
        if (assessment.SELECTEDFOREXECUTION() && InShard(assessment.ASSESSMENTID()))
            marked.push_back(&assessment);
    }
    return RunMarked(projectID, assessments.Database(), marked);
}

bool TModelManager::RunAssessment(int projectID, TdciAssessments* assessment) {
    if (!assessment)
        return true;
    return RunMarked(projectID, assessment->OwnerList()->Database(), {assessment});
}

bool TModelManager::RunMarked(int projectID, TDACDatabase& database,
                              const std::vector<TdciAssessments*>& marked) {
    runAssessments_.clear();
    outcomes_.clear();
    for (const TdciAssessments* assessment : marked)
        outcomes_.push_back(
            {assessment->ASSESSMENTID(), assessment->CAPTION(), TRunVerdict::NotRun, "not run"});
    progress_ = TRunProgressState{static_cast<int>(marked.size()), 0, 0, {}};
    ReportProgress();
    return TRunScheduler(*this, database, projectID, EffectiveJobs()).Run(marked);
}

TRunCheck TModelManager::CheckBeforeRun(const TdciAssessments& assessment) {
    const TSubstanceCheck check = CheckSubstance(assessment.SUBSTANCEGUID());
    if (check == TSubstanceCheck::Errors)
        return {false, "[ERROR]" + substanceErrors_};
    if (check == TSubstanceCheck::NoRemarks)
        return {true, ""};
    if (continueOnError_)
        return {true, "[WARNING]" + substanceWarnings_ + "; --> Simulation started with warnings."};
    if (AskOkCancel(Format("Selected substance for assessment %s has warnings. Are you sure you "
                           "want to start the calculation for this assessment?",
                           assessment.CAPTION())))
        return {true, ""};
    return {false, "[WARNING]" + substanceWarnings_ +
                       "; --> Simulation canceled by user due to warnings."};
}

void TModelManager::NoteModelFailure(TdciAssessments& assessment, const TZentorModel& model) {
    if (RunStopRequested()) {
        NoteStopped(assessment);
        return;
    }
    const std::string& reason = model.FailureReason();
    const std::string& held = assessment.ERRORMESSAGE();
    SetErrorMessage(assessment, Format("running model %s failed: ", model.ModelName()) + reason +
                                    (!reason.empty() && !held.empty() ? "; " : "") + held);
}

void TModelManager::NoteStopped(TdciAssessments& assessment) {
    SetErrorMessage(assessment, "Run stopped by the user.");
}

void TModelManager::CountStarted() {
    ++progress_.Started;
    ReportProgress();
}

void TModelManager::ReportRunning(std::vector<TRunningModel> running) {
    const bool same = std::equal(running.begin(), running.end(), progress_.Running.begin(),
                                 progress_.Running.end(), [](const auto& a, const auto& b) {
                                     return a.Assessment == b.Assessment && a.Model == b.Model;
                                 });
    if (same)
        return;
    progress_.Running = std::move(running);
    ReportProgress();
}

void TModelManager::JobEnded(int projectID, const TRunOutcome& outcome,
                             const std::vector<TModelRunRecord>& runs) {
    std::vector<std::string> lines;
    for (const TModelRunRecord& run : runs)
        lines.push_back(RunLogLine(run, outcome.AssessmentID, outcome.Caption,
                                   outcome.Verdict == TRunVerdict::Valid));
    // The log serves the assessor; a log that cannot be written never fails a run.
    if (!lines.empty())
        AppendRunLog(RunLogPath(projectID), lines);
    for (TRunOutcome& kept : outcomes_)
        if (kept.AssessmentID == outcome.AssessmentID)
            kept = outcome;
    runAssessments_.push_back(outcome.AssessmentID);
    ++progress_.Finished;
    std::erase_if(progress_.Running, [&](const TRunningModel& running) {
        return running.Assessment == outcome.Caption;
    });
    ReportProgress();
}

bool TModelManager::WriteInputFilesOnly(TdciAssessments* assessment) {
    if (!assessment)
        return false;
    const int projectID = assessment->PROJECTID();
    if (!CreateProjectDirectory(projectID))
        return false;
    // The files go into the run directory, which a run of another program may be using.
    const std::unique_ptr<TRunClaims> claims = CreateRunClaims(assessment->OwnerList()->Database());
    const TClaimAttempt attempt = claims->TryClaim(assessment->ASSESSMENTID(), std::nullopt);
    if (attempt.Outcome != TClaimOutcome::Claimed) {
        ShowError(Format("The input files of assessment %s cannot be written now: it is being run "
                         "by %s.",
                         assessment->CAPTION(),
                         attempt.Holder ? attempt.Holder->Describe() : "another program"));
        return false;
    }
    assessment->SetRunDirectory(projectID);
    if (!PrepareRunDirectory(assessment->RunDirectory(), false))
        return false;
    CheckSubstance(assessment->SUBSTANCEGUID());
    for (const auto& model : models_)
        if (!model->Execute(assessment, false))
            return false;
    return true;
}

void TModelManager::AddError(const std::string& text) {
    Append(substanceErrors_, text);
    if (!continueOnError_)
        ShowError(text);
}

void TModelManager::AddWarning(const std::string& text) {
    Append(substanceWarnings_, text);
    if (!continueOnError_)
        ShowWarning(text);
}

TSubstanceCheck TModelManager::CheckSubstance(const std::string& substanceGuid) {
    substanceWarnings_.clear();
    substanceErrors_.clear();
    std::unique_ptr<TDAXOAttributeList> attributes;
    TDAXOInterface& plugin = TDAXOInterface::GetSingleton();
    plugin.GetSubstanceInfoListByGUID(substanceGuid, false, attributes);
    if (!attributes || attributes->Empty()) {
        substanceErrors_ = Format("Substance not found: %s", substanceGuid);
        if (!continueOnError_)
            ShowError(substanceErrors_);
        return TSubstanceCheck::Errors;
    }
    TSubstanceCheck result = TSubstanceCheck::NoRemarks;
    const std::string code = attributes->Value("SubstanceCode");
    auto error = [&](const char* text) {
        AddError(Format(text, code));
        result = TSubstanceCheck::Errors;
    };
    auto warning = [&](const char* text) {
        AddWarning(Format(text, code));
        if (result == TSubstanceCheck::NoRemarks)
            result = TSubstanceCheck::Warnings;
    };

    const std::string trueText = plugin.BooleanTrue();
    if (attributes->Value(plugin.IncompleteAttributeName()) == trueText) {
        Append(substanceErrors_, Format(IncompleteText, code));
        result = TSubstanceCheck::Errors;
        if (!continueOnError_)
            plugin.ShowSubstanceErrorMessages(substanceGuid);
    }
    const std::string sorptionOption = attributes->Value("OptCofFreCode");
    if (sorptionOption == "2")
        error(PhDependentSorptionText);
    else if (sorptionOption == "1")
        error(SorptionOptionText);
    if (attributes->Value("OptDspCrp") != "1")
        warning(CanopyOptionText);
    if (attributes->Value("OptCntLiqTraRef") != trueText)
        warning(MoistureText);
    if (MetabolitesLeftOut(substanceGuid))
        warning(PondMetabolitesText);
    return result;
}

bool TModelManager::HasMetabolites(const std::string& substanceGuid, int compartment) {
    std::unique_ptr<TDAXOGUIDList> metabolites;
    TDAXOInterface::GetSingleton().GetMetaboliteGUIDList(substanceGuid, compartment, true, false,
                                                         metabolites);
    return metabolites && !metabolites->Empty();
}

bool TModelManager::MetabolitesLeftOut(const std::string& substanceGuid) {
    return HasMetabolites(substanceGuid, DAXOWaterCompartment) ||
           HasMetabolites(substanceGuid, DAXOSedimentCompartment);
}

bool TModelManager::MetabolitesLeftOut(const TdciAssessments& assessment) {
    return assessment.VALIDRESULTS() && MetabolitesLeftOut(assessment.SUBSTANCEGUID());
}

namespace {
constexpr const char* LastOpenedProjectValue = "LastOpenedProject";
} // namespace

// Kept per user: the users of an installed program cannot write the machine-wide store. A
// value that an installation or an earlier version left there still counts until the user
// has one of their own.
int TModelManager::GetLastOpenedProject() const {
    try {
        return ReadRegistryInteger(HKEY_CURRENT_USER, RegistryKey(), LastOpenedProjectValue);
    } catch (const Exception&) {
        return ReadRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), LastOpenedProjectValue);
    }
}

void TModelManager::SetLastOpenedProject(int projectID) {
    WriteRegistryInteger(HKEY_CURRENT_USER, RegistryKey(), LastOpenedProjectValue, projectID);
}

} // namespace parvela
