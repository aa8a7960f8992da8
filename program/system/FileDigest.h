#pragma once
// SHA-256 checksums: of files, for the report's list of a run's input files, and of texts,
// for the short names of long captions.

#include <string>

namespace parvela {

// The SHA-256 of the file's bytes as 64 lower-case hexadecimal digits. Raises EOSError when
// the file cannot be read.
std::string FileSha256(const std::string& path);

// The SHA-256 of the text's bytes as 64 lower-case hexadecimal digits.
std::string TextSha256(const std::string& text);

} // namespace parvela
