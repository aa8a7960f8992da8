#pragma once
// The base of every list of items: owns one record set and, while open, the items loaded
// from it, with a cursor on the current item. A subclass creates its record set in its
// constructor (SetRecordSet) and supplies the item construction hooks:
//
//   class TdcX : public TDACDatabaseClass {
//   public:
//       static constexpr const char* ClassName = "TdcX";
//       explicit TdcX(TDACDatabase& database) : TDACDatabaseClass(database) {
//           SetRecordSet(std::make_unique<TrsX>(&database));
//       }
//       const char* GetClassName() const override { return ClassName; }
//       TdciX& Item() const { return ItemAs<TdciX>(); }
//   protected:
//       std::unique_ptr<TDACDatabaseClassItem> CreateItemFromRow(TDACRecordSet& row) override;
//       std::unique_ptr<TDACDatabaseClassItem> CreateNewItem() override;
//   };

#include "framework/TDACDatabaseClassItem.h"
#include "framework/TDACRecordSet.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parvela {

class TDACDatabase;

class TDACDatabaseClass {
public:
    static constexpr int NoCurrentIndex = -1;
    static constexpr int ClosedCount = -1;

    explicit TDACDatabaseClass(TDACDatabase& database);
    // Discards the items, unsaved ones too: a destructor cannot refuse.
    virtual ~TDACDatabaseClass();
    TDACDatabaseClass(const TDACDatabaseClass&) = delete;
    TDACDatabaseClass& operator=(const TDACDatabaseClass&) = delete;

    virtual const char* GetClassName() const = 0;

    virtual void _CanInsert() const;
    virtual void Open();
    virtual void Close();
    virtual bool IsOpen() const { return items_.has_value(); }
    virtual void SortOnField(int fieldIndex, bool ascending) = 0;
    virtual void SortOnItemID(bool ascending) = 0;
    virtual bool LocateByItemID(const std::string& itemID, bool mustExist);
    virtual int Insert();
    virtual void Delete();

    void First();
    void Next();
    bool Eof() const;
    void SetFilter(const std::string& format, const TVarRecArray& arguments);
    int Count() const;
    bool HasItems() const { return Count() > 0; }
    int GetObjectListIndex() const;
    void SetObjectListIndex(int index);
    bool CanInsert() const;
    TDACDatabaseClassItem& Item() const;

    bool Locked() const { return locked_; }
    void SetLocked(bool value) { locked_ = value; }
    TDACDatabase& Database() const { return database_; }
    TDACRecordSet* RecordSet() const { return recordSet_.get(); }

protected:
    void SetRecordSet(std::unique_ptr<TDACRecordSet> recordSet);
    template <class RecordSet> RecordSet& RecordSetAs() const {
        return static_cast<RecordSet&>(*recordSet_);
    }
    template <class ItemClass> ItemClass& ItemAs() const { return static_cast<ItemClass&>(Item()); }

    // An item of the list's class from the record set's current row.
    virtual std::unique_ptr<TDACDatabaseClassItem> CreateItemFromRow(TDACRecordSet& row) = 0;
    // A new item (it draws its key at once).
    virtual std::unique_ptr<TDACDatabaseClassItem> CreateNewItem() = 0;

    using TItemLess =
        std::function<bool(const TDACDatabaseClassItem&, const TDACDatabaseClassItem&)>;
    // Sorts the items in memory (not stable); the current index is kept.
    void SortItems(const TItemLess& less);
    // Sorts by ItemID as text ignoring case ("10" before "9").
    void SortItemsOnItemID(bool ascending);
    // Moves the item at `index`, state and values unchanged, to the end of `target` (a list
    // of the same item class), which becomes its owner. The current index is adjusted as by
    // Delete.
    void TransferItem(int index, TDACDatabaseClass& target);

private:
    void AssertOpen(const char* operation) const;
    int LastIndex() const { return Count() - 1; }
    std::vector<std::unique_ptr<TDACDatabaseClassItem>> LoadItems();

    TDACDatabase& database_;
    std::optional<std::vector<std::unique_ptr<TDACDatabaseClassItem>>> items_;
    int currentIndex_ = NoCurrentIndex;
    std::unique_ptr<TDACRecordSet> recordSet_;
    bool locked_ = false;
};

} // namespace parvela
