// parvela-model-guard PARENT PROGRAM [ARGUMENT...]
//
// Runs PROGRAM (a model's run script under /bin/sh) as its child and makes sure that nothing
// of the run outlives the program that started it: it leads the run's process group (the
// starter puts it into a group of its own), asks the kernel for SIGTERM when its parent
// ends, and then ends the whole group: SIGTERM, and SIGKILL two seconds later to what still
// runs. A SIGTERM, SIGINT, SIGHUP or SIGQUIT sent to it ends the group the same way. PARENT is
// the process number of the starter, to tell a parent that ended before the guard could ask.
//
// The exit code is the child's, or 128 + the signal that ended it; 127 when PROGRAM cannot be
// started, 2 for a wrong call.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int StopGraceSeconds = 2;
constexpr int UsageExit = 2;
constexpr int CannotStartExit = 127;

sigset_t WatchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGCHLD, SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        sigaddset(&signals, signal);
    return signals;
}

[[noreturn]] void RunChild(char** program) {
    // The child goes when the guard goes, whatever happens to the guard.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const sigset_t none = [] {
        sigset_t set;
        sigemptyset(&set);
        return set;
    }();
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execv(program[0], program);
    ::_exit(CannotStartExit);
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return CannotStartExit;
}

// SIGTERM to the whole group, then SIGKILL (which ends the guard too) to what still runs
// after the grace period. Returns the child's exit code when it ends before, unless the
// parent is gone: then nobody waits for the code, and nothing of the group may stay.
int EndGroup(pid_t child, const sigset_t& signals, bool parentGone) {
    ::kill(0, SIGTERM);
    const time_t giveUp = ::time(nullptr) + StopGraceSeconds;
    while (::time(nullptr) < giveUp) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            if (parentGone)
                break;
            return ExitCodeOf(status);
        }
        const timespec wait{0, 50 * 1000 * 1000};
        ::sigtimedwait(&signals, nullptr, &wait);
    }
    ::kill(0, SIGKILL);
    return 128 + SIGKILL;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return UsageExit;
    const pid_t parent = static_cast<pid_t>(std::atol(argv[1]));
    const sigset_t signals = WatchedSignals();
    ::sigprocmask(SIG_BLOCK, &signals, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    const bool orphaned = ::getppid() != parent;
    const pid_t child = ::fork();
    if (child < 0)
        return CannotStartExit;
    if (child == 0)
        RunChild(argv + 2);
    if (orphaned)
        return EndGroup(child, signals, true);
    for (;;) {
        siginfo_t info{};
        if (::sigwaitinfo(&signals, &info) < 0)
            continue;
        if (info.si_signo != SIGCHLD)
            return EndGroup(child, signals, ::getppid() != parent);
        int status = 0;
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child)
            return ExitCodeOf(status);
    }
}
