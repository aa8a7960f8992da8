#pragma once
// Checksums of files, for the report's list of a run's input files.

#include <string>

namespace parvela {

// The SHA-256 of the file's bytes as 64 lower-case hexadecimal digits. Raises EOSError when
// the file cannot be read.
std::string FileSha256(const std::string& path);

} // namespace parvela
