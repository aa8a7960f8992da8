#pragma once
// The start and stop order of the program's services. The main window starts them at the
// very beginning of its creation and stops them as its last action.

#include <string>
#include <vector>

namespace parvela {

struct TServiceStartOptions {
    // The settings file; empty means the executable's own, beside it or per user, made by a
    // first start when there is none (FirstStart.h).
    std::string SettingsFileName;
};

// Sets the number separators and creates the singletons in their order. A failing step
// passes its failure on; the steps after it do not run.
void StartServices(const TServiceStartOptions& options = {});

// Destroys the singletons in the stop order; returns the class names of those that existed,
// in the order they were destroyed.
std::vector<std::string> StopServices();

} // namespace parvela
