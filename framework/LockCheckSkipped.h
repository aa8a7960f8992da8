#pragma once
// A scope in which the lock rules do not stop the setters of one item: a run stores its
// verdict also in a locked project, the substance check invalidates locked assessments.
// Rule: the item outlives the scope; scopes on one item may nest.

#include "framework/TDACDatabaseClassItem.h"

namespace parvela {

class TLockCheckSkipped {
public:
    explicit TLockCheckSkipped(TDACDatabaseClassItem& item) : item_(item) {
        ++item_.lockCheckSkippingScopes_;
    }
    // Also when a setter or a save in the scope throws: the item never stays unlocked.
    ~TLockCheckSkipped() { --item_.lockCheckSkippingScopes_; }
    TLockCheckSkipped(const TLockCheckSkipped&) = delete;
    TLockCheckSkipped& operator=(const TLockCheckSkipped&) = delete;

private:
    TDACDatabaseClassItem& item_;
};

} // namespace parvela
