#include "program/runs/RunJob.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/Format.h"
#include "framework/LockCheckSkipped.h"
#include "framework/TDACDatabase.h"
#include "framework/TDACDatabaseClass.h"
#include "framework/odbc/Connection.h"
#include "platform/Exceptions.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/InputFingerprint.h"
#include "program/runs/ModelProcessRecord.h"
#include "program/runs/TModelManager.h"
#include "program/system/ModelProcess.h"
#include "program/system/RunStop.h"

#include <filesystem>

namespace parvela {

namespace {

const char* const InputsChangedText = "The inputs changed during the run.";
const char* const ConnectionLostText = "The connection to the database was lost during the run.";
// The result columns, written by the stores of a run whatever this program's copy of the
// row says: another program may have written them since it was read.
const std::vector<std::string> ClearedColumns{"VALIDRESULTS", "ASSESSMENTREPORT", "ERRORMESSAGE"};
const std::vector<std::string> ResultColumns{"VALIDRESULTS", "ASSESSMENTREPORT", "ERRORMESSAGE",
                                             "SUBSTANCECHECKSUM"};

std::string ClaimedText(const std::optional<TRunClaimHolder>& holder) {
    return "not run: claimed by " + (holder ? holder->Describe() : std::string("another program"));
}

std::string CurrentFailureText() {
    try {
        throw;
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "unknown failure";
    }
}

// Something that is no directory (and no link) stands where the directory belongs.
bool PathTakenByAnotherFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status) &&
           !std::filesystem::is_symlink(status);
}

// Whether the row still exists, locked against other writers until the transaction ends, so
// that nobody changes it between the check of the inputs and the save. (A SQLite transaction
// holds the whole database from its start.)
bool LockRow(TDACDatabase& database, int assessmentID) {
    std::string sql =
        Format("SELECT ASSESSMENTID FROM ASSESSMENTS WHERE ASSESSMENTID = %d", assessmentID);
    if (database.Connection().IsPostgreSQL())
        sql += " FOR UPDATE";
    return !database.OpenQuery(sql)->Eof();
}

} // namespace

TRunJob::TRunJob(TModelManager& manager, TRunClaims& claims, int projectID,
                 const TdciAssessments& listed, TRunCheck check, std::int64_t generation)
    : manager_(manager), database_(listed.OwnerList()->Database()), claims_(claims),
      projectID_(projectID), listedGuid_(listed.SUBSTANCEGUID()), check_(std::move(check)),
      generation_(generation) {
    outcome_.AssessmentID = listed.ASSESSMENTID();
    outcome_.Caption = listed.CAPTION();
}

TRunJob::~TRunJob() {
    // A process that still runs is ended by its own destructor; the claim must not outlive
    // the job.
    claims_.Release(outcome_.AssessmentID);
}

std::string TRunJob::Caption() const {
    return assessment_ ? assessment_->CAPTION() : outcome_.Caption;
}

std::string TRunJob::RunningModel() const {
    return stage_ < models_.size() ? Model().ModelName() : std::string();
}

bool TRunJob::ClaimAndRead() {
    const int id = outcome_.AssessmentID;
    const TClaimAttempt attempt = claims_.TryClaim(id, generation_);
    if (attempt.Outcome != TClaimOutcome::Claimed) {
        Finish(TRunVerdict::Claimed, ClaimedText(attempt.Holder));
        return false;
    }
    // The caller's copy may be old: the run takes the row as it is now that it holds it.
    list_ = std::make_unique<TdcAssessments>(database_);
    list_->SetFilter("ASSESSMENTID=%d", {id});
    list_->Open();
    if (list_->Count() == 0) {
        Finish(TRunVerdict::NotRun, "not run: the assessment no longer exists");
        return false;
    }
    assessment_ = &list_->Item();
    if (assessment_->PROJECTID() != projectID_) {
        Finish(TRunVerdict::NotRun, "not run: the assessment moved to another project");
        return false;
    }
    outcome_.Caption = assessment_->CAPTION();
    assessment_->SetRunDirectory(projectID_);
    return true;
}

void TRunJob::StoreRefusal() {
    if (!ClaimAndRead())
        return;
    SetErrorMessage(check_.ErrorMessage);
    Assessment().SaveWriting({"ERRORMESSAGE"});
    Finish(TRunVerdict::NotValid, check_.ErrorMessage);
}

bool TRunJob::Begin() {
    if (!ClaimAndRead())
        return false;
    const std::string& directory = Assessment().RunDirectory();
    if (PathTakenByAnotherFile(directory)) {
        // Nothing was deleted: the old results stay with their files.
        SetErrorMessage(Format("Cannot create assessment directory: %s.", directory));
        Assessment().SaveWriting({"ERRORMESSAGE"});
        Finish(TRunVerdict::NotValid, Assessment().ERRORMESSAGE());
        return false;
    }
    substanceChecksum_ =
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(Assessment().SUBSTANCEGUID());
    fingerprint_ =
        std::make_unique<TInputFingerprint>(database_, outcome_.AssessmentID, substanceChecksum_);
    // Not valid first: a program that dies from here on never leaves the old verdict over
    // emptied files. When this save fails, the old results and their files stay.
    {
        const TLockCheckSkipped unlocked(Assessment());
        Assessment().SetERRORMESSAGE(check_.ErrorMessage);
        Assessment().SetASSESSMENTREPORT("");
        Assessment().SetVALIDRESULTS(false);
    }
    Assessment().SaveWriting(ClearedColumns);
    resultsCleared_ = true;
    if (Assessment().SUBSTANCEGUID() != listedGuid_) {
        // The substance that was checked is not the one the assessment names now.
        SetErrorMessage(InputsChangedText);
        StoreVerdict(false);
        return false;
    }
    EndLeftoverModelProcess(directory);
    if (!manager_.PrepareRunDirectory(directory, true)) {
        SetErrorMessage(Format("Cannot create assessment directory: %s.", directory));
        StoreVerdict(false);
        return false;
    }
    models_ = manager_.CreateModels();
    recorder_ = std::make_unique<TRunRecorder>(Assessment(), substanceChecksum_);
    return true;
}

bool TRunJob::InputsHeld() {
    const std::string checksum =
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(Assessment().SUBSTANCEGUID());
    return fingerprint_->Held(checksum);
}

bool TRunJob::StartModel() {
    if (stage_ == models_.size()) {
        StoreVerdict(true);
        return false;
    }
    if (RunStopRequested()) {
        Stop();
        return false;
    }
    TZentorModel& model = Model();
    process_ = std::make_unique<TModelProcess>();
    if (model.BeginExecute(assessment_)) {
        // The input files were read from the database just now: they must be those of the
        // inputs noted at the start.
        if (!InputsHeld()) {
            SetErrorMessage(InputsChangedText);
            StoreVerdict(false);
            return false;
        }
        recorder_->ModelStarting(model);
        if (process_->Start(model.RunScriptPath(), model.RunModelDirectory())) {
            NoteModelProcess(Assessment().RunDirectory(), process_->ProcessGroup());
            return true;
        }
        recorder_->ModelEnded(model, -1);
        model.EndExecute(-1, process_->StartFailure());
        RecordRun();
    }
    manager_.NoteModelFailure(Assessment(), model);
    StoreVerdict(false);
    return false;
}

bool TRunJob::ModelEnded() {
    ForgetModelProcess(Assessment().RunDirectory());
    TZentorModel& model = Model();
    recorder_->ModelEnded(model, process_->ExitCode());
    bool ok = false;
    try {
        ok = model.EndExecute(process_->ExitCode());
    } catch (...) {
        RecordRun();
        throw;
    }
    RecordRun();
    if (!ok) {
        stopped_ = RunStopRequested();
        manager_.NoteModelFailure(Assessment(), model);
        StoreVerdict(false);
        return false;
    }
    ++stage_;
    return StartModel();
}

void TRunJob::Stop() {
    stopped_ = true;
    manager_.NoteStopped(Assessment());
    StoreVerdict(false);
}

void TRunJob::StoreRunRecord(bool ok) {
    if (!recorder_ || !recorder_->HasModels())
        return;
    try {
        WriteRunRecord(Assessment().RunDirectory(), recorder_->Record());
    } catch (const std::exception&) {
        if (ok)
            throw;
        // Results that are not valid are stored all the same; their reason is the run's.
    }
}

void TRunJob::StoreVerdict(bool ok) {
    // Before the verdict: a program that dies in between leaves a record beside results that
    // are stored as not valid, never valid results without their record.
    StoreRunRecord(ok);
    const std::string checksum =
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(Assessment().SUBSTANCEGUID());
    TDACDatabase& database = database_;
    database.StartTransaction(TIsolationLevel::ReadCommitted);
    try {
        if (!LockRow(database, outcome_.AssessmentID)) {
            database.Rollback();
            Finish(TRunVerdict::NotRun, "not run: the assessment was deleted during the run");
            return;
        }
        if (ok && !fingerprint_->Held(checksum)) {
            ok = false;
            SetErrorMessage(InputsChangedText);
        }
        const TLockCheckSkipped unlocked(Assessment());
        Assessment().SetVALIDRESULTS(ok);
        // The checksum of the substance data the results were computed from.
        Assessment().SetSUBSTANCECHECKSUM(substanceChecksum_);
        Assessment().SaveWriting(ResultColumns);
        database.Commit();
    } catch (...) {
        database.Rollback();
        throw;
    }
    const TRunVerdict verdict =
        ok ? TRunVerdict::Valid : (stopped_ ? TRunVerdict::Stopped : TRunVerdict::NotValid);
    Finish(verdict, Assessment().ERRORMESSAGE());
}

void TRunJob::EndModelProcess() {
    if (process_ && !process_->ReapIfEnded())
        process_->Terminate();
    if (assessment_)
        ForgetModelProcess(Assessment().RunDirectory());
}

void TRunJob::Fail() {
    const std::string failure = CurrentFailureText();
    EndModelProcess();
    if (ended_)
        return;
    if (!resultsCleared_) {
        // The old results and their files are as they were.
        Finish(TRunVerdict::NotRun, "not run: " + failure);
        return;
    }
    try {
        SetErrorMessage(failure);
        StoreVerdict(false);
    } catch (const std::exception&) {
        // The first failure is the one to report; the assessment stays stored as not valid.
        Finish(TRunVerdict::NotValid, failure);
    }
}

void TRunJob::AbandonAfterReconnect() {
    EndModelProcess();
    if (ended_)
        return;
    const TClaimAttempt attempt = claims_.TryClaim(outcome_.AssessmentID, std::nullopt);
    if (attempt.Outcome != TClaimOutcome::Claimed) {
        Finish(TRunVerdict::Claimed, ClaimedText(attempt.Holder));
        return;
    }
    if (!resultsCleared_) {
        Finish(TRunVerdict::NotRun, std::string("not run: ") + ConnectionLostText);
        return;
    }
    SetErrorMessage(ConnectionLostText);
    StoreVerdict(false);
}

void TRunJob::SetErrorMessage(const std::string& text) {
    const TLockCheckSkipped unlocked(Assessment());
    Assessment().SetERRORMESSAGE(text);
}

void TRunJob::RecordRun() {
    if (Model().LastRun())
        runs_.push_back(*Model().LastRun());
}

void TRunJob::Finish(TRunVerdict verdict, const std::string& message) {
    ended_ = true;
    outcome_.Verdict = verdict;
    outcome_.Message = message;
    claims_.Release(outcome_.AssessmentID);
    manager_.JobEnded(projectID_, outcome_, runs_);
}

} // namespace parvela
