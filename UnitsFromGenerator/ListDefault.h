#pragma once
// A default value that a list gives the new items it creates, set by the list's owner.

#include "platform/Exceptions.h"

#include <cstdint>

namespace parvela {

class TListDefault {
public:
    // Asking before it was set is an internal error.
    std::int32_t Get() const {
        Assert(set_, "Default value not set");
        return value_;
    }
    void Set(std::int32_t value) {
        value_ = value;
        set_ = true;
    }
    bool IsSet() const { return set_; }
    std::int32_t ValueOr(std::int32_t fallback) const { return set_ ? value_ : fallback; }

private:
    std::int32_t value_ = 0;
    bool set_ = false;
};

} // namespace parvela
