#pragma once
// A fresh database for each test, on SQLite or on PostgreSQL, with a connected database
// object on it. Database tests derive from DatabaseTest and are instantiated for both
// engines with PARVELA_INSTANTIATE_DATABASE_TEST:
//
//   class MyTest : public parvela::test::DatabaseTest {};
//   TEST_P(MyTest, Something) { Db().ExecSQL("..."); }
//   PARVELA_INSTANTIATE_DATABASE_TEST(MyTest);

#include "db/DatabaseScripts.h"
#include "framework/TDACDatabase.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/RawSql.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace parvela::db {
// Test names and messages show the engine by name.
inline void PrintTo(Engine engine, std::ostream* out) {
    *out << EngineName(engine);
}
} // namespace parvela::db

namespace parvela::test {

using Engine = db::Engine;

// "SQLite" or "PostgreSQL".
std::string EngineLabel(Engine engine);

enum class Content {
    Schema, // the program's tables and the reference data
    Empty   // no table at all
};

class TestDatabase {
public:
    explicit TestDatabase(Engine engine, Content content = Content::Schema);
    // Disconnects and removes the database.
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    Engine GetEngine() const { return engine_; }
    // A full ODBC connection string (no user or password needed), for settings files and
    // for further connections.
    const std::string& ConnectionString() const { return connectionString_; }
    // Connected, with TrueString "True" and FalseString "False" as the program sets them.
    TDACDatabase& Database() { return *database_; }
    // Another database object, configured and connected like Database().
    std::unique_ptr<TDACDatabase> Connect() const;

    void RunRawSQL(const std::string& sql) const;
    std::vector<TRow> QueryRows(const std::string& sql) const;

private:
    Engine engine_;
    std::string connectionString_;
    std::string sqliteFile_;
    PgTestDatabase pgDatabase_;
    std::unique_ptr<TDACDatabase> database_;
};

// Base fixture of the tests that run on both engines.
class DatabaseTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;
    void TearDown() override;
    // The content of each test's fresh database; override for an empty one.
    virtual Content DatabaseContent() const { return Content::Schema; }

    Engine GetEngine() const { return GetParam(); }
    bool IsSQLite() const { return GetParam() == Engine::SQLite; }
    TDACDatabase& Db() { return database_->Database(); }
    TestDatabase& TestDb() { return *database_; }
    const std::string& ConnectionString() const { return database_->ConnectionString(); }
    void RunRawSQL(const std::string& sql) const { database_->RunRawSQL(sql); }
    std::vector<TRow> QueryRows(const std::string& sql) const { return database_->QueryRows(sql); }

private:
    std::unique_ptr<TestDatabase> database_;
};

std::string EngineParamName(const ::testing::TestParamInfo<Engine>& info);

} // namespace parvela::test

#define PARVELA_INSTANTIATE_DATABASE_TEST(Fixture)                                                 \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, Fixture,                                                                          \
        ::testing::Values(::parvela::test::Engine::SQLite, ::parvela::test::Engine::PostgreSQL),   \
        ::parvela::test::EngineParamName)
