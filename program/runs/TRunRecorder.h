#pragma once
// Takes down the run record while an assessment's models run: what the run is about when it
// begins, each model's input files and program just before its process starts, and its
// output files and exit code once the process has ended. A file that a model wrote is an
// output: one that is new, or changed, since its process started.

#include "program/runs/RunRecord.h"

#include <string>
#include <vector>

namespace parvela {

class TZentorModel;
class TdciAssessments;

class TRunRecorder {
public:
    // The program, the plug-in, the assessment with its scenario and substance (whose checksum
    // the run noted when it began), the user, the host and the start.
    TRunRecorder(const TdciAssessments& assessment, const std::string& substanceChecksum);

    // The model's input is written and its process about to start: every file of its model
    // directory is an input; its program is noted.
    void ModelStarting(const TZentorModel& model);
    // Its process ended with the exit code (-1: it never started): the files new or changed
    // since are its outputs, except those its run script put in place for it, which are
    // inputs.
    void ModelEnded(const TZentorModel& model, int exitCode);

    // Whether a model was started, so that the record tells something of a run.
    bool HasModels() const { return !record_.Models.empty(); }
    const TRunRecord& Record() const { return record_; }

private:
    TRunRecord record_;
    std::string runDirectory_;
    // The running model's directory as its process found it.
    std::vector<TRecordedFile> before_;
};

} // namespace parvela
