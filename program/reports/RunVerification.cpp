#include "program/reports/RunVerification.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/Format.h"
#include "framework/TDACDatabaseClass.h"
#include "platform/Exceptions.h"
#include "platform/UserDirectories.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/RunClaims.h"
#include "program/runs/RunFiles.h"
#include "program/runs/RunRecord.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TRunRecorder.h"
#include "program/system/DirectoryTree.h"
#include "program/system/ModelProcess.h"
#include "program/system/RunStop.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

namespace parvela {

namespace {

constexpr const char* StoredPrefix = "stored files: ";
constexpr const char* RunAgainPrefix = "run again: ";

std::string ScratchDirectory(int assessmentID) {
    std::string directory = PrivateTemporaryDirectory() + Format("verify-%d-XXXXXX", assessmentID);
    if (!::mkdtemp(directory.data()))
        throw EOSError(Format("Cannot make a scratch directory in %s: %s",
                              PrivateTemporaryDirectory(), std::string(std::strerror(errno))));
    return directory;
}

// The assessment run again in the directory, on a copy of its row that is never written
// back; the record of that run.
TRunRecord RunAgain(const TdciAssessments& assessment, const std::string& directory) {
    TdcAssessments copies(assessment.OwnerList()->Database());
    copies.SetFilter("ASSESSMENTID=%d", {assessment.ASSESSMENTID()});
    copies.Open();
    if (copies.Count() == 0)
        throw EDACStateValueError(
            Format("Assessment %d no longer exists", assessment.ASSESSMENTID()));
    TdciAssessments& copy = copies.Item();
    copy.SetRunDirectoryPath(directory);
    TRunRecorder recorder(
        copy, TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(copy.SUBSTANCEGUID()));
    for (const auto& model : TModelManager::GetSingleton().CreateModels(true)) {
        if (!model->BeginExecute(&copy))
            break;
        recorder.ModelStarting(*model);
        TModelProcess process;
        const int exitCode =
            process.Start(model->RunScriptPath(), model->RunModelDirectory()) ? process.Wait() : -1;
        recorder.ModelEnded(*model, exitCode);
        if (RunStopRequested())
            throw Exception("The verification was stopped.");
        if (!model->EndExecute(exitCode, process.StartFailure()))
            break;
    }
    return recorder.Record();
}

std::string ProgramText(const TProgramIdentity& program) {
    return Format("%s, SHA-256 %s", program.Version.empty() ? "no version" : program.Version,
                  program.Sha256.empty() ? "unknown" : program.Sha256);
}

void CompareProgram(const std::string& what, const TProgramIdentity& recorded,
                    const TProgramIdentity& found, std::vector<std::string>& findings) {
    if (recorded.Sha256 != found.Sha256 || recorded.Version != found.Version)
        findings.push_back(Format("%s is %s; the record names %s", what, ProgramText(found),
                                  ProgramText(recorded)));
}

// The files that are compared: all but the run script and its log.
std::vector<TRecordedFile> ComparedFiles(const TRunRecord& record) {
    std::vector<std::string> left;
    for (const TRecordedModel& model : record.Models)
        for (const std::string& name :
             {model.RunScript, ChangeFileNameExtension(model.RunScript, ".log")})
            left.push_back(model.Name + "/" + name);
    std::vector<TRecordedFile> files = record.Files();
    std::erase_if(files, [&](const TRecordedFile& file) {
        return std::find(left.begin(), left.end(), file.Name) != left.end();
    });
    return files;
}

void CompareModels(const TRunRecord& recorded, const TRunRecord& again,
                   std::vector<std::string>& findings) {
    std::map<std::string, const TRecordedModel*> ran;
    for (const TRecordedModel& model : again.Models)
        ran[model.Name] = &model;
    for (const TRecordedModel& model : recorded.Models) {
        const auto found = ran.find(model.Name);
        if (found == ran.end()) {
            findings.push_back(Format("%s did not run; the record names its exit code %d",
                                      model.Name, model.ExitCode));
            continue;
        }
        CompareProgram("the " + model.Name + " program", model.Program, found->second->Program,
                       findings);
        if (found->second->ExitCode != model.ExitCode)
            findings.push_back(Format("%s ended with exit code %d; the record names %d", model.Name,
                                      found->second->ExitCode, model.ExitCode));
        ran.erase(found);
    }
    for (const auto& [name, model] : ran)
        findings.push_back(Format("%s ran with exit code %d; the record names no run of it", name,
                                  model->ExitCode));
}

// What the run again did otherwise than the recorded run.
std::vector<std::string> RunAgainDifferences(const TRunRecord& recorded, const TRunRecord& again) {
    std::vector<std::string> findings;
    if (again.ProgramBuild != recorded.ProgramBuild)
        findings.push_back(Format("Parvela is build %s; the record names build %s",
                                  again.ProgramBuild, recorded.ProgramBuild));
    CompareProgram("the plug-in", recorded.Plugin, again.Plugin, findings);
    if (again.SubstanceChecksum != recorded.SubstanceChecksum)
        findings.push_back(Format("the substance checksum is %s; the record names %s",
                                  again.SubstanceChecksum, recorded.SubstanceChecksum));
    CompareModels(recorded, again, findings);
    for (const TFileDifference& difference :
         FileDifferences(ComparedFiles(recorded), ComparedFiles(again)))
        findings.push_back(difference.Text());
    for (std::string& finding : findings)
        finding = RunAgainPrefix + finding;
    return findings;
}

// The run again in a scratch directory, compared with the record; the directory goes unless
// something differs.
std::vector<std::string> VerifyByRunningAgain(const TdciAssessments& assessment,
                                              const TRunRecord& recorded) {
    const std::string directory = ScratchDirectory(assessment.ASSESSMENTID());
    std::vector<std::string> findings;
    try {
        findings = RunAgainDifferences(recorded, RunAgain(assessment, directory));
    } catch (const Exception& e) {
        // A writer or the plug-in refuses the inputs as they are now; a stop or a failure of
        // the disk or the database ends the verification.
        const bool refused = !RunStopRequested() && !dynamic_cast<const EOSError*>(&e) &&
                             !dynamic_cast<const EDatabaseError*>(&e);
        if (!refused) {
            DeleteDirectoryTree(directory);
            throw;
        }
        findings.push_back(RunAgainPrefix + std::string("it failed: ") + e.Message());
    } catch (...) {
        DeleteDirectoryTree(directory);
        throw;
    }
    if (findings.empty())
        DeleteDirectoryTree(directory);
    else
        findings.push_back(RunAgainPrefix + std::string("its files are kept in ") + directory);
    return findings;
}

} // namespace

TVerification VerifyStoredRun(const TdciAssessments& assessment) {
    const std::string runDirectory = ReportRunDirectory(assessment);
    if (IsUnderClaim(assessment.OwnerList()->Database(), assessment.ASSESSMENTID()))
        return {TVerificationOutcome::Busy,
                {"another program runs the assessment now: verify it once that run has ended"}};
    std::optional<TRunRecord> record;
    try {
        record = ReadRunRecord(runDirectory);
    } catch (const Exception& e) {
        return {TVerificationOutcome::Differs, {StoredPrefix + e.Message()}};
    }
    if (!record)
        return {TVerificationOutcome::NoRecord, {"no run record in " + runDirectory}};
    std::vector<std::string> findings;
    for (const TFileDifference& difference : StoredFileDifferences(*record, runDirectory))
        findings.push_back(StoredPrefix + difference.Text());
    for (std::string& finding : VerifyByRunningAgain(assessment, *record))
        findings.push_back(std::move(finding));
    return {findings.empty() ? TVerificationOutcome::Matches : TVerificationOutcome::Differs,
            findings};
}

} // namespace parvela
