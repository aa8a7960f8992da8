#include "program/runs/ModelProcessRecord.h"

#include "framework/Format.h"
#include "platform/SystemIdentity.h"
#include "program/runs/TZentorModel.h"
#include "program/system/ProcessGroups.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace parvela {

namespace {

constexpr const char* RecordFileName = ".model-process";
constexpr auto StopGrace = std::chrono::seconds(2);
constexpr auto StopPoll = std::chrono::milliseconds(20);

std::string RecordFile(const std::string& runDirectory) {
    return runDirectory + "/" + RecordFileName;
}

// Waits at most the grace period for the group's processes below the directory to end.
bool EndedWithin(int group, const std::string& runDirectory) {
    const auto giveUp = std::chrono::steady_clock::now() + StopGrace;
    while (!ProcessesOfGroup(group, runDirectory).empty()) {
        if (std::chrono::steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(StopPoll);
    }
    return true;
}

} // namespace

void NoteModelProcess(const std::string& runDirectory, int processGroup) {
    const TTextLines lines{HostName(), BootId(), std::to_string(processGroup)};
    ReplaceFileWhole(RecordFile(runDirectory),
                     [&](const std::string& file) { SaveTextLines(file, lines); });
}

void ForgetModelProcess(const std::string& runDirectory) {
    ::unlink(RecordFile(runDirectory).c_str());
}

void EndLeftoverModelProcess(const std::string& runDirectory) {
    const TTextLines record = LoadTextLines(RecordFile(runDirectory));
    std::error_code error;
    // As the processes' working directories read: links resolved.
    const std::string directory = std::filesystem::weakly_canonical(runDirectory, error).string();
    int group = 0;
    if (record.size() != 3 || record[0] != HostName() || record[1] != BootId() ||
        !TryStrToInt(record[2], group) || group <= 1)
        return;
    if (error || ProcessesOfGroup(group, directory).empty())
        return;
    ::kill(-group, SIGTERM);
    if (!EndedWithin(group, directory)) {
        ::kill(-group, SIGKILL);
        EndedWithin(group, directory);
    }
}

} // namespace parvela
