#pragma once
// A small entity over the table TESTITEMS, written the way the program's entities are: the
// four classes (definition, record set, list, item) generated from one column table.

#include "framework/MissingValues.h"
#include "framework/Singleton.h"
#include "framework/TDACDatabaseClass.h"
#include "framework/TDACDatabaseClassItem.h"
#include "framework/TDACRecordSet.h"
#include "framework/TDACRecordSetDefs.h"

#include <memory>
#include <string>

namespace parvela::test {

// The table description, one line per column after the key, in table order:
//   X(accessor, COLUMN, definition type, item type, record-set reader, use, new-row value)
// LOCKED is a boolean stored as text; it is written but not compared.
#define PARVELA_TESTITEMS_COLUMNS(X)                                                               \
    X(Caption, CAPTION, ftString, ftString, ReadString, WrittenAndCompared, std::string("new"))    \
    X(Amount, AMOUNT, ftInteger, ftInteger, ReadInteger, WrittenAndCompared, MissingInteger)       \
    X(Ratio, RATIO, ftFloat, ftFloat, ReadFloat, WrittenAndCompared, MissingReal)                  \
    X(Measured, MEASURED, ftDateTime, ftDateTime, ReadDateTime, WrittenAndCompared, MissingReal)   \
    X(Active, ACTIVE, ftBoolean, ftBoolean, ReadBoolean, WrittenAndCompared, false)                \
    X(Locked, LOCKED, ftString, ftBoolean, ReadTextBoolean, Written, false)

class TrsdTestItems : public TDACRecordSetDefs,
                      public TSingleton<TrsdTestItems, SingletonKind::Lazy> {
public:
    static constexpr const char* ClassName = "TrsdTestItems";

    std::string FromTable() const override { return "TESTITEMS"; }
    std::string UpdateTable() const override { return "TESTITEMS"; }
    std::string FixedWhere() const override { return ""; }
    std::string FixedGroupBy() const override { return ""; }
    std::string KeyField() const override { return TESTITEMID(); }

    static std::string TESTITEMID() { return "TESTITEMID"; }
#define PARVELA_COLUMN_NAME(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)            \
    static std::string Column() {                                                                  \
        return #Column;                                                                            \
    }
    PARVELA_TESTITEMS_COLUMNS(PARVELA_COLUMN_NAME)
#undef PARVELA_COLUMN_NAME

private:
    friend class TSingleton<TrsdTestItems, SingletonKind::Lazy>;
    TrsdTestItems() {
        Add(TESTITEMID(), ftInteger, TDACFieldOrigin::foPersistent);
#define PARVELA_ADD_COLUMN(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)             \
    Add(Column(), DefType, TDACFieldOrigin::foPersistent);
        PARVELA_TESTITEMS_COLUMNS(PARVELA_ADD_COLUMN)
#undef PARVELA_ADD_COLUMN
    }
};

class TrsTestItems : public TDACRecordSet {
public:
    static constexpr const char* ClassName = "TrsTestItems";
    static TDACRecordSetDefs& RecordSetDefs() { return TrsdTestItems::GetSingleton(); }

    explicit TrsTestItems(TDACDatabase* database, const std::vector<std::string>& columns = {"*"})
        : TDACRecordSet(ClassName, RecordSetDefs(), database, false, columns) {}
    const char* GetClassName() const override { return ClassName; }

    std::int32_t TESTITEMID() const { return ReadInteger(TrsdTestItems::TESTITEMID()); }
#define PARVELA_COLUMN_READER(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)          \
    TDACColumnPair<ItemType>::Value Column() const {                                               \
        return Reader(TrsdTestItems::Column());                                                    \
    }
    PARVELA_TESTITEMS_COLUMNS(PARVELA_COLUMN_READER)
#undef PARVELA_COLUMN_READER
};

class TdcTestItems;

class TdciTestItems : public TDACDatabaseClassItem {
public:
    static constexpr const char* ClassName = "TdciTestItems";

    // From the record set's current row, or a new row when `row` is null.
    TdciTestItems(TdcTestItems* owner, const TrsTestItems* row);
    const char* GetClassName() const override { return ClassName; }

    std::int32_t TestItemID() const {
        CheckItemStateForRead();
        return key_;
    }
#define PARVELA_COLUMN_ACCESSORS(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)       \
    const TDACColumnPair<ItemType>::Value& Accessor() const {                                      \
        return GetValue(Accessor##_);                                                              \
    }                                                                                              \
    void Set##Accessor(const TDACColumnPair<ItemType>::Value& value) {                             \
        SetValue(Accessor##_, value);                                                              \
    }
    PARVELA_TESTITEMS_COLUMNS(PARVELA_COLUMN_ACCESSORS)
#undef PARVELA_COLUMN_ACCESSORS

    bool IsLocked() const override {
        TDACDatabaseClassItem::IsLocked();
        return Locked_.Current();
    }

    // The entity's own validation: a caption that is not blank.
    void Validate() const override;

    // For the state-machine tests only: a state outside the five values.
    void ForceItemState(TDACItemState state) {
        RestoreItemState(state);
    }

private:
    std::int32_t key_ = MissingInteger;
#define PARVELA_COLUMN_PAIR(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)            \
    TDACColumnPair<ItemType> Accessor##_{*this, TrsdTestItems::Column(), TDACColumnPairBase::Use};
    PARVELA_TESTITEMS_COLUMNS(PARVELA_COLUMN_PAIR)
#undef PARVELA_COLUMN_PAIR
};

class TdcTestItems : public TDACDatabaseClass {
public:
    static constexpr const char* ClassName = "TdcTestItems";

    explicit TdcTestItems(TDACDatabase& database) : TDACDatabaseClass(database) {
        SetRecordSet(std::make_unique<TrsTestItems>(&database));
    }
    const char* GetClassName() const override { return ClassName; }

    TdciTestItems& Item() const { return ItemAs<TdciTestItems>(); }

    void SortOnField(int fieldIndex, bool ascending) override;
    void SortOnItemID(bool ascending) override { SortItemsOnItemID(ascending); }

protected:
    std::unique_ptr<TDACDatabaseClassItem> CreateItemFromRow(TDACRecordSet& row) override {
        return std::make_unique<TdciTestItems>(this, &static_cast<TrsTestItems&>(row));
    }
    std::unique_ptr<TDACDatabaseClassItem> CreateNewItem() override {
        return std::make_unique<TdciTestItems>(this, nullptr);
    }
};

} // namespace parvela::test
