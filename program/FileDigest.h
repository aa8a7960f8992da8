#pragma once
// SHA-256 checksums of files and texts, as 64 lower-case hexadecimal digits.

#include <string>

namespace parvela {

// Raises EOSError when the file cannot be read.
std::string FileSha256(const std::string& path);
std::string TextSha256(const std::string& text);

} // namespace parvela
