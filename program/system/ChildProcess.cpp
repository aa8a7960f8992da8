#include "program/system/ChildProcess.h"

#include "platform/UiHooks.h"
#include "program/system/ProcessGroups.h"
#include "program/system/RunStop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace parvela {

namespace {

constexpr auto StopGrace = std::chrono::seconds(2);
constexpr int StopPollMilliseconds = 20;

// The child starts with every signal at its default action and none blocked, whatever the
// program inherited or set for itself; with `ownGroup` it leads a process group of its own.
class TSpawnAttributes {
public:
    explicit TSpawnAttributes(bool ownGroup) {
        posix_spawnattr_init(&attributes_);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attributes_, &all);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes_, &none);
        short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
        if (ownGroup) {
            posix_spawnattr_setpgroup(&attributes_, 0);
            flags |= POSIX_SPAWN_SETPGROUP;
        }
        posix_spawnattr_setflags(&attributes_, flags);
    }
    ~TSpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    TSpawnAttributes(const TSpawnAttributes&) = delete;
    TSpawnAttributes& operator=(const TSpawnAttributes&) = delete;
    const posix_spawnattr_t* Get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};
} // namespace

void WaitForProcessDescriptor(int pidfd, int milliseconds) {
    if (pidfd >= 0) {
        pollfd descriptor{pidfd, POLLIN, 0};
        ::poll(&descriptor, 1, milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, 20)));
    }
}

TChildProcess::~TChildProcess() {
    if (pidfd_ >= 0)
        ::close(pidfd_);
}

bool TChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& directory, const std::string& logFile, bool ownGroup) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    if (!logFile.empty()) {
        // As the umask allows, like every file of a run directory: a team may share them.
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0666);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const TSpawnAttributes attributes(ownGroup);
    int result =
        posix_spawnp(&pid_, program.c_str(), &actions, attributes.Get(), argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        startFailure_ = program + ": " + std::strerror(result);
        return false;
    }
    ownGroup_ = ownGroup;
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    return true;
}

bool TChildProcess::ReapIfEnded() {
    while (!ended_) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == 0)
            return false;
        if (done < 0 && errno == EINTR)
            continue;
        ended_ = true;
        exitCode_ = done == pid_ ? ExitCodeOf(status) : UnknownEnd;
        if (pidfd_ >= 0)
            ::close(std::exchange(pidfd_, -1));
    }
    return true;
}

int TChildProcess::WaitProcessingEvents(bool stoppable) {
    while (!ReapIfEnded()) {
        if (stoppable && RunStopRequested()) {
            TerminateChildren({this});
            break;
        }
        WaitForProcessDescriptor(pidfd_, WaitStepMilliseconds);
        UiHooks().ProcessPendingEvents();
    }
    return exitCode_;
}

void TChildProcess::TerminateChildren(const std::vector<TChildProcess*>& children) {
    for (TChildProcess* child : children)
        child->Signal(SIGTERM);
    WaitWhileAlive(children);
    for (TChildProcess* child : children)
        if (child->Alive())
            child->Signal(SIGKILL);
    // After SIGKILL only a process in an uninterruptible wait can take a moment.
    WaitWhileAlive(children);
}

void TChildProcess::WaitWhileAlive(const std::vector<TChildProcess*>& children) {
    const auto end = std::chrono::steady_clock::now() + StopGrace;
    while (std::chrono::steady_clock::now() < end &&
           std::any_of(children.begin(), children.end(),
                       [](TChildProcess* child) { return child->Alive(); }))
        WaitForProcessDescriptor(-1, StopPollMilliseconds);
}

void TChildProcess::Signal(int signal) {
    if (ownGroup_)
        ::kill(-pid_, signal);
    else if (!ended_)
        ::kill(pid_, signal);
}

bool TChildProcess::Alive() {
    if (!ReapIfEnded())
        return true;
    return ownGroup_ && GroupHasLiveProcess(pid_);
}

int TChildProcess::ExitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return INT_MAX;
}

} // namespace parvela
