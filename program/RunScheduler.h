#pragma once
// Runs the marked assessments of a project with up to N model processes at once. Only the
// processes run side by side: the database, the plug-in and the windows are used by one
// thread, this one, which starts the processes, waits for any of them (processing the
// window's events as every model wait does) and reads each model's results back when its
// process has ended. Each assessment's two models still run one after the other in its own
// run directory, with drivers of its own.
//
// The substance checks, with their questions, are made for every marked assessment before
// the first model starts. An exception while an assessment is handled starts no further
// assessment; the running ones end as usual, and then the exception is passed on. A stop
// terminates the running processes, marks their assessments "Run stopped by the user." and
// starts none of the rest.

#include <deque>
#include <exception>
#include <memory>
#include <vector>

namespace parvela {

class TModelManager;
class TdciAssessments;

class TRunScheduler {
public:
    TRunScheduler(TModelManager& manager, int projectID, int jobs);
    ~TRunScheduler();
    TRunScheduler(const TRunScheduler&) = delete;
    TRunScheduler& operator=(const TRunScheduler&) = delete;

    // True when every assessment ran successfully; the results as RunProject stores them.
    bool Run(const std::vector<TdciAssessments*>& marked);

private:
    struct TJob;

    void StartJobs();
    // Starts the job's next model; false when the job has ended.
    bool StartNextModel(TJob& job);
    // The model's process has ended: its results read back, then the next model started.
    bool ModelEnded(TJob& job);
    void EndJob(TJob& job, bool ok);
    // The job ended by an exception: stored as not valid if possible; no further job starts.
    void JobFailed(TJob& job);
    void WaitForAnyEnd();
    void ReportRunning();

    TModelManager& manager_;
    int projectID_;
    std::size_t jobs_;
    std::deque<TdciAssessments*> waiting_;
    std::vector<std::unique_ptr<TJob>> running_;
    std::exception_ptr failure_;
    bool allSucceeded_ = true;
};

} // namespace parvela
