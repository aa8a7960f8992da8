#include "framework/TDACDatabaseClass.h"

#include "framework/Format.h"
#include "framework/TDACFilter.h"
#include "platform/Exceptions.h"

#include <algorithm>

namespace parvela {

TDACDatabaseClass::TDACDatabaseClass(TDACDatabase& database) : database_(database) {}

TDACDatabaseClass::~TDACDatabaseClass() {
    recordSet_.reset();
    items_.reset();
}

void TDACDatabaseClass::AssertOpen(const char* operation) const {
    // Every step of a walk checks: the message is made only when it fails.
    if (!IsOpen())
        Assert(false, Format("%s.%s : Objectlist not assigned", GetClassName(), operation));
}

void TDACDatabaseClass::SetRecordSet(std::unique_ptr<TDACRecordSet> recordSet) {
    recordSet_ = std::move(recordSet);
}

void TDACDatabaseClass::_CanInsert() const {
    AssertOpen("_CanInsert");
    if (locked_)
        throw EDACStateValueError("The list of items is locked for inserts");
}

void TDACDatabaseClass::Open() {
    Close();
    // The list opens only with its rows: a failed SELECT leaves it closed, so that it never
    // looks like an empty table that takes new items.
    items_ = LoadItems();
    First();
}

std::vector<std::unique_ptr<TDACDatabaseClassItem>> TDACDatabaseClass::LoadItems() {
    std::vector<std::unique_ptr<TDACDatabaseClassItem>> items;
    if (!recordSet_)
        return items;
    recordSet_->Open();
    try {
        while (!recordSet_->Eof()) {
            items.push_back(CreateItemFromRow(*recordSet_));
            recordSet_->Next();
        }
    } catch (...) {
        recordSet_->Close();
        throw;
    }
    recordSet_->Close();
    return items;
}

void TDACDatabaseClass::Close() {
    if (items_) {
        for (const auto& item : *items_)
            if (item->ItemState() == isEdited || item->ItemState() == isInserted)
                throw Exception(Format("%s.%s : Record with ID=%s cannot be closed", GetClassName(),
                                       "Close", item->ItemID()));
        items_.reset();
    }
    currentIndex_ = NoCurrentIndex;
}

void TDACDatabaseClass::First() {
    AssertOpen("First");
    currentIndex_ = items_->empty() ? NoCurrentIndex : 0;
}

void TDACDatabaseClass::Next() {
    AssertOpen("Next");
    if (!Eof())
        ++currentIndex_;
}

bool TDACDatabaseClass::Eof() const {
    AssertOpen("Eof");
    return items_->empty() || currentIndex_ > LastIndex();
}

void TDACDatabaseClass::SetFilter(const std::string& format, const TVarRecArray& arguments) {
    Assert(recordSet_ != nullptr,
           Format("%s.%s : DACRecordSet not assigned", GetClassName(), "SetFilter"));
    recordSet_->FilterAdd(format, arguments);
}

int TDACDatabaseClass::Count() const {
    return items_ ? static_cast<int>(items_->size()) : ClosedCount;
}

int TDACDatabaseClass::GetObjectListIndex() const {
    AssertOpen("GetObjectListIndex");
    if (currentIndex_ < NoCurrentIndex || currentIndex_ > LastIndex())
        throw Exception(Format("%s.%s : Internal error in FObjectListIndex", GetClassName(),
                               "GetObjectListIndex"));
    return currentIndex_;
}

void TDACDatabaseClass::SetObjectListIndex(int index) {
    AssertOpen("SetObjectListIndex");
    Assert(!items_->empty(),
           Format("%s.%s : No items to set index on", GetClassName(), "SetObjectListIndex"));
    Assert(index >= 0 && index <= LastIndex(),
           Format("%s.%s : Internal error", GetClassName(), "SetObjectListIndex"));
    currentIndex_ = index;
}

bool TDACDatabaseClass::CanInsert() const {
    try {
        _CanInsert();
        return true;
    } catch (const EDACStateValueError&) {
        return false;
    }
}

TDACDatabaseClassItem& TDACDatabaseClass::Item() const {
    // Past the end after walking is "at eof" here, not an internal error.
    AssertOpen("GetObjectListIndex");
    const int index = currentIndex_;
    if (index < 0 || index > LastIndex())
        throw Exception(Format("%s.%s : Cannot return item when empty or at bof or at eof",
                               GetClassName(), "Item"));
    return *(*items_)[static_cast<std::size_t>(index)];
}

bool TDACDatabaseClass::LocateByItemID(const std::string& itemID, bool mustExist) {
    AssertOpen("LocateByItemID");
    Assert(!items_->empty(),
           Format("%s.%s : No items to locate", GetClassName(), "LocateByItemID"));
    Assert(!TrimText(itemID).empty(), "Empty ItemID string");
    for (std::size_t i = 0; i < items_->size(); ++i) {
        if ((*items_)[i]->ItemID() == itemID) {
            currentIndex_ = static_cast<int>(i);
            return true;
        }
    }
    if (mustExist)
        throw EDACStateValueError(Format("%s.%s : Could not locate ItemID=\"%s\"", GetClassName(),
                                         "LocateByItemID", itemID));
    return false;
}

int TDACDatabaseClass::Insert() {
    _CanInsert();
    items_->push_back(CreateNewItem());
    SetObjectListIndex(LastIndex());
    return GetObjectListIndex();
}

void TDACDatabaseClass::Delete() {
    AssertOpen("Delete");
    Assert(!items_->empty(), Format("%s.%s : No items to delete", GetClassName(), "Delete"));
    const int index = GetObjectListIndex();
    Item().Delete();
    items_->erase(items_->begin() + index);
    if (index > LastIndex())
        currentIndex_ = LastIndex();
}

void TDACDatabaseClass::SortItems(const TItemLess& less) {
    AssertOpen("Sort");
    std::sort(items_->begin(), items_->end(),
              [&](const auto& a, const auto& b) { return less(*a, *b); });
}

void TDACDatabaseClass::TransferItem(int index, TDACDatabaseClass& target) {
    AssertOpen("TransferItem");
    target.AssertOpen("TransferItem");
    Assert(index >= 0 && index <= LastIndex(),
           Format("%s.%s : Internal error", GetClassName(), "TransferItem"));
    std::unique_ptr<TDACDatabaseClassItem> item = std::move((*items_)[index]);
    items_->erase(items_->begin() + index);
    item->owner_ = &target;
    target.items_->push_back(std::move(item));
    if (currentIndex_ > LastIndex())
        currentIndex_ = LastIndex();
}

void TDACDatabaseClass::SortItemsOnItemID(bool ascending) {
    SortItems([ascending](const TDACDatabaseClassItem& a, const TDACDatabaseClassItem& b) {
        const int order = CompareForSort(a.ItemID(), b.ItemID());
        return ascending ? order < 0 : order > 0;
    });
}

} // namespace parvela
