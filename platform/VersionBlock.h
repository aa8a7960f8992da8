#pragma once
// The executable's file version: four 16-bit numbers, most significant first, fixed once in
// the build from the project's version.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parvela {

struct TFileVersion {
    std::uint16_t Major = 0;
    std::uint16_t Minor = 0;
    std::uint16_t Release = 0;
    std::uint16_t Build = 0;
    bool operator==(const TFileVersion&) const = default;
};

// The size in bytes of the executable's version block; 0 when it has none.
std::size_t FileVersionInfoSize();

// The file version of the version block; nothing when there is no block.
std::optional<TFileVersion> FileVersion();

// For tests: while it lives, the executable seems to carry `version` as its block, or no
// block at all when `version` is empty. Restores the previous block when it ends.
class TVersionBlockOverride {
public:
    explicit TVersionBlockOverride(std::optional<TFileVersion> version);
    ~TVersionBlockOverride();
    TVersionBlockOverride(const TVersionBlockOverride&) = delete;
    TVersionBlockOverride& operator=(const TVersionBlockOverride&) = delete;

private:
    std::optional<TFileVersion> previous_;
};

} // namespace parvela
