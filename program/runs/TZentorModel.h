#pragma once
// The base of the two model drivers: the model's subdirectory of an assessment's run
// directory, the order of preparing, writing and running, the run script, the reading of the
// error and summary files back into the assessment, and the walk over a substance's
// metabolites.

#include "framework/DateTime.h"
#include "program/plugin/DAXOTextList.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabase;
class TdcApplicationSchemes;
class TdcApplications;
class TdcScenarios;
class TdciAssessments;
class TdciScenarios;

// The simulation periods the models can take: years of four digits, as they read their dates,
// and no more years than their daily files and loadings tables can reasonably hold.
inline constexpr int FirstSimulationYear = 1000;
inline constexpr int LastSimulationYear = 9999;
inline constexpr int MaximumSimulationYears = 500;

// The plug-in's words for true and false; replaced each time a driver is constructed.
extern std::string TrueText;
extern std::string FalseText;

using TTextLines = std::vector<std::string>;

// Whether the part occurs anywhere in the text, exact letter case.
bool Contains(const std::string& text, const std::string& part);

// A text split into lines at carriage returns, line feeds and their pairs; a final line
// break ends the last line and starts none.
TTextLines SplitTextLines(const std::string& text);
// Every line, the last one included, followed by a carriage return and a line feed.
// Raises EOSError when the file cannot be written.
void SaveTextLines(const std::string& path, const TTextLines& lines);
// Empty when the file cannot be read.
TTextLines LoadTextLines(const std::string& path);
// The most bytes of a result file that a model wrote (its error and summary files) that the
// program reads into an assessment.
inline constexpr std::size_t MaxResultFileBytes = 16 * 1024 * 1024;
// The lines of a file that an outside program wrote, with NUL bytes and invalid UTF-8
// replaced (ValidUtf8Text); empty when the file cannot be read. False, and nothing read, when
// the file holds more than `maxBytes`.
bool LoadOutsideTextLines(const std::string& path, std::size_t maxBytes, TTextLines& lines);
// The last line of a file that holds more than blanks, read from the file's end; empty when
// there is none.
std::string LastTextLine(const std::string& path);
// Copies a text file line by line, as SaveTextLines writes lines, without holding the file in
// memory; false when the source cannot be read. Raises EOSError when the target cannot be
// written.
bool CopyTextFile(const std::string& source, const std::string& target);
// Copies a text file unless the target exists, so that readers that may run at the same time,
// in this process or in others, see the target whole or not at all and it is never replaced:
// the copy is written under a temporary name in the target's directory and then linked to
// the target's name. False when the source is missing or the target existed or came first.
bool CopyTextFileOnce(const std::string& source, const std::string& target);
// Replaces the target whole: `write` fills a temporary file in the target's directory, which
// is then renamed to the target, so that readers see the old file or the new one, never a
// part. Raises EOSError when the file cannot be written.
void ReplaceFileWhole(const std::string& target,
                      const std::function<void(const std::string&)>& write);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates one directory level; true when the directory exists afterwards.
bool CreateDirectoryLevel(const std::string& path);
// The text as one shell word: in single quotes, an inner ' written as '\''.
std::string ShellQuote(const std::string& text);
// A caption as part of a file name: a "/" would leave the directory, so it becomes "_".
std::string FileNamePart(const std::string& caption);
// The most bytes of a file name that the file systems take.
inline constexpr std::size_t MaxFileNameBytes = 255;
// The stem of file names whose extensions (with the dot) have at most `extensionBytes` bytes:
// the stem itself when such names fit in MaxFileNameBytes; else its start, cut between two
// characters, followed by "+" and the first 16 hexadecimal digits of the SHA-256 of the whole
// stem, so that long stems that differ anywhere keep different names. A caption that the
// caption edits accept holds no "+", so it never spells the name of a shortened one.
std::string FittingFileStem(const std::string& stem, std::size_t extensionBytes);
// The scenario's name in the model input files and the stem of its weather, ponding, rain and
// cache files: its caption, shortened only when those file names would not fit.
std::string StationName(const std::string& scenarioCaption);
// The file name of the path with its extension replaced (`extension` includes the dot).
std::string ChangeFileNameExtension(const std::string& fileName, const std::string& extension);
std::string ExtractFileName(const std::string& path);

// One run of a model's process, for the run log.
struct TModelRunRecord {
    std::string Model;
    TDateTime Start = 0;
    int ExitCode = -1;
    double Seconds = 0;
};

class TZentorModel {
public:
    explicit TZentorModel(std::string modelDirectory);
    virtual ~TZentorModel();
    TZentorModel(const TZentorModel&) = delete;
    TZentorModel& operator=(const TZentorModel&) = delete;

    virtual void SetModelNames() = 0;
    virtual bool WriteInputFiles() = 0;
    // Writes the run script, runs it and reads the results back (PrepareRun, the process,
    // FinishRun).
    virtual bool RunModel();
    virtual void ReadErrorFile();
    virtual void ReadSummary() = 0;
    // Writes the input files and, with `run`, runs the model; false when the assessment is
    // none, the model directory cannot be made, the input cannot be written or the run
    // failed.
    virtual bool Execute(TdciAssessments* assessment, bool run);
    virtual void ShowResults(TdciAssessments* assessment, TTextLines& lines);

    // Execute with the run flag, split at the model's process so that several processes can
    // run at once: BeginExecute empties the model directory and writes the input and the run
    // script (false when the run failed before any process); once the process of
    // RunScriptPath has ended, EndExecute reads the results back.
    bool BeginExecute(TdciAssessments* assessment);
    // `startFailure` tells why a process that never started could not (exit code -1).
    bool EndExecute(int exitCode, const std::string& startFailure = {});
    // The run script of the last PrepareRun.
    const std::string& RunScriptPath() const { return runScriptPath_; }
    // The files that the run script puts into the model directory before the model starts
    // (MUNDRE's copy of GLIDAR's hand-over file): inputs of the model, though they appear
    // only once its process runs. None here.
    virtual TTextLines RunScriptInputFiles() const { return {}; }
    // False for a run that leaves the database alone (a verification of a stored run): the
    // assessment's fields then change in memory only. True from the start.
    void SetSavesAssessment(bool saves) { savesAssessment_ = saves; }
    // The model process of the last Execute or BeginExecute; none when no process ran.
    const std::optional<TModelRunRecord>& LastRun() const { return lastRun_; }
    // Why the last run failed, when the error file does not say it: how the process ended
    // (with the last line of its log) or a result file that was refused; empty otherwise.
    const std::string& FailureReason() const { return failureReason_; }

    // True when the model directory exists afterwards; `clean` empties it first.
    bool PrepareModelDirectory(bool clean);
    // Depth-first over the metabolites of the compartment: each one added to `compounds`
    // (with its attribute list) and its formation line to `formationLines`, its daughters
    // before the parent's next metabolite. A chain that returns to one of its own earlier
    // compounds raises an Exception naming it.
    bool CollectMetabolites(const std::string& parentGuid, const std::string& parentCode,
                            TTextLines& formationLines, TDAXOGUIDList& compounds, int compartment);

    const std::string& ModelDirectory() const { return modelDirectory_; }
    void SetModelDirectory(const std::string& directory) { modelDirectory_ = directory; }
    TdciAssessments* Assessment() const { return assessment_; }
    const std::string& ModelName() const { return modelName_; }
    const std::string& ExecutableName() const { return executableName_; }
    const std::string& OkFlagFileName() const { return okFlagFileName_; }
    // The applications of an opened scheme with at least one row, sorted by their date.
    static TdcApplications& SortedApplications(TdcApplicationSchemes& schemes);
    const std::string& InputFileExtension() const { return inputExtension_; }
    // The last line of the model's block in the summary file.
    const std::string& ReportEndMarker() const { return reportEndMarker_; }

    // RunDirectory + "/" + ModelName.
    std::string RunModelDirectory() const;
    // A file of the model directory.
    std::string RunModelFile(const std::string& fileName) const;
    // The model directory's file named by the assessment key and the extension.
    std::string AssessmentFile(const std::string& extension) const;
    // RunModelFile of ASSESSMENTID + the input extension.
    std::string InputFilePath() const;

protected:
    // Writes the run script; false when the run fails before its process, with the reason
    // in ERRORMESSAGE.
    virtual bool PrepareRun() = 0;
    // Reads the results back once the run script ended with the exit code; false when the
    // run failed.
    virtual bool FinishRun(int exitCode) = 0;

    void SetNames(std::string modelName, std::string executableName, std::string okFlagFileName,
                  std::string reportStartMarker, std::string reportEndMarker,
                  std::string inputExtension);
    // The report block between the markers appended to ASSESSMENTREPORT.
    void ReadSummaryBlock();
    // True when the ok-flag file exists and no result file was refused.
    bool RunConfirmed() const;
    // Writes "run_" + caption + ".sh" with the lines before the model's own line; the model
    // directory is its working directory.
    void WriteRunScript(const TTextLines& linesBeforeModel);
    // The line that starts the model program with the input file as its only argument.
    std::string ModelCommandLine() const;
    // The database of the assessment's list.
    TDACDatabase& Database() const;
    // The assessment's scenario, opened; empty when there is no such row.
    std::unique_ptr<TdcScenarios> OpenScenario() const;
    // The assessment's application scheme, opened; empty when there is no such row.
    std::unique_ptr<TdcApplicationSchemes> OpenApplicationScheme() const;
    // The line that names the scheme: its caption followed by " ApplicationScheme".
    std::string ApplicationSchemeLine() const;
    // Refuses, before anything is written, what the input files cannot carry: a simulation
    // period the models cannot take, or an application value outside its range (a database
    // of an older version may hold one). Raises EDACStateValueError naming the scenario or
    // the scheme.
    void CheckInputValues(const TdciScenarios& scenario) const;
    void SetErrorMessage(const std::string& text);
    void SetAssessmentReport(const std::string& text);
    void SaveAssessment();

private:
    void CollectMetabolitesOnChain(const std::string& parentGuid, const std::string& parentCode,
                                   TTextLines& formationLines, TDAXOGUIDList& compounds,
                                   int compartment, std::vector<std::string>& chain);

    std::string modelDirectory_;
    TdciAssessments* assessment_ = nullptr;
    std::string modelName_;
    std::string executableName_;
    std::string okFlagFileName_;
    std::string reportStartMarker_;
    std::string reportEndMarker_;
    std::string inputExtension_;
    // A result file's lines when it can be taken; a refused one is noted as the failure.
    bool ReadResultFile(const std::string& path, TTextLines& lines);
    void NoteFailureReason(int exitCode, const std::string& startFailure);
    // ": <last line>" of the run script's log, or empty.
    std::string RunLogEnding() const;

    std::string runScriptPath_;
    std::string failureReason_;
    bool savesAssessment_ = true;
    TDateTime runStart_ = 0;
    std::chrono::steady_clock::time_point runClock_;
    std::optional<TModelRunRecord> lastRun_;
};

} // namespace parvela
