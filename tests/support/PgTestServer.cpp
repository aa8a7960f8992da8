#include "tests/support/PgTestServer.h"

#include "db/DatabaseCreator.h"
#include "platform/Exceptions.h"
#include "tests/support/RawSql.h"

#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/file.h>
#include <unistd.h>

namespace parvela::test {

namespace {

const char* const InfoFile = PARVELA_TEST_PG_INFO;

// Serialises the making of the template database between test processes.
class FileLock {
public:
    explicit FileLock(const std::string& path) : fd_(::open(path.c_str(), O_CREAT | O_RDWR, 0666)) {
        if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0)
            throw EOSError("Cannot lock " + path);
    }
    ~FileLock() {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

const char* const SharedDatabase = "parvela_tests";

std::string MaintenanceConnectionString() {
    return PgConnectionString("postgres");
}

bool DatabaseExists(const std::string& name) {
    return QueryRows(MaintenanceConnectionString(),
                     "SELECT COUNT(*) FROM pg_database WHERE datname = '" + name + "'")
               .front()
               .front()
               .AsInteger() > 0;
}

// The shared database is made by the first test process that needs it.
const std::string& SharedDatabaseConnectionString() {
    static const std::string connection = [] {
        FileLock lock(std::string(InfoFile) + ".lock");
        if (!DatabaseExists(SharedDatabase))
            RunRawSQL(MaintenanceConnectionString(), std::string("CREATE DATABASE ") +
                                                         SharedDatabase +
                                                         " ENCODING 'UTF8' TEMPLATE template0");
        return PgConnectionString(SharedDatabase);
    }();
    return connection;
}

std::string UniqueSchemaName() {
    static std::atomic<int> counter{0};
    static const unsigned salt = std::random_device{}() % 100000;
    return "parvela_test_" + std::to_string(::getpid()) + "_" + std::to_string(salt) + "_" +
           std::to_string(++counter);
}

} // namespace

PgServerInfo ReadPgServerInfo() {
    std::ifstream in(InfoFile);
    if (!in)
        throw Exception(std::string("No PostgreSQL test server runs: ") + InfoFile +
                        " is missing (start it with scripts/pg-test-server.sh start <dir>, "
                        "or run the tests through ctest)");
    PgServerInfo info;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "port")
            info.Port = std::stoi(value);
        else if (key == "user")
            info.User = value;
        else if (key == "connection")
            info.BaseConnectionString = value;
        else if (key == "password_user")
            info.PasswordUser = value;
        else if (key == "password")
            info.Password = value;
    }
    if (info.BaseConnectionString.empty())
        throw Exception(std::string("No connection string in ") + InfoFile);
    return info;
}

std::string PgConnectionString(const std::string& database) {
    return ReadPgServerInfo().BaseConnectionString + ";Database=" + database;
}

PgTestDatabase CreatePgTestDatabase(bool withSchema) {
    PgTestDatabase database;
    database.Schema = UniqueSchemaName();
    RunRawSQL(SharedDatabaseConnectionString(), "CREATE SCHEMA " + database.Schema);
    database.ConnectionString = SharedDatabaseConnectionString() +
                                ";ConnSettings={SET search_path TO " + database.Schema + "}";
    try {
        if (withSchema)
            db::CreateDatabase(database.ConnectionString, db::Engine::PostgreSQL);
    } catch (...) {
        DropPgTestDatabase(database);
        throw;
    }
    return database;
}

void DropPgTestDatabase(const PgTestDatabase& database) {
    RunRawSQL(SharedDatabaseConnectionString(),
              "DROP SCHEMA IF EXISTS " + database.Schema + " CASCADE");
}

} // namespace parvela::test
