#include "UnitsFromGenerator/BorrowedList.h"

#include <exception>

namespace parvela {

TBorrowedList::TBorrowedList(TDACDatabaseClass& list)
    : list_(list), wasLocked_(list.Locked()), wasOpen_(list.IsOpen()) {
    if (wasOpen_ && !list_.Eof())
        currentItemID_ = list_.Item().ItemID();
    list_.SetLocked(false);
    try {
        if (!wasOpen_)
            list_.Open();
    } catch (...) {
        list_.SetLocked(wasLocked_);
        throw;
    }
}

TBorrowedList::~TBorrowedList() {
    list_.SetLocked(wasLocked_);
    if (!wasOpen_) {
        CloseQuietly(list_);
        return;
    }
    if (!currentItemID_.empty() && list_.IsOpen() && list_.HasItems())
        list_.LocateByItemID(currentItemID_, false);
}

void DropUnsavedItem(TDACDatabaseClass& list, const std::string& itemID) {
    if (!list.IsOpen() || !list.HasItems() || !list.LocateByItemID(itemID, false))
        return;
    if (list.Item().ItemState() == isInserted)
        list.Delete();
}

void CloseQuietly(TDACDatabaseClass& list) {
    try {
        if (list.IsOpen())
            list.Close();
    } catch (const std::exception&) {
        // the list keeps its items; it discards them when it is destroyed
    }
}

} // namespace parvela
