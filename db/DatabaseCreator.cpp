#include "db/DatabaseCreator.h"

#include "framework/TDACDatabase.h"
#include "platform/Exceptions.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <initializer_list>
#include <system_error>
#include <unistd.h>

namespace parvela::db {

namespace {

void RunScript(TDACDatabase& database, std::string_view script, Engine engine) {
    for (const std::string& statement : SplitStatements(script, engine))
        database.ExecSQL(statement);
}

// Runs the scripts in one transaction; nothing is left behind when a statement fails.
void RunScriptsInTransaction(TDACDatabase& database,
                             std::initializer_list<std::string_view> scripts, Engine engine) {
    database.StartTransaction(TIsolationLevel::ReadCommitted);
    try {
        for (std::string_view script : scripts)
            RunScript(database, script, engine);
        database.Commit();
    } catch (...) {
        try {
            database.Rollback();
        } catch (const Exception&) {
            // the first failure is the one to report
        }
        throw;
    }
}

// SQLite takes an empty file for a new database and keeps its permissions, also for its
// journal.
void CreateEmptyFile(const std::string& path, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        throw EOSError("Cannot create \"" + path + "\": " + std::strerror(errno));
    ::close(fd);
}

} // namespace

void CreateSchema(TDACDatabase& database, Engine engine) {
    RunScriptsInTransaction(database, {SchemaScript(engine), ReferenceDataScript()}, engine);
}

void LoadDeliveredScenarios(TDACDatabase& database, Engine engine) {
    RunScriptsInTransaction(database, {DeliveredScenariosScript(), ExampleProjectScript()}, engine);
}

std::string SQLiteConnectionString(const std::string& file) {
    // The driver takes the value up to the next ";" as it stands; it knows no braces.
    if (file.find(';') != std::string::npos)
        throw Exception("An SQLite database path must not contain \";\": " + file);
    return "Driver=SQLite3;Database=" + file;
}

void CreateDatabase(const std::string& connectionString, Engine engine, const std::string& userName,
                    const std::string& password, bool withScenarios) {
    TDACDatabase database;
    database.SetODBCConnection(connectionString, userName, password);
    database.SetConnected(true);
    CreateSchema(database, engine);
    if (withScenarios)
        LoadDeliveredScenarios(database, engine);
    database.SetConnected(false);
}

void CreateSQLiteDatabaseFile(const std::string& file, bool overwrite, bool withScenarios,
                              bool ownerOnly) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(file, error) && !overwrite)
        throw Exception("The file \"" + file + "\" exists already (use --force to replace it).");
    // Made beside the target and renamed over it: a failed creation keeps the old file.
    const std::string partial = file + ".partial-" + std::to_string(::getpid());
    fs::remove(partial, error);
    try {
        if (ownerOnly)
            CreateEmptyFile(partial, 0600);
        CreateDatabase(SQLiteConnectionString(partial), Engine::SQLite, {}, {}, withScenarios);
    } catch (...) {
        fs::remove(partial, error);
        throw;
    }
    fs::rename(partial, file, error);
    if (error) {
        fs::remove(partial);
        throw EOSError("Cannot replace \"" + file + "\": " + error.message());
    }
}

} // namespace parvela::db
