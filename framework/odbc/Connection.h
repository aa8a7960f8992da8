#pragma once
// One ODBC connection on unixODBC: its own environment, connect through SQLDriverConnect,
// statements executed directly, and transactions.

#include "framework/TDACDatabase.h"
#include "framework/odbc/ConnectionOptions.h"
#include "framework/odbc/Diagnostics.h"

#include <sql.h>

#include <memory>
#include <string>

namespace parvela::odbc {

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Takes effect at the next Open.
    void Configure(const ConnectionOptions& options);
    const ConnectionOptions& Options() const { return options_; }

    // Raises EDatabaseError with the driver's message when the driver refuses.
    void Open();
    void Close();
    bool IsOpen() const { return dbc_ != SQL_NULL_HANDLE; }
    // True when the driver knows the connection to be lost (a server that ended the session,
    // a network that went away). Drivers that cannot tell answer false.
    bool IsDead() const;
    // The connection string given to the driver by the last Open.
    const std::string& ConnectionString() const { return connectionString_; }
    // The database product reported by the driver ("SQLite", "PostgreSQL").
    const std::string& DbmsName() const { return dbmsName_; }
    bool IsSQLite() const;
    bool IsPostgreSQL() const;
    // How statements, names, values and messages cross to this driver.
    TextEncoding Encoding() const;

    // Executes a statement that returns no rows.
    void ExecDirect(const std::string& sql);

    // Autocommit stays off until Commit or Rollback. On SQLite the write lock is taken at the
    // start ("BEGIN IMMEDIATE"), so that two writers never deadlock on the lock upgrade.
    void BeginTransaction(TIsolationLevel level);
    void Commit();
    // Does nothing when no transaction is open.
    void Rollback();
    bool InTransaction() const { return inTransaction_; }

    SQLHDBC Handle() const;

private:
    void Connect(const std::string& connectionString);
    void ReadDriverInfo();
    // The connection string with the settings this driver needs and the caller left out.
    std::string WithDriverSettings(const std::string& text) const;
    void EndTransaction(SQLSMALLINT completion);
    void SetAutocommit(bool on);
    void SQLiteRollbackQuietly();

    ConnectionOptions options_;
    SQLHENV env_ = SQL_NULL_HANDLE;
    SQLHDBC dbc_ = SQL_NULL_HANDLE;
    std::string connectionString_;
    std::string dbmsName_;
    bool inTransaction_ = false;
};

} // namespace parvela::odbc
