// The saver against real tables: the SQL text of every value type, the four statements,
// the changed-column rule and the assertions.

#include "tests/framework/FrameworkDatabaseTest.h"

#include "framework/DateTime.h"
#include "framework/MissingValues.h"
#include "framework/TDACSaver.h"
#include "platform/Exceptions.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;

class SaverTest : public FrameworkDatabaseTest {
protected:
    TDACSaver& Saver() { return TDACSaver::GetSingleton(); }

    // Inserts row `key` with the given columns already handed over.
    std::string InsertedStatement(int key) {
        ClearLog();
        Saver().InsertRowWithKey("TESTITEMS", "TESTITEMID", std::to_string(key));
        EXPECT_EQ(Log().size(), 1u);
        return Log().empty() ? "" : Log().back();
    }
};

struct RealCase {
    double value;
    std::string sql;
};

class SaverRealTexts : public SaverTest,
                       public ::testing::WithParamInterface<std::tuple<Engine, RealCase>> {
protected:
    Engine GetEngine() const override { return std::get<0>(GetParam()); }
};

TEST_P(SaverRealTexts, AreWrittenAndStored) {
    const RealCase& c = std::get<1>(GetParam());
    Saver().ClearFieldLists();
    Saver().AddFloatField("RATIO", 0.0, c.value);
    EXPECT_EQ(InsertedStatement(1),
              "INSERT INTO TESTITEMS (TESTITEMID,RATIO) VALUES(1," + c.sql + ")");
    auto query = Db().OpenQuery("SELECT RATIO FROM TESTITEMS WHERE TESTITEMID=1");
    if (IsMissingReal(c.value))
        EXPECT_TRUE(query->FieldByName("RATIO").IsNull());
    else
        EXPECT_DOUBLE_EQ(query->FieldByName("RATIO").AsFloat(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Saver, SaverRealTexts,
    ::testing::Combine(FrameworkEngines(),
                       ::testing::Values(RealCase{0.5, "0.5"}, RealCase{2.0, "2"},
                                         RealCase{12.25, "12.25"}, RealCase{-0.125, "-0.125"},
                                         RealCase{1e-7, "1E-7"}, RealCase{1.5e20, "1.5E20"},
                                         RealCase{0.1 + 0.2, "0.3"},
                                         RealCase{MissingReal, "NULL"})),
    [](const auto& info) {
        return EngineLabel(std::get<0>(info.param)) + "_" + std::to_string(info.index);
    });

class SaverStatements : public SaverTest, public ::testing::WithParamInterface<Engine> {
protected:
    Engine GetEngine() const override { return GetParam(); }
};

TEST_P(SaverStatements, ValueTextsOfEveryType) {
    Saver().ClearFieldLists();
    Saver().AddStringField("CAPTION", "", "O'Brien");
    Saver().AddIntegerField("AMOUNT", 0, MissingInteger);
    Saver().AddDateTimeField("MEASURED", 0.0, MissingReal);
    Saver().AddBooleanField("ACTIVE", false, true);
    Saver().AddBooleanField("LOCKED", false, false);
    EXPECT_EQ(InsertedStatement(3), "INSERT INTO TESTITEMS (TESTITEMID,CAPTION,AMOUNT,MEASURED,"
                                    "ACTIVE,LOCKED) VALUES(3,'O''Brien',NULL,NULL,True,False)");
    auto query = Db().OpenQuery("SELECT * FROM TESTITEMS WHERE TESTITEMID=3");
    EXPECT_EQ(query->FieldByName("CAPTION").AsString(), "O'Brien");
    EXPECT_TRUE(query->FieldByName("AMOUNT").IsNull());
    EXPECT_TRUE(query->FieldByName("MEASURED").IsNull());
    EXPECT_TRUE(query->FieldByName("ACTIVE").AsBoolean());
}

TEST_P(SaverStatements, DatesAtMidnightHaveNoTimePart) {
    Saver().ClearFieldLists();
    Saver().AddDateTimeField("MEASURED", MissingReal, EncodeDate(2015, 12, 31));
    EXPECT_EQ(InsertedStatement(4),
              "INSERT INTO TESTITEMS (TESTITEMID,MEASURED) VALUES(4,'2015-12-31')");
    Saver().ClearFieldLists();
    Saver().AddDateTimeField("MEASURED", MissingReal, EncodeDateTime(2015, 12, 31, 14, 5, 0));
    EXPECT_EQ(InsertedStatement(5),
              "INSERT INTO TESTITEMS (TESTITEMID,MEASURED) VALUES(5,'2015-12-31 14:05:00')");
    auto query = Db().OpenQuery("SELECT MEASURED FROM TESTITEMS WHERE TESTITEMID=5");
    EXPECT_DOUBLE_EQ(query->FieldByName("MEASURED").AsDateTime(),
                     EncodeDateTime(2015, 12, 31, 14, 5, 0));
}

TEST_P(SaverStatements, ChangedColumnsAreDecidedByTypeRules) {
    Saver().ClearFieldLists();
    Saver().AddStringField("A", "x", "X"); // case counts
    Saver().AddStringField("B", "same", "same");
    Saver().AddIntegerField("C", 1, 1);
    Saver().AddIntegerField("D", MissingInteger, 0);
    Saver().AddFloatField("E", 2.0, 2.0);
    Saver().AddFloatField("F", MissingReal, 0.0);
    Saver().AddBooleanField("G", true, true);
    Saver().AddDateTimeField("H", 42000.5, 42000.5);
    Saver().AddDateTimeField("I", 42000.5, 42000.25);
    std::vector<std::string> changed;
    for (const auto& column : Saver().ChangedColumns())
        changed.push_back(column.first);
    EXPECT_THAT(changed, ElementsAre("A", "D", "F", "I"));
    EXPECT_EQ(Saver().AllColumns().size(), 9u);
    EXPECT_TRUE(Saver().HasChangedFields());
    Saver().ClearFieldLists();
    EXPECT_FALSE(Saver().HasChangedFields());
    EXPECT_TRUE(Saver().AllColumns().empty());
}

TEST_P(SaverStatements, ColumnNamesAreStoredUnchanged) {
    Saver().ClearFieldLists();
    Saver().AddIntegerField(" Amount", 0, 1);
    EXPECT_EQ(Saver().AllColumns().front().first, " Amount");
}

TEST_P(SaverStatements, ProjectExampleStatements) {
    CreateProjectsTable();
    Saver().ClearFieldLists();
    Saver().AddStringField("CAPTION", "Old", "Old");
    Saver().AddBooleanField("BUSY", false, false);
    ClearLog();
    Saver().InsertRowWithKey("PROJECTS", "PROJECTID", "17");
    Saver().ClearFieldLists();
    Saver().AddStringField("CAPTION", "Old", "New");
    Saver().AddBooleanField("BUSY", false, false);
    Saver().UpdateRow("PROJECTS", "PROJECTID", "17");
    Saver().DeleteRow("PROJECTS", "PROJECTID", "17");
    Saver().AddStringField("CAPTION", "", "P");
    Saver().AddBooleanField("BUSY", false, false);
    Saver().InsertRowWithKey("PROJECTS", "PROJECTID", "18");
    EXPECT_THAT(Log(),
                ElementsAre("INSERT INTO PROJECTS (PROJECTID,CAPTION,BUSY) VALUES(17,'Old',False)",
                            "SELECT COUNT(*) AS MVALUE FROM PROJECTS WHERE PROJECTID=17",
                            "UPDATE PROJECTS SET CAPTION='New' WHERE PROJECTID=17",
                            "SELECT COUNT(*) AS MVALUE FROM PROJECTS WHERE PROJECTID=17",
                            "DELETE FROM PROJECTS WHERE PROJECTID=17",
                            "INSERT INTO PROJECTS (PROJECTID,CAPTION,BUSY) VALUES(18,'P',False)"));
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "PROJECTS", "").AsInteger(), 1);
    EXPECT_EQ(Db().SelectValue("CAPTION", "PROJECTS", "PROJECTID=18").AsString(), "P");
}

TEST_P(SaverStatements, RowExistsCountsByKey) {
    Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION) VALUES (1, 'a')");
    ClearLog();
    EXPECT_TRUE(Saver().RowExists("TESTITEMS", "TESTITEMID", "1"));
    EXPECT_FALSE(Saver().RowExists("TESTITEMS", "TESTITEMID", "2"));
    EXPECT_THAT(Log(), ElementsAre("SELECT COUNT(*) AS MVALUE FROM TESTITEMS WHERE TESTITEMID=1",
                                   "SELECT COUNT(*) AS MVALUE FROM TESTITEMS WHERE TESTITEMID=2"));
    Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION) VALUES (1, 'b')");
    EXPECT_EQ(MessageOf<Exception>([&] { Saver().RowExists("TESTITEMS", "TESTITEMID", "1"); }),
              "internal error");
}

TEST_P(SaverStatements, InsertRowWithoutKey) {
    Saver().ClearFieldLists();
    Saver().AddIntegerField("TESTITEMID", MissingInteger, 9);
    Saver().AddStringField("CAPTION", "", "k");
    ClearLog();
    Saver().InsertRow("TESTITEMS");
    EXPECT_THAT(Log(), ElementsAre("INSERT INTO TESTITEMS (TESTITEMID,CAPTION) VALUES(9,'k')"));
    EXPECT_TRUE(Saver().AllColumns().empty());
}

TEST_P(SaverStatements, SecondUpdateInARowFailsItsAssertion) {
    Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION) VALUES (1, 'a')");
    Saver().ClearFieldLists();
    Saver().AddStringField("CAPTION", "a", "b");
    Saver().UpdateRow("TESTITEMS", "TESTITEMID", "1");
    ClearLog();
    EXPECT_EQ(
        MessageOf<EAssertionFailed>([&] { Saver().UpdateRow("TESTITEMS", "TESTITEMID", "1"); }),
        "Assertion failure");
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Db().SelectValue("CAPTION", "TESTITEMS", "TESTITEMID=1").AsString(), "b");
}

struct AssertionCase {
    std::string name;
    // The columns handed over before the refused operation; none when empty.
    std::function<void(TDACSaver&)> columns;
    std::function<void(TDACSaver&)> refused;
};

class SaverAssertions : public SaverTest,
                        public ::testing::WithParamInterface<std::tuple<Engine, AssertionCase>> {
protected:
    Engine GetEngine() const override { return std::get<0>(GetParam()); }
};

TEST_P(SaverAssertions, ExecuteNothingAndKeepTheLists) {
    Exec("INSERT INTO TESTITEMS (TESTITEMID, CAPTION) VALUES (1, 'a')");
    const AssertionCase& c = std::get<1>(GetParam());
    Saver().ClearFieldLists();
    if (c.columns)
        c.columns(Saver());
    const TDACSaver::TColumnList all = Saver().AllColumns();
    const TDACSaver::TColumnList changed = Saver().ChangedColumns();
    ClearLog();
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { c.refused(Saver()); }), "Assertion failure");
    for (const std::string& statement : Log())
        EXPECT_THAT(statement, ::testing::StartsWith("SELECT COUNT(*)"));
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "TESTITEMS", "").AsInteger(), 1);
    EXPECT_EQ(Saver().AllColumns(), all);
    EXPECT_EQ(Saver().ChangedColumns(), changed);
}

const auto ChangedAmount = [](TDACSaver& s) { s.AddIntegerField("AMOUNT", 1, 2); };
const auto UnchangedAmount = [](TDACSaver& s) { s.AddIntegerField("AMOUNT", 1, 1); };

INSTANTIATE_TEST_SUITE_P(
    Saver, SaverAssertions,
    ::testing::Combine(
        FrameworkEngines(),
        ::testing::Values(
            AssertionCase{"BlankColumnName", ChangedAmount,
                          [](TDACSaver& s) { s.AddIntegerField(" ", 0, 1); }},
            AssertionCase{"EmptyColumnName", ChangedAmount,
                          [](TDACSaver& s) { s.AddStringField("", "", "x"); }},
            AssertionCase{"InsertWithoutColumns", nullptr,
                          [](TDACSaver& s) { s.InsertRowWithKey("TESTITEMS", "TESTITEMID", "2"); }},
            AssertionCase{"InsertBlankTable", ChangedAmount,
                          [](TDACSaver& s) { s.InsertRowWithKey(" ", "TESTITEMID", "2"); }},
            AssertionCase{"InsertBlankKeyText", ChangedAmount,
                          [](TDACSaver& s) { s.InsertRowWithKey("TESTITEMS", "TESTITEMID", ""); }},
            AssertionCase{"InsertRowWithoutColumns", nullptr,
                          [](TDACSaver& s) { s.InsertRow("TESTITEMS"); }},
            AssertionCase{"InsertRowBlankTable", ChangedAmount,
                          [](TDACSaver& s) { s.InsertRow(""); }},
            AssertionCase{"UpdateWithoutChange", UnchangedAmount,
                          [](TDACSaver& s) { s.UpdateRow("TESTITEMS", "TESTITEMID", "1"); }},
            AssertionCase{"UpdateOfAbsentRow", ChangedAmount,
                          [](TDACSaver& s) { s.UpdateRow("TESTITEMS", "TESTITEMID", "5"); }},
            AssertionCase{"UpdateBlankKeyField", ChangedAmount,
                          [](TDACSaver& s) { s.UpdateRow("TESTITEMS", " ", "1"); }},
            AssertionCase{"DeleteWithFilledLists", UnchangedAmount,
                          [](TDACSaver& s) { s.DeleteRow("TESTITEMS", "TESTITEMID", "1"); }},
            AssertionCase{"DeleteOfAbsentRow", nullptr,
                          [](TDACSaver& s) { s.DeleteRow("TESTITEMS", "TESTITEMID", "5"); }},
            AssertionCase{"DeleteBlankTable", nullptr,
                          [](TDACSaver& s) { s.DeleteRow("", "TESTITEMID", "1"); }})),
    [](const auto& info) {
        return EngineLabel(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

TEST_P(SaverStatements, FailingStatementPassesTheDriverFailureOnWithListsEmptied) {
    Saver().ClearFieldLists();
    Saver().AddIntegerField("NOSUCHCOLUMN", 0, 1);
    EXPECT_THROW(Saver().InsertRowWithKey("TESTITEMS", "TESTITEMID", "1"), EDatabaseError);
    EXPECT_TRUE(Saver().AllColumns().empty());
    EXPECT_FALSE(Saver().HasChangedFields());
}

TEST_P(SaverStatements, SingletonMessages) {
    EXPECT_EQ(MessageOf<Exception>([&] { TDACSaver::CreateSingleton(Db()); }),
              "Error: Object already created, use TDACSaver.GetSingleton.");
    TDACSaver* first = &Saver();
    EXPECT_EQ(first, &TDACSaver::GetSingleton());
    TDACSaver::DestroySingleton();
    EXPECT_EQ(MessageOf<Exception>([] { TDACSaver::GetSingleton(); }),
              "Error: Object not created, use TDACSaver.CreateSingleton.");
    TDACSaver::CreateSingleton(Db());
}

INSTANTIATE_FRAMEWORK_ENGINES(SaverStatements);

} // namespace
} // namespace parvela::test
