#include "program/runs/TRunRecorder.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/TDACDatabaseClass.h"
#include "framework/TVersionInfo.h"
#include "platform/Exceptions.h"
#include "platform/ExecutablePath.h"
#include "platform/SystemIdentity.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/ModelProgramIdentity.h"
#include "program/runs/RunFiles.h"
#include "program/runs/TZentorModel.h"

#include <algorithm>

namespace parvela {

namespace {

constexpr int VersionParts = 2;
constexpr int BuildParts = 3;

std::string Moment() {
    return FormatDateTime("yyyy-mm-dd hh:nn:ss", Now());
}

std::string RunningExecutable() {
    try {
        return ExecutablePath();
    } catch (const EOSError&) {
        return {};
    }
}

void NoteScenario(TDACDatabase& database, int scenarioID, TRunRecord& record) {
    record.ScenarioID = scenarioID;
    // Only the caption and the period: the scenario's long texts are in the input files.
    const auto query = database.OpenQuery(Format(
        "SELECT CAPTION, STARTYEAR, ENDYEAR FROM SCENARIOS WHERE SCENARIOID = %d", scenarioID));
    if (query->Eof())
        return;
    record.ScenarioCaption = query->FieldByName("CAPTION").AsString();
    record.FirstYear = query->FieldByName("STARTYEAR").AsInteger();
    record.LastYear = query->FieldByName("ENDYEAR").AsInteger();
}

bool Listed(const TTextLines& names, const std::string& modelName, const TRecordedFile& file) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return file.Name == modelName + "/" + name;
    });
}

} // namespace

TRunRecorder::TRunRecorder(const TdciAssessments& assessment, const std::string& substanceChecksum)
    : runDirectory_(assessment.RunDirectory()) {
    if (TVersionInfo::SingletonExists()) {
        record_.ProgramVersion = TVersionInfo::GetSingleton().VersionText(VersionParts);
        record_.ProgramBuild = TVersionInfo::GetSingleton().VersionText(BuildParts);
    }
    record_.Executable = RunningExecutable();
    TDAXOInterface& plugin = TDAXOInterface::GetSingleton();
    record_.Plugin = {plugin.LibraryPath(), plugin.LibrarySha256(), plugin.LibraryVersion()};
    record_.AssessmentID = assessment.ASSESSMENTID();
    record_.AssessmentCaption = assessment.CAPTION();
    record_.ProjectID = assessment.PROJECTID();
    NoteScenario(assessment.OwnerList()->Database(), assessment.SCENARIOID(), record_);
    record_.SubstanceGuid = assessment.SUBSTANCEGUID();
    record_.SubstanceChecksum = substanceChecksum;
    record_.Start = Moment();
    record_.User = UserName();
    record_.Host = HostName();
}

void TRunRecorder::ModelStarting(const TZentorModel& model) {
    TRecordedModel recorded;
    recorded.Name = model.ModelName();
    recorded.Program = ModelProgramIdentity(model.ModelDirectory() + model.ExecutableName());
    recorded.RunScript = ExtractFileName(model.RunScriptPath());
    before_ = ModelDirectoryFiles(runDirectory_, model.ModelName());
    recorded.Inputs = before_;
    recorded.Start = Moment();
    record_.Models.push_back(std::move(recorded));
}

void TRunRecorder::ModelEnded(const TZentorModel& model, int exitCode) {
    if (record_.Models.empty() || record_.Models.back().Name != model.ModelName())
        return;
    TRecordedModel& recorded = record_.Models.back();
    recorded.End = Moment();
    recorded.ExitCode = exitCode;
    record_.End = recorded.End;
    const TTextLines placedByScript = model.RunScriptInputFiles();
    for (const TRecordedFile& file : ModelDirectoryFiles(runDirectory_, model.ModelName())) {
        if (std::find(before_.begin(), before_.end(), file) != before_.end())
            continue;
        if (Listed(placedByScript, model.ModelName(), file))
            recorded.Inputs.push_back(file);
        else
            recorded.Outputs.push_back(file);
    }
    std::sort(recorded.Inputs.begin(), recorded.Inputs.end(),
              [](const TRecordedFile& a, const TRecordedFile& b) { return a.Name < b.Name; });
    before_.clear();
}

} // namespace parvela
