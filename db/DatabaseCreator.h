#pragma once
// Creating new Parvela databases: the schema and the reference data, through the program's
// own ODBC layer.

#include "db/DatabaseScripts.h"

#include <string>

namespace parvela {
class TDACDatabase;
}

namespace parvela::db {

// Runs the schema and the reference data in one transaction on a connected database that
// holds none of the tables yet; nothing is left behind when a statement fails.
void CreateSchema(TDACDatabase& database, Engine engine);

// Adds the delivered scenarios, the example application scheme and the example project that
// uses them, in one transaction.
void LoadDeliveredScenarios(TDACDatabase& database, Engine engine);

// The ODBC connection string of an SQLite database file (driver "SQLite3").
std::string SQLiteConnectionString(const std::string& file);

// Creates a new SQLite database file with the schema and the reference data. An existing
// file is refused unless `overwrite`, then replaced. A failed creation leaves no new file and
// the old one as it was. The file is readable by its owner alone (0600) with `ownerOnly`,
// else as the umask allows (a database that a team shares through a group).
void CreateSQLiteDatabaseFile(const std::string& file, bool overwrite, bool withScenarios = false,
                              bool ownerOnly = false);

// Creates the schema in the existing, empty database that the connection string reaches.
void CreateDatabase(const std::string& connectionString, Engine engine,
                    const std::string& userName = {}, const std::string& password = {},
                    bool withScenarios = false);

} // namespace parvela::db
