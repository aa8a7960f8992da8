// The parvela-db tool, run as a process on real databases.

#include "tests/support/TestDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace parvela {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct ToolRun {
    int exitCode = -1;
    std::string output; // standard output and error together
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

ToolRun RunTool(const std::string& arguments) {
    const std::string command =
        Quoted(std::string(PARVELA_BIN_DIR) + "/parvela-db") + " " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        run.output += buffer.data();
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

fs::path FreshPath(const std::string& name) {
    const fs::path dir = fs::path(PARVELA_TEST_WORK_DIR) / "tool";
    fs::create_directories(dir);
    const fs::path file = dir / (name + "-" + std::to_string(::getpid()) + ".sqlite");
    fs::remove(file);
    return file;
}

std::int64_t BBCHRows(const std::string& connection) {
    return test::QueryRows(connection, "SELECT COUNT(*) FROM BBCH").front().front().AsInteger();
}

TEST(DatabaseTool, CreatesAnSQLiteFileAndRefusesToOverwriteIt) {
    const fs::path file = FreshPath("created");
    const ToolRun created = RunTool("create-sqlite " + Quoted(file.string()));
    EXPECT_EQ(created.exitCode, 0) << created.output;
    ASSERT_TRUE(fs::exists(file));
    const std::string connection = "Driver=SQLite3;Database=" + file.string();
    EXPECT_GT(BBCHRows(connection), 0);
    test::RunRawSQL(connection, "INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (1, 'kept')");

    const ToolRun refused = RunTool("create-sqlite " + Quoted(file.string()));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.output, HasSubstr("exists already"));
    EXPECT_EQ(test::QueryRows(connection, "SELECT CAPTION FROM PROJECTS").size(), 1u);

    const ToolRun forced = RunTool("create-sqlite " + Quoted(file.string()) + " --force");
    EXPECT_EQ(forced.exitCode, 0) << forced.output;
    EXPECT_TRUE(test::QueryRows(connection, "SELECT CAPTION FROM PROJECTS").empty());
    fs::remove(file);
}

TEST(DatabaseTool, CreatesAFileWhosePathIsNotASCII) {
    const fs::path file = FreshPath("Prüfung € Reis");
    const ToolRun created = RunTool("create-sqlite " + Quoted(file.string()));
    EXPECT_EQ(created.exitCode, 0) << created.output;
    EXPECT_TRUE(fs::exists(file));
    EXPECT_GT(BBCHRows("Driver=SQLite3;Database=" + file.string()), 0);
    fs::remove(file);
}

// The driver reads the path up to the next ";" and knows no quoting.
TEST(DatabaseTool, RefusesAPathWithASemicolon) {
    const fs::path file = FreshPath("a;b");
    const ToolRun run = RunTool("create-sqlite " + Quoted(file.string()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("must not contain"));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.parent_path() / "a"));
}

TEST(DatabaseTool, AFailedReplacementKeepsTheOldFile) {
    const fs::path dir =
        fs::path(PARVELA_TEST_WORK_DIR) / "tool" / ("readonly-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "kept.sqlite";
    ASSERT_EQ(RunTool("create-sqlite " + Quoted(file.string())).exitCode, 0);
    const std::string connection = "Driver=SQLite3;Database=" + file.string();
    test::RunRawSQL(connection, "INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (1, 'kept')");
    // The replacement's path cannot be used by the driver.
    const fs::path semicolon = dir / "x;y";
    fs::create_directories(semicolon);
    const ToolRun run = RunTool("create-sqlite " +
                                Quoted((semicolon / "..").string() + "/kept.sqlite") + " --force");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(test::QueryRows(connection, "SELECT CAPTION FROM PROJECTS").size(), 1u);
    fs::remove_all(dir);
}

TEST(DatabaseTool, FailureLeavesNoFileBehind) {
    const fs::path file = fs::path(PARVELA_TEST_WORK_DIR) / "no-such-dir" / "x.sqlite";
    const ToolRun run = RunTool("create-sqlite " + Quoted(file.string()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("parvela-db: "));
    EXPECT_FALSE(fs::exists(file));
}

TEST(DatabaseTool, RefusesIncompleteCommandLines) {
    for (const char* arguments :
         {"", "create-sqlite", "create", "create --engine sqlite", "create --connection x",
          "create --connection x --engine", "frobnicate x", "create-sqlite a b"}) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_THAT(run.output, HasSubstr("Usage:")) << arguments;
    }
    const ToolRun unknownEngine = RunTool("create --connection x --engine access");
    EXPECT_EQ(unknownEngine.exitCode, 1);
    EXPECT_THAT(unknownEngine.output, HasSubstr("Unknown database engine"));
}

class DatabaseToolOnEmptyDatabase : public test::DatabaseTest {
protected:
    test::Content DatabaseContent() const override { return test::Content::Empty; }
};

TEST_P(DatabaseToolOnEmptyDatabase, CreatesTheSchemaInAnExistingDatabase) {
    const std::string engine = IsSQLite() ? "sqlite" : "postgresql";
    const ToolRun run =
        RunTool("create --connection " + Quoted(ConnectionString()) + " --engine " + engine);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(BBCHRows(ConnectionString()), 0);
    EXPECT_EQ(Db().GetNewID("PROJECTS"), 0);

    // A second run meets the tables and fails with the driver's message; nothing changes.
    const ToolRun again =
        RunTool("create --connection " + Quoted(ConnectionString()) + " --engine " + engine);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.output, HasSubstr("parvela-db: "));
    EXPECT_EQ(test::QueryRows(ConnectionString(), "SELECT HIGHESTID FROM SYSTABLES").size(), 1u);
}

PARVELA_INSTANTIATE_DATABASE_TEST(DatabaseToolOnEmptyDatabase);

} // namespace
} // namespace parvela
