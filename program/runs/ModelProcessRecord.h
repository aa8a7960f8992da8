#pragma once
// The note of the model process group that works in a run directory, kept in the directory
// while the process runs, so that a later run of the assessment can end what a program that
// died left working there (the guard below every model ends its group with the program, but
// the guard can be killed too).

#include <string>

namespace parvela {

// Notes the group in the directory (with the machine and its boot, for which the number
// means something).
void NoteModelProcess(const std::string& runDirectory, int processGroup);
void ForgetModelProcess(const std::string& runDirectory);
// Ends the noted group when it runs on this machine and one of its processes still works in
// the directory: SIGTERM, SIGKILL after two seconds. Processes of another machine cannot be
// reached; a number that another group took since is left alone.
void EndLeftoverModelProcess(const std::string& runDirectory);

} // namespace parvela
