#pragma once
// A child process started with posix_spawn; no shell parses any of its arguments.
// Rule: children are started, waited for and terminated on one thread only.

#include "program/system/ChildStatusKept.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace parvela {

// The longest wait for a child before the user interface processes its events again.
inline constexpr int WaitStepMilliseconds = 500;

// Waits until the process descriptor is readable (the process ended) or the time is up; without
// a descriptor (-1) sleeps a short step instead.
void WaitForProcessDescriptor(int pidfd, int milliseconds);

class TChildProcess {
public:
    TChildProcess() = default;
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Starts `program` with `arguments` in `directory`; stdout and stderr go to `logFile`
    // when it is not empty. With `ownGroup` the child leads a new process group, so that
    // everything it starts can be stopped with it.
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& directory, const std::string& logFile, bool ownGroup);

    // True once the child has ended, without blocking; an ended child is reaped here and its
    // exit code kept. A wait that fails for another reason than an interruption leaves the end
    // of the child unknown: that is a failed run, never a success.
    bool ReapIfEnded();

    // The child's exit code, 128 + the signal that ended it, or -1 when its end is unknown.
    int ExitCode() const { return exitCode_; }
    // Why the last Start failed.
    const std::string& StartFailure() const { return startFailure_; }
    pid_t Pid() const { return pid_; }
    // Readable when the child has ended; -1 where the system has no such descriptor.
    int Descriptor() const { return pidfd_; }

    // Waits in steps of at most 500 ms, processing the user interface's events in between;
    // with `stoppable` a requested stop of the run terminates the child.
    int WaitProcessingEvents(bool stoppable);

    // SIGTERM to the children's process groups (their own process when they have none);
    // what still runs after the grace period gets SIGKILL. Returns when every child has
    // ended and, as far as can be seen, every process of its group.
    static void TerminateChildren(const std::vector<TChildProcess*>& children);

private:
    static constexpr int UnknownEnd = -1;

    // For at most the grace period.
    static void WaitWhileAlive(const std::vector<TChildProcess*>& children);
    void Signal(int signal);
    // The child, or with a group of its own any process of that group, still runs.
    bool Alive();
    static int ExitCodeOf(int status);

    // Kept from before the start until the child has ended.
    TChildStatusKept statusKept_;
    pid_t pid_ = -1;
    int pidfd_ = -1;
    bool ownGroup_ = false;
    bool ended_ = false;
    int exitCode_ = UnknownEnd;
    std::string startFailure_;
};

} // namespace parvela
