#pragma once
// The run record: what ran for an assessment, written into its run directory when the run
// ends, so that anyone can check later that the stored files are those of the run and run it
// again. A JSON file "run-record.json" (the format is described in the README): the program's
// version and build, the plug-in library's path, version and SHA-256, each model program's
// path, SHA-256 and the version it prints, the scenario, the substance's GUID and checksum,
// the start and end, user and host, and for each model its exit code and the size and SHA-256
// of its input and output files, a file the model wrote being an output.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvela {

inline constexpr const char* RunRecordFileName = "run-record.json";
inline constexpr int RunRecordFormatVersion = 1;

struct TRecordedFile {
    std::string Name; // relative to the run directory: "GLIDAR/17.gld"
    std::uintmax_t Size = 0;
    std::string Sha256;
    bool operator==(const TRecordedFile&) const = default;
};

// A program or library file as it was used: where it lay, its SHA-256, the version it tells.
struct TProgramIdentity {
    std::string Path;
    std::string Sha256;
    std::string Version;
};

struct TRecordedModel {
    std::string Name;
    TProgramIdentity Program;
    // The run script's file name in the model directory; it names the paths of this run.
    std::string RunScript;
    std::string Start; // "yyyy-mm-dd hh:nn:ss", local time
    std::string End;
    int ExitCode = -1; // -1: the process did not start or its end is not known
    std::vector<TRecordedFile> Inputs;
    std::vector<TRecordedFile> Outputs;
};

struct TRunRecord {
    std::string ProgramVersion; // as the report shows it: "2.0.4"
    std::string ProgramBuild;   // the whole file version: "2.0.4.1"
    std::string Executable;     // the program that ran the models
    TProgramIdentity Plugin;    // Path is the library's
    int AssessmentID = 0;
    std::string AssessmentCaption;
    int ProjectID = 0;
    int ScenarioID = 0;
    std::string ScenarioCaption;
    int FirstYear = 0;
    int LastYear = 0;
    std::string SubstanceGuid;
    std::string SubstanceChecksum;
    std::string Start;
    std::string End;
    std::string User;
    std::string Host;
    std::vector<TRecordedModel> Models;

    // Every input and output file of every model, in the record's order.
    std::vector<TRecordedFile> Files() const;
};

// The record as JSON text.
std::string RunRecordText(const TRunRecord& record);
// Raises EConvertError naming what is wrong when the text is no run record of this format.
TRunRecord ParseRunRecord(const std::string& text);

std::string RunRecordPath(const std::string& runDirectory);
// Writes the record whole (a temporary file renamed into place): a reader sees the old file
// or the new one. Raises EOSError when it cannot be written.
void WriteRunRecord(const std::string& runDirectory, const TRunRecord& record);
// None when the run directory holds no record; raises EConvertError or EOSError, naming the
// file, when it holds one that cannot be read.
std::optional<TRunRecord> ReadRunRecord(const std::string& runDirectory);

} // namespace parvela
