#pragma once
// The four numbers of the executable's file version, for the About window and the report.

#include "framework/Singleton.h"

#include <string>

namespace parvela {

class TVersionInfo : public TSingleton<TVersionInfo> {
public:
    static constexpr const char* ClassName = "TVersionInfo";

    // Reads the running executable's version block; none is an assertion failure
    // "No version information found".
    TVersionInfo();

    const std::string& Major() const { return major_; }
    const std::string& Minor() const { return minor_; }
    const std::string& Release() const { return release_; }
    const std::string& Build() const { return build_; }

    // The parts up to the last one that is neither "0" nor empty, at most up to index
    // maxPart, joined with ".": 2.0.4.1 gives "2" for 0, "2.0.4" for 2.
    std::string VersionText(int maxPart) const;

protected:
    ~TVersionInfo() override = default;

private:
    std::string major_, minor_, release_, build_;
};

} // namespace parvela
