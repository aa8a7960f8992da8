// The database object on real ODBC databases, the same cases on SQLite and PostgreSQL.

#include "framework/TDACDatabase.h"
#include "framework/DateTime.h"
#include "framework/MissingValues.h"
#include "platform/Exceptions.h"
#include "tests/support/TestDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parvela {
namespace {

using test::DatabaseTest;
using test::Engine;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The message of the EDatabaseError that `action` raises; fails the test when none comes.
template <class Action> std::string DatabaseErrorOf(Action action) {
    try {
        action();
    } catch (const EDatabaseError& failure) {
        return failure.what();
    }
    ADD_FAILURE() << "no EDatabaseError raised";
    return {};
}

class TDACDatabaseTest : public DatabaseTest {
protected:
    std::int64_t CounterValue(const std::string& table) {
        const auto rows =
            QueryRows("SELECT HIGHESTID FROM SYSTABLES WHERE TABLENAME='" + table + "'");
        return rows.empty() ? -999 : rows.front().front().AsInteger();
    }
};

TEST_P(TDACDatabaseTest, GetNewIDHandsOutZeroThenOneAndLeavesOneCounterRow) {
    EXPECT_EQ(Db().GetNewID("ASSESSMENTS"), 0);
    EXPECT_EQ(Db().GetNewID("ASSESSMENTS"), 1);
    const auto rows = QueryRows("SELECT TABLENAME, HIGHESTID FROM SYSTABLES");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].AsString(), "ASSESSMENTS");
    EXPECT_EQ(rows[0][1].AsInteger(), 1);
    EXPECT_FALSE(Db().InTransaction());
}

TEST_P(TDACDatabaseTest, GetNewIDRunsExactlyTheCounterStatements) {
    std::vector<std::string> log;
    Db().SetStatementLog(&log);
    // Trimmed and in upper case: a trailing blank and lower case give the same key.
    EXPECT_EQ(Db().GetNewID("assessments "), 0);
    EXPECT_THAT(
        log,
        ElementsAre("SELECT COUNT(*) AS MVALUE FROM SYSTABLES WHERE TABLENAME='ASSESSMENTS'",
                    "INSERT INTO SYSTABLES VALUES('ASSESSMENTS', -1)",
                    "UPDATE SYSTABLES SET HIGHESTID=HIGHESTID+1 WHERE TABLENAME='ASSESSMENTS'",
                    "SELECT HIGHESTID AS MVALUE FROM SYSTABLES WHERE TABLENAME='ASSESSMENTS'"));
    log.clear();
    EXPECT_EQ(Db().GetNewID("ASSESSMENTS"), 1);
    EXPECT_THAT(
        log,
        ElementsAre("SELECT COUNT(*) AS MVALUE FROM SYSTABLES WHERE TABLENAME='ASSESSMENTS'",
                    "UPDATE SYSTABLES SET HIGHESTID=HIGHESTID+1 WHERE TABLENAME='ASSESSMENTS'",
                    "SELECT HIGHESTID AS MVALUE FROM SYSTABLES WHERE TABLENAME='ASSESSMENTS'"));
    Db().SetStatementLog(nullptr);
}

TEST_P(TDACDatabaseTest, GetNewIDKeepsOneCounterPerTable) {
    struct Draw {
        const char* table;
        std::int32_t expected;
    };
    const Draw draws[] = {{"PROJECTS", 0},    {"Scenarios", 0}, {"projects", 1},
                          {" PROJECTS", 2},   {"SCENARIOS", 1}, {"APPLICATIONS", 0},
                          {"applications", 1}};
    for (const Draw& draw : draws)
        EXPECT_EQ(Db().GetNewID(draw.table), draw.expected) << draw.table;
    EXPECT_EQ(CounterValue("PROJECTS"), 2);
    EXPECT_EQ(CounterValue("SCENARIOS"), 1);
    EXPECT_EQ(CounterValue("APPLICATIONS"), 1);
}

TEST_P(TDACDatabaseTest, GetNewIDWithABlankNameIsAnAssertionFailure) {
    for (const std::string name : {"", " ", "  \t"}) {
        std::vector<std::string> log;
        Db().SetStatementLog(&log);
        try {
            Db().GetNewID(name);
            ADD_FAILURE() << "no assertion failure for '" << name << "'";
        } catch (const EAssertionFailed& failure) {
            EXPECT_STREQ(failure.what(), "Assertion failure");
        }
        EXPECT_TRUE(log.empty());
        EXPECT_FALSE(Db().InTransaction());
        Db().SetStatementLog(nullptr);
    }
}

// A counter that refuses to grow past 1 makes the UPDATE fail inside the transaction.
TEST_P(TDACDatabaseTest, GetNewIDRollsBackWhenAStatementFails) {
    RunRawSQL("DROP TABLE SYSTABLES");
    RunRawSQL("CREATE TABLE SYSTABLES (TABLENAME VARCHAR(255) NOT NULL PRIMARY KEY, "
              "HIGHESTID INTEGER CHECK (HIGHESTID < 2))");
    EXPECT_EQ(Db().GetNewID("PROJECTS"), 0);
    EXPECT_EQ(Db().GetNewID("PROJECTS"), 1);
    const std::string message = DatabaseErrorOf([&] { Db().GetNewID("PROJECTS"); });
    EXPECT_FALSE(message.empty());
    EXPECT_FALSE(Db().InTransaction());
    EXPECT_EQ(CounterValue("PROJECTS"), 1);

    // The inserted counter row of a new table goes with the failed transaction.
    RunRawSQL("DROP TABLE SYSTABLES");
    RunRawSQL("CREATE TABLE SYSTABLES (TABLENAME VARCHAR(255) NOT NULL PRIMARY KEY, "
              "HIGHESTID INTEGER CHECK (HIGHESTID < 0))");
    DatabaseErrorOf([&] { Db().GetNewID("SCENARIOS"); });
    EXPECT_FALSE(Db().InTransaction());
    EXPECT_TRUE(QueryRows("SELECT * FROM SYSTABLES").empty());

    // The connection is usable afterwards, outside any transaction.
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (7, 'after')");
    EXPECT_EQ(QueryRows("SELECT CAPTION FROM PROJECTS WHERE PROJECTID=7").size(), 1u);
}

TEST_P(TDACDatabaseTest, TransactionsCommitAndRollBack) {
    Db().StartTransaction(TIsolationLevel::ReadCommitted);
    EXPECT_TRUE(Db().InTransaction());
    EXPECT_EQ(DatabaseErrorOf([&] { Db().StartTransaction(TIsolationLevel::ReadCommitted); }),
              "Already within transaction.");
    EXPECT_TRUE(Db().InTransaction());
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (1, 'rolled back')");
    Db().Rollback();
    EXPECT_FALSE(Db().InTransaction());
    EXPECT_TRUE(QueryRows("SELECT * FROM PROJECTS").empty());

    Db().StartTransaction(TIsolationLevel::Serializable);
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (2, 'committed')");
    Db().Commit();
    EXPECT_FALSE(Db().InTransaction());
    const auto rows = QueryRows("SELECT CAPTION FROM PROJECTS");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].AsString(), "committed");

    // Statements outside a transaction commit on their own: another connection sees them.
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (3, 'autocommit')");
    EXPECT_EQ(QueryRows("SELECT * FROM PROJECTS").size(), 2u);
}

TEST_P(TDACDatabaseTest, SelectValueWithoutWhereClause) {
    std::vector<std::string> log;
    Db().SetStatementLog(&log);
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "BBCH", "").AsInteger(),
              QueryRows("SELECT COUNT(*) FROM BBCH").front().front().AsInteger());
    EXPECT_THAT(log, ElementsAre("SELECT COUNT(*) AS MVALUE FROM BBCH"));
    Db().SetStatementLog(nullptr);
}

TEST_P(TDACDatabaseTest, SelectValueOfNoRowNamesTheStatement) {
    EXPECT_EQ(DatabaseErrorOf([&] { Db().SelectValue("CAPTION", "PROJECTS", "PROJECTID=5"); }),
              "Empty recordset for \"SELECT CAPTION AS MVALUE FROM PROJECTS WHERE PROJECTID=5\".");
}

TEST_P(TDACDatabaseTest, SelectValueKeepsNullAndTypes) {
    RunRawSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION) VALUES (4, 'four', NULL)");
    EXPECT_TRUE(Db().SelectValue("DESCRIPTION", "PROJECTS", "PROJECTID=4").IsNull());
    EXPECT_EQ(Db().SelectValue("CAPTION", "PROJECTS", "PROJECTID=4").AsString(), "four");
    EXPECT_EQ(Db().SelectValue("PROJECTID", "PROJECTS", "CAPTION='four'").AsInteger(), 4);
}

TEST_P(TDACDatabaseTest, ConnectingTwiceFailsAndKeepsTheFirstConnection) {
    EXPECT_EQ(DatabaseErrorOf([&] { Db().SetConnected(true); }),
              "TDACDatabase: Database connection exists.");
    EXPECT_TRUE(Db().Connected());
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "APPLICATIONTYPES", "").AsInteger(), 1);
    EXPECT_EQ(DatabaseErrorOf([&] { Db().SetODBCConnection(ConnectionString(), "", ""); }),
              "TDACDatabase: Database connection exists.");
    EXPECT_TRUE(Db().Connected());
}

TEST_P(TDACDatabaseTest, DisconnectAndConnectAgain) {
    Db().SetConnected(false);
    EXPECT_FALSE(Db().Connected());
    EXPECT_EQ(DatabaseErrorOf([&] { Db().SetConnected(false); }),
              "TDACDatabase: Database not connected.");
    Db().SetConnected(true);
    EXPECT_TRUE(Db().Connected());
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "APPLICATIONTYPES", "").AsInteger(), 1);
}

TEST_P(TDACDatabaseTest, DriverFailurePassesThroughWithTheDriversMessage) {
    const std::string message = DatabaseErrorOf([&] { Db().ExecSQL("SELECT * FROM NOSUCHTABLE"); });
    if (IsSQLite())
        EXPECT_THAT(message, HasSubstr("no such table: NOSUCHTABLE"));
    else
        EXPECT_THAT(message, HasSubstr("relation \"nosuchtable\" does not exist"));
    const std::string queryMessage = DatabaseErrorOf([&] { Db().OpenQuery("SELEC 1"); });
    EXPECT_THAT(queryMessage, HasSubstr("syntax error"));
    // The connection survives its statement failures.
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "APPLICATIONTYPES", "").AsInteger(), 1);
}

TEST_P(TDACDatabaseTest, RefusedConnectionPassesTheDriversMessage) {
    TDACDatabase database;
    const std::string unreachable =
        IsSQLite() ? "Driver=SQLite3;Database=/nonexistent-directory/parvela.sqlite"
                   : ConnectionString() + ";Database=no_such_database_here";
    database.SetODBCConnection(unreachable, "", "");
    const std::string message = DatabaseErrorOf([&] { database.SetConnected(true); });
    EXPECT_FALSE(database.Connected());
    if (IsSQLite())
        EXPECT_THAT(message, HasSubstr("connect failed"));
    else
        EXPECT_THAT(message, HasSubstr("no_such_database_here"));
}

TEST_P(TDACDatabaseTest, StatementLogHoldsEveryStatementInOrder) {
    std::vector<std::string> log;
    Db().SetStatementLog(&log);
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (1, 'a')");
    auto query = Db().OpenQuery("SELECT CAPTION FROM PROJECTS");
    DatabaseErrorOf([&] { Db().ExecSQL("DELETE FROM NOSUCHTABLE"); });
    auto later = Db().CreateQuery();
    later->Open("SELECT PROJECTID FROM PROJECTS");
    EXPECT_THAT(log, ElementsAre("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (1, 'a')",
                                 "SELECT CAPTION FROM PROJECTS", "DELETE FROM NOSUCHTABLE",
                                 "SELECT PROJECTID FROM PROJECTS"));
    Db().SetStatementLog(nullptr);
    Db().ExecSQL("DELETE FROM PROJECTS");
    EXPECT_EQ(log.size(), 4u);
}

TEST_P(TDACDatabaseTest, BooleanColumnsReadAsTrueAndFalse) {
    // The saver writes booleans unquoted as the database's true and false strings.
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION, BUSY, LOCKED) VALUES (1, 'p', " +
                 Db().BooleanToStr(true) + ", " + Db().BooleanToStr(false) + ")");
    Db().ExecSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION) VALUES (1, 's')");
    auto project = Db().OpenQuery("SELECT BUSY, LOCKED FROM PROJECTS WHERE PROJECTID=1");
    ASSERT_FALSE(project->Eof());
    EXPECT_EQ(project->FieldByName("BUSY").AsString(), "True");
    EXPECT_EQ(project->FieldByName("LOCKED").AsString(), "False");
    EXPECT_TRUE(project->FieldByName("BUSY").AsBoolean());
    EXPECT_FALSE(project->FieldByName("LOCKED").AsBoolean());
    EXPECT_TRUE(Db().StrToBoolean(project->FieldByName("BUSY").AsString()));
    // A column left out of the INSERT gets its default, false.
    auto scheme = Db().OpenQuery("SELECT LOCKED FROM APPLICATIONSCHEMES");
    EXPECT_EQ(scheme->FieldByName("LOCKED").AsString(), "False");
}

TEST_P(TDACDatabaseTest, LongTextIsReadWhole) {
    std::string text;
    for (int line = 0; text.size() < 200 * 1024; ++line)
        text += "Line " + std::to_string(line) + " of the GLIDAR summary, with a quote ' and é\r\n";
    std::string quoted;
    for (char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    Db().ExecSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID, ERRORMESSAGE, ASSESSMENTREPORT) "
                 "VALUES (1, '" +
                 quoted + "', 'short')");
    auto query = Db().OpenQuery("SELECT ERRORMESSAGE, ASSESSMENTREPORT FROM ASSESSMENTS");
    const std::string read = query->FieldByName("ERRORMESSAGE").AsString();
    EXPECT_EQ(read.size(), text.size());
    EXPECT_TRUE(read == text);
    EXPECT_EQ(query->FieldByName("ASSESSMENTREPORT").AsString(), "short");
    EXPECT_TRUE(Db().SelectValue("ERRORMESSAGE", "ASSESSMENTS", "").AsString() == text);
}

TEST_P(TDACDatabaseTest, NullColumnsAreNullOfEveryType) {
    RunRawSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID) VALUES (1)");
    RunRawSQL("INSERT INTO APPLICATIONS (APPLICATIONID) VALUES (1)");
    auto assessment = Db().OpenQuery("SELECT * FROM ASSESSMENTS");
    for (const char* column : {"CAPTION", "PROJECTID", "ERRORMESSAGE", "CREATIONDATE"}) {
        EXPECT_TRUE(assessment->FieldByName(column).IsNull()) << column;
        EXPECT_EQ(assessment->FieldByName(column).AsString(), "") << column;
    }
    EXPECT_FALSE(assessment->FieldByName("ASSESSMENTID").IsNull());
    auto application = Db().OpenQuery("SELECT DOSAGE, APPLICATIONDATE FROM APPLICATIONS");
    EXPECT_TRUE(application->FieldByName("DOSAGE").IsNull());
    EXPECT_TRUE(application->FieldByName("APPLICATIONDATE").IsNull());

    RunRawSQL("UPDATE ASSESSMENTS SET SELECTEDFOREXECUTION=NULL, VALIDRESULTS=NULL");
    auto flags = Db().OpenQuery("SELECT SELECTEDFOREXECUTION, VALIDRESULTS FROM ASSESSMENTS");
    EXPECT_TRUE(flags->FieldByName("SELECTEDFOREXECUTION").IsNull());
    EXPECT_FALSE(flags->FieldByName("VALIDRESULTS").AsBoolean());
    EXPECT_EQ(DatabaseErrorOf([&] {
                  Db().StrToBoolean(flags->FieldByName("SELECTEDFOREXECUTION").AsString());
              }),
              "TDACDatabase.StrToBoolean: empty string");
}

TEST_P(TDACDatabaseTest, ColumnsAreTypedAndFoundByNameIgnoringCase) {
    const TDateTime applied = EncodeDateTime(2015, 12, 31, 14, 5, 0);
    Db().ExecSQL("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, "
                 "APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES "
                 "(3, -2147483647, " +
                 Db().DateTimeToSQL(applied) + ", 0.5, 12.25, 2)");
    auto query = Db().OpenQuery("SELECT * FROM APPLICATIONS");
    ASSERT_FALSE(query->Eof());
    EXPECT_EQ(query->FieldByName("applicationid").AsInteger(), 3);
    EXPECT_EQ(query->FieldByName("ApplicationSchemeID").AsInteger(), -2147483647);
    EXPECT_DOUBLE_EQ(query->FieldByName("DOSAGE").AsFloat(), 0.5);
    EXPECT_DOUBLE_EQ(query->FieldByName("applicationparameter").AsFloat(), 12.25);
    EXPECT_DOUBLE_EQ(query->FieldByName("SPRAYDRIFTPERC").AsFloat(), 2.0);
    EXPECT_NEAR(query->FieldByName("APPLICATIONDATE").AsDateTime(), applied, 1e-9);
    EXPECT_EQ(query->FieldByName("APPLICATIONDATE").AsVariant().GetKind(),
              TVariant::Kind::DateTime);
    EXPECT_EQ(DatabaseErrorOf([&] { query->FieldByName("NOSUCHCOLUMN"); }),
              "Field 'NOSUCHCOLUMN' not found");
    query->Next();
    EXPECT_TRUE(query->Eof());
}

TEST_P(TDACDatabaseTest, DateTimesRoundTripThroughTheirSQLText) {
    const TDateTime values[] = {EncodeDate(2015, 12, 31), EncodeDateTime(2015, 12, 31, 14, 5, 0),
                                EncodeDateTime(1999, 1, 2, 23, 59, 59),
                                EncodeDateTime(2024, 2, 29, 0, 0, 1)};
    int id = 0;
    for (TDateTime value : values) {
        ++id;
        Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CREATIONDATE) VALUES (" +
                     std::to_string(id) + ", " + Db().DateTimeToSQL(value) + ")");
        const TVariant read =
            Db().SelectValue("CREATIONDATE", "PROJECTS", "PROJECTID=" + std::to_string(id));
        EXPECT_NEAR(read.AsDateTime(), value, 1e-8) << Db().DateTimeToSQL(value);
    }
}

TEST_P(TDACDatabaseTest, QueryIsPositionedOnItsFirstRowAndReadsForward) {
    auto query = Db().OpenQuery("SELECT ID, Code FROM BBCH WHERE ID <= 3 ORDER BY ID");
    EXPECT_TRUE(query->IsOpen());
    std::vector<std::int32_t> ids;
    for (; !query->Eof(); query->Next())
        ids.push_back(query->FieldByName("ID").AsInteger());
    EXPECT_THAT(ids, ElementsAre(1, 2, 3));
    EXPECT_EQ(query->FieldCount(), 2);
    auto empty = Db().OpenQuery("SELECT ID FROM BBCH WHERE ID < 0");
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->FieldByName("ID").IsNull());
    query->Close();
    EXPECT_FALSE(query->IsOpen());
}

TEST_P(TDACDatabaseTest, IntegersOutsideThe32BitRangeAreNeverCut) {
    auto query = Db().OpenQuery(
        "SELECT CAST(4294967297 AS BIGINT) AS ABOVE, CAST(-2147483649 AS BIGINT) AS BELOW, "
        "CAST(2147483647 AS BIGINT) AS HIGHEST, CAST(-2147483648 AS BIGINT) AS LOWEST");
    EXPECT_EQ(query->FieldByName("HIGHEST").AsInteger(), 2147483647);
    EXPECT_EQ(query->FieldByName("LOWEST").AsInteger(), -2147483647 - 1);
    for (const char* column : {"ABOVE", "BELOW"}) {
        SCOPED_TRACE(column);
        const std::string value = query->FieldByName(column).AsString();
        try {
            query->FieldByName(column).AsInteger();
            ADD_FAILURE() << "cut to " << query->FieldByName(column).AsInteger();
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), value + " is not within the range of a 32-bit integer");
        }
    }
}

TEST_P(TDACDatabaseTest, TextsRoundTripUnchanged) {
    const std::string texts[] = {
        "plain",        "Vercelli - Piemonte", "é à ü ß",           "€ 12,50",
        "rice 🌾 paddy", "  padded  ",          "tab\tand\r\nbreak", "O'Brien"};
    int id = 0;
    for (const std::string& text : texts) {
        std::string quoted;
        for (char c : text)
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (" + std::to_string(++id) +
                     ", '" + quoted + "')");
        EXPECT_EQ(
            Db().SelectValue("CAPTION", "PROJECTS", "PROJECTID=" + std::to_string(id)).AsString(),
            text);
        // The text is stored as written, not only read back the same way.
        EXPECT_EQ(Db().SelectValue("COUNT(*)", "PROJECTS", "CAPTION='" + quoted + "'").AsInteger(),
                  1)
            << text;
    }
    EXPECT_EQ(Db().SelectValue("LENGTH(CAPTION)", "PROJECTS", "PROJECTID=5").AsInteger(), 12);
}

// Lists keep their query open while items are saved and new keys are drawn.
TEST_P(TDACDatabaseTest, StatementsAndKeysWhileAQueryIsOpen) {
    for (int id = 1; id <= 3; ++id)
        Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (" + std::to_string(id) +
                     ", 'p" + std::to_string(id) + "')");
    auto query = Db().OpenQuery("SELECT PROJECTID, CAPTION FROM PROJECTS ORDER BY PROJECTID");
    std::vector<std::string> captions;
    for (; !query->Eof(); query->Next()) {
        captions.push_back(query->FieldByName("CAPTION").AsString());
        Db().ExecSQL("UPDATE PROJECTS SET CAPTION='seen' WHERE PROJECTID=" +
                     query->FieldByName("PROJECTID").AsString());
        Db().GetNewID("PROJECTS");
    }
    EXPECT_THAT(captions, ElementsAre("p1", "p2", "p3"));
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "PROJECTS", "CAPTION='seen'").AsInteger(), 3);
    EXPECT_EQ(Db().GetNewID("PROJECTS"), 3);
    // Another connection sees the committed counter.
    EXPECT_EQ(QueryRows("SELECT HIGHESTID FROM SYSTABLES").front().front().AsInteger(), 3);
}

PARVELA_INSTANTIATE_DATABASE_TEST(TDACDatabaseTest);

} // namespace
} // namespace parvela
