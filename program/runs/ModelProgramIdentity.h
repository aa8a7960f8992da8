#pragma once
// What a model program is, for the run record: its path, its SHA-256 and the first line it
// prints when asked with --version (our stand-ins say there that they are stand-ins).

#include "program/runs/RunRecord.h"

#include <string>

namespace parvela {

// The version is asked below the model guard, in an empty directory of its own that goes
// afterwards (a program that takes the argument for an input file may write there), and
// waited for a few seconds at most: it is empty when the program says nothing in time. Each
// program file is looked at once as long as it stays the same file (path, device, inode, size
// and time of its last change).
TProgramIdentity ModelProgramIdentity(const std::string& path);

} // namespace parvela
