#include "program/system/Utilities.h"

#include "framework/Format.h"
#include "platform/Dialogs.h"
#include "platform/ExecutablePath.h"
#include "platform/UiHooks.h"
#include "platform/UserDirectories.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace parvela {

namespace fs = std::filesystem;

namespace {

constexpr int WaitStepMilliseconds = 500;

// While a child of ours runs, SIGCHLD must not be ignored: with SIGCHLD ignored (a parent may
// start the program so) the system reaps the child itself and its exit status is lost. Several
// children may run at once: the first one sets the default action, the last one to end puts
// back what was there.
class TChildStatusKept {
public:
    TChildStatusKept() {
        if (holders_++ > 0)
            return;
        struct sigaction current {};
        if (::sigaction(SIGCHLD, nullptr, &current) != 0)
            return;
        if (current.sa_handler != SIG_IGN && (current.sa_flags & SA_NOCLDWAIT) == 0)
            return;
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        previous_ = current;
        restore_ = ::sigaction(SIGCHLD, &byDefault, nullptr) == 0;
    }
    ~TChildStatusKept() {
        if (--holders_ == 0 && restore_) {
            ::sigaction(SIGCHLD, &previous_, nullptr);
            restore_ = false;
        }
    }
    TChildStatusKept(const TChildStatusKept&) = delete;
    TChildStatusKept& operator=(const TChildStatusKept&) = delete;

private:
    // Children are started and waited for on one thread only.
    static inline int holders_ = 0;
    static inline struct sigaction previous_ {};
    static inline bool restore_ = false;
};

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

// Set by a stop of the window or by a signal handler: only a lock-free atomic may be.
std::atomic<bool> runStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void WaitAtMost(int pidfd, int milliseconds) {
    if (pidfd >= 0) {
        pollfd descriptor{pidfd, POLLIN, 0};
        ::poll(&descriptor, 1, milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, 20)));
    }
}

} // namespace

std::vector<int> ProcessesOfGroup(int group, const std::string& workingBelow) {
    std::vector<int> members;
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(it->path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid pgrp ...; the command may hold blanks and parentheses.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(line.substr(close + 1));
        char state = 0;
        long parent = 0, processGroup = 0;
        if (!(fields >> state >> parent >> processGroup) || processGroup != group || state == 'Z' ||
            state == 'X')
            continue;
        if (!workingBelow.empty()) {
            const std::string directory = fs::read_symlink(it->path() / "cwd", error).string();
            error.clear();
            if (directory != workingBelow && directory.rfind(workingBelow + "/", 0) != 0)
                continue;
        }
        members.push_back(std::stoi(name));
    }
    return members;
}

namespace {

// Whether a process of the group still runs; one that has ended but was not yet reaped by
// its parent (a zombie) runs no more.
bool GroupHasLiveProcess(pid_t group) {
    return !ProcessesOfGroup(group).empty();
}

} // namespace

// A child process started with posix_spawn; no shell parses any of its arguments.
class TChildProcess {
public:
    TChildProcess() = default;
    ~TChildProcess() {
        if (pidfd_ >= 0)
            ::close(pidfd_);
    }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Starts `program` with `arguments` in `directory`; stdout and stderr go to `logFile`
    // when it is not empty. With `ownGroup` the child leads a new process group, so that
    // everything it starts can be stopped with it.
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
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

    // True once the child has ended, without blocking. A wait that fails for another reason
    // than an interruption leaves the end of the child unknown: that is a failed run, never a
    // success.
    bool Ended() {
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

    // The child's exit code, 128 + the signal that ended it, or -1 when its end is unknown.
    int ExitCode() const { return exitCode_; }
    // Why the last Start failed.
    const std::string& StartFailure() const { return startFailure_; }
    pid_t Pid() const { return pid_; }
    // Readable when the child has ended; -1 where the system has no such descriptor.
    int Descriptor() const { return pidfd_; }

    // Waits in steps of at most 500 ms, processing the user interface's events in between;
    // with `stoppable` a requested stop of the run terminates the child.
    int WaitProcessingEvents(bool stoppable) {
        while (!Ended()) {
            if (stoppable && RunStopRequested()) {
                TerminateChildren({this});
                break;
            }
            WaitAtMost(pidfd_, WaitStepMilliseconds);
            UiHooks().ProcessPendingEvents();
        }
        return exitCode_;
    }

    // SIGTERM to the children's process groups (their own process when they have none);
    // what still runs after the grace period gets SIGKILL. Returns when every child has
    // ended and, as far as can be seen, every process of its group.
    static void TerminateChildren(const std::vector<TChildProcess*>& children) {
        for (TChildProcess* child : children)
            child->Signal(SIGTERM);
        WaitWhileAlive(children);
        for (TChildProcess* child : children)
            if (child->Alive())
                child->Signal(SIGKILL);
        // After SIGKILL only a process in an uninterruptible wait can take a moment.
        WaitWhileAlive(children);
    }

private:
    static constexpr int UnknownEnd = -1;
    static constexpr auto StopGrace = std::chrono::seconds(2);
    static constexpr int StopPollMilliseconds = 20;

    // For at most the grace period.
    static void WaitWhileAlive(const std::vector<TChildProcess*>& children) {
        const auto end = std::chrono::steady_clock::now() + StopGrace;
        while (std::chrono::steady_clock::now() < end &&
               std::any_of(children.begin(), children.end(),
                           [](TChildProcess* child) { return child->Alive(); }))
            WaitAtMost(-1, StopPollMilliseconds);
    }

    void Signal(int signal) {
        if (ownGroup_)
            ::kill(-pid_, signal);
        else if (!ended_)
            ::kill(pid_, signal);
    }

    // The child, or with a group of its own any process of that group, still runs.
    bool Alive() {
        if (!Ended())
            return true;
        return ownGroup_ && GroupHasLiveProcess(pid_);
    }

    static int ExitCodeOf(int status) {
        if (WIFEXITED(status))
            return WEXITSTATUS(status);
        if (WIFSIGNALED(status))
            return 128 + WTERMSIG(status);
        return INT_MAX;
    }

    // Kept from before the start until the child has ended.
    TChildStatusKept statusKept_;
    pid_t pid_ = -1;
    int pidfd_ = -1;
    bool ownGroup_ = false;
    bool ended_ = false;
    int exitCode_ = UnknownEnd;
    std::string startFailure_;
};

namespace {

std::string Opener() {
    const char* configured = std::getenv("PARVELA_OPENER");
    return configured && *configured ? configured : "xdg-open";
}

// Runs the desktop's opener on the target and returns its exit code (-1: not started).
int RunOpener(const std::string& target, const std::vector<std::string>& extraArguments,
              const std::string& directory) {
    std::vector<std::string> arguments{target};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    TChildProcess opener;
    if (!opener.Start(Opener(), arguments, directory, {}, false))
        return -1;
    return opener.WaitProcessingEvents(false);
}

// The parameters split into arguments as a command line of the original platform is: blanks
// and tabs separate; double quotes group (a quote inside quotes written twice is one quote);
// 2n backslashes before a quote are n backslashes, 2n+1 are n and a literal quote; other
// backslashes are themselves.
std::vector<std::string> CommandLineArguments(const std::string& parameters) {
    std::vector<std::string> arguments;
    std::string argument;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const char c = parameters[i];
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument)
                arguments.push_back(std::move(argument));
            argument.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            const std::size_t end = parameters.find_first_not_of('\\', i);
            const std::size_t count = (end == std::string::npos ? parameters.size() : end) - i;
            const bool beforeQuote = end != std::string::npos && parameters[end] == '"';
            argument.append(beforeQuote ? count / 2 : count, '\\');
            if (beforeQuote && count % 2 == 1) {
                argument += '"';
                i = end;
            } else {
                i += count - 1;
            }
        } else if (c != '"') {
            argument += c;
        } else if (quoted && i + 1 < parameters.size() && parameters[i + 1] == '"') {
            argument += '"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(argument));
    return arguments;
}

void DeleteEntry(const fs::directory_entry& entry);

void DeleteChildren(const fs::path& directory) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        DeleteEntry(*it);
}

void DeleteEntry(const fs::directory_entry& entry) {
    std::error_code error;
    // A link is an entry of its own: it is removed, never what it points to.
    if (entry.is_symlink(error) || !entry.is_directory(error)) {
        fs::remove(entry.path(), error);
        return;
    }
    DeleteChildren(entry.path());
    fs::remove(entry.path(), error);
}

} // namespace

int ExecuteAndWait(const std::string& scriptPath, const std::string& workingDirectory,
                   TWindowShowMode /*showMode*/) {
    TModelProcess process;
    if (!process.Start(scriptPath, workingDirectory))
        return -1;
    return process.Wait();
}

TModelProcess::TModelProcess() = default;

TModelProcess::~TModelProcess() {
    if (child_ && !child_->Ended())
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

bool TModelProcess::Ended() {
    return !child_ || child_->Ended();
}

int TModelProcess::ExitCode() const {
    return child_ ? child_->ExitCode() : -1;
}

int TModelProcess::Wait() {
    return child_ ? child_->WaitProcessingEvents(true) : -1;
}

bool TModelProcess::WaitFor(std::chrono::milliseconds limit) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!Ended()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            giveUp - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        WaitAtMost(child_->Descriptor(),
                   static_cast<int>(std::min<long long>(left.count(), WaitStepMilliseconds)));
    }
    return true;
}

void TModelProcess::Terminate() {
    TerminateModelProcesses({this});
}

void WaitForModelProcesses(const std::vector<TModelProcess*>& processes) {
    const bool anyEnded = std::any_of(processes.begin(), processes.end(),
                                      [](TModelProcess* process) { return process->Ended(); });
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
            WaitAtMost(-1, WaitStepMilliseconds);
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

void RequestRunStop() {
    runStopRequested.store(true);
}

bool RunStopRequested() {
    return runStopRequested.load();
}

void ResetRunStop() {
    runStopRequested.store(false);
}

bool StartProgram(const std::string& fileName, const std::string& parameters,
                  const std::string& directory) {
    std::string workingDirectory =
        directory.empty() ? fs::path(fileName).parent_path().string() : directory;
    if (workingDirectory.size() > 1 && workingDirectory.back() == '/')
        workingDirectory.pop_back();
    return RunOpener(fileName, CommandLineArguments(parameters), workingDirectory) == 0;
}

void OpenDocument(const std::string& target) {
    int result = RunOpener(target, {}, {});
    if (result != 0)
        ShowError(Format("Error executing %s (errorcode %d)", target, result));
}

std::string GetTempDirectory() {
    return TemporaryDirectory();
}

std::string ReadRegistryString(TRegistryRoot root, const std::string& key,
                               const std::string& name) {
    TRegistry registry(root);
    if (!registry.ValueExists(key, name))
        return {};
    return registry.ReadString(key, name);
}

std::int32_t ReadRegistryInteger(TRegistryRoot root, const std::string& key,
                                 const std::string& name) {
    try {
        return TRegistry(root).ReadInteger(key, name);
    } catch (const Exception&) {
        throw Exception(Format("Registry key nog found %s\\%s", key, name));
    }
}

void WriteRegistryInteger(TRegistryRoot root, const std::string& key, const std::string& name,
                          std::int32_t value) {
    try {
        TRegistry(root).WriteInteger(key, name, value);
    } catch (const Exception&) {
        // A store the system refuses loses the value without a message.
    }
}

std::string MonthAbbreviation(int month) {
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return {};
    return months[static_cast<std::size_t>(month - 1)];
}

std::string FormatDayMonth(TDateTime date) {
    TDateParts parts = DecodeDateTime(date);
    return Format("%.2d-%s", parts.Day, MonthAbbreviation(parts.Month));
}

std::string FormatDayMonthPrefix(TDateTime date) {
    TDateParts parts = DecodeDateTime(date);
    return Format("%.2d-%s-", parts.Day, MonthAbbreviation(parts.Month));
}

void ShowWarning(const std::string& text) {
    Dialogs().Show(TDialogIcon::Warning, text);
}
void ShowError(const std::string& text) {
    Dialogs().Show(TDialogIcon::Error, text);
}
void ShowInformation(const std::string& text) {
    Dialogs().Show(TDialogIcon::Information, text);
}

bool AskYesNo(const std::string& text) {
    return Dialogs().Ask(text, TDialogButtons::YesNo) == TDialogAnswer::Yes;
}

bool AskOkCancel(const std::string& text) {
    return Dialogs().Ask(text, TDialogButtons::OkCancel) == TDialogAnswer::Ok;
}

bool DeleteDirectoryTree(const std::string& directory) {
    std::error_code error;
    fs::file_status status = fs::symlink_status(directory, error);
    if (error || !fs::exists(status))
        return false;
    if (fs::is_symlink(status)) {
        // The tree's own root as a link: remove the link, keep what it points to.
        if (!fs::is_directory(directory, error))
            return false;
        fs::remove(directory, error);
        return true;
    }
    if (!fs::is_directory(status))
        return false;
    DeleteChildren(directory);
    fs::remove(directory, error);
    return true;
}

bool ContainsFileNameSpecialChar(const std::string& text) {
    return text.find_first_of(" /\\()><*:\"|,.+=?") != std::string::npos;
}

} // namespace parvela
