#pragma once
// The list of applications, with the defaults of the scheme and the type of new items.

#include "UnitsFromGenerator/ListDefault.h"
#include "UnitsFromGenerator/TdciApplications.h"

namespace parvela {

class TdcApplications : public TDACDatabaseClass {
public:
    PARVELA_LIST_PATTERN(Applications)

    std::int32_t DefaultApplicationSchemeID() const { return defaultApplicationSchemeID_.Get(); }
    void SetDefaultApplicationSchemeID(std::int32_t value) {
        defaultApplicationSchemeID_.Set(value);
    }
    // Never set: new applications get type 1.
    std::int32_t DefaultApplicationTypeID() const { return defaultApplicationTypeID_.Get(); }

    std::int32_t ApplicationSchemeIDForNewItem() const {
        return defaultApplicationSchemeID_.ValueOr(MissingInteger);
    }
    std::int32_t ApplicationTypeIDForNewItem() const {
        return defaultApplicationTypeID_.ValueOr(1);
    }

    // Moves an item of this list, with its unsaved state, to the end of `target`.
    void MoveItemTo(int index, TdcApplications& target) { TransferItem(index, target); }

private:
    TListDefault defaultApplicationSchemeID_;
    TListDefault defaultApplicationTypeID_;
};

} // namespace parvela
