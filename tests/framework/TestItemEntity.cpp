#include "tests/framework/TestItemEntity.h"

#include "framework/TDACFilter.h"
#include "platform/Exceptions.h"

namespace parvela::test {

TdciTestItems::TdciTestItems(TdcTestItems* owner, const TrsTestItems* row)
    : TDACDatabaseClassItem(owner, TrsdTestItems::GetSingleton().UpdateTable(),
                            TrsdTestItems::GetSingleton().KeyField()) {
    if (row) {
        key_ = row->TESTITEMID();
#define PARVELA_READ_STORED(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)            \
    Accessor##_.SetStored(row->Column());
        PARVELA_TESTITEMS_COLUMNS(PARVELA_READ_STORED)
#undef PARVELA_READ_STORED
    } else {
        key_ = NewKey();
#define PARVELA_NEW_STORED(Accessor, Column, DefType, ItemType, Reader, Use, NewValue)             \
    Accessor##_.SetStored(NewValue);
        PARVELA_TESTITEMS_COLUMNS(PARVELA_NEW_STORED)
#undef PARVELA_NEW_STORED
    }
    CompleteConstruction(row ? isBrowse : isInserted, std::to_string(key_));
}

void TdciTestItems::Validate() const {
    TDACDatabaseClassItem::Validate();
    if (TrimText(Caption_.Current()).empty())
        throw EDACStateValueError("Please enter a caption");
}

void TdcTestItems::SortOnField(int fieldIndex, bool ascending) {
    const int columnCount = static_cast<int>(TrsdTestItems::GetSingleton().FieldCount());
    if (fieldIndex < 0 || fieldIndex >= columnCount)
        throw Exception("internal error");
    SortItems([=](const TDACDatabaseClassItem& a, const TDACDatabaseClassItem& b) {
        const int order =
            fieldIndex == 0
                ? CompareForSort(static_cast<const TdciTestItems&>(a).TestItemID(),
                                 static_cast<const TdciTestItems&>(b).TestItemID())
                : a.Columns()[fieldIndex - 1]->CompareCurrent(*b.Columns()[fieldIndex - 1]);
        return ascending ? order < 0 : order > 0;
    });
}

} // namespace parvela::test
