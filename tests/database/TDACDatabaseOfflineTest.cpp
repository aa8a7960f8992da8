// What the database object does without a connection: its texts of booleans and dates,
// its configuration and its refusals.

#include "framework/DateTime.h"
#include "framework/FormatSettings.h"
#include "framework/MissingValues.h"
#include "framework/TDACDatabase.h"
#include "platform/Exceptions.h"
#include "platform/UiHooks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace parvela {
namespace {

using ::testing::ElementsAre;

std::string DatabaseErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseError& failure) {
        return failure.what();
    }
    ADD_FAILURE() << "no EDatabaseError raised";
    return {};
}

TEST(TDACDatabaseOffline, StartsWithYesAndNoAndUnconfigured) {
    TDACDatabase database;
    EXPECT_EQ(database.TrueString(), "Yes");
    EXPECT_EQ(database.FalseString(), "No");
    EXPECT_FALSE(database.Connected());
    EXPECT_FALSE(database.InTransaction());
    EXPECT_EQ(database.BooleanToStr(true), "Yes");
    EXPECT_EQ(database.BooleanToStr(false), "No");
}

TEST(TDACDatabaseOffline, StrToBooleanComparesWithTheTrueStringIgnoringCase) {
    TDACDatabase database;
    database.SetTrueString("True");
    database.SetFalseString("False");
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {{"TRUE", true}, {"true", true}, {"True", true},   {"False", false},
                          {"Yes", false}, {"tru", false}, {"True ", false}, {"0", false}};
    for (const Case& c : cases)
        EXPECT_EQ(database.StrToBoolean(c.text), c.expected) << c.text;
    EXPECT_EQ(DatabaseErrorOf([&] { database.StrToBoolean(""); }),
              "TDACDatabase.StrToBoolean: empty string");
    EXPECT_EQ(database.BooleanToStr(true), "True");
    EXPECT_EQ(database.BooleanToStr(false), "False");
}

TEST(TDACDatabaseOffline, DateTimeToSQLWithDayMonthYearPatterns) {
    TDACDatabase database;
    database.SetODBCConnection("unused", "", "");
    database.SetShortDatePattern("dd/mm/yyyy");
    database.SetLongTimePattern("hh:nn:ss");
    struct Case {
        TDateTime value;
        const char* expected;
    };
    const Case cases[] = {
        {EncodeDate(2015, 12, 31), "'31/12/2015'"},
        {EncodeDateTime(2015, 12, 31, 14, 5, 0), "'31/12/2015 14:05:00'"},
        {EncodeDateTime(2015, 12, 31, 0, 0, 1), "'31/12/2015 00:00:01'"},
        {EncodeDate(1899, 12, 30), "'30/12/1899'"},
        {EncodeDateTime(1850, 1, 2, 6, 30, 0), "'02/01/1850 06:30:00'"},
        {MissingReal, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(database.DateTimeToSQL(c.value), c.expected) << c.expected;
}

TEST(TDACDatabaseOffline, DateTimeToSQLDoublesQuotesOfThePattern) {
    TDACDatabase database;
    database.SetShortDatePattern("yyyy \"o'\" mm");
    database.SetLongTimePattern("hh:nn");
    EXPECT_EQ(database.DateTimeToSQL(EncodeDate(2015, 12, 31)), "'2015 o'' 12'");
}

TEST(TDACDatabaseOffline, SetODBCConnectionKeepsTheParameterLinesAndPatterns) {
    FormatSettings().ShortDatePattern = "yyyy-mm-dd";
    FormatSettings().LongTimePattern = "hh:nn:ss";
    TDACDatabase database;
    database.SetODBCConnection("ParvelaData", "assessor", "secret");
    EXPECT_EQ(database.DatabaseName(), "ParvelaData");
    EXPECT_EQ(database.UserName(), "assessor");
    EXPECT_EQ(database.Password(), "secret");
    EXPECT_THAT(database.ConnectionParams(),
                ElementsAre("DriverName=OpenOdbc", "Database=ParvelaData", "User_Name=assessor",
                            "Password=secret", "RowsetSize=20", "BlobSize=-1",
                            "Custom String=coNetPacketSize=8192;coLockMode=17;"
                            "coBlobChunkSize=40960",
                            "Trim Char=False"));
    EXPECT_EQ(database.ShortDatePattern(), "yyyy-mm-dd");
    EXPECT_EQ(database.LongTimePattern(), "hh:nn:ss");
    EXPECT_EQ(database.DateTimeToSQL(EncodeDateTime(2015, 12, 31, 14, 5, 0)),
              "'2015-12-31 14:05:00'");
    EXPECT_FALSE(database.Connected());
}

class CountingHooks : public IUiHooks {
public:
    void BeginWaitCursor() override { ++begun; }
    void EndWaitCursor() override { ++ended; }
    void ProcessPendingEvents() override {}
    int begun = 0, ended = 0;
};

TEST(TDACDatabaseOffline, ConnectingUnconfiguredFailsAndRestoresTheCursor) {
    CountingHooks hooks;
    SetUiHooks(&hooks);
    TDACDatabase database;
    EXPECT_EQ(DatabaseErrorOf([&] { database.SetConnected(true); }),
              "TDACDatabase: Database type not set.");
    EXPECT_EQ(DatabaseErrorOf([&] { database.SetConnected(false); }),
              "TDACDatabase: Database not connected.");
    SetUiHooks(nullptr);
    EXPECT_EQ(hooks.begun, 2);
    EXPECT_EQ(hooks.ended, 2);
    EXPECT_FALSE(database.Connected());
}

TEST(TDACDatabaseOffline, StatementsWithoutConnectionFail) {
    TDACDatabase database;
    EXPECT_EQ(DatabaseErrorOf([&] { database.ExecSQL("SELECT 1"); }),
              "TDACDatabase: Database not connected.");
    EXPECT_EQ(DatabaseErrorOf([&] { database.OpenQuery("SELECT 1"); }),
              "TDACDatabase: Database not connected.");
}

} // namespace
} // namespace parvela
