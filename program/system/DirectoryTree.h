#pragma once
// Deleting a directory with everything in it, links left pointing where they pointed.

#include <string>

namespace parvela {

// Deletes the directory with everything in it. Symbolic links are removed, never followed:
// what they point to stays. Entries that cannot be deleted stay without a message. False when
// the directory does not exist.
bool DeleteDirectoryTree(const std::string& directory);

} // namespace parvela
