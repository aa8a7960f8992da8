// Connecting through a data source name, the SQLite busy timeout and waiting for a lock.

#include "framework/odbc/Connection.h"
#include "framework/TDACDatabase.h"
#include "framework/odbc/ConnectionOptions.h"
#include "platform/Exceptions.h"
#include "tests/support/TestDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace parvela {
namespace {

using ::testing::HasSubstr;

class ConnectionTest : public test::DatabaseTest {};

TEST_P(ConnectionTest, DriverSettingsAreAddedWhenTheCallerLeftThemOut) {
    const std::string given = Db().Connection().ConnectionString();
    if (IsSQLite()) {
        EXPECT_THAT(given, HasSubstr(";Timeout=30000"));
        EXPECT_THAT(given, ::testing::Not(HasSubstr("BoolsAsChar")));
    } else {
        EXPECT_THAT(given, ::testing::Not(HasSubstr("Timeout")));
        EXPECT_THAT(given, HasSubstr("BoolsAsChar=0"));
    }
    // Settings of the caller's own are kept as they stand.
    const std::string own = ConnectionString() + (IsSQLite() ? ";Timeout=1500" : "");
    TDACDatabase database;
    database.SetODBCConnection(own, "", "");
    database.SetConnected(true);
    EXPECT_EQ(database.Connection().ConnectionString(), own);
}

// Without BoolsAsChar=0 psqlODBC would hand booleans out as "1" and "0", which no longer read
// as the true string: the layer adds it.
TEST_P(ConnectionTest, BooleansReadAsTrueAndFalseWithoutDriverSettingsInTheString) {
    std::string plain;
    const std::string full = ConnectionString();
    for (std::size_t at = 0; at < full.size();) {
        std::size_t end = full.find(';', at);
        if (full.find('{', at) < end) // keep braced values whole
            end = full.find(';', full.find('}', at));
        if (end == std::string::npos)
            end = full.size();
        const std::string pair = full.substr(at, end - at);
        if (pair.rfind("BoolsAsChar=", 0) != 0 && pair.rfind("Timeout=", 0) != 0)
            plain += (plain.empty() ? "" : ";") + pair;
        at = end + 1;
    }
    ASSERT_THAT(plain, ::testing::Not(HasSubstr("BoolsAsChar")));
    RunRawSQL("INSERT INTO PROJECTS (PROJECTID, BUSY, LOCKED) VALUES (1, True, False)");
    TDACDatabase database;
    database.SetODBCConnection(plain, "", "");
    database.SetConnected(true);
    auto query = database.OpenQuery("SELECT BUSY, LOCKED FROM PROJECTS");
    EXPECT_EQ(query->FieldByName("BUSY").AsString(), "True");
    EXPECT_EQ(query->FieldByName("LOCKED").AsString(), "False");
}

// While one connection holds the counter row in a transaction, another one's update waits
// for it instead of failing, and both increments count.
TEST_P(ConnectionTest, AWriterWaitsForAnotherConnectionsTransaction) {
    Db().GetNewID("PROJECTS");
    auto other = TestDb().Connect();
    Db().StartTransaction(TIsolationLevel::ReadCommitted);
    Db().ExecSQL("UPDATE SYSTABLES SET HIGHESTID=HIGHESTID+1 WHERE TABLENAME='PROJECTS'");
    const auto started = std::chrono::steady_clock::now();
    std::thread committer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        Db().Commit();
    });
    std::string failure;
    try {
        other->ExecSQL("UPDATE SYSTABLES SET HIGHESTID=HIGHESTID+1 WHERE TABLENAME='PROJECTS'");
    } catch (const EDatabaseError& error) {
        failure = error.what();
    }
    const auto waited = std::chrono::steady_clock::now() - started;
    committer.join();
    EXPECT_EQ(failure, "");
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_EQ(QueryRows("SELECT HIGHESTID FROM SYSTABLES").front().front().AsInteger(), 2);
    EXPECT_EQ(other->GetNewID("PROJECTS"), 3);
}

// The DSN form of DatabaseName: the data source is looked up in the user's odbc.ini.
TEST_P(ConnectionTest, ConnectsThroughADataSourceName) {
    namespace fs = std::filesystem;
    const fs::path ini =
        fs::path(PARVELA_TEST_WORK_DIR) /
        ("odbc-" + std::to_string(::getpid()) + "-" + test::EngineLabel(GetEngine()) + ".ini");
    const std::string dsn = "ParvelaTest" + test::EngineLabel(GetEngine());
    std::string user;
    {
        std::ofstream out(ini);
        out << "[" << dsn << "]\n";
        for (const char* key :
             {"Driver", "Database", "Server", "Port", "BoolsAsChar", "ConnSettings"}) {
            auto value = odbc::ConnectionStringValue(ConnectionString(), key);
            if (!value)
                continue;
            if (value->size() >= 2 && value->front() == '{')
                value = value->substr(1, value->size() - 2);
            out << key << " = " << *value << "\n";
            if (std::string(key) == "Server")
                out << "Servername = " << *value << "\n";
        }
        user = odbc::ConnectionStringValue(ConnectionString(), "UID").value_or("");
    }
    const char* previous = std::getenv("ODBCINI");
    const std::string saved = previous ? previous : "";
    ::setenv("ODBCINI", ini.c_str(), 1);

    TDACDatabase database;
    database.SetODBCConnection(dsn, user, "");
    std::string failure;
    try {
        database.SetConnected(true);
    } catch (const EDatabaseError& error) {
        failure = error.what();
    }
    previous ? ::setenv("ODBCINI", saved.c_str(), 1) : ::unsetenv("ODBCINI");
    fs::remove(ini);
    ASSERT_EQ(failure, "");
    EXPECT_EQ(database.Connection().ConnectionString().rfind("DSN=" + dsn, 0), 0u);
    EXPECT_EQ(
        database.SelectValue("GLIDARCODE", "APPLICATIONTYPES", "APPLICATIONTYPEID=1").AsString(),
        "AppCrpUsr");

    TDACDatabase unknown;
    unknown.SetODBCConnection("NoSuchParvelaSource", "", "");
    EXPECT_THROW(unknown.SetConnected(true), EDatabaseError);
    EXPECT_FALSE(unknown.Connected());
}

PARVELA_INSTANTIATE_DATABASE_TEST(ConnectionTest);

} // namespace
} // namespace parvela
