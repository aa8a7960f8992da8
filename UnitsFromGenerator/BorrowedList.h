#pragma once
// Helpers of the copies that pass through a detail list of their source.

#include "framework/TDACDatabaseClass.h"

#include <string>

namespace parvela {

// Lifts the lock of a list and opens it when it was closed, for the duration of a copy;
// both are put back whatever happens, and so is the current item of a list that was open.
class TBorrowedList {
public:
    explicit TBorrowedList(TDACDatabaseClass& list);
    ~TBorrowedList();
    TBorrowedList(const TBorrowedList&) = delete;
    TBorrowedList& operator=(const TBorrowedList&) = delete;

private:
    TDACDatabaseClass& list_;
    bool wasLocked_;
    bool wasOpen_;
    std::string currentItemID_;
};

// Removes the item with that ItemID from the list when it is still unsaved (no statement).
void DropUnsavedItem(TDACDatabaseClass& list, const std::string& itemID);

// Closes the list on a failure path, where the first failure is the one to report.
void CloseQuietly(TDACDatabaseClass& list);

} // namespace parvela
