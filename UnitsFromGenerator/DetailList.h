#pragma once
// The detail lists of an item: created on the first request, filtered on the referencing
// column, given the item's key as default and locked when the item or its list is locked
// at that moment. They are not opened here; they live as long as the item.

#include "framework/TDACDatabaseClass.h"
#include "framework/TDACDatabaseClassItem.h"

#include <memory>
#include <string>

namespace parvela {

template <class List, class SetDefault, class IsLockedNow>
List& ProvideDetailList(std::unique_ptr<List>& list, const TDACDatabaseClassItem& parent,
                        const std::string& referencingColumn, SetDefault setDefault,
                        IsLockedNow isLockedNow) {
    parent.CheckItemStateForDetails();
    if (!list) {
        auto created = std::make_unique<List>(parent.OwnerList()->Database());
        created->SetFilter(referencingColumn + "=%s", {parent.ItemID()});
        setDefault(*created);
        if (isLockedNow())
            created->SetLocked(true);
        list = std::move(created);
    }
    return *list;
}

} // namespace parvela
