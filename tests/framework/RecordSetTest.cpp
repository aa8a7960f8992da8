// Record sets on real tables: column selection, the statement at each open, the cursor and
// the messages.

#include "tests/framework/FrameworkDatabaseTest.h"
#include "tests/framework/TestItemEntity.h"

#include "framework/Singleton.h"
#include "framework/TDACRecordSet.h"
#include "platform/Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;

// The three columns of the generator's example, with an expression column besides.
class TrsdExampleAssessments : public TDACRecordSetDefs,
                               public TSingleton<TrsdExampleAssessments, SingletonKind::Lazy> {
public:
    static constexpr const char* ClassName = "TrsdExampleAssessments";
    std::string FromTable() const override { return "ASSESSMENTS"; }
    std::string UpdateTable() const override { return "ASSESSMENTS"; }
    std::string FixedWhere() const override { return ""; }
    std::string FixedGroupBy() const override { return ""; }
    std::string KeyField() const override { return "ASSESSMENTID"; }

private:
    friend class TSingleton<TrsdExampleAssessments, SingletonKind::Lazy>;
    TrsdExampleAssessments() {
        Add("ASSESSMENTID", ftInteger, TDACFieldOrigin::foPersistent);
        Add("CAPTION", ftString, TDACFieldOrigin::foPersistent);
        Add("PROJECTID", ftInteger, TDACFieldOrigin::foPersistent);
        AddExpressionField("UCAPTION", ftString, "UPPER(CAPTION)");
    }
};

class TrsExampleAssessments : public TDACRecordSet {
public:
    static constexpr const char* ClassName = "TrsExampleAssessments";
    TrsExampleAssessments(TDACDatabase* database, const std::vector<std::string>& columns)
        : TDACRecordSet(ClassName, TrsdExampleAssessments::GetSingleton(), database, false,
                        columns) {}
    const char* GetClassName() const override { return ClassName; }
};

// A definition with a fixed condition and grouping.
class TrsdGroupedItems : public TDACRecordSetDefs,
                         public TSingleton<TrsdGroupedItems, SingletonKind::Lazy> {
public:
    static constexpr const char* ClassName = "TrsdGroupedItems";
    std::string FromTable() const override { return "TESTITEMS"; }
    std::string UpdateTable() const override { return "TESTITEMS"; }
    std::string FixedWhere() const override { return "AMOUNT>0"; }
    std::string FixedGroupBy() const override { return "ACTIVE"; }
    std::string KeyField() const override { return "TESTITEMID"; }

private:
    friend class TSingleton<TrsdGroupedItems, SingletonKind::Lazy>;
    TrsdGroupedItems() {
        Add("ACTIVE", ftBoolean, TDACFieldOrigin::foPersistent);
        AddExpressionField("TOTAL", ftInteger, "SUM(AMOUNT)");
    }
};

class TrsGroupedItems : public TDACRecordSet {
public:
    explicit TrsGroupedItems(TDACDatabase* database)
        : TDACRecordSet("TrsGroupedItems", TrsdGroupedItems::GetSingleton(), database, false,
                        {"*"}) {}
    const char* GetClassName() const override { return "TrsGroupedItems"; }
};

class RecordSetTest : public FrameworkDatabaseTest, public ::testing::WithParamInterface<Engine> {
protected:
    Engine GetEngine() const override { return GetParam(); }

    void InsertItem(int id, const std::string& caption, const std::string& amount) {
        Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION, AMOUNT, ACTIVE, LOCKED) VALUES (" +
             std::to_string(id) + ", '" + caption + "', " + amount + ", " +
             BooleanLiteral(id % 2 == 0) + ", " + BooleanLiteral(false) + ")");
    }
};

TEST_P(RecordSetTest, GeneratorExampleIsTheStatementExecuted) {
    CreateAssessmentsTable();
    Exec("INSERT INTO ASSESSMENTS VALUES (1, 'in project', 12)");
    Exec("INSERT INTO ASSESSMENTS VALUES (2, 'elsewhere', 13)");
    TrsExampleAssessments records(&Db(), {"ASSESSMENTID", "CAPTION", "PROJECTID"});
    records.FilterAdd("PROJECTID=%s", {"12"});
    ClearLog();
    records.Open();
    EXPECT_THAT(Log(), ElementsAre("SELECT ASSESSMENTID,\r\nCAPTION,\r\nPROJECTID\r\n"
                                   "FROM ASSESSMENTS\r\nWHERE PROJECTID=12\r\n"));
    ASSERT_FALSE(records.Eof());
    EXPECT_EQ(records.Value("CAPTION").AsString(), "in project");
    records.Next();
    EXPECT_TRUE(records.Eof());
    records.Close();
}

TEST_P(RecordSetTest, AllColumnsInDefinitionOrderAndExpressionsWithTheirName) {
    CreateAssessmentsTable();
    Exec("INSERT INTO ASSESSMENTS VALUES (1, 'mixed Case', 12)");
    TrsExampleAssessments records(&Db(), {"*"});
    EXPECT_THAT(records.SelectExpressions(),
                ElementsAre("ASSESSMENTID", "CAPTION", "PROJECTID", "UPPER(CAPTION) AS UCAPTION"));
    records.Open();
    EXPECT_EQ(records.Value("UCAPTION").AsString(), "MIXED CASE");
    EXPECT_EQ(records.Value("ucaption").AsString(), "MIXED CASE");
}

TEST_P(RecordSetTest, ColumnNamesAreLookedUpInUpperCase) {
    TrsTestItems records(&Db(), {"caption", "Amount"});
    EXPECT_THAT(records.SelectExpressions(), ElementsAre("CAPTION", "AMOUNT"));
    EXPECT_EQ(records.SQLText(), "SELECT CAPTION,\r\nAMOUNT\r\nFROM TESTITEMS\r\n");
}

struct CreateFailure {
    std::string name;
    std::vector<std::string> columns;
    std::string message;
};

class RecordSetCreateFailures
    : public FrameworkDatabaseTest,
      public ::testing::WithParamInterface<std::tuple<Engine, CreateFailure>> {
protected:
    Engine GetEngine() const override { return std::get<0>(GetParam()); }
};

TEST_P(RecordSetCreateFailures, RaiseTheirMessages) {
    const CreateFailure& c = std::get<1>(GetParam());
    EXPECT_EQ(MessageOf<Exception>([&] { TrsTestItems records(&Db(), c.columns); }), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    RecordSets, RecordSetCreateFailures,
    ::testing::Combine(
        FrameworkEngines(),
        ::testing::Values(
            CreateFailure{"Composed",
                          {"CAPTION AS X"},
                          "TrsTestItems.Create: Cannot create composed field \"CAPTION AS X\""},
            CreateFailure{"ComposedLowerCase",
                          {"caption", "amount+1"},
                          "TrsTestItems.Create: Cannot create composed field \"AMOUNT+1\""},
            CreateFailure{"Function",
                          {"UPPER(CAPTION)"},
                          "TrsTestItems.Create: Cannot create composed field \"UPPER(CAPTION)\""},
            CreateFailure{
                "Undefined", {"NOSUCH"}, "TRecordSetDefs.IndexOf: Field \"NOSUCH\" not found"},
            CreateFailure{"StarAmongOthers",
                          {"CAPTION", "*"},
                          "TrsTestItems.Create: Cannot create composed field \"*\""})),
    [](const auto& info) {
        return EngineLabel(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

TEST_P(RecordSetTest, CreateNeedsAConnectedDatabase) {
    EXPECT_EQ(MessageOf<Exception>([] { TrsTestItems records(nullptr); }),
              "TrsTestItems.Create: Nil database object");
    TDACDatabase unconnected;
    EXPECT_EQ(MessageOf<Exception>([&] { TrsTestItems records(&unconnected); }),
              "TrsTestItems.Create: Database not connected");
}

TEST_P(RecordSetTest, EmptyResultIsEofAndHasNoValues) {
    TrsTestItems records(&Db());
    records.Open();
    EXPECT_TRUE(records.IsOpen());
    EXPECT_TRUE(records.Eof());
    EXPECT_FALSE(records.HasRecords());
    EXPECT_EQ(MessageOf<Exception>([&] { records.Value("CAPTION"); }),
              "TrsTestItems.Value: No records");
}

TEST_P(RecordSetTest, ReadingPastTheLastRowRaises) {
    InsertItem(1, "only", "5");
    TrsTestItems records(&Db());
    records.Open();
    EXPECT_EQ(records.ReadString("CAPTION"), "only");
    records.Next();
    ASSERT_TRUE(records.Eof());
    EXPECT_EQ(MessageOf<Exception>([&] { records.Value("CAPTION"); }),
              "TrsTestItems.Value: Past the last record");
    EXPECT_EQ(MessageOf<Exception>([&] { records.ReadInteger("AMOUNT"); }),
              "TrsTestItems.Value: Past the last record");
}

TEST_P(RecordSetTest, ClosedRecordSetRefusesCursorOperations) {
    TrsTestItems records(&Db());
    EXPECT_FALSE(records.IsOpen());
    EXPECT_EQ(MessageOf<Exception>([&] { records.Eof(); }), "TrsTestItems.Eof: Recordset not open");
    EXPECT_EQ(MessageOf<Exception>([&] { records.Next(); }),
              "TrsTestItems.Next: Recordset not open");
    EXPECT_EQ(MessageOf<Exception>([&] { records.Value("CAPTION"); }),
              "TrsTestItems.Value: Recordset not open");
    EXPECT_EQ(MessageOf<Exception>([&] { records.Close(); }), "TrsTestItems.Close: Already closed");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { records.CheckOpen(); }),
              "Error: Recordset TrsTestItems must be open");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { records.CAPTION(); }),
              "Error: Recordset TrsTestItems must be open");
}

TEST_P(RecordSetTest, CloseTwiceFailsTheSecondTime) {
    TrsTestItems records(&Db());
    records.Open();
    records.Close();
    EXPECT_FALSE(records.IsOpen());
    EXPECT_EQ(MessageOf<Exception>([&] { records.Close(); }), "TrsTestItems.Close: Already closed");
}

TEST_P(RecordSetTest, FilterAddedBetweenOpensTakesPartInTheSecondOnly) {
    InsertItem(1, "a", "5");
    InsertItem(2, "b", "7");
    TrsTestItems records(&Db(), {"TESTITEMID"});
    ClearLog();
    records.Open();
    records.FilterAdd("AMOUNT=%d", {7});
    std::vector<int> firstIds;
    for (; !records.Eof(); records.Next())
        firstIds.push_back(records.TESTITEMID());
    records.Open(); // reopens
    std::vector<int> secondIds;
    for (; !records.Eof(); records.Next())
        secondIds.push_back(records.TESTITEMID());
    EXPECT_THAT(Log(), ElementsAre("SELECT TESTITEMID\r\nFROM TESTITEMS\r\n",
                                   "SELECT TESTITEMID\r\nFROM TESTITEMS\r\nWHERE AMOUNT=7\r\n"));
    EXPECT_THAT(firstIds, ::testing::UnorderedElementsAre(1, 2));
    EXPECT_THAT(secondIds, ElementsAre(2));
}

TEST_P(RecordSetTest, HasRecordsIsFixedAtOpen) {
    InsertItem(1, "a", "5");
    TrsTestItems records(&Db());
    records.Open();
    EXPECT_TRUE(records.HasRecords());
    records.Next();
    EXPECT_TRUE(records.Eof());
    EXPECT_TRUE(records.HasRecords());
}

TEST_P(RecordSetTest, TypedReadersFollowTheValueConventions) {
    Exec("INSERT INTO TESTITEMS VALUES (1, 'text', NULL, NULL, NULL, NULL, NULL)");
    Exec("INSERT INTO TESTITEMS VALUES (2, 'more', 7, 2.5, '2015-12-31 14:05:00', " +
         BooleanLiteral(true) + ", " + BooleanLiteral(true) + ")");
    TrsTestItems records(&Db());
    records.FilterAdd("TESTITEMID=%d", {1});
    records.Open();
    EXPECT_EQ(records.CAPTION(), "text");
    EXPECT_TRUE(IsMissingInteger(records.AMOUNT()));
    EXPECT_EQ(records.ReadIntegerNullAsZero("AMOUNT"), 0);
    EXPECT_TRUE(IsMissingReal(records.RATIO()));
    EXPECT_TRUE(IsMissingReal(records.MEASURED()));
    EXPECT_EQ(MessageOf<Exception>([&] { records.LOCKED(); }),
              "TDACDatabase.StrToBoolean: empty string");
    records.FilterAdd("TESTITEMID=%d", {2});
    records.Open();
    EXPECT_EQ(records.AMOUNT(), 7);
    EXPECT_DOUBLE_EQ(records.RATIO(), 2.5);
    EXPECT_DOUBLE_EQ(records.MEASURED(), EncodeDateTime(2015, 12, 31, 14, 5, 0));
    EXPECT_TRUE(records.ACTIVE());
    EXPECT_TRUE(records.LOCKED());
}

TEST_P(RecordSetTest, FixedWhereAndGroupByAreInEveryStatement) {
    InsertItem(1, "a", "5");
    InsertItem(3, "b", "7");
    InsertItem(2, "c", "0");
    TrsGroupedItems records(&Db());
    records.FilterAdd("CAPTION<>'%s'", {"z"});
    ClearLog();
    records.Open();
    EXPECT_THAT(Log(), ElementsAre("SELECT ACTIVE,\r\nSUM(AMOUNT) AS TOTAL\r\nFROM TESTITEMS\r\n"
                                   "WHERE AMOUNT>0\r\nAND CAPTION<>'z'\r\nGROUP BY ACTIVE\r\n"));
    ASSERT_FALSE(records.Eof());
    EXPECT_EQ(records.Value("TOTAL").AsInteger(), 12);
    records.Next();
    EXPECT_TRUE(records.Eof());
}

TEST_P(RecordSetTest, FailingOpenLeavesTheRecordSetClosed) {
    TrsExampleAssessments records(&Db(), {"*"}); // the table does not exist yet
    EXPECT_THROW(records.Open(), EDatabaseError);
    EXPECT_FALSE(records.IsOpen());
    CreateAssessmentsTable();
    records.Open();
    EXPECT_TRUE(records.IsOpen());
}

TEST_P(RecordSetTest, UnknownColumnOfTheQueryFailsWithTheAccessLayerMessage) {
    InsertItem(1, "a", "5");
    TrsTestItems records(&Db(), {"CAPTION"});
    records.Open();
    EXPECT_THROW(records.Value("AMOUNT"), EDatabaseError);
}

INSTANTIATE_FRAMEWORK_ENGINES(RecordSetTest);

} // namespace
} // namespace parvela::test
