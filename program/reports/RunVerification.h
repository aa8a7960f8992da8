#pragma once
// The check of a stored run against its run record, as a reviewer makes it: first the stored
// files (each file of the models' directories by size and SHA-256: changed, missing or
// extra), then a run of the assessment again in a scratch directory whose record is compared
// with the stored one: the programs that ran, the substance checksum, each model's exit code
// and the models' files. The run script and its log are left out of that comparison: the
// script names the paths of its run, which differ for a scratch run, and the log holds what
// the model printed, which may name them too.
//
// Nothing of the stored run is touched, nor the database (the run works on a copy of the
// assessment's row that is never written back, with drivers that save nothing), nor the
// project's runs.log, nor the scenario cache: GLIDAR computes its scenario files afresh. The
// scratch directory lies in the user's private temporary directory and goes afterwards,
// unless the run again differs: then it is kept for a look, and a finding names it.

#include <string>
#include <vector>

namespace parvela {

class TdciAssessments;

enum class TVerificationOutcome {
    Matches,  // the stored files and the run again match the record
    Differs,  // the findings name each difference
    NoRecord, // the run directory holds no run record
    Busy      // another program runs the assessment now
};

struct TVerification {
    TVerificationOutcome Outcome = TVerificationOutcome::NoRecord;
    // A sentence per difference, beginning with "stored files: " or "run again: ", or why
    // the run could not be verified.
    std::vector<std::string> Findings;
};

// Raises when the run again stops (RequestRunStop) or cannot be started at all (the
// scratch directory cannot be made).
TVerification VerifyStoredRun(const TdciAssessments& assessment);

} // namespace parvela
