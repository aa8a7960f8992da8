// The frame of a model program: one argument, the input file; results in the working
// directory; input faults go to ID.err (exit code 0, no ok flag), an unreadable input file or
// an internal failure give a non-zero exit code. The one argument --version makes it tell
// what it is.
#pragma once

#include "models/common/InputFile.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace parvela::models {

struct RunContext {
    std::string id;                  // the input file's base name
    std::filesystem::path directory; // the working directory: companion and result files
    std::filesystem::path File(const std::string& name) const { return directory / name; }
    // A companion file named after a keyword value. Values are read without surrounding
    // blanks, a scenario caption may have them: "<name><extension>" is also found when its
    // base name carries blanks around the name.
    std::filesystem::path Companion(const std::string& name, const std::string& extension) const;
};

struct ModelProgram {
    std::string name;   // "GLIDAR"
    std::string okFlag; // "glidar.ok"
    // Extensions of the result files ID.<ext> that a new run removes first, so that no result
    // of an earlier run outlives a failed one (ID.err and the ok flag always go).
    std::vector<std::string> resultExtensions;
    // Checks and runs; reports faults to the issues and writes no result file then.
    std::function<void(const InputFile&, const RunContext&, Issues&)> run;
    std::string version;   // StandInVersions.h
    std::string modelKind; // "paddy model"
};

enum ExitCode { ExitDone = 0, ExitUsage = 1, ExitUnreadableInput = 2, ExitFailure = 3 };

int RunModelProgram(const ModelProgram& program, int argc, char** argv);

} // namespace parvela::models
