#include "program/system/TempDirectory.h"

#include "platform/UserDirectories.h"

namespace parvela {

std::string GetTempDirectory() {
    return TemporaryDirectory();
}

} // namespace parvela
