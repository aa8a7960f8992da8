// Item lists on a real table: opening, the cursor, locating, inserting, deleting, closing
// and locks.

#include "tests/framework/FrameworkDatabaseTest.h"
#include "tests/framework/TestItemEntity.h"

#include "platform/Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;

class ItemListTest : public FrameworkDatabaseTest, public ::testing::WithParamInterface<Engine> {
protected:
    Engine GetEngine() const override { return GetParam(); }

    void InsertRows(std::initializer_list<int> ids) {
        for (int id : ids)
            Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION, AMOUNT, ACTIVE, LOCKED) VALUES (" +
                 std::to_string(id) + ", 'Item " + std::to_string(id) + "', " +
                 std::to_string(id * 10 % 1000) + ", " + BooleanLiteral(id % 2 == 0) + ", " +
                 BooleanLiteral(false) + ")");
    }

    static std::vector<std::string> ItemIDs(TdcTestItems& list) {
        std::vector<std::string> ids;
        for (list.First(); !list.Eof(); list.Next())
            ids.push_back(list.Item().ItemID());
        return ids;
    }
};

TEST_P(ItemListTest, NeverOpenedListCountsMinusOne) {
    TdcTestItems list(Db());
    EXPECT_FALSE(list.IsOpen());
    EXPECT_EQ(list.Count(), -1);
    EXPECT_FALSE(list.HasItems());
    EXPECT_FALSE(list.Locked());
    EXPECT_NE(list.RecordSet(), nullptr);
}

TEST_P(ItemListTest, EmptyTableGivesAnOpenEmptyList) {
    TdcTestItems list(Db());
    list.Open();
    EXPECT_TRUE(list.IsOpen());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.HasItems());
    EXPECT_EQ(list.GetObjectListIndex(), -1);
    EXPECT_TRUE(list.Eof());
    EXPECT_EQ(MessageOf<Exception>([&] { list.Item(); }),
              "TdcTestItems.Item : Cannot return item when empty or at bof or at eof");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { list.Delete(); }),
              "TdcTestItems.Delete : No items to delete");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { list.LocateByItemID("1", false); }),
              "TdcTestItems.LocateByItemID : No items to locate");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { list.SetObjectListIndex(0); }),
              "TdcTestItems.SetObjectListIndex : No items to set index on");
}

TEST_P(ItemListTest, OpenLoadsEveryRowAndWalksThem) {
    InsertRows({1, 2, 3});
    TdcTestItems list(Db());
    ClearLog();
    list.Open();
    EXPECT_THAT(Log(), ElementsAre("SELECT TESTITEMID,\r\nCAPTION,\r\nAMOUNT,\r\nRATIO,\r\n"
                                   "MEASURED,\r\nACTIVE,\r\nLOCKED\r\nFROM TESTITEMS\r\n"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetObjectListIndex(), 0);
    EXPECT_THAT(ItemIDs(list), ::testing::UnorderedElementsAre("1", "2", "3"));
    EXPECT_TRUE(list.Eof());
    list.Next(); // stays at the end
    EXPECT_TRUE(list.Eof());
    EXPECT_EQ(MessageOf<Exception>([&] { list.Item(); }),
              "TdcTestItems.Item : Cannot return item when empty or at bof or at eof");
    EXPECT_FALSE(list.RecordSet()->IsOpen());
    for (list.First(); !list.Eof(); list.Next())
        EXPECT_EQ(list.Item().ItemState(), isBrowse);
}

TEST_P(ItemListTest, InsertAppendsANewCurrentItemAndCloseRefusesIt) {
    InsertRows({1, 2, 3});
    TdcTestItems list(Db());
    list.Open();
    EXPECT_TRUE(list.CanInsert());
    EXPECT_EQ(list.Insert(), 3);
    EXPECT_EQ(list.GetObjectListIndex(), 3);
    EXPECT_EQ(list.Count(), 4);
    TdciTestItems& item = list.Item();
    EXPECT_EQ(item.ItemState(), isInserted);
    const std::string expected =
        "TdcTestItems.Close : Record with ID=" + item.ItemID() + " cannot be closed";
    EXPECT_EQ(MessageOf<Exception>([&] { list.Close(); }), expected);
    EXPECT_EQ(MessageOf<Exception>([&] { list.Open(); }), expected);
    EXPECT_TRUE(list.IsOpen());
    EXPECT_EQ(list.Count(), 4);
    item.SetCaption("saved");
    EXPECT_TRUE(item.Save());
    list.Close();
    EXPECT_FALSE(list.IsOpen());
    EXPECT_EQ(list.Count(), -1);
    list.Open();
    EXPECT_EQ(list.Count(), 4);
}

TEST_P(ItemListTest, CloseRefusesAnEditedItem) {
    InsertRows({12});
    TdcTestItems list(Db());
    list.Open();
    list.Item().SetAmount(1);
    EXPECT_EQ(MessageOf<Exception>([&] { list.Close(); }),
              "TdcTestItems.Close : Record with ID=12 cannot be closed");
    list.Item().CancelChanges();
    list.Close();
    EXPECT_FALSE(list.IsOpen());
}

TEST_P(ItemListTest, DeleteMovesTheCursorAndDestroysTheItem) {
    InsertRows({1, 2, 3});
    TdcTestItems list(Db());
    list.Open();
    list.SortOnItemID(true);
    list.SetObjectListIndex(2);
    list.Delete();
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetObjectListIndex(), 1);
    EXPECT_EQ(list.Item().ItemID(), "2");
    list.SetObjectListIndex(0);
    list.Delete();
    EXPECT_EQ(list.GetObjectListIndex(), 0);
    EXPECT_EQ(list.Item().ItemID(), "2");
    list.Delete();
    EXPECT_TRUE(list.IsOpen());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.GetObjectListIndex(), -1);
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "TESTITEMS", "").AsInteger(), 0);
}

TEST_P(ItemListTest, DeleteOfANewItemRemovesItWithoutAStatement) {
    TdcTestItems list(Db());
    list.Open();
    list.Insert();
    ClearLog();
    list.Delete();
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(list.Count(), 0);
    list.Close();
}

TEST_P(ItemListTest, RefusedDeleteLeavesTheListUnchanged) {
    InsertRows({1, 2});
    TdcTestItems list(Db());
    list.Open();
    list.SetLocked(true);
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { list.Delete(); }),
              "This list of items is locked for deleting");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item().ItemState(), isBrowse);
}

TEST_P(ItemListTest, LocateByItemIDMatchesExactly) {
    InsertRows({12, 5});
    TdcTestItems list(Db());
    list.Open();
    list.SortOnItemID(true);
    EXPECT_TRUE(list.LocateByItemID("5", false));
    EXPECT_EQ(list.GetObjectListIndex(), 1);
    EXPECT_FALSE(list.LocateByItemID("12 ", false));
    EXPECT_FALSE(list.LocateByItemID(" 12", false));
    EXPECT_EQ(list.GetObjectListIndex(), 1);
    EXPECT_TRUE(list.LocateByItemID("12", true));
    EXPECT_EQ(list.GetObjectListIndex(), 0);
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { list.LocateByItemID("12 ", true); }),
              "TdcTestItems.LocateByItemID : Could not locate ItemID=\"12 \"");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { list.LocateByItemID("  ", false); }),
              "Empty ItemID string");
}

TEST_P(ItemListTest, SetFilterTakesEffectAtTheNextOpen) {
    InsertRows({1, 2, 3});
    TdcTestItems list(Db());
    list.SetFilter("amount>%d", {15});
    list.Open();
    EXPECT_EQ(list.Count(), 2);
    list.SetFilter("AMOUNT>%d", {25});
    EXPECT_EQ(list.Count(), 2);
    ClearLog();
    list.Open();
    EXPECT_THAT(Log(), ElementsAre(::testing::EndsWith("FROM TESTITEMS\r\nWHERE AMOUNT>25\r\n")));
    EXPECT_THAT(ItemIDs(list), ElementsAre("3"));
}

TEST_P(ItemListTest, LockedListRefusesInserts) {
    TdcTestItems list(Db());
    list.Open();
    list.SetLocked(true);
    EXPECT_FALSE(list.CanInsert());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { list.Insert(); }),
              "The list of items is locked for inserts");
    EXPECT_EQ(list.Count(), 0);
}

TEST_P(ItemListTest, ClosedListOperationsAreAssertions) {
    TdcTestItems list(Db());
    const std::vector<std::pair<std::string, std::function<void()>>> operations = {
        {"First", [&] { list.First(); }},
        {"Next", [&] { list.Next(); }},
        {"Eof", [&] { list.Eof(); }},
        {"GetObjectListIndex", [&] { list.GetObjectListIndex(); }},
        {"SetObjectListIndex", [&] { list.SetObjectListIndex(0); }},
        {"_CanInsert", [&] { list._CanInsert(); }},
        {"LocateByItemID", [&] { list.LocateByItemID("1", false); }},
        {"Delete", [&] { list.Delete(); }},
        {"GetObjectListIndex", [&] { list.Item(); }},
        {"_CanInsert", [&] { list.CanInsert(); }},
        {"_CanInsert", [&] { list.Insert(); }},
    };
    for (const auto& [operation, action] : operations)
        EXPECT_EQ(MessageOf<EAssertionFailed>(action),
                  "TdcTestItems." + operation + " : Objectlist not assigned");
    list.SetFilter("AMOUNT=%d", {1});
    EXPECT_EQ(list.Count(), -1);
    list.Close(); // closing a closed list is allowed
    EXPECT_EQ(list.Count(), -1);
}

TEST_P(ItemListTest, SetObjectListIndexChecksTheRange) {
    InsertRows({1, 2});
    TdcTestItems list(Db());
    list.Open();
    list.SetObjectListIndex(1);
    EXPECT_EQ(list.GetObjectListIndex(), 1);
    for (int index : {-1, 2})
        EXPECT_EQ(MessageOf<EAssertionFailed>([&] { list.SetObjectListIndex(index); }),
                  "TdcTestItems.SetObjectListIndex : Internal error");
    EXPECT_EQ(list.GetObjectListIndex(), 1);
    list.Next();
    EXPECT_TRUE(list.Eof());
    EXPECT_EQ(MessageOf<Exception>([&] { list.GetObjectListIndex(); }),
              "TdcTestItems.GetObjectListIndex : Internal error in FObjectListIndex");
}

TEST_P(ItemListTest, TwoListsHoldSeparateItems) {
    InsertRows({1});
    TdcTestItems first(Db());
    TdcTestItems second(Db());
    first.Open();
    second.Open();
    EXPECT_NE(&first.Item(), &second.Item());
    first.Item().SetCaption("changed");
    ASSERT_TRUE(first.Item().Save());
    EXPECT_EQ(second.Item().Caption(), "Item 1");
    second.Open();
    EXPECT_EQ(second.Item().Caption(), "changed");
}

TEST_P(ItemListTest, SortOnItemIDComparesTexts) {
    InsertRows({9, 100, 10});
    TdcTestItems list(Db());
    list.Open();
    list.SortOnItemID(true);
    EXPECT_THAT(ItemIDs(list), ElementsAre("10", "100", "9"));
    list.SortOnItemID(false);
    EXPECT_THAT(ItemIDs(list), ElementsAre("9", "100", "10"));
}

TEST_P(ItemListTest, SortOnFieldByColumnKind) {
    InsertRows({3, 1, 2});
    Exec("UPDATE TESTITEMS SET CAPTION='b', MEASURED='2015-12-31 23:00:00' WHERE TESTITEMID=1");
    Exec("UPDATE TESTITEMS SET CAPTION='C', MEASURED='2015-12-30' WHERE TESTITEMID=2");
    Exec("UPDATE TESTITEMS SET CAPTION='a', MEASURED='2016-01-01' WHERE TESTITEMID=3");
    TdcTestItems list(Db());
    list.Open();
    list.SortOnField(0, true);
    EXPECT_THAT(ItemIDs(list), ElementsAre("1", "2", "3"));
    list.SortOnField(1, true); // texts ignoring case
    EXPECT_THAT(ItemIDs(list), ElementsAre("3", "1", "2"));
    list.SortOnField(2, false); // integers
    EXPECT_THAT(ItemIDs(list), ElementsAre("3", "2", "1"));
    list.SortOnField(4, true); // calendar days
    EXPECT_THAT(ItemIDs(list), ElementsAre("2", "1", "3"));
    list.SortOnField(5, true); // false first
    EXPECT_EQ(list.Count(), 3);
    list.First();
    EXPECT_FALSE(list.Item().Active());
    EXPECT_EQ(MessageOf<Exception>([&] { list.SortOnField(7, true); }), "internal error");
}

TEST_P(ItemListTest, RowThatCannotBeReadAbortsOpenAndLeavesTheListClosed) {
    InsertRows({1, 2});
    Exec("UPDATE TESTITEMS SET LOCKED=NULL WHERE TESTITEMID=2");
    TdcTestItems list(Db());
    EXPECT_EQ(MessageOf<Exception>([&] { list.Open(); }),
              "TDACDatabase.StrToBoolean: empty string");
    EXPECT_FALSE(list.IsOpen());
    EXPECT_EQ(list.Count(), -1);
    EXPECT_FALSE(list.RecordSet()->IsOpen());
    Exec("UPDATE TESTITEMS SET LOCKED=" + BooleanLiteral(false) + " WHERE TESTITEMID=2");
    list.Open();
    EXPECT_EQ(list.Count(), 2);
}

TEST_P(ItemListTest, AFailedSelectLeavesTheListClosedAndTakingNoInserts) {
    InsertRows({1});
    TdcTestItems list(Db());
    list.Open();
    list.SetFilter("NOSUCHCOLUMN=%d", {1});
    EXPECT_THROW(list.Open(), EDatabaseError);
    EXPECT_FALSE(list.IsOpen()) << "not an empty list";
    EXPECT_EQ(list.Count(), -1);
    EXPECT_FALSE(list.RecordSet()->IsOpen());
    ClearLog();
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { list.Insert(); }),
              "TdcTestItems._CanInsert : Objectlist not assigned");
    EXPECT_TRUE(Log().empty()) << "no key drawn";
}

TEST_P(ItemListTest, DestroyingAListWithUnsavedItemsDiscardsThem) {
    InsertRows({1});
    {
        TdcTestItems list(Db());
        list.Open();
        list.Item().SetCaption("never saved");
        list.Insert();
    }
    EXPECT_EQ(Db().SelectValue("CAPTION", "TESTITEMS", "TESTITEMID=1").AsString(), "Item 1");
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "TESTITEMS", "").AsInteger(), 1);
}

INSTANTIATE_FRAMEWORK_ENGINES(ItemListTest);

} // namespace
} // namespace parvela::test
