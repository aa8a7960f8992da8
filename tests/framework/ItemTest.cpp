// Persistent items on a real table: the state machine, the check operations, locks, save,
// delete and cancel.

#include "tests/framework/FrameworkDatabaseTest.h"
#include "tests/framework/TestItemEntity.h"

#include "framework/DateTime.h"
#include "framework/LockCheckSkipped.h"
#include "framework/TDACSaver.h"
#include "platform/Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;

class ItemTest : public FrameworkDatabaseTest, public ::testing::WithParamInterface<Engine> {
protected:
    Engine GetEngine() const override { return GetParam(); }

    void SetUp() override {
        FrameworkDatabaseTest::SetUp();
        Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION, AMOUNT, RATIO, MEASURED, ACTIVE, "
             "LOCKED) VALUES (12, 'First', 5, 0.5, '2015-12-31', " +
             BooleanLiteral(true) + ", " + BooleanLiteral(false) + ")");
        Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION, AMOUNT, RATIO, MEASURED, ACTIVE, "
             "LOCKED) VALUES (13, 'Locked one', 6, 1.5, NULL, " +
             BooleanLiteral(false) + ", " + BooleanLiteral(true) + ")");
        list_.emplace(Db());
        list_->Open();
        ClearLog();
    }
    void TearDown() override {
        list_.reset();
        FrameworkDatabaseTest::TearDown();
    }

    TdciTestItems& ItemWithID(const std::string& id) {
        list_->LocateByItemID(id, true);
        return list_->Item();
    }
    TdciTestItems& First() { return ItemWithID("12"); }
    TdciTestItems& LockedRecord() { return ItemWithID("13"); }
    TdciTestItems& NewItem() {
        list_->Insert();
        return list_->Item();
    }

    std::optional<TdcTestItems> list_;
};

TEST_P(ItemTest, LoadedItemReadsEveryColumn) {
    TdciTestItems& item = First();
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_EQ(item.ItemID(), "12");
    EXPECT_EQ(item.TestItemID(), 12);
    EXPECT_EQ(item.Caption(), "First");
    EXPECT_EQ(item.Amount(), 5);
    EXPECT_DOUBLE_EQ(item.Ratio(), 0.5);
    EXPECT_DOUBLE_EQ(item.Measured(), EncodeDate(2015, 12, 31));
    EXPECT_TRUE(item.Active());
    EXPECT_FALSE(item.Locked());
    EXPECT_TRUE(IsMissingReal(LockedRecord().Measured()));
    EXPECT_TRUE(LockedRecord().Locked());
    EXPECT_EQ(item.UpdateTable(), "TESTITEMS");
    EXPECT_EQ(item.KeyField(), "TESTITEMID");
    EXPECT_EQ(item.PrepareItemIDForDB(), "12");
}

TEST_P(ItemTest, SettingADifferentValueEditsAndSettingBackBrowses) {
    TdciTestItems& item = First();
    item.SetCaption("First");
    EXPECT_EQ(item.ItemState(), isBrowse);
    item.SetCaption("first");
    EXPECT_EQ(item.ItemState(), isEdited);
    item.SetAmount(7);
    item.SetCaption("First");
    EXPECT_EQ(item.ItemState(), isEdited);
    item.SetAmount(5);
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_TRUE(Log().empty());
}

TEST_P(ItemTest, ColumnWrittenButNotComparedLeavesTheItemBrowsing) {
    TdciTestItems& item = First();
    item.SetLocked(true);
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_FALSE(item.Save());
    EXPECT_TRUE(Log().empty());
}

TEST_P(ItemTest, SaveOfBrowsingItemWritesNothing) {
    EXPECT_FALSE(First().Save());
    EXPECT_TRUE(Log().empty());
}

TEST_P(ItemTest, SaveOfEditedItemUpdatesOnlyChangedColumns) {
    TdciTestItems& item = First();
    item.SetCaption("O'Brien");
    item.SetRatio(12.25);
    ClearLog();
    EXPECT_TRUE(item.Save());
    EXPECT_THAT(Log(), ElementsAre("SELECT COUNT(*) AS MVALUE FROM TESTITEMS WHERE TESTITEMID=12",
                                   "UPDATE TESTITEMS SET CAPTION='O''Brien',RATIO=12.25 WHERE "
                                   "TESTITEMID=12"));
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_EQ(Db().SelectValue("CAPTION", "TESTITEMS", "TESTITEMID=12").AsString(), "O'Brien");
    EXPECT_FALSE(item.Save());
}

TEST_P(ItemTest, SaveOfNewItemInsertsWithItsKeyThenBrowses) {
    TdciTestItems& item = NewItem();
    EXPECT_EQ(item.ItemState(), isInserted);
    EXPECT_EQ(item.ItemID(), "0");
    item.SetCaption("Neu");
    item.SetRatio(2.0);
    EXPECT_EQ(item.ItemState(), isInserted);
    ClearLog();
    EXPECT_TRUE(item.Save());
    EXPECT_THAT(Log(),
                ElementsAre("INSERT INTO TESTITEMS (TESTITEMID,CAPTION,AMOUNT,RATIO,MEASURED,"
                            "ACTIVE,LOCKED) VALUES(0,'Neu',NULL,2,NULL,False,False)"));
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_FALSE(item.Save());
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "TESTITEMS", "TESTITEMID=0").AsInteger(), 1);
}

TEST_P(ItemTest, NewItemsDrawConsecutiveKeys) {
    EXPECT_EQ(NewItem().ItemID(), "0");
    EXPECT_EQ(NewItem().ItemID(), "1");
    list_->Item().CancelChanges();
    EXPECT_EQ(list_->Item().ItemState(), isInserted);
}

TEST_P(ItemTest, DeleteOfNewItemWritesNothing) {
    TdciTestItems& item = NewItem();
    ClearLog();
    item.Delete();
    EXPECT_EQ(item.ItemState(), isDeleted);
    EXPECT_TRUE(Log().empty());
}

TEST_P(ItemTest, DeleteOfEditedItemDeletesByKey) {
    TdciTestItems& item = First();
    item.SetAmount(99);
    ClearLog();
    item.Delete();
    EXPECT_EQ(item.ItemState(), isDeleted);
    EXPECT_THAT(Log(), ElementsAre("SELECT COUNT(*) AS MVALUE FROM TESTITEMS WHERE TESTITEMID=12",
                                   "DELETE FROM TESTITEMS WHERE TESTITEMID=12"));
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "TESTITEMS", "").AsInteger(), 1);
    EXPECT_EQ(MessageOf<Exception>([&] { (void)item.Caption(); }),
              "TdciTestItems.CheckItemStateForRead : Wrong state for reading object properties");
}

TEST_P(ItemTest, CancelChangesCopiesBackAndRefusesABrowsingItem) {
    TdciTestItems& item = First();
    item.SetCaption("changed");
    item.CancelChanges();
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_EQ(item.Caption(), "First");
    EXPECT_EQ(MessageOf<Exception>([&] { item.CancelChanges(); }),
              "TdciTestItems.ChangeItemState : Invalid new state (old state=isBrowse, new "
              "state=isBrowse");
    TdciTestItems& fresh = NewItem();
    fresh.SetCaption("typed");
    fresh.CancelChanges();
    EXPECT_EQ(fresh.ItemState(), isInserted);
    EXPECT_EQ(fresh.Caption(), "new");
}

TEST_P(ItemTest, CancelChangesOfABrowsingItemCopiesBackBeforeItFails) {
    // A column that is not compared can differ while the item stays isBrowse.
    TdciTestItems& item = First();
    item.SetLocked(true);
    ASSERT_EQ(item.ItemState(), isBrowse);
    EXPECT_THROW(item.CancelChanges(), Exception);
    EXPECT_FALSE(item.Locked());
    EXPECT_EQ(item.ItemState(), isBrowse);
}

TEST_P(ItemTest, ValidationRefusesTheSaveAndIsValidAnswersNo) {
    TdciTestItems& item = First();
    item.SetCaption("  ");
    EXPECT_FALSE(item.IsValid());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.Save(); }), "Please enter a caption");
    EXPECT_EQ(item.ItemState(), isEdited);
    EXPECT_TRUE(Log().empty());
}

TEST_P(ItemTest, LockedRecordRefusesEditAndDelete) {
    TdciTestItems& item = LockedRecord();
    EXPECT_TRUE(item.IsLocked());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.SetCaption("x"); }),
              "This record is locked for editing");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.Delete(); }),
              "This record is locked for deleting");
    EXPECT_FALSE(item.CanEdit());
    EXPECT_FALSE(item.CanDelete());
    EXPECT_EQ(item.ItemState(), isBrowse);
    EXPECT_EQ(item.Caption(), "Locked one");
    EXPECT_TRUE(First().CanEdit());
    EXPECT_TRUE(First().CanDelete());
}

TEST_P(ItemTest, LockedListRefusesEditAndDelete) {
    list_->SetLocked(true);
    TdciTestItems& item = First();
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.SetAmount(1); }),
              "This list of items is locked for editing");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.Delete(); }),
              "This list of items is locked for deleting");
    EXPECT_FALSE(item.CanEdit());
    EXPECT_FALSE(item.CanDelete());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { LockedRecord().SetCaption("x"); }),
              "This list of items is locked for editing");
}

TEST_P(ItemTest, LockOverrideLastsExactlyOneSetter) {
    list_->SetLocked(true);
    TdciTestItems& item = First();
    item.SetSkipLockCheck(true);
    item.SetAmount(42);
    EXPECT_EQ(item.Amount(), 42);
    EXPECT_FALSE(item.SkipLockCheck());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.SetAmount(43); }),
              "This list of items is locked for editing");
    // A setter with an equal value uses the override up too.
    item.SetSkipLockCheck(true);
    item.SetAmount(42);
    EXPECT_FALSE(item.SkipLockCheck());
    EXPECT_THROW(item.SetAmount(44), EDACStateValueError);
    // CanEdit consumes it as well.
    item.SetSkipLockCheck(true);
    EXPECT_TRUE(item.CanEdit());
    EXPECT_FALSE(item.SkipLockCheck());
    EXPECT_FALSE(item.CanEdit());
    // The override lets a result be stored in a locked record.
    TdciTestItems& locked = LockedRecord();
    locked.SetSkipLockCheck(true);
    locked.SetRatio(0.25);
    EXPECT_TRUE(locked.Save());
    EXPECT_DOUBLE_EQ(Db().SelectValue("RATIO", "TESTITEMS", "TESTITEMID=13").AsReal(), 0.25);
}

TEST_P(ItemTest, ALockCheckSkippingScopeCoversEverySetterAndEndsOnAThrow) {
    list_->SetLocked(true);
    TdciTestItems& item = First();
    {
        const TLockCheckSkipped unlocked(item);
        item.SetAmount(42);
        item.SetRatio(0.5);
    }
    EXPECT_EQ(item.Amount(), 42);
    EXPECT_THROW(item.SetAmount(43), EDACStateValueError) << "the scope has ended";
    try {
        const TLockCheckSkipped unlocked(item);
        throw std::runtime_error("a failure inside the scope");
    } catch (const std::runtime_error&) {
    }
    EXPECT_THROW(item.SetAmount(44), EDACStateValueError) << "left by a throw, the scope ended too";
}

TEST_P(ItemTest, FailingUpdateLeavesStateAndValuesAsTheyWere) {
    TdciTestItems& item = First();
    item.SetCaption("Second");
    item.SetAmount(5000); // refused by the table's check constraint
    ClearLog();
    EXPECT_THROW(item.Save(), EDatabaseError);
    EXPECT_EQ(item.ItemState(), isEdited);
    EXPECT_EQ(item.Caption(), "Second");
    EXPECT_EQ(item.Amount(), 5000);
    EXPECT_EQ(Db().SelectValue("AMOUNT", "TESTITEMS", "TESTITEMID=12").AsInteger(), 5);
    // Stored values are untouched: setting the old value back makes it unchanged again.
    item.SetAmount(5);
    item.SetCaption("First");
    EXPECT_EQ(item.ItemState(), isBrowse);
    // The saver's lists are refilled by the next save.
    item.SetAmount(6);
    EXPECT_TRUE(item.Save());
    EXPECT_EQ(Db().SelectValue("AMOUNT", "TESTITEMS", "TESTITEMID=12").AsInteger(), 6);
}

TEST_P(ItemTest, FailingInsertLeavesTheItemInserted) {
    TdciTestItems& item = NewItem();
    item.SetAmount(5000);
    EXPECT_THROW(item.Save(), EDatabaseError);
    EXPECT_EQ(item.ItemState(), isInserted);
    EXPECT_EQ(item.Amount(), 5000);
    item.SetAmount(1);
    EXPECT_TRUE(item.Save());
    EXPECT_EQ(Db().SelectValue("AMOUNT", "TESTITEMS", "TESTITEMID=0").AsInteger(), 1);
}

TEST_P(ItemTest, FailingDeleteKeepsTheItemUsable) {
    TdciTestItems& item = First();
    item.SetAmount(6);
    RefuseDeletes("TESTITEMS");
    ClearLog();
    EXPECT_THROW(item.Delete(), EDatabaseError);
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().back(), "DELETE FROM TESTITEMS WHERE TESTITEMID=12");
    EXPECT_EQ(item.ItemState(), isEdited);
    EXPECT_EQ(item.Amount(), 6);
    EXPECT_EQ(list_->Count(), 2);
    EXPECT_TRUE(item.Save());
    EXPECT_EQ(Db().SelectValue("AMOUNT", "TESTITEMS", "TESTITEMID=12").AsInteger(), 6);
}

TEST_P(ItemTest, DeleteAfterAnAbortedSaveStillWorks) {
    TdciTestItems& item = First();
    item.SetCaption("changed");
    Exec("DELETE FROM TESTITEMS WHERE TESTITEMID=12");
    // The row is gone: the update's assertion fails after the columns were handed over.
    EXPECT_THROW(item.Save(), EAssertionFailed);
    EXPECT_FALSE(TDACSaver::GetSingleton().AllColumns().empty());
    item.CancelChanges();
    Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION) VALUES (12, 'again')");
    item.Delete();
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "TESTITEMS", "TESTITEMID=12").AsInteger(), 0);
}

TEST_P(ItemTest, CheckOperationsOnADeletedItem) {
    TdciTestItems& item = NewItem();
    item.Delete();
    const std::vector<std::pair<std::function<void()>, std::string>> checks = {
        {[&] { item.CheckItemStateForCancelChanges(); },
         "CheckItemStateForCancelChanges : Wrong state for cancelling object changes"},
        {[&] { item.CheckItemStateForRead(); },
         "CheckItemStateForRead : Wrong state for reading object properties"},
        {[&] { item.CheckItemStateForUpdate(); },
         "CheckItemStateForUpdate : Wrong state for updating object properties"},
        {[&] { item.CheckItemStateForDelete(); },
         "CheckItemStateForDelete : Wrong state for deleting object"},
        {[&] { item.CheckItemStateForSave(); },
         "CheckItemStateForSave : Wrong state for saving object"},
        {[&] { item.CheckItemStateForDetails(); },
         "CheckItemStateForDetails : Wrong state for getting details"},
        {[&] { item.CheckItemStateForIsLocked(); },
         "CheckItemStateForIsLocked : Wrong state for getting lock state"},
        {[&] { (void)item.Caption(); },
         "CheckItemStateForRead : Wrong state for reading object properties"},
        {[&] { item.SetCaption("x"); },
         "CheckItemStateForUpdate : Wrong state for updating object properties"},
        {[&] { item.Save(); }, "CheckItemStateForSave : Wrong state for saving object"},
        {[&] { item.Delete(); }, "CheckItemStateForDelete : Wrong state for deleting object"},
        {[&] { item.IsLocked(); },
         "CheckItemStateForIsLocked : Wrong state for getting lock state"},
        {[&] { item.CancelChanges(); },
         "CheckItemStateForCancelChanges : Wrong state for cancelling object changes"},
        {[&] { item.CanEdit(); },
         "CheckItemStateForUpdate : Wrong state for updating object properties"},
    };
    for (const auto& [check, text] : checks)
        EXPECT_EQ(MessageOf<Exception>(check), "TdciTestItems." + text);
    // The list cannot remove it either: its own delete asks the item first.
    EXPECT_EQ(MessageOf<Exception>([&] { list_->Delete(); }),
              "TdciTestItems.CheckItemStateForDelete : Wrong state for deleting object");
}

TEST_P(ItemTest, CheckOperationsPassInTheThreeLiveStates) {
    TdciTestItems& browsing = LockedRecord();
    TdciTestItems& edited = First();
    edited.SetAmount(8);
    TdciTestItems& inserted = NewItem();
    const std::pair<TdciTestItems*, TDACItemState> items[] = {
        {&browsing, isBrowse}, {&edited, isEdited}, {&inserted, isInserted}};
    for (const auto& [item, state] : items) {
        ASSERT_EQ(item->ItemState(), state);
        EXPECT_NO_THROW(item->CheckItemStateForCancelChanges());
        EXPECT_NO_THROW(item->CheckItemStateForRead());
        EXPECT_NO_THROW(item->CheckItemStateForUpdate());
        EXPECT_NO_THROW(item->CheckItemStateForDelete());
        EXPECT_NO_THROW(item->CheckItemStateForSave());
        EXPECT_NO_THROW(item->CheckItemStateForDetails());
        EXPECT_NO_THROW(item->CheckItemStateForIsLocked());
    }
    inserted.CancelChanges();
}

// The complete transition table, on an item forced into each old state.
struct TransitionCase {
    TDACItemState from;
    TDACItemState to;
    std::optional<TDACItemState> result; // none: refused
};

std::vector<TransitionCase> AllTransitions() {
    const TDACItemState S[] = {isUnknown, isBrowse, isEdited, isInserted, isDeleted};
    // Resulting state per (old, new), or -1 for a refusal.
    const int table[5][5] = {
        {-1, isBrowse, -1, isInserted, -1},
        {-1, -1, isEdited, -1, isDeleted},
        {-1, isBrowse, isEdited, -1, isDeleted},
        {-1, isBrowse, isInserted, -1, isDeleted},
        {-1, -1, -1, -1, -1},
    };
    std::vector<TransitionCase> cases;
    for (int from = 0; from < 5; ++from)
        for (int to = 0; to < 5; ++to)
            cases.push_back({S[from], S[to],
                             table[from][to] < 0
                                 ? std::nullopt
                                 : std::optional(static_cast<TDACItemState>(table[from][to]))});
    return cases;
}

class ItemStateTransitions
    : public FrameworkDatabaseTest,
      public ::testing::WithParamInterface<std::tuple<Engine, TransitionCase>> {
protected:
    Engine GetEngine() const override { return std::get<0>(GetParam()); }
};

TEST_P(ItemStateTransitions, FollowTheTable) {
    const TransitionCase& c = std::get<1>(GetParam());
    TdcTestItems list(Db());
    list.Open();
    list.Insert();
    TdciTestItems& item = list.Item();
    item.ForceItemState(c.from);
    if (c.result) {
        EXPECT_NO_THROW(item.ChangeItemState(c.to));
        EXPECT_EQ(item.ItemState(), *c.result);
    } else {
        EXPECT_EQ(MessageOf<Exception>([&] { item.ChangeItemState(c.to); }),
                  std::string("TdciTestItems.ChangeItemState : Invalid new state (old state=") +
                      ItemStateName(c.from) + ", new state=" + ItemStateName(c.to));
        EXPECT_EQ(item.ItemState(), c.from);
    }
    item.ForceItemState(isDeleted);
}

INSTANTIATE_TEST_SUITE_P(Items, ItemStateTransitions,
                         ::testing::Combine(FrameworkEngines(),
                                            ::testing::ValuesIn(AllTransitions())),
                         [](const auto& info) {
                             const TransitionCase& c = std::get<1>(info.param);
                             return EngineLabel(std::get<0>(info.param)) + "_" +
                                    ItemStateName(c.from) + "_to_" + ItemStateName(c.to);
                         });

TEST_P(ItemTest, OutOfRangeStates) {
    TdciTestItems& item = NewItem();
    const TDACItemState outside = static_cast<TDACItemState>(5);
    for (TDACItemState from : {isUnknown, isBrowse, isEdited, isInserted, isDeleted}) {
        item.ForceItemState(from);
        EXPECT_EQ(MessageOf<Exception>([&] { item.ChangeItemState(outside); }),
                  std::string("TdciTestItems.ChangeItemState : Invalid new state (old state=") +
                      ItemStateName(from) + ")");
        EXPECT_EQ(item.ItemState(), from);
    }
    item.ForceItemState(outside);
    EXPECT_EQ(MessageOf<Exception>([&] { item.ChangeItemState(isBrowse); }),
              "TdciTestItems.ChangeItemState : Invalid old state");
    EXPECT_EQ(MessageOf<Exception>([&] { item.DetermineItemState(); }),
              "TdciTestItems.DetermineItemState : internal error");
    item.ForceItemState(isDeleted);
}

TEST_P(ItemTest, DetermineItemStateLeavesTheOtherStatesAlone) {
    TdciTestItems& item = NewItem();
    item.SetCaption("differs");
    for (TDACItemState state : {isUnknown, isInserted, isDeleted}) {
        item.ForceItemState(state);
        item.DetermineItemState();
        EXPECT_EQ(item.ItemState(), state);
    }
    item.ForceItemState(isBrowse);
    item.DetermineItemState();
    EXPECT_EQ(item.ItemState(), isEdited);
    item.ForceItemState(isDeleted);
}

TEST_P(ItemTest, ItemStateOrdinals) {
    EXPECT_EQ(static_cast<int>(isUnknown), 0);
    EXPECT_EQ(static_cast<int>(isBrowse), 1);
    EXPECT_EQ(static_cast<int>(isEdited), 2);
    EXPECT_EQ(static_cast<int>(isInserted), 3);
    EXPECT_EQ(static_cast<int>(isDeleted), 4);
}

// An item with a text key, to see the key written quoted.
class TdciTextKey : public TDACDatabaseClassItem {
public:
    TdciTextKey(TFieldType keyType, const std::string& key)
        : TDACDatabaseClassItem(nullptr, "TESTITEMS", "CAPTION", keyType, true) {
        CompleteConstruction(isBrowse, key);
    }
    const char* GetClassName() const override { return "TdciTextKey"; }
};

TEST_P(ItemTest, PrepareItemIDForDBByKeyType) {
    EXPECT_EQ(TdciTextKey(ftInteger, "17").PrepareItemIDForDB(), "17");
    EXPECT_EQ(TdciTextKey(ftString, "O'Neil").PrepareItemIDForDB(), "'O''Neil'");
    EXPECT_EQ(MessageOf<Exception>([] { TdciTextKey(ftFloat, "1").PrepareItemIDForDB(); }),
              "TdciTextKey.PrepareItemIDForDB : Unknown Field Type for converting ID");
}

TEST_P(ItemTest, ItemWithoutListIsNeverListLocked) {
    TdciTextKey item(ftString, "First");
    EXPECT_TRUE(item.CanEdit());
    EXPECT_TRUE(item.CanDelete());
    ClearLog();
    item.Delete();
    EXPECT_THAT(Log(), ElementsAre("SELECT COUNT(*) AS MVALUE FROM TESTITEMS WHERE CAPTION='First'",
                                   "DELETE FROM TESTITEMS WHERE CAPTION='First'"));
}

TEST(ItemWithoutSaver, ConstructionNeedsTheSaver) {
    ASSERT_FALSE(TDACSaver::SingletonExists());
    EXPECT_EQ(MessageOf<Exception>([] { TdciTextKey(ftInteger, "1"); }),
              "Error: Object not created, use TDACSaver.CreateSingleton.");
}

INSTANTIATE_FRAMEWORK_ENGINES(ItemTest);

} // namespace
} // namespace parvela::test
