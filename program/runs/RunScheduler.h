#pragma once
// Runs the marked assessments of a project, every run of the program (the window's and the
// batch front end's, one job or many) the same way. Only the model processes run side by
// side, up to N at once: the database, the plug-in and the windows are used by one thread,
// this one, which starts the processes, waits for any of them (processing the window's events
// as every model wait does) and reads each model's results back when its process has ended.
// Each assessment's two models run one after the other in its own run directory, in a job of
// its own (RunJob.h), under the assessment's run claim.
//
// The substance checks, with their questions, come for every marked assessment before the
// first model starts, so that nothing stops a run once its models run. An exception while an
// assessment is handled starts no further assessment; the running ones end as usual, and then
// the exception is passed on. A lost database connection is made anew once: the assessments in
// flight are then stored as not valid and the run goes on. A stop terminates the running
// processes, stores their assessments as "Run stopped by the user." and starts none of the
// rest.

#include "program/runs/RunJob.h"

#include <deque>
#include <exception>
#include <memory>
#include <vector>

namespace parvela {

class TDACDatabase;
class TModelManager;
class TdciAssessments;

class TRunScheduler {
public:
    TRunScheduler(TModelManager& manager, TDACDatabase& database, int projectID, int jobs);
    ~TRunScheduler();
    TRunScheduler(const TRunScheduler&) = delete;
    TRunScheduler& operator=(const TRunScheduler&) = delete;

    // True when every assessment ran and ended valid; the outcomes go to the manager.
    bool Run(const std::vector<TdciAssessments*>& marked);

private:
    // The checks and questions of every marked assessment; refusals are stored at once.
    void CheckAll(const std::vector<TdciAssessments*>& marked);
    void StartJobs();
    void WaitForAnyEnd();
    void ReportRunning();
    // Runs a step of a job; a failure ends the job (and, unless the database connection
    // could be made anew, the run after the running jobs).
    template <class Step> void Guarded(TRunJob& job, Step&& step);
    void JobFailed(TRunJob& job);
    // The connection was lost: made anew once, the jobs in flight abandoned.
    bool Reconnected();

    TModelManager& manager_;
    TDACDatabase& database_;
    int projectID_;
    std::size_t jobs_;
    std::unique_ptr<TRunClaims> claims_;
    std::deque<std::unique_ptr<TRunJob>> waiting_;
    std::vector<std::unique_ptr<TRunJob>> running_;
    std::exception_ptr failure_;
    bool reconnected_ = false;
};

} // namespace parvela
