#pragma once
// Model programs that do not end by themselves, for the tests of a run's stop: the body of a
// stand-in model script that notes its process group in a file named after the assessment and
// then waits, ignoring SIGTERM as a model busy with its own clean-up might; and the test of
// whether any process of such a group still runs.

#include <string>

namespace parvela::test {

// The text of a stand-in model program made of a shell script body: it answers --version, as
// the program asks each model program before its first run, and runs the body otherwise.
std::string ModelScript(const std::string& body);

// Writes "<directory>/group-<assessment key>" with the process group of the model and sleeps
// for a minute with SIGTERM ignored (so only SIGKILL ends it).
std::string SlowModelBody(const std::string& directory);

// The process group noted by SlowModelBody for the assessment; 0 while there is none.
int NotedProcessGroup(const std::string& directory, int assessmentID);

} // namespace parvela::test
