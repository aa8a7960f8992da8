#pragma once
// The throw-away PostgreSQL server that ctest starts for the tests
// (scripts/pg-test-server.sh), and databases on it.

#include <string>

namespace parvela::test {

struct PgServerInfo {
    int Port = 0;
    std::string User;
    // Driver, server, port, user and BoolsAsChar=0; no database.
    std::string BaseConnectionString;
    // A role that the server admits with its password only.
    std::string PasswordUser;
    std::string Password;
};

// Reads the server's connection.txt; raises Exception when no server runs.
PgServerInfo ReadPgServerInfo();
// The connection string of a database on the server.
std::string PgConnectionString(const std::string& database);

// A test's own database on the server: a schema of its own in the shared test database,
// reached through a connection string that sets the search path to it. (A real database per
// test would take a second or more to copy; a schema takes milliseconds.)
struct PgTestDatabase {
    std::string Schema;
    std::string ConnectionString;
};

// A new, uniquely named one, with the program's tables and the reference data or empty.
PgTestDatabase CreatePgTestDatabase(bool withSchema);
// Drops it with everything in it.
void DropPgTestDatabase(const PgTestDatabase& database);

} // namespace parvela::test
