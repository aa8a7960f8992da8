#include "program/runs/RunFiles.h"

#include "framework/Format.h"
#include "platform/Exceptions.h"
#include "program/runs/TModelManager.h"
#include "program/system/FileDigest.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace parvela {

namespace {

namespace fs = std::filesystem;

std::string Describe(const TRecordedFile& file) {
    if (file.Sha256.empty())
        return "no readable regular file";
    return Format("%s bytes, SHA-256 %s", std::to_string(file.Size), file.Sha256);
}

std::map<std::string, TRecordedFile> ByName(std::vector<TRecordedFile> files) {
    std::map<std::string, TRecordedFile> byName;
    for (TRecordedFile& file : files)
        byName[file.Name] = std::move(file);
    return byName;
}

// The model directories of a run: the record's models and those the program runs.
std::set<std::string> ModelNames(const TRunRecord& record) {
    std::set<std::string> names;
    for (const TRecordedModel& model : record.Models)
        names.insert(model.Name);
    if (TModelManager::SingletonExists())
        for (const auto& model : TModelManager::GetSingleton().Models())
            names.insert(model->ModelName());
    return names;
}

} // namespace

std::vector<TRecordedFile> ModelDirectoryFiles(const std::string& runDirectory,
                                               const std::string& modelName) {
    std::vector<TRecordedFile> files;
    const fs::path directory = fs::path(runDirectory) / modelName;
    std::error_code error;
    if (!fs::is_directory(fs::symlink_status(directory, error)))
        return files;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        TRecordedFile file;
        file.Name = modelName + "/" + it->path().filename().string();
        std::error_code entryError;
        // A link, a pipe or a directory is never opened: it is no file of the run.
        if (it->is_regular_file(entryError) && !it->is_symlink(entryError)) {
            file.Size = it->file_size(entryError);
            try {
                file.Sha256 = FileSha256(it->path().string());
            } catch (const EOSError&) {
                file.Sha256.clear();
            }
        }
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(),
              [](const TRecordedFile& a, const TRecordedFile& b) { return a.Name < b.Name; });
    return files;
}

const std::string& TFileDifference::Name() const {
    return Kind == TFileDifferenceKind::Extra ? Found.Name : Recorded.Name;
}

std::string TFileDifference::Text() const {
    switch (Kind) {
    case TFileDifferenceKind::Changed:
        return Name() + " differs from the run record: " + Describe(Found) + ", recorded " +
               Describe(Recorded) + ".";
    case TFileDifferenceKind::Missing:
        return Name() + " is missing: recorded " + Describe(Recorded) + ".";
    case TFileDifferenceKind::Extra:
        break;
    }
    return Name() + " is not in the run record: " + Describe(Found) + ".";
}

std::vector<TFileDifference> FileDifferences(std::vector<TRecordedFile> recorded,
                                             std::vector<TRecordedFile> found) {
    const std::map<std::string, TRecordedFile> recordedByName = ByName(std::move(recorded));
    std::map<std::string, TRecordedFile> foundByName = ByName(std::move(found));
    std::map<std::string, TFileDifference> differences;
    for (const auto& [name, file] : recordedByName) {
        const auto match = foundByName.find(name);
        if (match == foundByName.end())
            differences[name] = {TFileDifferenceKind::Missing, file, {}};
        else if (!(match->second == file))
            differences[name] = {TFileDifferenceKind::Changed, file, match->second};
        if (match != foundByName.end())
            foundByName.erase(match);
    }
    for (auto& [name, file] : foundByName)
        differences[name] = {TFileDifferenceKind::Extra, {}, std::move(file)};
    std::vector<TFileDifference> inOrder;
    for (auto& [name, difference] : differences)
        inOrder.push_back(std::move(difference));
    return inOrder;
}

std::vector<TFileDifference> StoredFileDifferences(const TRunRecord& record,
                                                   const std::string& runDirectory) {
    std::vector<TRecordedFile> found;
    for (const std::string& model : ModelNames(record)) {
        std::vector<TRecordedFile> files = ModelDirectoryFiles(runDirectory, model);
        found.insert(found.end(), files.begin(), files.end());
    }
    return FileDifferences(record.Files(), std::move(found));
}

} // namespace parvela
