#include "program/runs/RunScheduler.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/TDACDatabase.h"
#include "platform/Exceptions.h"
#include "program/runs/TModelManager.h"
#include "program/system/ModelProcess.h"
#include "program/system/RunStop.h"

#include <algorithm>

namespace parvela {

TRunScheduler::TRunScheduler(TModelManager& manager, TDACDatabase& database, int projectID,
                             int jobs)
    : manager_(manager), database_(database), projectID_(projectID),
      jobs_(static_cast<std::size_t>(std::max(jobs, 1))), claims_(CreateRunClaims(database)) {}

TRunScheduler::~TRunScheduler() = default;

bool TRunScheduler::Run(const std::vector<TdciAssessments*>& marked) {
    CheckAll(marked);
    for (;;) {
        StartJobs();
        if (running_.empty())
            break;
        ReportRunning();
        WaitForAnyEnd();
        for (const auto& job : running_)
            if (!job->Ended() && job->Process()->ReapIfEnded())
                Guarded(*job, [&] { job->ModelEnded(); });
        running_.erase(std::remove_if(running_.begin(), running_.end(),
                                      [](const auto& job) { return job->Ended(); }),
                       running_.end());
    }
    if (failure_)
        std::rethrow_exception(failure_);
    const auto& outcomes = manager_.RunOutcomes();
    return std::all_of(outcomes.begin(), outcomes.end(), [](const TRunOutcome& outcome) {
        return outcome.Verdict == TRunVerdict::Valid;
    });
}

void TRunScheduler::CheckAll(const std::vector<TdciAssessments*>& marked) {
    std::vector<int> ids;
    for (const TdciAssessments* assessment : marked)
        ids.push_back(assessment->ASSESSMENTID());
    // Noted before anything runs: an assessment claimed since then ran meanwhile elsewhere.
    const std::map<int, std::int64_t> generations = claims_->Generations(ids);
    for (TdciAssessments* assessment : marked) {
        if (RunStopRequested() || failure_)
            break;
        TRunCheck check = manager_.CheckBeforeRun(*assessment);
        const bool runs = check.Run;
        auto job =
            std::make_unique<TRunJob>(manager_, *claims_, projectID_, *assessment, std::move(check),
                                      generations.at(assessment->ASSESSMENTID()));
        if (runs) {
            waiting_.push_back(std::move(job));
            continue;
        }
        manager_.CountStarted();
        Guarded(*job, [&] { job->StoreRefusal(); });
    }
}

void TRunScheduler::StartJobs() {
    while (!failure_ && !RunStopRequested() && running_.size() < jobs_ && !waiting_.empty()) {
        std::unique_ptr<TRunJob> job = std::move(waiting_.front());
        waiting_.pop_front();
        manager_.CountStarted();
        Guarded(*job, [&] {
            if (job->Begin())
                job->StartModel();
        });
        if (!job->Ended())
            running_.push_back(std::move(job));
    }
}

template <class Step> void TRunScheduler::Guarded(TRunJob& job, Step&& step) {
    try {
        step();
    } catch (...) {
        JobFailed(job);
    }
}

void TRunScheduler::JobFailed(TRunJob& job) {
    if (database_.ConnectionLost() && Reconnected()) {
        job.AbandonAfterReconnect();
        for (const auto& other : running_)
            if (other.get() != &job)
                Guarded(*other, [&] { other->AbandonAfterReconnect(); });
        return;
    }
    if (!failure_)
        failure_ = std::current_exception();
    job.Fail();
}

bool TRunScheduler::Reconnected() {
    if (reconnected_)
        return false;
    reconnected_ = true;
    try {
        database_.Reconnect();
    } catch (const std::exception&) {
        return false;
    }
    // The claims of the old session went with it.
    claims_->ConnectionRenewed();
    return true;
}

void TRunScheduler::WaitForAnyEnd() {
    std::vector<TModelProcess*> processes;
    for (const auto& job : running_)
        processes.push_back(job->Process());
    if (!RunStopRequested())
        WaitForModelProcesses(processes);
    // The stop may have been asked for while the window processed its events.
    if (RunStopRequested())
        TerminateModelProcesses(processes);
}

void TRunScheduler::ReportRunning() {
    std::vector<TModelManager::TRunningModel> running;
    for (const auto& job : running_)
        running.push_back({job->Caption(), job->RunningModel()});
    manager_.ReportRunning(std::move(running));
}

} // namespace parvela
