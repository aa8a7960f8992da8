#include "program/system/ModelProcess.h"

#include "platform/ExecutablePath.h"
#include "platform/UiHooks.h"
#include "program/system/ChildProcess.h"

#include <algorithm>
#include <filesystem>
#include <poll.h>
#include <unistd.h>

namespace parvela {

namespace fs = std::filesystem;

int ExecuteAndWait(const std::string& scriptPath, const std::string& workingDirectory,
                   TWindowShowMode /*showMode*/) {
    TModelProcess process;
    if (!process.Start(scriptPath, workingDirectory))
        return -1;
    return process.Wait();
}

TModelProcess::TModelProcess() = default;

TModelProcess::~TModelProcess() {
    if (child_ && !child_->ReapIfEnded())
        Terminate();
}

bool TModelProcess::Start(const std::string& scriptPath, const std::string& workingDirectory) {
    std::error_code error;
    startFailure_.clear();
    if (child_)
        return false;
    if (!fs::is_regular_file(scriptPath, error)) {
        startFailure_ = scriptPath + ": no such script";
        return false;
    }
    const std::string directory =
        workingDirectory.empty() ? fs::current_path(error).string() : workingDirectory;
    return StartGuarded("/bin/sh", {scriptPath}, directory,
                        fs::path(scriptPath).replace_extension(".log").string());
}

bool TModelProcess::StartGuarded(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::string& workingDirectory, const std::string& logFile) {
    startFailure_.clear();
    if (child_)
        return false;
    std::vector<std::string> guarded{std::to_string(::getpid()), program};
    guarded.insert(guarded.end(), arguments.begin(), arguments.end());
    auto child = std::make_unique<TChildProcess>();
    // The guard leads the process group and ends it when this program ends, however it ends.
    if (!child->Start(ModelGuardPath(), guarded, workingDirectory, logFile, true)) {
        startFailure_ = child->StartFailure();
        return false;
    }
    child_ = std::move(child);
    return true;
}

int TModelProcess::ProcessGroup() const {
    return child_ ? child_->Pid() : 0;
}

std::string ModelGuardPath() {
    return ExecutableDirectory() + "parvela-model-guard";
}

bool TModelProcess::ReapIfEnded() {
    return !child_ || child_->ReapIfEnded();
}

int TModelProcess::ExitCode() const {
    return child_ ? child_->ExitCode() : -1;
}

int TModelProcess::Wait() {
    return child_ ? child_->WaitProcessingEvents(true) : -1;
}

bool TModelProcess::WaitFor(std::chrono::milliseconds limit) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!ReapIfEnded()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            giveUp - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        WaitForProcessDescriptor(child_->Descriptor(), static_cast<int>(std::min<long long>(
                                                           left.count(), WaitStepMilliseconds)));
    }
    return true;
}

void TModelProcess::Terminate() {
    TerminateModelProcesses({this});
}

void WaitForModelProcesses(const std::vector<TModelProcess*>& processes) {
    const bool anyEnded =
        std::any_of(processes.begin(), processes.end(),
                    [](TModelProcess* process) { return process->ReapIfEnded(); });
    if (!anyEnded) {
        std::vector<pollfd> descriptors;
        for (TModelProcess* process : processes)
            descriptors.push_back({process->child_->Descriptor(), POLLIN, 0});
        const bool everyOneSeen =
            std::all_of(descriptors.begin(), descriptors.end(),
                        [](const pollfd& descriptor) { return descriptor.fd >= 0; });
        if (everyOneSeen && !descriptors.empty())
            ::poll(descriptors.data(), descriptors.size(), WaitStepMilliseconds);
        else
            WaitForProcessDescriptor(-1, WaitStepMilliseconds);
    }
    // Also after processes that ended at once: the window shows each step of a run of short
    // models and takes its clicks (Stop) between them.
    UiHooks().ProcessPendingEvents();
}

void TerminateModelProcesses(const std::vector<TModelProcess*>& processes) {
    std::vector<TChildProcess*> children;
    for (TModelProcess* process : processes)
        if (process->child_)
            children.push_back(process->child_.get());
    TChildProcess::TerminateChildren(children);
}

} // namespace parvela
