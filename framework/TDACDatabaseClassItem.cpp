#include "framework/TDACDatabaseClassItem.h"

#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/TDACDatabaseClass.h"
#include "framework/TDACFilter.h"
#include "framework/TDACSaver.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>

namespace parvela {

namespace {

template <class T> int ThreeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

enum class TTransition { Set, Stay, Refuse };

// Rows: old state; columns: new state.
constexpr TTransition TransitionTable[5][5] = {
    // isUnknown            isBrowse            isEdited            isInserted          isDeleted
    {TTransition::Refuse, TTransition::Set, TTransition::Refuse, TTransition::Set,
     TTransition::Refuse},
    {TTransition::Refuse, TTransition::Refuse, TTransition::Set, TTransition::Refuse,
     TTransition::Set},
    {TTransition::Refuse, TTransition::Set, TTransition::Set, TTransition::Refuse,
     TTransition::Set},
    {TTransition::Refuse, TTransition::Set, TTransition::Stay, TTransition::Refuse,
     TTransition::Set},
    {TTransition::Refuse, TTransition::Refuse, TTransition::Refuse, TTransition::Refuse,
     TTransition::Refuse},
};

// Failures of state, locks and validation turned into a yes/no answer.
template <class Action> bool SucceedsUnlessRefused(Action&& action) {
    try {
        action();
        return true;
    } catch (const EDACStateValueError&) {
        return false;
    }
}

} // namespace

int CompareForSort(const std::string& a, const std::string& b) {
    return ThreeWay(AsciiUpperCase(a), AsciiUpperCase(b));
}
int CompareForSort(std::int32_t a, std::int32_t b) {
    return ThreeWay(a, b);
}
int CompareForSort(bool a, bool b) {
    return ThreeWay(a, b);
}
int CompareForSort(double a, double b) {
    return ThreeWay(a, b);
}
int CompareDaysForSort(TDateTime a, TDateTime b) {
    return ThreeWay(DayNumber(a), DayNumber(b));
}

void TDACColumnTraits<ftString>::HandOver(TDACSaver& s, const std::string& n, const Value& a,
                                          const Value& b) {
    s.AddStringField(n, a, b);
}
void TDACColumnTraits<ftInteger>::HandOver(TDACSaver& s, const std::string& n, Value a, Value b) {
    s.AddIntegerField(n, a, b);
}
void TDACColumnTraits<ftBoolean>::HandOver(TDACSaver& s, const std::string& n, Value a, Value b) {
    s.AddBooleanField(n, a, b);
}
void TDACColumnTraits<ftFloat>::HandOver(TDACSaver& s, const std::string& n, Value a, Value b) {
    s.AddFloatField(n, a, b);
}
void TDACColumnTraits<ftDateTime>::HandOver(TDACSaver& s, const std::string& n, Value a, Value b) {
    s.AddDateTimeField(n, a, b);
}

TDACColumnPairBase::TDACColumnPairBase(TDACDatabaseClassItem& item, std::string name, unsigned use)
    : name_(std::move(name)), use_(use) {
    item.RegisterColumn(*this);
}

TDACDatabaseClassItem::TDACDatabaseClassItem(TDACDatabaseClass* owner, std::string updateTable,
                                             std::string keyField, TFieldType keyType,
                                             bool keyAssigned)
    : owner_(owner), updateTable_(std::move(updateTable)), keyField_(std::move(keyField)),
      keyType_(keyType), keyAssigned_(keyAssigned), saver_(TDACSaver::GetSingleton()) {}

std::int32_t TDACDatabaseClassItem::NewKey() const {
    return saver_.Database().GetNewID(updateTable_);
}

void TDACDatabaseClassItem::CompleteConstruction(TDACItemState state, const std::string& itemID) {
    ChangeItemState(state);
    itemID_ = itemID;
    CopyValues(true);
}

[[noreturn]] void TDACDatabaseClassItem::Fail(const char* operation,
                                              const std::string& text) const {
    throw Exception(Format("%s.%s : %s", GetClassName(), operation, text));
}

void TDACDatabaseClassItem::ChangeItemState(TDACItemState newState) {
    const char* operation = "ChangeItemState";
    if (!IsKnownItemState(state_))
        Fail(operation, "Invalid old state");
    if (!IsKnownItemState(newState))
        Fail(operation, Format("Invalid new state (old state=%s)", ItemStateName(state_)));
    switch (TransitionTable[state_][newState]) {
    case TTransition::Set:
        state_ = newState;
        return;
    case TTransition::Stay:
        return;
    case TTransition::Refuse:
        // The text has no closing parenthesis.
        Fail(operation, Format("Invalid new state (old state=%s, new state=%s",
                               ItemStateName(state_), ItemStateName(newState)));
    }
}

void TDACDatabaseClassItem::CheckStateAllows(const char* operation, const char* failureText) const {
    if (state_ != isBrowse && state_ != isEdited && state_ != isInserted)
        Fail(operation, failureText);
}

void TDACDatabaseClassItem::CheckItemStateForCancelChanges() const {
    CheckStateAllows("CheckItemStateForCancelChanges", "Wrong state for cancelling object changes");
}
void TDACDatabaseClassItem::CheckItemStateForRead() const {
    CheckStateAllows("CheckItemStateForRead", "Wrong state for reading object properties");
}
void TDACDatabaseClassItem::CheckItemStateForUpdate() const {
    CheckStateAllows("CheckItemStateForUpdate", "Wrong state for updating object properties");
}
void TDACDatabaseClassItem::CheckItemStateForDelete() const {
    CheckStateAllows("CheckItemStateForDelete", "Wrong state for deleting object");
}
void TDACDatabaseClassItem::CheckItemStateForSave() const {
    CheckStateAllows("CheckItemStateForSave", "Wrong state for saving object");
}
void TDACDatabaseClassItem::CheckItemStateForDetails() const {
    CheckStateAllows("CheckItemStateForDetails", "Wrong state for getting details");
}
void TDACDatabaseClassItem::CheckItemStateForIsLocked() const {
    CheckStateAllows("CheckItemStateForIsLocked", "Wrong state for getting lock state");
}

void TDACDatabaseClassItem::DetermineItemState() {
    switch (state_) {
    case isBrowse:
        if (!IsUnchanged())
            ChangeItemState(isEdited);
        return;
    case isEdited:
        ChangeItemState(IsUnchanged() ? isBrowse : isEdited);
        return;
    case isUnknown:
    case isInserted:
    case isDeleted:
        return;
    }
    Fail("DetermineItemState", "internal error");
}

std::string TDACDatabaseClassItem::PrepareItemIDForDB() const {
    switch (keyType_) {
    case ftInteger:
        return itemID_;
    case ftString:
        return StringToSQL(itemID_);
    default:
        Fail("PrepareItemIDForDB", "Unknown Field Type for converting ID");
    }
}

void TDACDatabaseClassItem::CopyValues(bool toCurrent) {
    for (TDACColumnPairBase* column : columns_)
        column->CopyValues(toCurrent);
}

void TDACDatabaseClassItem::PrepareSave() {
    saver_.ClearFieldLists();
    for (const TDACColumnPairBase* column : columns_)
        if (column->IsWritten())
            column->HandOver(saver_);
}

bool TDACDatabaseClassItem::IsUnchanged() const {
    for (const TDACColumnPairBase* column : columns_)
        if (column->IsCompared() && !column->IsUnchanged())
            return false;
    return true;
}

bool TDACDatabaseClassItem::OwnerListLocked() const {
    return owner_ && owner_->Locked();
}

void TDACDatabaseClassItem::CheckCanDelete() const {
    CheckItemStateForDelete();
    if (OwnerListLocked())
        throw EDACStateValueError("This list of items is locked for deleting");
    if (IsLocked())
        throw EDACStateValueError("This record is locked for deleting");
}

void TDACDatabaseClassItem::CheckCanEdit() {
    CheckItemStateForUpdate();
    if (!skipLockCheck_ && lockCheckSkippingScopes_ == 0) {
        if (OwnerListLocked())
            throw EDACStateValueError("This list of items is locked for editing");
        if (IsLocked())
            throw EDACStateValueError("This record is locked for editing");
    }
    skipLockCheck_ = false;
}

void TDACDatabaseClassItem::Validate() const {
    CheckItemStateForSave();
}

bool TDACDatabaseClassItem::IsLocked() const {
    CheckItemStateForIsLocked();
    return false;
}

bool TDACDatabaseClassItem::CanDelete() const {
    return SucceedsUnlessRefused([this] { CheckCanDelete(); });
}

bool TDACDatabaseClassItem::CanEdit() {
    return SucceedsUnlessRefused([this] { CheckCanEdit(); });
}

bool TDACDatabaseClassItem::IsValid() const {
    return SucceedsUnlessRefused([this] { Validate(); });
}

void TDACDatabaseClassItem::Delete() {
    CheckCanDelete();
    const TDACItemState oldState = state_;
    ChangeItemState(isDeleted);
    if (oldState != isBrowse && oldState != isEdited)
        return;
    try {
        // Columns left over from a save that failed before its statement belong to no one.
        saver_.ClearFieldLists();
        saver_.DeleteRow(updateTable_, keyField_, PrepareItemIDForDB());
    } catch (...) {
        // The row is still in the database: the item stays usable.
        RestoreItemState(oldState);
        throw;
    }
}

void TDACDatabaseClassItem::CancelChanges() {
    CheckItemStateForCancelChanges();
    forcedColumns_.clear();
    CopyValues(true);
    if (state_ != isInserted)
        ChangeItemState(isBrowse);
}

bool TDACDatabaseClassItem::Save() {
    Validate();
    const bool forcing = !forcedColumns_.empty() && state_ == isBrowse;
    if (state_ != isEdited && state_ != isInserted && !forcing)
        return false;
    PrepareSave();
    if (state_ == isInserted) {
        if (keyAssigned_)
            saver_.InsertRowWithKey(updateTable_, keyField_, PrepareItemIDForDB());
        else
            saver_.InsertRow(updateTable_);
    } else {
        for (const std::string& name : forcedColumns_)
            saver_.MarkChanged(name);
        saver_.UpdateRow(updateTable_, keyField_, PrepareItemIDForDB());
    }
    forcedColumns_.clear();
    CopyValues(false);
    if (state_ != isBrowse)
        ChangeItemState(isBrowse);
    return true;
}

bool TDACDatabaseClassItem::SaveWriting(const std::vector<std::string>& columns) {
    for (const std::string& column : columns)
        WriteOnNextSave(column);
    return Save();
}

void TDACDatabaseClassItem::WriteOnNextSave(const std::string& column) {
    if (std::find(forcedColumns_.begin(), forcedColumns_.end(), column) == forcedColumns_.end())
        forcedColumns_.push_back(column);
}

} // namespace parvela
