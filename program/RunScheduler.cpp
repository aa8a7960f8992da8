#include "RunScheduler.h"

#include "TModelManager.h"
#include "TZentorModel.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "Utilities.h"
#include "framework/Exceptions.h"

#include <algorithm>

namespace parvela {

struct TRunScheduler::TJob {
    TdciAssessments* Assessment = nullptr;
    std::vector<std::unique_ptr<TZentorModel>> Models;
    std::size_t Stage = 0;
    // The process of the current model; a destroyed one that still runs is terminated.
    std::unique_ptr<TModelProcess> Process;
    std::vector<TModelRunRecord> Runs;
    bool Ended = false;

    TZentorModel& Model() const { return *Models.at(Stage); }
    void RecordRun() {
        if (Model().LastRun())
            Runs.push_back(*Model().LastRun());
    }
};

TRunScheduler::TRunScheduler(TModelManager& manager, int projectID, int jobs)
    : manager_(manager), projectID_(projectID), jobs_(static_cast<std::size_t>(std::max(jobs, 1))) {
}

TRunScheduler::~TRunScheduler() = default;

bool TRunScheduler::Run(const std::vector<TdciAssessments*>& marked) {
    for (TdciAssessments* assessment : marked) {
        if (RunStopRequested())
            break;
        if (manager_.CheckBeforeRun(projectID_, *assessment)) {
            waiting_.push_back(assessment);
        } else {
            ++manager_.progress_.Started;
            allSucceeded_ = false;
            manager_.EndAssessment(projectID_, *assessment, {});
        }
    }
    for (;;) {
        StartJobs();
        if (running_.empty())
            break;
        ReportRunning();
        WaitForAnyEnd();
        for (const auto& job : running_) {
            if (!job->Process->Ended())
                continue;
            try {
                ModelEnded(*job);
            } catch (...) {
                JobFailed(*job);
            }
        }
        running_.erase(std::remove_if(running_.begin(), running_.end(),
                                      [](const std::unique_ptr<TJob>& job) { return job->Ended; }),
                       running_.end());
    }
    if (failure_)
        std::rethrow_exception(failure_);
    return allSucceeded_ && manager_.runAssessments_.size() == marked.size();
}

void TRunScheduler::StartJobs() {
    while (!failure_ && !RunStopRequested() && running_.size() < jobs_ && !waiting_.empty()) {
        auto job = std::make_unique<TJob>();
        job->Assessment = waiting_.front();
        waiting_.pop_front();
        ++manager_.progress_.Started;
        try {
            if (!manager_.PrepareModelRuns(*job->Assessment)) {
                allSucceeded_ = false;
                manager_.EndAssessment(projectID_, *job->Assessment, {});
                continue;
            }
            job->Models = manager_.CreateModels();
            if (StartNextModel(*job))
                running_.push_back(std::move(job));
        } catch (...) {
            JobFailed(*job);
        }
    }
}

bool TRunScheduler::StartNextModel(TJob& job) {
    TdciAssessments& assessment = *job.Assessment;
    if (job.Stage == job.Models.size()) {
        EndJob(job, true);
        return false;
    }
    TZentorModel& model = job.Model();
    if (RunStopRequested()) {
        manager_.NoteStopped(assessment);
        EndJob(job, false);
        return false;
    }
    job.Process = std::make_unique<TModelProcess>();
    if (model.BeginExecute(&assessment)) {
        if (job.Process->Start(model.RunScriptPath(), model.RunModelDirectory()))
            return true;
        // Not started: as ExecuteAndWait's -1.
        model.EndExecute(-1);
        job.RecordRun();
    }
    manager_.NoteModelFailure(assessment, model);
    EndJob(job, false);
    return false;
}

bool TRunScheduler::ModelEnded(TJob& job) {
    TZentorModel& model = job.Model();
    bool ok = false;
    try {
        ok = model.EndExecute(job.Process->ExitCode());
    } catch (...) {
        job.RecordRun();
        throw;
    }
    job.RecordRun();
    if (!ok) {
        manager_.NoteModelFailure(*job.Assessment, model);
        EndJob(job, false);
        return false;
    }
    ++job.Stage;
    return StartNextModel(job);
}

void TRunScheduler::EndJob(TJob& job, bool ok) {
    job.Ended = true;
    if (!ok)
        allSucceeded_ = false;
    job.Assessment->SetSkipLockCheck(true);
    job.Assessment->SetVALIDRESULTS(ok);
    manager_.EndAssessment(projectID_, *job.Assessment, job.Runs);
}

void TRunScheduler::JobFailed(TJob& job) {
    if (!failure_)
        failure_ = std::current_exception();
    allSucceeded_ = false;
    job.Ended = true;
    // The earlier results went with the emptied run directory: they must not stay marked
    // valid.
    try {
        job.Assessment->SetSkipLockCheck(true);
        job.Assessment->SetVALIDRESULTS(false);
        manager_.EndAssessment(projectID_, *job.Assessment, job.Runs);
    } catch (const Exception&) {
        // the first failure is the one to report
    }
}

void TRunScheduler::WaitForAnyEnd() {
    std::vector<TModelProcess*> processes;
    for (const auto& job : running_)
        processes.push_back(job->Process.get());
    if (!RunStopRequested())
        WaitForModelProcesses(processes);
    // The stop may have been asked for while the window processed its events.
    if (RunStopRequested())
        TerminateModelProcesses(processes);
}

void TRunScheduler::ReportRunning() {
    std::vector<TModelManager::TRunningModel> running;
    for (const auto& job : running_)
        running.push_back({job->Assessment->CAPTION(), job->Model().ModelName()});
    auto& shown = manager_.progress_.Running;
    const bool same = std::equal(running.begin(), running.end(), shown.begin(), shown.end(),
                                 [](const auto& a, const auto& b) {
                                     return a.Assessment == b.Assessment && a.Model == b.Model;
                                 });
    if (same)
        return;
    shown = std::move(running);
    manager_.ReportProgress();
}

} // namespace parvela
