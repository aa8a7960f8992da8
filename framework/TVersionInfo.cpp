#include "framework/TVersionInfo.h"

#include "platform/VersionBlock.h"

#include <algorithm>
#include <array>

namespace parvela {

TVersionInfo::TVersionInfo() {
    Assert(FileVersionInfoSize() != 0, "No version information found");
    auto block = FileVersion();
    Assert(block.has_value(), "No version information found");
    major_ = std::to_string(block->Major);
    minor_ = std::to_string(block->Minor);
    release_ = std::to_string(block->Release);
    build_ = std::to_string(block->Build);
}

std::string TVersionInfo::VersionText(int maxPart) const {
    CheckSingletonExists();
    const std::array<const std::string*, 4> parts{&major_, &minor_, &release_, &build_};
    int last = -1;
    for (int i = 0; i < 4; ++i)
        if (!parts[i]->empty() && *parts[i] != "0")
            last = i;
    last = std::min(last, maxPart);
    std::string text;
    for (int i = 0; i <= last; ++i)
        text += (i > 0 ? "." : "") + *parts[i];
    return text;
}

} // namespace parvela
