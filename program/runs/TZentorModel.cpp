#include "program/runs/TZentorModel.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/CommaText.h"
#include "framework/Format.h"
#include "framework/LockCheckSkipped.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/system/DayMonth.h"
#include "program/system/DirectoryTree.h"
#include "program/system/FileDigest.h"
#include "program/system/FileNameCharacters.h"
#include "program/system/ModelProcess.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace parvela {

std::string TrueText = "TRUE";
std::string FalseText = "FALSE";

namespace {

constexpr const char* ScriptHeader = "#!/bin/sh";
constexpr const char* ScriptLineEnd = " #";
constexpr const char* SummaryHeading = "Summary output of model: ";
// ".met", ".pnd", ".rai", ".bfo", ".swe"; a run script's ".sh" and its ".log".
constexpr std::size_t ScenarioFileExtensionBytes = 4;
constexpr std::size_t ScriptExtensionBytes = 4;
constexpr std::size_t SummaryUnderlineBase = 25;
// Between the start of a shortened stem and the digits of its hash.
constexpr char ShortenedNameMark = '+';
constexpr std::size_t ShortenedNameHashDigits = 16;
// Sort index of APPLICATIONDATE in the applications list.
constexpr int ApplicationDateField = 3;

} // namespace

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TTextLines SplitTextLines(const std::string& text) {
    TTextLines lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void SaveTextLines(const std::string& path, const TTextLines& lines) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines)
        file << line << "\r\n";
    file.flush();
    if (!file)
        throw EOSError(Format("Cannot write the file %s: %s", path, std::strerror(errno)));
}

TTextLines LoadTextLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return SplitTextLines(text);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool LoadOutsideTextLines(const std::string& path, std::size_t maxBytes, TTextLines& lines) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return false;
    lines = LoadTextLines(path);
    for (std::string& line : lines)
        line = ValidUtf8Text(line);
    return true;
}

std::string LastTextLine(const std::string& path) {
    constexpr std::streamoff TailBytes = 4096;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return {};
    const std::streamoff size = file.tellg();
    file.seekg(std::max<std::streamoff>(0, size - TailBytes));
    std::string tail((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TTextLines lines = SplitTextLines(tail);
    while (!lines.empty() && lines.back().find_first_not_of(" \t") == std::string::npos)
        lines.pop_back();
    return lines.empty() ? std::string() : ValidUtf8Text(lines.back());
}

bool CopyTextFile(const std::string& source, const std::string& target) {
    std::ifstream in(source, std::ios::binary);
    if (!FileExists(source) || !in)
        return false;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    // Line by line as SplitTextLines and SaveTextLines would, without the whole file in memory.
    bool lineOpen = false;
    bool afterReturn = false;
    std::array<char, 65536> buffer;
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        const char* const end = buffer.data() + in.gcount();
        for (const char* at = buffer.data(); at < end;) {
            if (*at == '\n' && afterReturn) {
                afterReturn = false;
                ++at;
                continue;
            }
            const char* const lineEnd =
                std::find_if(at, end, [](char c) { return c == '\r' || c == '\n'; });
            out.write(at, lineEnd - at);
            lineOpen = lineOpen || lineEnd > at;
            afterReturn = false;
            if (lineEnd < end) {
                out << "\r\n";
                lineOpen = false;
                afterReturn = *lineEnd == '\r';
            }
            at = lineEnd < end ? lineEnd + 1 : end;
        }
    }
    if (lineOpen)
        out << "\r\n";
    out.flush();
    if (!out)
        throw EOSError(Format("Cannot write the file %s: %s", target, std::strerror(errno)));
    return true;
}

namespace {

// A new empty file in the target's directory under a name no other writer takes, with the
// mode the user's umask gives (mkstemp makes it for its owner alone; the cache is shared
// like any other file); its path.
std::string TemporaryFileBeside(const std::string& target) {
    std::string temporary = TemporaryNameBeside(target);
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        throw EOSError(Format("Cannot write the file %s: %s", target, std::strerror(errno)));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, 0666 & ~mask);
    ::close(descriptor);
    return temporary;
}

// Runs `write` on a temporary file beside the target; the temporary file goes on failure.
std::string WrittenBeside(const std::string& target,
                          const std::function<void(const std::string&)>& write) {
    const std::string temporary = TemporaryFileBeside(target);
    try {
        write(temporary);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    return temporary;
}

} // namespace

bool CopyTextFileOnce(const std::string& source, const std::string& target) {
    if (!FileExists(source) || FileExists(target))
        return false;
    const std::string temporary =
        WrittenBeside(target, [&](const std::string& file) { CopyTextFile(source, file); });
    bool linked = ::link(temporary.c_str(), target.c_str()) == 0;
    // A file system without hard links: a rename is whole too, only not once.
    if (!linked && errno != EEXIST)
        linked = ::rename(temporary.c_str(), target.c_str()) == 0;
    ::unlink(temporary.c_str());
    return linked;
}

void ReplaceFileWhole(const std::string& target,
                      const std::function<void(const std::string&)>& write) {
    const std::string temporary = WrittenBeside(target, write);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw EOSError(Format("Cannot write the file %s: %s", target, std::strerror(error)));
    }
}

bool CreateDirectoryLevel(const std::string& path) {
    if (!DirectoryExists(path))
        mkdir(path.c_str(), 0777);
    return DirectoryExists(path);
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string FileNamePart(const std::string& caption) {
    std::string part = caption;
    std::replace(part.begin(), part.end(), '/', '_');
    part.erase(std::remove(part.begin(), part.end(), '\0'), part.end());
    return part;
}

std::string FittingFileStem(const std::string& stem, std::size_t extensionBytes) {
    if (stem.size() + extensionBytes <= MaxFileNameBytes)
        return stem;
    // The mark is a character that the caption edits refuse (ContainsFileNameSpecialChar),
    // so that no caption that fits can spell a shortened name; the digits are the same for
    // the same stem on every run and machine.
    const std::string tag = ShortenedNameMark + TextSha256(stem).substr(0, ShortenedNameHashDigits);
    std::size_t keep = MaxFileNameBytes - extensionBytes - tag.size();
    // Never between the bytes of one UTF-8 character.
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return stem.substr(0, keep) + tag;
}

std::string StationName(const std::string& scenarioCaption) {
    return FittingFileStem(scenarioCaption, ScenarioFileExtensionBytes);
}

std::string ExtractFileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ChangeFileNameExtension(const std::string& fileName, const std::string& extension) {
    const std::string name = ExtractFileName(fileName);
    const std::size_t dot = name.rfind('.');
    return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + extension;
}

TZentorModel::TZentorModel(std::string modelDirectory)
    : modelDirectory_(std::move(modelDirectory)) {
    TDAXOInterface& plugin = TDAXOInterface::GetSingleton();
    TrueText = plugin.BooleanTrue();
    FalseText = plugin.BooleanFalse();
}

TZentorModel::~TZentorModel() = default;

void TZentorModel::SetNames(std::string modelName, std::string executableName,
                            std::string okFlagFileName, std::string reportStartMarker,
                            std::string reportEndMarker, std::string inputExtension) {
    modelName_ = std::move(modelName);
    executableName_ = std::move(executableName);
    okFlagFileName_ = std::move(okFlagFileName);
    reportStartMarker_ = std::move(reportStartMarker);
    reportEndMarker_ = std::move(reportEndMarker);
    inputExtension_ = std::move(inputExtension);
}

std::string TZentorModel::RunModelDirectory() const {
    return assessment_->RunDirectory() + "/" + modelName_;
}

std::string TZentorModel::RunModelFile(const std::string& fileName) const {
    return RunModelDirectory() + "/" + fileName;
}

std::string TZentorModel::AssessmentFile(const std::string& extension) const {
    return RunModelFile(std::to_string(assessment_->ASSESSMENTID()) + extension);
}

std::string TZentorModel::InputFilePath() const {
    return AssessmentFile(inputExtension_);
}

TDACDatabase& TZentorModel::Database() const {
    return assessment_->OwnerList()->Database();
}

std::unique_ptr<TdcScenarios> TZentorModel::OpenScenario() const {
    auto scenarios = std::make_unique<TdcScenarios>(Database());
    scenarios->SetFilter("SCENARIOID=%d", {assessment_->SCENARIOID()});
    scenarios->Open();
    return scenarios;
}

std::unique_ptr<TdcApplicationSchemes> TZentorModel::OpenApplicationScheme() const {
    auto schemes = std::make_unique<TdcApplicationSchemes>(Database());
    schemes->SetFilter("APPLICATIONSCHEMEID=%d", {assessment_->APPLICATIONSCHEMEID()});
    schemes->Open();
    return schemes;
}

std::string TZentorModel::ApplicationSchemeLine() const {
    const auto schemes = OpenApplicationScheme();
    return (schemes->Count() > 0 ? schemes->Item().CAPTION() : std::string()) +
           " ApplicationScheme";
}

TdcApplications& TZentorModel::SortedApplications(TdcApplicationSchemes& schemes) {
    TdcApplications& applications = schemes.Item().Applications();
    applications.Open();
    applications.SortOnField(ApplicationDateField, true);
    return applications;
}

void TZentorModel::CheckInputValues(const TdciScenarios& scenario) const {
    const std::int64_t first = scenario.STARTYEAR();
    const std::int64_t last = scenario.ENDYEAR();
    const auto takes = [](std::int64_t year) {
        return year >= FirstSimulationYear && year <= LastSimulationYear;
    };
    if (!takes(first) || !takes(last) || last - first + 1 > MaximumSimulationYears)
        throw EDACStateValueError(
            Format("Scenario %s: the simulation period %d to %d cannot be simulated; its years "
                   "must lie between %d and %d, and it may span at most %d years.",
                   scenario.CAPTION(), scenario.STARTYEAR(), scenario.ENDYEAR(),
                   FirstSimulationYear, LastSimulationYear, MaximumSimulationYears));
    const auto schemes = OpenApplicationScheme();
    if (schemes->Count() == 0)
        return;
    TdcApplications& applications = SortedApplications(*schemes);
    for (applications.First(); !applications.Eof(); applications.Next()) {
        const TdciApplications& application = applications.Item();
        try {
            application.CheckValueRanges();
        } catch (const EDACStateValueError& e) {
            throw EDACStateValueError(
                Format("Application scheme %s, application on %s: %s", schemes->Item().CAPTION(),
                       FormatDayMonth(application.APPLICATIONDATE()), e.Message()));
        }
    }
}

bool TZentorModel::Execute(TdciAssessments* assessment, bool run) {
    if (!assessment)
        return false;
    assessment_ = assessment;
    lastRun_.reset();
    failureReason_.clear();
    bool ok = PrepareModelDirectory(run);
    if (ok)
        ok = WriteInputFiles();
    if (run && ok)
        return RunModel();
    return ok;
}

bool TZentorModel::RunModel() {
    if (!PrepareRun())
        return false;
    return EndExecute(ExecuteAndWait(runScriptPath_, RunModelDirectory(), TWindowShowMode::Normal));
}

bool TZentorModel::BeginExecute(TdciAssessments* assessment) {
    if (!assessment)
        return false;
    assessment_ = assessment;
    lastRun_.reset();
    failureReason_.clear();
    return PrepareModelDirectory(true) && WriteInputFiles() && PrepareRun();
}

bool TZentorModel::EndExecute(int exitCode, const std::string& startFailure) {
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - runClock_;
    lastRun_ = TModelRunRecord{modelName_, runStart_, exitCode, seconds.count()};
    const bool ok = FinishRun(exitCode);
    if (!ok)
        NoteFailureReason(exitCode, startFailure);
    return ok;
}

void TZentorModel::NoteFailureReason(int exitCode, const std::string& startFailure) {
    if (!failureReason_.empty())
        return;
    if (exitCode == -1) {
        failureReason_ = "the model could not be started" +
                         (startFailure.empty() ? std::string() : ": " + startFailure);
    } else if (exitCode != 0) {
        const int signal = exitCode - 128;
        failureReason_ = signal > 0 && signal < NSIG
                             ? Format("exit code %d (signal %d, %s)", exitCode, signal,
                                      std::string(::strsignal(signal)))
                             : Format("exit code %d", exitCode);
        failureReason_ += RunLogEnding();
    } else if (assessment_->ERRORMESSAGE().empty()) {
        // Without an error file only the ok-flag tells, and its absence is the reason.
        failureReason_ = Format("the model wrote no %s", okFlagFileName_) + RunLogEnding();
    }
}

std::string TZentorModel::RunLogEnding() const {
    if (runScriptPath_.empty())
        return {};
    const std::string log = ChangeFileNameExtension(runScriptPath_, ".log");
    const std::string line = LastTextLine(RunModelFile(log));
    return line.empty() ? std::string() : "; " + log + " ends with: " + line;
}

bool TZentorModel::ReadResultFile(const std::string& path, TTextLines& lines) {
    if (LoadOutsideTextLines(path, MaxResultFileBytes, lines))
        return true;
    failureReason_ = Format("%s holds more than %d MiB and was not read", ExtractFileName(path),
                            static_cast<int>(MaxResultFileBytes / (1024 * 1024)));
    return false;
}

bool TZentorModel::PrepareModelDirectory(bool clean) {
    CreateDirectoryLevel(assessment_->RunDirectory());
    if (clean)
        DeleteDirectoryTree(RunModelDirectory());
    return CreateDirectoryLevel(RunModelDirectory());
}

void TZentorModel::SetErrorMessage(const std::string& text) {
    const TLockCheckSkipped unlocked(*assessment_);
    assessment_->SetERRORMESSAGE(text);
}

void TZentorModel::SetAssessmentReport(const std::string& text) {
    const TLockCheckSkipped unlocked(*assessment_);
    assessment_->SetASSESSMENTREPORT(text);
}

void TZentorModel::SaveAssessment() {
    if (savesAssessment_)
        assessment_->Save();
}

void TZentorModel::ReadErrorFile() {
    if (!assessment_)
        return;
    SetErrorMessage("");
    const std::string errorFile = AssessmentFile(".err");
    TTextLines lines;
    if (FileExists(errorFile) && ReadResultFile(errorFile, lines)) {
        std::vector<std::string> items{"Error in model: " + modelName_};
        for (const std::string& line : lines)
            if (!line.empty() && line.front() != '*')
                items.push_back(line);
        SetErrorMessage(CommaText(items));
    }
    SaveAssessment();
}

void TZentorModel::ReadSummaryBlock() {
    if (!assessment_)
        return;
    const std::string summaryFile = AssessmentFile(".sum");
    TTextLines lines;
    if (!FileExists(summaryFile) || !ReadResultFile(summaryFile, lines))
        return;
    TTextLines block;
    bool inside = false;
    for (const std::string& line : lines) {
        if (Contains(line, reportEndMarker_)) {
            if (inside) {
                block.push_back(line + "@");
                block.push_back("@");
            }
            inside = false;
        } else if (Contains(line, reportStartMarker_)) {
            inside = true;
        }
        if (inside)
            block.push_back(line + "@");
    }
    std::string report = assessment_->ASSESSMENTREPORT() + "@" + SummaryHeading + modelName_ + "@" +
                         std::string(SummaryUnderlineBase + modelName_.size(), '-') + "@";
    for (const std::string& line : block)
        report += line + "\r\n";
    SetAssessmentReport(report);
    SaveAssessment();
}

bool TZentorModel::RunConfirmed() const {
    return failureReason_.empty() && FileExists(RunModelFile(okFlagFileName_));
}

std::string TZentorModel::ModelCommandLine() const {
    return ShellQuote(modelDirectory_ + executableName_) + " " +
           ShellQuote(assessment_->InputFileName());
}

void TZentorModel::WriteRunScript(const TTextLines& linesBeforeModel) {
    // Lines end in a carriage return and a line feed like every file the program writes; the
    // closing "#" turns the carriage return into a comment, so the shell never sees it as
    // part of the last word.
    TTextLines script{ScriptHeader};
    for (const std::string& line : linesBeforeModel)
        script.push_back(line + ScriptLineEnd);
    script.push_back(ModelCommandLine() + ScriptLineEnd);
    runScriptPath_ = RunModelFile(
        FittingFileStem("run_" + FileNamePart(assessment_->CAPTION()), ScriptExtensionBytes) +
        ".sh");
    SaveTextLines(runScriptPath_, script);
    // The process starts right after its script is written.
    runStart_ = Now();
    runClock_ = std::chrono::steady_clock::now();
}

void TZentorModel::ShowResults(TdciAssessments* /*assessment*/, TTextLines& lines) {
    lines.clear();
    lines.push_back("Summary output of model:" + modelName_);
    lines.push_back("");
}

bool TZentorModel::CollectMetabolites(const std::string& parentGuid, const std::string& parentCode,
                                      TTextLines& formationLines, TDAXOGUIDList& compounds,
                                      int compartment) {
    std::vector<std::string> chain{parentGuid};
    CollectMetabolitesOnChain(parentGuid, parentCode, formationLines, compounds, compartment,
                              chain);
    return true;
}

void TZentorModel::CollectMetabolitesOnChain(const std::string& parentGuid,
                                             const std::string& parentCode,
                                             TTextLines& formationLines, TDAXOGUIDList& compounds,
                                             int compartment, std::vector<std::string>& chain) {
    std::unique_ptr<TDAXOGUIDList> metabolites;
    TDAXOInterface::GetSingleton().GetMetaboliteGUIDList(parentGuid, compartment, true, false,
                                                         metabolites);
    for (TDAXOGUIDEntry& entry : *metabolites) {
        const std::string guid = entry.GUID;
        TDAXOAttributeList attributes = entry.Attributes ? *entry.Attributes : TDAXOAttributeList();
        const std::string code = attributes.Value("SubstanceCode");
        if (std::find(chain.begin(), chain.end(), guid) != chain.end())
            throw Exception(Format("The metabolite %s (%s) of %s is an earlier compound of its "
                                   "own chain: the metabolites form a cycle",
                                   code, guid, parentCode));
        compounds.Add(guid, entry.Attributes ? std::move(entry.Attributes)
                                             : std::make_unique<TDAXOAttributeList>());
        formationLines.push_back(
            Format("%s %s -> %s", attributes.Value("FraPrtDau"), parentCode, code));
        chain.push_back(guid);
        CollectMetabolitesOnChain(guid, code, formationLines, compounds, compartment, chain);
        chain.pop_back();
    }
}

} // namespace parvela
