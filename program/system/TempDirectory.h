#pragma once
// The temporary directory that every user shares.

#include <string>

namespace parvela {

// $TMPDIR, else $TMP, else $TEMP, else /tmp; ending in "/". Shared by every user: what the
// program writes for itself goes to PrivateTemporaryDirectory (platform/UserDirectories.h).
std::string GetTempDirectory();

} // namespace parvela
