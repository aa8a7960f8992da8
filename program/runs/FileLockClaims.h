#pragma once
// Run claims on SQLite: a lock on a file per assessment in a directory beside the database,
// which the kernel releases when the holder's descriptor closes, also when the holder dies.
// Used from one thread.

#include "program/runs/RunClaims.h"

#include <memory>
#include <string>

namespace parvela {

// `directory` ends in "/"; it is made on the first claim.
std::unique_ptr<TRunClaims> CreateFileLockClaims(const std::string& directory);

} // namespace parvela
