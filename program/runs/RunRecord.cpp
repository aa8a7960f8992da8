#include "program/runs/RunRecord.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "program/runs/TZentorModel.h"

#include <nlohmann/json.hpp>

namespace parvela {

namespace {

// Keys in the order written, so that a reader finds the format first.
using json = nlohmann::ordered_json;

constexpr const char* FormatName = "parvela run record";
constexpr int JsonIndent = 2;

json FileJson(const TRecordedFile& file) {
    return {{"file", file.Name}, {"size", file.Size}, {"sha256", file.Sha256}};
}

json FilesJson(const std::vector<TRecordedFile>& files) {
    json list = json::array();
    for (const TRecordedFile& file : files)
        list.push_back(FileJson(file));
    return list;
}

json ProgramJson(const TProgramIdentity& program, const char* pathName) {
    return {{pathName, program.Path}, {"sha256", program.Sha256}, {"version", program.Version}};
}

json ModelJson(const TRecordedModel& model) {
    return {{"name", model.Name},
            {"program", ProgramJson(model.Program, "path")},
            {"run_script", model.RunScript},
            {"start", model.Start},
            {"end", model.End},
            {"exit_code", model.ExitCode},
            {"inputs", FilesJson(model.Inputs)},
            {"outputs", FilesJson(model.Outputs)}};
}

std::vector<TRecordedFile> FilesOf(const json& list) {
    std::vector<TRecordedFile> files;
    for (const json& file : list)
        files.push_back({file.at("file").get<std::string>(), file.at("size").get<std::uintmax_t>(),
                         file.at("sha256").get<std::string>()});
    return files;
}

TProgramIdentity ProgramOf(const json& program, const char* pathName) {
    return {program.at(pathName).get<std::string>(), program.at("sha256").get<std::string>(),
            program.at("version").get<std::string>()};
}

TRecordedModel ModelOf(const json& model) {
    TRecordedModel recorded;
    recorded.Name = model.at("name").get<std::string>();
    recorded.Program = ProgramOf(model.at("program"), "path");
    recorded.RunScript = model.at("run_script").get<std::string>();
    recorded.Start = model.at("start").get<std::string>();
    recorded.End = model.at("end").get<std::string>();
    recorded.ExitCode = model.at("exit_code").get<int>();
    recorded.Inputs = FilesOf(model.at("inputs"));
    recorded.Outputs = FilesOf(model.at("outputs"));
    return recorded;
}

TRunRecord RecordOf(const json& document) {
    if (document.at("format").get<std::string>() != FormatName ||
        document.at("format_version").get<int>() != RunRecordFormatVersion)
        throw EConvertError("not a run record of format version " +
                            std::to_string(RunRecordFormatVersion));
    TRunRecord record;
    const json& program = document.at("program");
    record.ProgramVersion = program.at("version").get<std::string>();
    record.ProgramBuild = program.at("build").get<std::string>();
    record.Executable = program.at("executable").get<std::string>();
    record.Plugin = ProgramOf(document.at("plugin"), "library");
    const json& assessment = document.at("assessment");
    record.AssessmentID = assessment.at("id").get<int>();
    record.AssessmentCaption = assessment.at("caption").get<std::string>();
    record.ProjectID = assessment.at("project").get<int>();
    const json& scenario = document.at("scenario");
    record.ScenarioID = scenario.at("id").get<int>();
    record.ScenarioCaption = scenario.at("caption").get<std::string>();
    record.FirstYear = scenario.at("first_year").get<int>();
    record.LastYear = scenario.at("last_year").get<int>();
    const json& substance = document.at("substance");
    record.SubstanceGuid = substance.at("guid").get<std::string>();
    record.SubstanceChecksum = substance.at("checksum").get<std::string>();
    record.Start = document.at("start").get<std::string>();
    record.End = document.at("end").get<std::string>();
    record.User = document.at("user").get<std::string>();
    record.Host = document.at("host").get<std::string>();
    for (const json& model : document.at("models"))
        record.Models.push_back(ModelOf(model));
    return record;
}

} // namespace

std::vector<TRecordedFile> TRunRecord::Files() const {
    std::vector<TRecordedFile> files;
    for (const TRecordedModel& model : Models) {
        files.insert(files.end(), model.Inputs.begin(), model.Inputs.end());
        files.insert(files.end(), model.Outputs.begin(), model.Outputs.end());
    }
    return files;
}

std::string RunRecordText(const TRunRecord& record) {
    json models = json::array();
    for (const TRecordedModel& model : record.Models)
        models.push_back(ModelJson(model));
    const json document = {
        {"format", FormatName},
        {"format_version", RunRecordFormatVersion},
        {"program",
         {{"version", record.ProgramVersion},
          {"build", record.ProgramBuild},
          {"executable", record.Executable}}},
        {"plugin", ProgramJson(record.Plugin, "library")},
        {"assessment",
         {{"id", record.AssessmentID},
          {"caption", record.AssessmentCaption},
          {"project", record.ProjectID}}},
        {"scenario",
         {{"id", record.ScenarioID},
          {"caption", record.ScenarioCaption},
          {"first_year", record.FirstYear},
          {"last_year", record.LastYear}}},
        {"substance", {{"guid", record.SubstanceGuid}, {"checksum", record.SubstanceChecksum}}},
        {"start", record.Start},
        {"end", record.End},
        {"user", record.User},
        {"host", record.Host},
        {"models", models}};
    // Texts from the database or from outside programs that are no valid UTF-8 are written
    // with replacement characters rather than refused.
    return document.dump(JsonIndent, ' ', false, json::error_handler_t::replace);
}

TRunRecord ParseRunRecord(const std::string& text) {
    try {
        return RecordOf(json::parse(text));
    } catch (const json::exception& fault) {
        throw EConvertError(fault.what());
    }
}

std::string RunRecordPath(const std::string& runDirectory) {
    return runDirectory + "/" + RunRecordFileName;
}

void WriteRunRecord(const std::string& runDirectory, const TRunRecord& record) {
    // Line by line like every text file of a run (JSON escapes the line breaks of its texts).
    const TTextLines lines = SplitTextLines(RunRecordText(record));
    ReplaceFileWhole(RunRecordPath(runDirectory),
                     [&](const std::string& file) { SaveTextLines(file, lines); });
}

std::optional<TRunRecord> ReadRunRecord(const std::string& runDirectory) {
    const std::string path = RunRecordPath(runDirectory);
    std::string text;
    if (!ReadWholeFile(path, text))
        return std::nullopt;
    try {
        return ParseRunRecord(text);
    } catch (const EConvertError& fault) {
        throw EConvertError("The run record " + path + " cannot be read: " + fault.Message());
    }
}

} // namespace parvela
