// Splitting the schema scripts into statements.

#include "db/DatabaseScripts.h"
#include "platform/Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace parvela::db {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST(DatabaseScripts, SQLiteSplitsOutsideQuotesCommentsAndTriggerBodies) {
    const std::string script = "-- heading; with a semicolon\n"
                               "CREATE TABLE A (X INTEGER);\n"
                               "INSERT INTO A VALUES (1); INSERT INTO B VALUES ('a;b');\n"
                               "CREATE TRIGGER T AFTER DELETE ON A FOR EACH ROW BEGIN\n"
                               "  DELETE FROM B WHERE X = OLD.X;\n"
                               "  DELETE FROM C WHERE X = OLD.X;\n"
                               "END;\n"
                               "INSERT INTO \"odd;name\" VALUES ('it''s; fine');\n"
                               "-- trailing comment\n";
    const auto statements = SplitStatements(script, Engine::SQLite);
    ASSERT_EQ(statements.size(), 5u);
    EXPECT_EQ(statements[0], "CREATE TABLE A (X INTEGER)");
    EXPECT_EQ(statements[1], "INSERT INTO A VALUES (1)");
    EXPECT_EQ(statements[2], "INSERT INTO B VALUES ('a;b')");
    EXPECT_THAT(statements[3], StartsWith("CREATE TRIGGER T"));
    EXPECT_THAT(statements[3], ::testing::EndsWith("END"));
    EXPECT_EQ(statements[4], "INSERT INTO \"odd;name\" VALUES ('it''s; fine')");
}

TEST(DatabaseScripts, PostgreSQLSplitsOutsideQuotesCommentsAndDollarBodies) {
    const std::string script =
        "-- heading; with a semicolon\n"
        "CREATE FUNCTION F() RETURNS trigger LANGUAGE plpgsql AS '\n"
        "BEGIN DELETE FROM B WHERE C = ''x;y''; RETURN OLD; END;';\n"
        "CREATE TRIGGER T AFTER DELETE ON A FOR EACH ROW EXECUTE FUNCTION F();\n"
        "CREATE FUNCTION G() RETURNS trigger AS $body$ BEGIN RETURN OLD; END; $body$ "
        "LANGUAGE plpgsql;\n"
        "SELECT $$a;b$$, /* c; */ 1;\n"
        "INSERT INTO \"odd;name\" VALUES (2)";
    const auto statements = SplitStatements(script, Engine::PostgreSQL);
    ASSERT_EQ(statements.size(), 5u);
    EXPECT_THAT(statements[0], ::testing::EndsWith("RETURN OLD; END;'"));
    EXPECT_EQ(statements[1],
              "CREATE TRIGGER T AFTER DELETE ON A FOR EACH ROW EXECUTE FUNCTION F()");
    EXPECT_THAT(statements[2], ::testing::EndsWith("LANGUAGE plpgsql"));
    EXPECT_EQ(statements[3], "SELECT $$a;b$$, /* c; */ 1");
    EXPECT_EQ(statements[4], "INSERT INTO \"odd;name\" VALUES (2)");
}

TEST(DatabaseScripts, EveryScriptSplitsIntoCompleteStatements) {
    const std::pair<std::string_view, Engine> scripts[] = {
        {SchemaScript(Engine::SQLite), Engine::SQLite},
        {SchemaScript(Engine::PostgreSQL), Engine::PostgreSQL},
        {ReferenceDataScript(), Engine::SQLite},
        {ReferenceDataScript(), Engine::PostgreSQL}};
    for (const auto& [script, engine] : scripts) {
        const auto statements = SplitStatements(script, engine);
        EXPECT_GT(statements.size(), 9u);
        for (const std::string& statement : statements) {
            EXPECT_THAT(statement, ::testing::MatchesRegex("^(CREATE|INSERT) .*"));
            EXPECT_NE(statement.back(), ';');
        }
    }
    // Nine tables, three cascades, and the function each PostgreSQL trigger runs.
    auto count = [](Engine engine, const std::string& start) {
        int n = 0;
        for (const std::string& statement : SplitStatements(SchemaScript(engine), engine))
            n += statement.rfind(start, 0) == 0;
        return n;
    };
    EXPECT_EQ(count(Engine::SQLite, "CREATE TABLE"), 9);
    EXPECT_EQ(count(Engine::PostgreSQL, "CREATE TABLE"), 9);
    EXPECT_EQ(count(Engine::SQLite, "CREATE TRIGGER"), 3);
    EXPECT_EQ(count(Engine::PostgreSQL, "CREATE TRIGGER"), 3);
    EXPECT_EQ(count(Engine::PostgreSQL, "CREATE FUNCTION"), 3);
}

TEST(DatabaseScripts, EngineNames) {
    EXPECT_EQ(EngineFromName("sqlite"), Engine::SQLite);
    EXPECT_EQ(EngineFromName("PostgreSQL"), Engine::PostgreSQL);
    EXPECT_EQ(EngineName(Engine::PostgreSQL), "postgresql");
    EXPECT_THROW(EngineFromName("access"), Exception);
}

} // namespace
} // namespace parvela::db
