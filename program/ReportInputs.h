#pragma once
// The sections of the summary report after the models' blocks that tell what was run: where
// the stored files no longer match the results that the report shows, and the inputs (the
// scenario with its period, the application scheme's applications, the substance's name and
// main parameters as the plug-in gives them).

#include <string>
#include <vector>

namespace parvela {

class TCordessaReport;
class TdciAssessments;
struct TRunInputFile;

// What the run directory tells against the stored results, a sentence each: the directory
// or a file that the results were read from is gone, or an input file was written after the
// run. Empty when it tells nothing against them.
// `inputFiles` are the directory's RunInputFiles.
std::vector<std::string> StoredFileMismatches(const TdciAssessments& assessment,
                                              const std::string& runDirectory,
                                              const std::vector<TRunInputFile>& inputFiles);

// A heading that says the stored files no longer match, and the mismatches; nothing when
// there are none.
void AddStoredFilesSection(const std::vector<std::string>& mismatches, TCordessaReport& report);

// The inputs as the database and the plug-in hold them now; for results that are not valid
// the section says that they need not be those of the run.
void AddInputsSection(const TdciAssessments& assessment, TCordessaReport& report);

} // namespace parvela
