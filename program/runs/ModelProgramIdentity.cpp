#include "program/runs/ModelProgramIdentity.h"

#include "platform/Exceptions.h"
#include "platform/UserDirectories.h"
#include "program/runs/TZentorModel.h"
#include "program/system/DirectoryTree.h"
#include "program/system/FileDigest.h"
#include "program/system/ModelProcess.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <sys/stat.h>

namespace parvela {

namespace {

constexpr auto VersionWait = std::chrono::seconds(5);
constexpr std::size_t MaxVersionAnswerBytes = 64 * 1024;

// The program file as it lies on disk now; empty when it cannot be seen.
std::string FileKey(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    const char separator = '\x1F';
    return path + separator + std::to_string(info.st_dev) + separator +
           std::to_string(info.st_ino) + separator + std::to_string(info.st_size) + separator +
           std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

std::string FirstLineOf(const std::string& file) {
    TTextLines lines;
    if (!LoadOutsideTextLines(file, MaxVersionAnswerBytes, lines))
        return {};
    for (const std::string& line : lines)
        if (line.find_first_not_of(" \t") != std::string::npos)
            return line;
    return {};
}

std::string VersionAnswer(const std::string& program) {
    std::string directory;
    try {
        directory = PrivateTemporaryDirectory() + "version-XXXXXX";
    } catch (const EOSError&) {
        return {};
    }
    if (!::mkdtemp(directory.data()))
        return {};
    const std::string answerFile = directory + "/answer";
    std::string answer;
    {
        TModelProcess process;
        if (process.StartGuarded(program, {"--version"}, directory, answerFile) &&
            process.WaitFor(VersionWait))
            answer = FirstLineOf(answerFile);
        // A process that still runs ends with its object.
    }
    DeleteDirectoryTree(directory);
    return answer;
}

} // namespace

TProgramIdentity ModelProgramIdentity(const std::string& path) {
    // Used from the one thread that runs the models.
    static std::map<std::string, TProgramIdentity> known;
    const std::string key = FileKey(path);
    if (!key.empty()) {
        const auto found = known.find(key);
        if (found != known.end())
            return found->second;
    }
    TProgramIdentity identity{path, {}, {}};
    try {
        identity.Sha256 = FileSha256(path);
    } catch (const EOSError&) {
        return identity; // a program that cannot be read cannot run either
    }
    identity.Version = VersionAnswer(path);
    if (!key.empty())
        known[key] = identity;
    return identity;
}

} // namespace parvela
