// The delivered scenario script on PostgreSQL: it loads into a new database made with the
// PostgreSQL schema and the reference data, and yields the same rows as on SQLite.

#include "tests/models/ScenarioData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <unistd.h>

namespace parvela::models::test {
namespace {

std::map<std::string, std::string> ServerInfo() {
    std::map<std::string, std::string> info;
    std::ifstream in(PARVELA_TEST_PG_INFO);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            info[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return info;
}

class PostgresScenarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        info = ServerInfo();
        ASSERT_TRUE(info.count("port")) << "no server information in " << PARVELA_TEST_PG_INFO;
        database = "parvela_scenarios_" + std::to_string(getpid());
        ASSERT_EQ(Psql("postgres", {"-c", "CREATE DATABASE " + database}), 0);
    }
    void TearDown() override {
        if (!database.empty())
            Psql("postgres", {"-c", "DROP DATABASE IF EXISTS " + database});
    }

    std::vector<std::string> Arguments(const std::string& db) const {
        return {"-X", "-q",
                "-v", "ON_ERROR_STOP=1",
                "-h", "127.0.0.1",
                "-p", info.at("port"),
                "-U", info.at("user"),
                "-d", db};
    }
    int Psql(const std::string& db, std::vector<std::string> more) const {
        std::vector<std::string> arguments = Arguments(db);
        arguments.insert(arguments.end(), more.begin(), more.end());
        return RunProgram("/usr/bin/psql", arguments, PARVELA_TEST_WORK_DIR);
    }
    std::string Value(const std::string& sql) const {
        std::string command = "/usr/bin/psql";
        for (const std::string& a : Arguments(database))
            command += " '" + a + "'";
        command += " -At -c \"" + sql + "\"";
        std::string output;
        FILE* pipe = popen(command.c_str(), "r");
        std::array<char, 4096> buffer{};
        while (pipe != nullptr && std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
            output += buffer.data();
        if (pipe != nullptr)
            pclose(pipe);
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
            output.pop_back();
        return output;
    }

    std::map<std::string, std::string> info;
    std::string database;
};

TEST_F(PostgresScenarioTest, ScriptLoadsWithTheSameRowsAsOnSQLite) {
    std::filesystem::create_directories(PARVELA_TEST_WORK_DIR);
    const std::string source = PARVELA_SOURCE_DIR;
    ASSERT_EQ(Psql(database, {"-f", source + "/db/schema-postgresql.sql", "-f",
                              source + "/db/reference-data.sql", "-f",
                              source + "/db/scenarios/scenarios.sql"}),
              0);
    const ScenarioDatabase sqlite;
    for (const std::string query :
         {"SELECT COUNT(*) FROM SCENARIOS", "SELECT COUNT(*) FROM Interceptions",
          "SELECT COUNT(*) FROM APPLICATIONS WHERE APPLICATIONSCHEMEID = 1",
          "SELECT SUM(LENGTH(GLIDAR_data) + LENGTH(MUNDRE_data) + LENGTH(GLIDAR_meteo) + "
          "LENGTH(MUNDRE_meteo) + LENGTH(GLIDAR_pond) + LENGTH(MUNDRE_rain)) FROM SCENARIOS",
          "SELECT SUM(HIGHESTID) FROM SYSTABLES",
          "SELECT COUNT(*) FROM Interceptions, BBCH WHERE Interceptions.BBCH_ID = BBCH.ID"})
        EXPECT_EQ(Value(query), std::to_string(sqlite.Count(query))) << query;
    EXPECT_EQ(Value("SELECT COUNT(*) FROM APPLICATIONSCHEMES WHERE LOCKED = False"), "1");
    EXPECT_EQ(Value("SELECT MIN(EXTRACT(MONTH FROM APPLICATIONDATE)) FROM APPLICATIONS"), "6");
}

} // namespace
} // namespace parvela::models::test
