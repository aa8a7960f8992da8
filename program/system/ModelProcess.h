#pragma once
// Model runs' child processes: run scripts started below the model guard, waited for with the
// user interface kept alive, and terminated with everything they started.
// Rule: started, waited for and terminated on the program's one thread.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace parvela {

enum class TWindowShowMode { Hidden = 0, Minimized = 1, Normal = 2 };

// Runs a batch script as "/bin/sh <script>" in `workingDirectory` (the current directory when
// empty) and waits for it, letting the user interface process its pending events at least
// every 500 ms. The child's output goes to the script's path with ".log" in place of its
// extension. The child starts with the default action for every signal and none blocked, in a
// process group of its own; a stop of the run (RequestRunStop) terminates that group.
// Returns the child's exit code (128 + the signal for a child ended by a signal), or -1 when
// the script does not exist, the process cannot be started or its end cannot be observed.
// The show mode is accepted for the callers' sake; a console window is not a thing here.
int ExecuteAndWait(const std::string& scriptPath, const std::string& workingDirectory,
                   TWindowShowMode showMode);

class TChildProcess;

// A run script started as ExecuteAndWait starts it, without waiting for it, so that several
// can run at once while the program's own work stays on its one thread.
class TModelProcess {
public:
    TModelProcess();
    // A process that still runs is terminated: none is ever left behind unseen.
    ~TModelProcess();
    TModelProcess(const TModelProcess&) = delete;
    TModelProcess& operator=(const TModelProcess&) = delete;

    // False when the script does not exist or the process cannot be started (or was started
    // already); StartFailure tells why. The script runs below the model guard
    // (parvela-model-guard beside the executable), which leads the process group and ends it
    // when this program ends, also when it is killed.
    bool Start(const std::string& scriptPath, const std::string& workingDirectory);
    // Starts a program itself, with its arguments, below the guard as Start starts a script;
    // its output goes to `logFile`.
    bool StartGuarded(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingDirectory, const std::string& logFile);
    const std::string& StartFailure() const { return startFailure_; }
    // The process group of the run; 0 before the start.
    int ProcessGroup() const;
    // True once the process has ended (also when it never started), without blocking; an
    // ended process is reaped here and its exit code kept.
    bool ReapIfEnded();
    // As ExecuteAndWait returns it; -1 before the end.
    int ExitCode() const;
    // Waits as ExecuteAndWait does and returns the exit code.
    int Wait();
    // Waits at most `limit` for the end without letting the user interface process its
    // events (a short wait within a step of a run); true when the process has ended.
    bool WaitFor(std::chrono::milliseconds limit);
    // SIGTERM to the process group; SIGKILL to what still runs after a grace period of two
    // seconds. Returns when the process and the rest of its group have ended.
    void Terminate();

private:
    friend void WaitForModelProcesses(const std::vector<TModelProcess*>& processes);
    friend void TerminateModelProcesses(const std::vector<TModelProcess*>& processes);
    std::unique_ptr<TChildProcess> child_;
    std::string startFailure_;
};

// The model guard's program.
std::string ModelGuardPath();

// Returns as soon as one of the processes has ended, else after at most 500 ms; then lets the
// user interface process its pending events.
void WaitForModelProcesses(const std::vector<TModelProcess*>& processes);
// Terminate of every process at once: one grace period for all of them.
void TerminateModelProcesses(const std::vector<TModelProcess*>& processes);

} // namespace parvela
