#pragma once
// The sections of the summary report after the models' blocks that tell what was run: where
// the stored files no longer match the results that the report shows, the inputs (the
// scenario with its period, the application scheme's applications, the substance's name and
// main parameters as the plug-in gives them) and the run record.

#include <string>
#include <vector>

namespace parvela {

class TCordessaReport;
class TdciAssessments;
struct TRunInputFile;
struct TRunRecord;

// What the run directory of a run without a run record (made before runs kept one) tells
// against the stored results, a sentence each: the directory or a file that the results were
// read from is gone, or an input file was written after the run. Empty when it tells nothing
// against them. `inputFiles` are the directory's RunInputFiles.
std::vector<std::string> StoredFileMismatches(const TdciAssessments& assessment,
                                              const std::string& runDirectory,
                                              const std::vector<TRunInputFile>& inputFiles);

// What the run directory tells against its run record and the stored results, a sentence
// each: the directory is gone, a file changed, is missing or is not in the record, or the
// record names another substance checksum than the results. Empty when all match.
std::vector<std::string> RecordMismatches(const TdciAssessments& assessment,
                                          const std::string& runDirectory,
                                          const TRunRecord& record);

// A heading that says the stored files no longer match, and the mismatches; nothing when
// there are none.
void AddStoredFilesSection(const std::vector<std::string>& mismatches, TCordessaReport& report);

// The inputs as the database and the plug-in hold them now; for results that are not valid
// the section says that they need not be those of the run.
void AddInputsSection(const TdciAssessments& assessment, TCordessaReport& report);

// The run record: a table of what ran (program, plug-in, scenario, substance, start and end,
// user and host, each model program with its exit code) and a table of the models' input
// and output files with their size and SHA-256.
void AddRunRecordSection(const TdciAssessments& assessment, const TRunRecord& record,
                         TCordessaReport& report);

// The substance checksum that the assessment holds, which a run stores with its results.
void AddStoredChecksumLine(const TdciAssessments& assessment, TCordessaReport& report);

} // namespace parvela
