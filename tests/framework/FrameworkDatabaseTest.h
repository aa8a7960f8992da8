#pragma once
// The framework's database tests: a fresh empty database per test on each engine, with the
// counter table and small tables of our own (one column of each type), the saver singleton
// on it and the statement log switched on.

#include "tests/support/TestDatabase.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace parvela::test {

// The engine comes from the subclass, so that fixtures can combine it with other values.
class FrameworkDatabaseTest : public ::testing::Test {
protected:
    virtual Engine GetEngine() const = 0;

    void SetUp() override;
    void TearDown() override;

    TDACDatabase& Db() { return database_->Database(); }
    bool IsSQLite() const { return GetEngine() == Engine::SQLite; }
    // Runs a statement on the database object without logging it.
    void Exec(const std::string& sql);
    // TRUE or FALSE, as both engines read them.
    static std::string BooleanLiteral(bool value) { return value ? "TRUE" : "FALSE"; }

    // The statements executed since the last ClearLog.
    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    // Small tables named as in the program's examples.
    void CreateProjectsTable();
    void CreateAssessmentsTable();
    // Every DELETE on the table fails from now on.
    void RefuseDeletes(const std::string& table);

private:
    void CreateTestTables();

    std::unique_ptr<TestDatabase> database_;
    std::vector<std::string> log_;
};

inline auto FrameworkEngines() {
    return ::testing::Values(Engine::SQLite, Engine::PostgreSQL);
}

template <class E, class F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no failure>";
}

} // namespace parvela::test

// For fixtures derived from FrameworkDatabaseTest and ::testing::WithParamInterface<Engine>.
#define INSTANTIATE_FRAMEWORK_ENGINES(Fixture)                                                     \
    INSTANTIATE_TEST_SUITE_P(Engines, Fixture, ::parvela::test::FrameworkEngines(),                \
                             ::parvela::test::EngineParamName)
