#pragma once
// The pattern that every entity's four classes follow, written once and instantiated from
// the entity's table description (UnitsFromGenerator/EntityColumns.h):
//
//   Trsd<Entity>  the record-set definition: table, key and columns, and one column-name
//                 accessor per column (PARVELA_RECORDSET_DEFS_CLASS).
//   Trs<Entity>   the record set with one typed reader per column (PARVELA_RECORDSET_CLASS).
//   Tdc<Entity>   the item list: construction, typed Item, sorting, item creation
//                 (PARVELA_LIST_PATTERN in the class, PARVELA_LIST_DEFINITIONS in its file).
//   Tdci<Entity>  the item: key, column pairs, getters and setters, construction from a row
//                 or as a new row (PARVELA_ITEM_PATTERN and PARVELA_ITEM_STORAGE in the
//                 class, PARVELA_ITEM_CONSTRUCTOR in its file).
//
// Copying values, handing columns to the saver and the unchanged test come from the
// framework's column pairs, which every item declares here in table order.

#include "UnitsFromGenerator/EntityColumns.h"
#include "framework/DateTime.h"
#include "framework/MissingValues.h"
#include "framework/Singleton.h"
#include "framework/TDACDatabaseClass.h"
#include "framework/TDACDatabaseClassItem.h"
#include "framework/TDACRecordSet.h"
#include "framework/TDACRecordSetDefs.h"
#include "platform/Exceptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#define PARVELA_STRINGIFY_(x) #x
#define PARVELA_STRINGIFY(x) PARVELA_STRINGIFY_(x)

#define PARVELA_TABLE(Entity) PARVELA_##Entity##_TABLE
#define PARVELA_KEY(Entity) PARVELA_##Entity##_KEY
#define PARVELA_COLUMNS(Entity) PARVELA_##Entity##_COLUMNS
#define PARVELA_SORT_COLUMNS(Entity) PARVELA_##Entity##_SORT_COLUMNS

#define PARVELA_USE_WrittenAndCompared ::parvela::TDACColumnPairBase::WrittenAndCompared
#define PARVELA_USE_Written ::parvela::TDACColumnPairBase::Written
#define PARVELA_USE_ReadOnly 0u

namespace parvela {

// The order of two items of one entity by the column of a sort index: `sortColumns` gives
// the definition index of each sort index (0 is the key, then the columns in table order);
// "internal error" for any other sort index.
std::function<bool(const TDACDatabaseClassItem&, const TDACDatabaseClassItem&)>
EntityColumnOrder(int fieldIndex, bool ascending, std::span<const int> sortColumns,
                  std::int32_t (*key)(const TDACDatabaseClassItem&));

// The most characters of a caption, description or comment that every database engine stores.
inline constexpr int MaxTextLength = 255;
// Raises EDACStateValueError "<label> should not be longer than 255 characters" for a changed
// text of more characters; a longer text that an older database holds may stay as it is.
void CheckTextLength(const TDACColumnPair<ftString>& column, const char* label);

} // namespace parvela

// ---- Record-set definition ----------------------------------------------------------------

#define PARVELA_DEFS_NAME_ACCESSOR(Column, DefType, ItemType, Reader, Use, Setter, NewValue)       \
    static const std::string& Column() {                                                           \
        static const std::string name = #Column;                                                   \
        return name;                                                                               \
    }
#define PARVELA_DEFS_ADD(Column, DefType, ItemType, Reader, Use, Setter, NewValue)                 \
    Add(Column(), DefType, TDACFieldOrigin::foPersistent);

#define PARVELA_RECORDSET_DEFS_CLASS(Entity)                                                       \
    class Trsd##Entity : public TDACRecordSetDefs,                                                 \
                         public TSingleton<Trsd##Entity, SingletonKind::Lazy> {                    \
    public:                                                                                        \
        static constexpr const char* ClassName = "Trsd" #Entity;                                   \
        std::string FromTable() const override { return TableName(); }                             \
        std::string UpdateTable() const override { return TableName(); }                           \
        std::string FixedWhere() const override { return {}; }                                     \
        std::string FixedGroupBy() const override { return {}; }                                   \
        std::string KeyField() const override { return PARVELA_KEY(Entity)(); }                    \
        static const std::string& TableName() {                                                    \
            static const std::string name = PARVELA_STRINGIFY(PARVELA_TABLE(Entity));              \
            return name;                                                                           \
        }                                                                                          \
        static const std::string& PARVELA_KEY(Entity)() {                                          \
            static const std::string name = PARVELA_STRINGIFY(PARVELA_KEY(Entity));                \
            return name;                                                                           \
        }                                                                                          \
        PARVELA_COLUMNS(Entity)                                                                    \
        (PARVELA_DEFS_NAME_ACCESSOR)                                                               \
                                                                                                   \
            private : friend class TSingleton<Trsd##Entity, SingletonKind::Lazy>;                  \
        Trsd##Entity() {                                                                           \
            Add(PARVELA_KEY(Entity)(), ftInteger, TDACFieldOrigin::foPersistent);                  \
            PARVELA_COLUMNS(Entity)(PARVELA_DEFS_ADD)                                              \
        }                                                                                          \
    }

// ---- Record set ---------------------------------------------------------------------------

#define PARVELA_RECORDSET_READER(Column, DefType, ItemType, Reader, Use, Setter, NewValue)         \
    TDACColumnPair<ItemType>::Value Column() const {                                               \
        return Reader(Defs::Column());                                                             \
    }

#define PARVELA_RECORDSET_CLASS(Entity)                                                            \
    class Trs##Entity : public TDACRecordSet {                                                     \
    public:                                                                                        \
        static constexpr const char* ClassName = "Trs" #Entity;                                    \
        using Defs = Trsd##Entity;                                                                 \
        static TDACRecordSetDefs& RecordSetDefs() { return Defs::GetSingleton(); }                 \
        /* Every column, read through the query directly. */                                       \
        explicit Trs##Entity(TDACDatabase* database)                                               \
            : TDACRecordSet(ClassName, RecordSetDefs(), database, false, {"*"}) {}                 \
        const char* GetClassName() const override { return ClassName; }                            \
        std::int32_t PARVELA_KEY(Entity)() const {                                                 \
            return ReadInteger(Defs::PARVELA_KEY(Entity)());                                       \
        }                                                                                          \
        PARVELA_COLUMNS(Entity)(PARVELA_RECORDSET_READER)                                          \
    }

// ---- Item list ----------------------------------------------------------------------------

// In the public part of Tdc<Entity>.
#define PARVELA_LIST_PATTERN(Entity)                                                               \
    static constexpr const char* ClassName = "Tdc" #Entity;                                        \
    /* On the program's database connection. */                                                    \
    Tdc##Entity();                                                                                 \
    explicit Tdc##Entity(TDACDatabase& database);                                                  \
    const char* GetClassName() const override {                                                    \
        return ClassName;                                                                          \
    }                                                                                              \
    Tdci##Entity& Item() const {                                                                   \
        return ItemAs<Tdci##Entity>();                                                             \
    }                                                                                              \
    void SortOnField(int fieldIndex, bool ascending) override;                                     \
    void SortOnItemID(bool ascending) override {                                                   \
        SortItemsOnItemID(ascending);                                                              \
    }                                                                                              \
                                                                                                   \
protected:                                                                                         \
    std::unique_ptr<TDACDatabaseClassItem> CreateItemFromRow(TDACRecordSet& row) override {        \
        return std::make_unique<Tdci##Entity>(this, &static_cast<Trs##Entity&>(row));              \
    }                                                                                              \
    std::unique_ptr<TDACDatabaseClassItem> CreateNewItem() override {                              \
        return std::make_unique<Tdci##Entity>(this, nullptr);                                      \
    }                                                                                              \
                                                                                                   \
public:

// In the file of Tdc<Entity>, inside namespace parvela.
#define PARVELA_LIST_DEFINITIONS(Entity)                                                           \
    Tdc##Entity::Tdc##Entity() : Tdc##Entity(TDatabaseConnection::GetSingleton().Database()) {}    \
    Tdc##Entity::Tdc##Entity(TDACDatabase& database) : TDACDatabaseClass(database) {               \
        SetRecordSet(std::make_unique<Trs##Entity>(&database));                                    \
    }                                                                                              \
    void Tdc##Entity::SortOnField(int fieldIndex, bool ascending) {                                \
        static constexpr int sortColumns[] = {PARVELA_SORT_COLUMNS(Entity)};                       \
        SortItems(EntityColumnOrder(                                                               \
            fieldIndex, ascending, sortColumns, [](const TDACDatabaseClassItem& item) {            \
                return static_cast<const Tdci##Entity&>(item).PARVELA_KEY(Entity)();               \
            }));                                                                                   \
    }

// ---- Item ---------------------------------------------------------------------------------

#define PARVELA_SETTER_Yes(Column, ItemType)                                                       \
    void Set##Column(const TDACColumnPair<ItemType>::Value& value) {                               \
        SetValue(Column##_, value);                                                                \
    }
#define PARVELA_SETTER_No(Column, ItemType)

#define PARVELA_ITEM_ACCESSORS(Column, DefType, ItemType, Reader, Use, Setter, NewValue)           \
    const TDACColumnPair<ItemType>::Value& Column() const {                                        \
        return GetValue(Column##_);                                                                \
    }                                                                                              \
    PARVELA_SETTER_##Setter(Column, ItemType)

#define PARVELA_ITEM_PAIR(Column, DefType, ItemType, Reader, Use, Setter, NewValue)                \
    TDACColumnPair<ItemType> Column##_{*this, Defs::Column(), PARVELA_USE_##Use};

#define PARVELA_ITEM_READ_STORED(Column, DefType, ItemType, Reader, Use, Setter, NewValue)         \
    Column##_.SetStored(row->Column());
#define PARVELA_ITEM_NEW_STORED(Column, DefType, ItemType, Reader, Use, Setter, NewValue)          \
    Column##_.SetStored(NewValue);

// In the public part of Tdci<Entity>.
#define PARVELA_ITEM_PATTERN(Entity)                                                               \
    static constexpr const char* ClassName = "Tdci" #Entity;                                       \
    using Defs = Trsd##Entity;                                                                     \
    /* From the record set's current row, or a new row (with a new key) when `row` is null. */     \
    Tdci##Entity(Tdc##Entity* owner, const Trs##Entity* row);                                      \
    const char* GetClassName() const override {                                                    \
        return ClassName;                                                                          \
    }                                                                                              \
    Tdc##Entity& OwnerItems() const;                                                               \
    std::int32_t PARVELA_KEY(Entity)() const {                                                     \
        CheckItemStateForRead();                                                                   \
        return key_;                                                                               \
    }                                                                                              \
    PARVELA_COLUMNS(Entity)(PARVELA_ITEM_ACCESSORS)

// In the private part of Tdci<Entity>.
#define PARVELA_ITEM_STORAGE(Entity)                                                               \
    std::int32_t key_ = MissingInteger;                                                            \
    PARVELA_COLUMNS(Entity)(PARVELA_ITEM_PAIR)

// In the file of Tdci<Entity>, inside namespace parvela.
#define PARVELA_ITEM_CONSTRUCTOR(Entity)                                                           \
    Tdci##Entity::Tdci##Entity(Tdc##Entity* owner, const Trs##Entity* row)                         \
        : TDACDatabaseClassItem(owner, Defs::TableName(), Defs::PARVELA_KEY(Entity)()) {           \
        if (row) {                                                                                 \
            key_ = row->PARVELA_KEY(Entity)();                                                     \
            PARVELA_COLUMNS(Entity)(PARVELA_ITEM_READ_STORED)                                      \
        } else {                                                                                   \
            [[maybe_unused]] const TDateTime now = Now();                                          \
            key_ = NewKey();                                                                       \
            PARVELA_COLUMNS(Entity)(PARVELA_ITEM_NEW_STORED)                                       \
        }                                                                                          \
        CompleteConstruction(row ? isBrowse : isInserted, std::to_string(key_));                   \
    }                                                                                              \
    Tdc##Entity& Tdci##Entity::OwnerItems() const {                                                \
        return static_cast<Tdc##Entity&>(*OwnerList());                                            \
    }
