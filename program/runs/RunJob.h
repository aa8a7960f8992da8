#pragma once
// The run of one assessment's models, from its claim to its stored verdict, in the steps the
// scheduler drives while other jobs run beside it:
//
//   Begin        claims the assessment (another program's claim leaves it alone), reads its
//                row anew, notes the fingerprint of its inputs, stores it as not valid with
//                an empty report, and only then ends what a dead program left working in its
//                run directory and empties the directory;
//   StartModel   writes the next model's input (refused when the inputs changed meanwhile)
//                and starts its process;
//   ModelEnded   reads the model's results back and starts the next one;
//   End          writes the run record into the run directory and stores the verdict:
//                valid only when both models succeeded and the inputs' fingerprint still
//                holds, checked in the transaction that writes every result column; then logs
//                the models and gives the claim up.
//
// A program that dies at any line leaves either the old results with their files, or the
// assessment stored as not valid; never a valid verdict for files or inputs that are not
// those of the run. Used from one thread.

#include "program/runs/RunClaims.h"
#include "program/runs/TRunRecorder.h"
#include "program/runs/TZentorModel.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabase;
class TInputFingerprint;
class TModelManager;
class TModelProcess;
class TdcAssessments;
class TdciAssessments;

// How one marked assessment of a run ended.
enum class TRunVerdict {
    Valid,    // both models succeeded for inputs that held still
    NotValid, // it ran, or was refused before its models, without valid results
    Stopped,  // a stop interrupted its models: "Run stopped by the user."
    NotRun,   // not started: a stop came first, or the assessment went away
    Claimed   // another program runs it, or ran it since this run began: left alone
};

// What the substance check before a run found: whether the assessment runs, and the
// ERRORMESSAGE it starts with (a warning note) or is refused with.
struct TRunCheck {
    bool Run = true;
    std::string ErrorMessage;
};

struct TRunOutcome {
    int AssessmentID = 0;
    std::string Caption;
    TRunVerdict Verdict = TRunVerdict::NotRun;
    // The stored ERRORMESSAGE, or why the assessment was not run.
    std::string Message;
};

class TRunJob {
public:
    // `listed` is the assessment as the caller's list holds it, `check` what its substance
    // check found, `generation` its run generation when the run began.
    TRunJob(TModelManager& manager, TRunClaims& claims, int projectID,
            const TdciAssessments& listed, TRunCheck check, std::int64_t generation);
    ~TRunJob();
    TRunJob(const TRunJob&) = delete;
    TRunJob& operator=(const TRunJob&) = delete;

    // Stores the substance check's refusal under the assessment's claim, leaving the results
    // as they were.
    void StoreRefusal();
    // False when the job ended before any model (its outcome then tells why).
    bool Begin();
    // Starts the next model; false when the job has ended.
    bool StartModel();
    // The running model's process has ended: its results read back, then the next model
    // started; false when the job has ended.
    bool ModelEnded();
    // A stop before the next model: stored as stopped.
    void Stop();
    // The job ended by the exception in flight: when the old results were cleared already it
    // is stored as not valid with the exception's message; the claim is given up.
    void Fail();
    // The database connection was made anew and took this job's claim along: the model is
    // ended and, when the assessment can be claimed again, it is stored as not valid.
    void AbandonAfterReconnect();

    bool Ended() const { return ended_; }
    TModelProcess* Process() const { return process_.get(); }
    const TRunOutcome& Outcome() const { return outcome_; }
    // The assessment and model running now, for the progress.
    std::string Caption() const;
    std::string RunningModel() const;

private:
    // Claims the assessment and reads its row anew; false, with the outcome, when another
    // program holds it or it is gone.
    bool ClaimAndRead();
    bool InputsHeld();
    // The running model's process terminated, and its note in the run directory removed.
    void EndModelProcess();
    // Stores the verdict with every result column, in a transaction that checks the inputs;
    // the run record first, so that valid results always have theirs.
    void StoreVerdict(bool ok);
    // Writes the run record into the run directory once a model has started. A record that
    // cannot be written fails valid results (raises); other results are stored without it.
    void StoreRunRecord(bool ok);
    // The job's end: its outcome, the claim given up, the manager told.
    void Finish(TRunVerdict verdict, const std::string& message);
    void SetErrorMessage(const std::string& text);
    void RecordRun();
    TdciAssessments& Assessment() const { return *assessment_; }
    TZentorModel& Model() const { return *models_.at(stage_); }

    TModelManager& manager_;
    TDACDatabase& database_;
    TRunClaims& claims_;
    int projectID_;
    std::string listedGuid_;
    TRunCheck check_;
    std::int64_t generation_;
    std::unique_ptr<TdcAssessments> list_;
    TdciAssessments* assessment_ = nullptr;
    std::vector<std::unique_ptr<TZentorModel>> models_;
    std::size_t stage_ = 0;
    std::unique_ptr<TModelProcess> process_;
    std::unique_ptr<TRunRecorder> recorder_;
    std::vector<TModelRunRecord> runs_;
    std::string substanceChecksum_;
    std::unique_ptr<TInputFingerprint> fingerprint_;
    bool resultsCleared_ = false;
    bool stopped_ = false;
    bool ended_ = false;
    TRunOutcome outcome_;
};

} // namespace parvela
