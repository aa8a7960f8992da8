#pragma once
// The base of every row object: a stored and a current value per column, the edit state,
// the lock rules and save, delete and cancel.
//
// A subclass declares one TDACColumnPair member per column, in table order; the pairs
// register themselves, so copying values, handing columns to the saver and the unchanged
// test are written once here:
//
//   class TdciX : public TDACDatabaseClassItem {
//       TDACColumnPair<ftString> caption_{*this, "CAPTION"};
//       TDACColumnPair<ftString> locked_{*this, "LOCKED", TDACColumnPairBase::Written};
//   public:
//       const std::string& Caption() const { return GetValue(caption_); }
//       void SetCaption(const std::string& value) { SetValue(caption_, value); }
//   };

#include "framework/DateTime.h"
#include "framework/TDACItemState.h"
#include "framework/TDACRecordSetDefs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabaseClass;
class TDACDatabaseClassItem;
class TDACSaver;

// Comparison of current values for sorting: texts ignoring case, booleans false first,
// date-times by calendar day, numbers by value. Negative, zero or positive.
int CompareForSort(const std::string& a, const std::string& b);
int CompareForSort(std::int32_t a, std::int32_t b);
int CompareForSort(bool a, bool b);
int CompareForSort(double a, double b);
int CompareDaysForSort(TDateTime a, TDateTime b);

class TDACColumnPairBase {
public:
    enum TUse : unsigned { Written = 1, Compared = 2, WrittenAndCompared = Written | Compared };

    TDACColumnPairBase(TDACDatabaseClassItem& item, std::string name, unsigned use);
    virtual ~TDACColumnPairBase() = default;
    TDACColumnPairBase(const TDACColumnPairBase&) = delete;
    TDACColumnPairBase& operator=(const TDACColumnPairBase&) = delete;

    const std::string& Name() const { return name_; }
    bool IsWritten() const { return (use_ & Written) != 0; }
    bool IsCompared() const { return (use_ & Compared) != 0; }

    virtual TFieldType FieldType() const = 0;
    // True copies stored into current; false current into stored.
    virtual void CopyValues(bool toCurrent) = 0;
    virtual bool IsUnchanged() const = 0;
    // Hands (name, stored, current) to the saver's operation of the column's type.
    virtual void HandOver(TDACSaver& saver) const = 0;
    // Compares the current values of two pairs of the same column type.
    virtual int CompareCurrent(const TDACColumnPairBase& other) const = 0;

private:
    std::string name_;
    unsigned use_;
};

template <TFieldType Type> struct TDACColumnTraits;

template <> struct TDACColumnTraits<ftString> {
    using Value = std::string;
    static void HandOver(TDACSaver& s, const std::string& n, const Value& a, const Value& b);
    static int Compare(const Value& a, const Value& b) { return CompareForSort(a, b); }
};
template <> struct TDACColumnTraits<ftInteger> {
    using Value = std::int32_t;
    static void HandOver(TDACSaver& s, const std::string& n, Value a, Value b);
    static int Compare(Value a, Value b) { return CompareForSort(a, b); }
};
template <> struct TDACColumnTraits<ftBoolean> {
    using Value = bool;
    static void HandOver(TDACSaver& s, const std::string& n, Value a, Value b);
    static int Compare(Value a, Value b) { return CompareForSort(a, b); }
};
template <> struct TDACColumnTraits<ftFloat> {
    using Value = double;
    static void HandOver(TDACSaver& s, const std::string& n, Value a, Value b);
    static int Compare(Value a, Value b) { return CompareForSort(a, b); }
};
template <> struct TDACColumnTraits<ftDateTime> {
    using Value = TDateTime;
    static void HandOver(TDACSaver& s, const std::string& n, Value a, Value b);
    static int Compare(Value a, Value b) { return CompareDaysForSort(a, b); }
};

// Values differ when unequal: texts in any character, reals and date-times numerically.
template <TFieldType Type> class TDACColumnPair : public TDACColumnPairBase {
public:
    using Traits = TDACColumnTraits<Type>;
    using Value = typename Traits::Value;

    TDACColumnPair(TDACDatabaseClassItem& item, std::string name, unsigned use = WrittenAndCompared)
        : TDACColumnPairBase(item, std::move(name), use) {}

    const Value& Stored() const { return stored_; }
    const Value& Current() const { return current_; }
    // The value as read from the database or given to a new row.
    void SetStored(const Value& value) { stored_ = value; }
    void SetCurrent(const Value& value) { current_ = value; }
    bool CurrentDiffers(const Value& value) const { return !(current_ == value); }

    TFieldType FieldType() const override { return Type; }
    void CopyValues(bool toCurrent) override {
        if (toCurrent)
            current_ = stored_;
        else
            stored_ = current_;
    }
    bool IsUnchanged() const override { return current_ == stored_; }
    void HandOver(TDACSaver& saver) const override {
        Traits::HandOver(saver, Name(), stored_, current_);
    }
    int CompareCurrent(const TDACColumnPairBase& other) const override {
        return Traits::Compare(current_, static_cast<const TDACColumnPair&>(other).current_);
    }

private:
    Value stored_{};
    Value current_{};
};

class TDACDatabaseClassItem {
public:
    virtual ~TDACDatabaseClassItem() = default;
    TDACDatabaseClassItem(const TDACDatabaseClassItem&) = delete;
    TDACDatabaseClassItem& operator=(const TDACDatabaseClassItem&) = delete;

    // The class name in the messages.
    virtual const char* GetClassName() const = 0;

    virtual void CopyValues(bool toCurrent);
    virtual void PrepareSave();
    virtual bool IsUnchanged() const;
    virtual void CheckCanDelete() const;
    virtual void CheckCanEdit();
    virtual void Validate() const;
    virtual void Delete();
    virtual void CancelChanges();
    virtual bool IsLocked() const;
    virtual bool CanDelete() const;
    virtual bool CanEdit();
    virtual bool IsValid() const;
    virtual bool Save();
    // Save, writing the named columns also when this copy of the row holds them unchanged:
    // another program may have changed them since the row was read. A new row is inserted
    // whole as by Save.
    bool SaveWriting(const std::vector<std::string>& columns);
    // The next Save writes the column whatever this copy holds (as SaveWriting); a cancel of
    // the changes forgets it.
    void WriteOnNextSave(const std::string& column);

    void ChangeItemState(TDACItemState newState);
    void CheckItemStateForCancelChanges() const;
    void CheckItemStateForRead() const;
    void CheckItemStateForUpdate() const;
    void CheckItemStateForDelete() const;
    void CheckItemStateForSave() const;
    void CheckItemStateForDetails() const;
    void CheckItemStateForIsLocked() const;
    void DetermineItemState();
    std::string PrepareItemIDForDB() const;

    TDACItemState ItemState() const { return state_; }
    const std::string& ItemID() const { return itemID_; }
    TDACDatabaseClass* OwnerList() const { return owner_; }
    const std::string& UpdateTable() const { return updateTable_; }
    const std::string& KeyField() const { return keyField_; }
    TFieldType KeyType() const { return keyType_; }
    bool KeyAssigned() const { return keyAssigned_; }
    // One-shot: the next CheckCanEdit skips the lock rules. For several setters in a row, a
    // TLockCheckSkipped scope (framework/LockCheckSkipped.h) says it once and ends it however
    // the scope is left.
    bool SkipLockCheck() const { return skipLockCheck_; }
    void SetSkipLockCheck(bool value) { skipLockCheck_ = value; }

    const std::vector<TDACColumnPairBase*>& Columns() const { return columns_; }

protected:
    // The saver singleton must exist.
    TDACDatabaseClassItem(TDACDatabaseClass* owner, std::string updateTable, std::string keyField,
                          TFieldType keyType = ftInteger, bool keyAssigned = true);

    TDACSaver& Saver() const { return saver_; }
    // The next key of the update table from the database's counter.
    std::int32_t NewKey() const;
    // Last step of a subclass constructor: state isBrowse (from a row) or isInserted (new),
    // the key as ItemID, current values := stored values.
    void CompleteConstruction(TDACItemState state, const std::string& itemID);

    // Column getter: the current value, in a readable state.
    template <TFieldType Type>
    const typename TDACColumnPair<Type>::Value& GetValue(const TDACColumnPair<Type>& column) const {
        CheckItemStateForRead();
        return column.Current();
    }
    // Column setter: edit checks; an equal value changes nothing.
    template <TFieldType Type>
    void SetValue(TDACColumnPair<Type>& column, const typename TDACColumnPair<Type>::Value& value) {
        CheckCanEdit();
        if (!column.CurrentDiffers(value))
            return;
        column.SetCurrent(value);
        DetermineItemState();
    }

    // Sets the state without the transition rules: only for putting back a state that a
    // failed operation left.
    void RestoreItemState(TDACItemState state) { state_ = state; }

private:
    friend class TDACColumnPairBase;
    friend class TDACDatabaseClass; // moves items between lists
    void RegisterColumn(TDACColumnPairBase& column) { columns_.push_back(&column); }
    void CheckStateAllows(const char* operation, const char* failureText) const;
    [[noreturn]] void Fail(const char* operation, const std::string& text) const;
    bool OwnerListLocked() const;

    TDACItemState state_ = isUnknown;
    TDACDatabaseClass* owner_;
    bool skipLockCheck_ = false;
    // Open TLockCheckSkipped scopes on this item.
    int lockCheckSkippingScopes_ = 0;
    friend class TLockCheckSkipped;
    std::string updateTable_;
    std::string keyField_;
    std::string itemID_;
    TFieldType keyType_;
    bool keyAssigned_;
    TDACSaver& saver_;
    std::vector<TDACColumnPairBase*> columns_;
    // Written by the next save whatever their values.
    std::vector<std::string> forcedColumns_;
};

} // namespace parvela
