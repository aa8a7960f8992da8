#pragma once
// Small stateless functions through which the rest of the program reaches the operating
// system: child processes, the desktop's opener, the temporary directory, the registry, the
// day-month notation of the model input files, directory deletion, file-name characters and
// one-line message boxes.

#include "framework/DateTime.h"
#include "platform/Registry.h"

#include <chrono>
#include <cstdint>
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
    // True once the process has ended (also when it never started), without blocking.
    bool Ended();
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

// The live processes of the group (ended ones that no parent reaped yet do not count), read
// from /proc; with `workingBelow`, only those whose working directory is that directory or
// lies below it.
std::vector<int> ProcessesOfGroup(int group, const std::string& workingBelow = {});

// Returns as soon as one of the processes has ended, else after at most 500 ms; then lets the
// user interface process its pending events.
void WaitForModelProcesses(const std::vector<TModelProcess*>& processes);
// Terminate of every process at once: one grace period for all of them.
void TerminateModelProcesses(const std::vector<TModelProcess*>& processes);

// The stop of a model run, asked for by the window's Stop or by a signal (async-signal-safe):
// the waits for model processes then terminate them. It stays requested until reset.
void RequestRunStop();
bool RunStopRequested();
void ResetRunStop();

// Asks the desktop to open the file with its default program (xdg-open, or the program named
// by PARVELA_OPENER), in `directory` (the file's own directory when empty; a trailing "/" is
// removed). The parameters follow the file as separate arguments, split as a command line
// ("a \"b c\"" gives a and b c); no shell sees them. True when the opener accepted the request.
bool StartProgram(const std::string& fileName, const std::string& parameters,
                  const std::string& directory);

// Opens a file or web address with the desktop's opener; a failure is shown as
// "Error executing %s (errorcode %d)".
void OpenDocument(const std::string& target);

// $TMPDIR, else $TMP, else $TEMP, else /tmp; ending in "/". Shared by every user: what the
// program writes for itself goes to PrivateTemporaryDirectory (platform/UserDirectories.h).
std::string GetTempDirectory();

// Empty when the key or the value is missing. A store that cannot be read (or holds a line
// that cannot be read) and a value that is no string raise ERegistryError or EOSError: a
// value never silently reads as empty.
std::string ReadRegistryString(TRegistryRoot root, const std::string& key, const std::string& name);
// Raises "Registry key nog found %s\%s" when the key or the value is missing or no integer.
std::int32_t ReadRegistryInteger(TRegistryRoot root, const std::string& key,
                                 const std::string& name);
// Creates the key when missing; a store that cannot be written loses the value silently.
void WriteRegistryInteger(TRegistryRoot root, const std::string& key, const std::string& name,
                          std::int32_t value);

// "05-Mar"; the English month table, whatever the user's language.
std::string FormatDayMonth(TDateTime date);
// "05-Mar-", for a year to follow.
std::string FormatDayMonthPrefix(TDateTime date);
// "Jan" to "Dec" for 1 to 12; empty for any other number.
std::string MonthAbbreviation(int month);

void ShowWarning(const std::string& text);
void ShowError(const std::string& text);
void ShowInformation(const std::string& text);
bool AskYesNo(const std::string& text);
bool AskOkCancel(const std::string& text);

// Deletes the directory with everything in it. Symbolic links are removed, never followed:
// what they point to stays. Entries that cannot be deleted stay without a message. False when
// the directory does not exist.
bool DeleteDirectoryTree(const std::string& directory);

// True when the text holds a blank or one of / \ ( ) > < * : " | , . + = ?
bool ContainsFileNameSpecialChar(const std::string& text);

} // namespace parvela
