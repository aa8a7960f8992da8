#include "platform/VersionBlock.h"

namespace parvela {

namespace {

// Filled in by the build from the project's version.
constexpr TFileVersion BuiltInVersion{PARVELA_FILE_VERSION_MAJOR, PARVELA_FILE_VERSION_MINOR,
                                      PARVELA_FILE_VERSION_RELEASE, PARVELA_FILE_VERSION_BUILD};

std::optional<TFileVersion>& CurrentBlock() {
    static std::optional<TFileVersion> block = BuiltInVersion;
    return block;
}

} // namespace

std::size_t FileVersionInfoSize() {
    return CurrentBlock() ? sizeof(TFileVersion) : 0;
}

std::optional<TFileVersion> FileVersion() {
    return CurrentBlock();
}

TVersionBlockOverride::TVersionBlockOverride(std::optional<TFileVersion> version)
    : previous_(CurrentBlock()) {
    CurrentBlock() = version;
}

TVersionBlockOverride::~TVersionBlockOverride() {
    CurrentBlock() = previous_;
}

} // namespace parvela
