#pragma once
// Which files a run read: the files of each model directory of an assessment's run directory
// that are not the model's own results, with their size and SHA-256, so that two reports can
// be compared and a verdict traced to its inputs.

#include <cstdint>
#include <string>
#include <vector>

namespace parvela {

struct TRunInputFile {
    std::string Name; // relative to the run directory: "GLIDAR/17.gld"
    std::uintmax_t Size = 0;
    std::string Sha256;
    // Written after the model's summary, so not the file that the run read ("Input files"
    // writes the input files again without running).
    bool WrittenAfterRun = false;
};

// The models in their run order, each directory's files sorted by name. Left out: the ok
// flag, ID.err, ID.sum, ID.out, the hand-over file of the model upstream of MUNDRE, and the
// run script with its log, which hold only paths of this machine.
std::vector<TRunInputFile> RunInputFiles(const std::string& runDirectory, int assessmentID);

} // namespace parvela
