#include "program/reports/RunProvenance.h"

#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModel.h"
#include "program/runs/TZentorModelMundre.h"
#include "program/system/FileDigest.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace parvela {

namespace {

namespace fs = std::filesystem;

std::set<std::string> ResultFileNames(const TZentorModel& model, int assessmentID) {
    const std::string id = std::to_string(assessmentID);
    std::set<std::string> names = {model.OkFlagFileName(), id + ".err", id + ".sum", id + ".out"};
    if (model.ModelName() == TModelManager::GetSingleton().Mundre().UpstreamModelName())
        names.insert(id + ".e2m");
    return names;
}

bool IsRunScriptOrLog(const std::string& name) {
    const std::string extension = fs::path(name).extension().string();
    return name.rfind("run_", 0) == 0 && (extension == ".sh" || extension == ".log");
}

} // namespace

std::vector<TRunInputFile> RunInputFiles(const std::string& runDirectory, int assessmentID) {
    std::vector<TRunInputFile> files;
    for (const auto& model : TModelManager::GetSingleton().Models()) {
        const fs::path directory = fs::path(runDirectory) / model->ModelName();
        std::error_code error;
        if (!fs::is_directory(directory, error))
            continue;
        const std::set<std::string> results = ResultFileNames(*model, assessmentID);
        const fs::path summary = directory / (std::to_string(assessmentID) + ".sum");
        const auto summaryTime = fs::last_write_time(summary, error);
        const bool hasSummary = !error;
        std::vector<TRunInputFile> modelFiles;
        for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || results.count(name) || IsRunScriptOrLog(name))
                continue;
            TRunInputFile file;
            file.Name = model->ModelName() + "/" + name;
            file.Size = entry.file_size();
            file.Sha256 = FileSha256(entry.path().string());
            file.WrittenAfterRun = hasSummary && entry.last_write_time() > summaryTime;
            modelFiles.push_back(std::move(file));
        }
        std::sort(modelFiles.begin(), modelFiles.end(),
                  [](const TRunInputFile& a, const TRunInputFile& b) { return a.Name < b.Name; });
        files.insert(files.end(), modelFiles.begin(), modelFiles.end());
    }
    return files;
}

} // namespace parvela
