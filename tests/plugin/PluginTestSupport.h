#pragma once
// Shared pieces of the plug-in tests: a fresh directory per test, environment variables set
// for the test's lifetime, and direct access to the stand-in's database.

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace parvela::plugin_test {

inline const std::string LibraryPath = DAXO_LIBRARY_PATH;
inline const std::string IncompleteLibraryPath = DAXO_INCOMPLETE_LIBRARY_PATH;
#ifdef DAXO_MISBEHAVING_LIBRARY_PATH
inline const std::string MisbehavingLibraryPath = DAXO_MISBEHAVING_LIBRARY_PATH;
#endif

// Example substances of a new stand-in database.
inline const std::string AlphaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000001}";
inline const std::string AlphaM1Guid = "{5EED0DA0-7A11-4C0E-9D00-000000000002}";
inline const std::string AlphaM2Guid = "{5EED0DA0-7A11-4C0E-9D00-000000000003}";
inline const std::string AlphaM3Guid = "{5EED0DA0-7A11-4C0E-9D00-000000000004}";
inline const std::string BetaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000005}";
inline const std::string BetaWaterGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000006}";
inline const std::string BetaSedimentGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000007}";
inline const std::string GammaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000008}";
inline const std::string DeltaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000009}";
inline const std::string EpsilonGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000010}";
inline const std::string ZetaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000011}";
inline const std::string EtaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000012}";
inline const std::string UnknownGuid = "{00000000-0000-0000-0000-00000000BEEF}";

class TTestDirectory {
public:
    explicit TTestDirectory(const std::string& name) {
        std::filesystem::create_directories(PARVELA_TEST_WORK_DIR);
        std::string pattern = std::string(PARVELA_TEST_WORK_DIR) + "/plugin-" + name + "-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data()))
            throw std::runtime_error("cannot create a test directory");
        path_ = buffer.data();
    }
    ~TTestDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TTestDirectory(const TTestDirectory&) = delete;
    TTestDirectory& operator=(const TTestDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

class TScopedEnvironment {
public:
    TScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
        if (const char* old = getenv(name_.c_str()))
            previous_ = old;
        setenv(name_.c_str(), value.c_str(), 1);
    }
    ~TScopedEnvironment() {
        if (previous_)
            setenv(name_.c_str(), previous_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    TScopedEnvironment(const TScopedEnvironment&) = delete;
    TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Runs SQL on the stand-in's database file beside the library's own connection.
inline void ExecuteSql(const std::string& databasePath, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(databasePath.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + databasePath);
    }
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("SQL failed: " + message + " in " + sql);
}

// Adds `count` active substances, each with `attributesEach` attributes, after the examples.
inline std::vector<std::string> AddManySubstances(const std::string& databasePath, int count,
                                                  int attributesEach = 3) {
    std::vector<std::string> guids;
    std::string sql = "BEGIN;";
    for (int i = 0; i < count; ++i) {
        char guid[64];
        std::snprintf(guid, sizeof guid, "{BULK0000-0000-4000-8000-%012d}", i);
        guids.push_back(guid);
        sql += "INSERT INTO substances (guid, is_metabolite, position) VALUES ('" +
               std::string(guid) + "', 0, " + std::to_string(1000 + i) + ");";
        sql += "INSERT INTO attributes (guid, name, value, position) VALUES ('" +
               std::string(guid) + "', 'SubstanceCode', 'BULK" + std::to_string(i) + "', 0);";
        for (int a = 1; a < attributesEach; ++a)
            sql += "INSERT INTO attributes (guid, name, value, position) VALUES ('" +
                   std::string(guid) + "', 'Extra" + std::to_string(a) + "', '" +
                   std::to_string(a) + ".5', " + std::to_string(a) + ");";
    }
    ExecuteSql(databasePath, sql + "COMMIT;");
    return guids;
}

} // namespace parvela::plugin_test
