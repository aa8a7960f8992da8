#include "framework/odbc/Connection.h"

#include "framework/odbc/AsciiText.h"
#include "framework/odbc/Diagnostics.h"
#include "framework/odbc/Statement.h"
#include "framework/odbc/Unicode.h"
#include "platform/Exceptions.h"

#include <sqlext.h>
#include <sqlucode.h>

namespace parvela::odbc {

namespace {

// How long a locked SQLite database is waited for before a statement fails.
constexpr const char* SQLiteBusyTimeoutMs = "30000";

std::string InfoText(SQLHDBC dbc, SQLUSMALLINT type) {
    SQLWCHAR buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!Succeeded(SQLGetInfoW(dbc, type, buffer, sizeof buffer, &length)))
        return {};
    return WideToUtf8(buffer, static_cast<std::size_t>(length) / sizeof(SQLWCHAR));
}

SQLULEN OdbcIsolation(TIsolationLevel level) {
    switch (level) {
    case TIsolationLevel::ReadUncommitted:
        return SQL_TXN_READ_UNCOMMITTED;
    case TIsolationLevel::ReadCommitted:
        return SQL_TXN_READ_COMMITTED;
    case TIsolationLevel::RepeatableRead:
        return SQL_TXN_REPEATABLE_READ;
    case TIsolationLevel::Serializable:
        return SQL_TXN_SERIALIZABLE;
    }
    return SQL_TXN_READ_COMMITTED;
}

} // namespace

Connection::Connection() {
    Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_), SQL_HANDLE_ENV, env_,
          "SQLAllocHandle");
    Check(SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, env_, "SQLSetEnvAttr");
}

Connection::~Connection() {
    Close();
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

void Connection::Configure(const ConnectionOptions& options) {
    options_ = options;
}

bool Connection::IsSQLite() const {
    return ContainsIgnoringCase(dbmsName_, "sqlite");
}

TextEncoding Connection::Encoding() const {
    // The SQLite driver works in UTF-8 and has no wide functions.
    return IsOpen() && !IsSQLite() ? TextEncoding::Utf16 : TextEncoding::Utf8;
}

bool Connection::IsPostgreSQL() const {
    return ContainsIgnoringCase(dbmsName_, "postgres");
}

SQLHDBC Connection::Handle() const {
    if (!IsOpen())
        throw EDatabaseError("TDACDatabase: Database not connected.");
    return dbc_;
}

void Connection::Open() {
    if (IsOpen())
        throw EDatabaseError("TDACDatabase: Database connection exists.");
    const std::string text =
        BuildConnectionString(options_.Database, options_.UserName, options_.Password);
    Connect(text);
    // Some settings the drivers take only from the connection string; a data source name
    // does not reveal the driver before the connection is made.
    const std::string completed = WithDriverSettings(text);
    if (completed != text) {
        Close();
        Connect(completed);
    }
}

std::string Connection::WithDriverSettings(const std::string& text) const {
    struct Setting {
        bool applies;
        const char* key;
        const char* value;
    };
    const Setting settings[] = {
        // A locked SQLite database is waited for, not reported as an error at once.
        {IsSQLite(), "Timeout", SQLiteBusyTimeoutMs},
        // psqlODBC hands booleans out as the characters 1 and 0 unless told otherwise.
        {IsPostgreSQL(), "BoolsAsChar", "0"},
    };
    std::string completed = text;
    for (const Setting& setting : settings) {
        if (!setting.applies || ConnectionStringValue(completed, setting.key))
            continue;
        if (!completed.empty() && completed.back() != ';')
            completed += ';';
        completed += std::string(setting.key) + "=" + setting.value;
    }
    return completed;
}

void Connection::Connect(const std::string& connectionString) {
    SQLHDBC dbc = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc), SQL_HANDLE_ENV, env_, "SQLAllocHandle");
    if (options_.PacketSize > 0) // drivers without packets ignore or refuse it; either is fine
        SQLSetConnectAttrW(dbc, SQL_ATTR_PACKET_SIZE,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(options_.PacketSize)),
                           0);
    // Before the connection is made the driver is unknown: the narrow function passes the
    // text to an UTF-8 driver unchanged and to a Unicode driver widened, which holds for
    // connection strings in ASCII.
    std::string text = connectionString;
    SQLCHAR completed[1024] = {};
    SQLSMALLINT completedLength = 0;
    const SQLRETURN result =
        SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                         static_cast<SQLSMALLINT>(text.size()), completed, sizeof completed,
                         &completedLength, SQL_DRIVER_NOPROMPT);
    if (!Succeeded(result)) {
        std::string message = DiagnosticMessage(SQL_HANDLE_DBC, dbc, TextEncoding::Utf8);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        throw EDatabaseError(message.empty() ? "SQLDriverConnect failed" : message);
    }
    dbc_ = dbc;
    connectionString_ = connectionString;
    inTransaction_ = false;
    ReadDriverInfo();
}

void Connection::ReadDriverInfo() {
    dbmsName_ = InfoText(dbc_, SQL_DBMS_NAME);
    if (dbmsName_.empty())
        dbmsName_ = InfoText(dbc_, SQL_DRIVER_NAME);
}

bool Connection::IsDead() const {
    if (!IsOpen())
        return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN result = SQLGetConnectAttrW(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return Succeeded(result) && dead == SQL_CD_TRUE;
}

void Connection::Close() {
    if (!IsOpen())
        return;
    if (inTransaction_) {
        try {
            Rollback();
        } catch (const EDatabaseError&) {
            // A lost connection cannot roll back; the server ends the transaction itself.
            inTransaction_ = false;
        }
    }
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    dbc_ = SQL_NULL_HANDLE;
    dbmsName_.clear();
}

void Connection::ExecDirect(const std::string& sql) {
    Statement statement(*this);
    statement.ExecDirect(sql);
}

void Connection::SetAutocommit(bool on) {
    const auto value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    Check(SQLSetConnectAttrW(Handle(), SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(value)), 0),
          SQL_HANDLE_DBC, dbc_, "SQLSetConnectAttr", Encoding());
}

void Connection::BeginTransaction(TIsolationLevel level) {
    if (inTransaction_)
        throw EDatabaseError("Already within transaction.");
    if (IsSQLite()) {
        // The driver's own transactions begin deferred; SQLite transactions are serializable
        // whatever level is asked for.
        ExecDirect("BEGIN IMMEDIATE");
    } else {
        // A driver that refuses the level still gets the transaction at its default level.
        SQLSetConnectAttrW(Handle(), SQL_ATTR_TXN_ISOLATION,
                           reinterpret_cast<SQLPOINTER>(OdbcIsolation(level)), 0);
        SetAutocommit(false);
    }
    inTransaction_ = true;
}

void Connection::EndTransaction(SQLSMALLINT completion) {
    if (IsSQLite()) {
        inTransaction_ = false;
        try {
            ExecDirect(completion == SQL_COMMIT ? "COMMIT" : "ROLLBACK");
        } catch (const EDatabaseError&) {
            // A refused commit must not leave the write lock held.
            if (completion == SQL_COMMIT)
                SQLiteRollbackQuietly();
            throw;
        }
        return;
    }
    const SQLRETURN result = SQLEndTran(SQL_HANDLE_DBC, Handle(), completion);
    std::string message;
    if (!Succeeded(result)) {
        message = DiagnosticMessage(SQL_HANDLE_DBC, dbc_, Encoding());
        SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    }
    inTransaction_ = false;
    SetAutocommit(true);
    if (!Succeeded(result))
        throw EDatabaseError(message.empty() ? "SQLEndTran failed" : message);
}

void Connection::SQLiteRollbackQuietly() {
    try {
        ExecDirect("ROLLBACK");
    } catch (const EDatabaseError&) {
        // nothing was left open
    }
}

void Connection::Commit() {
    if (!inTransaction_)
        throw EDatabaseError("No transaction is open.");
    EndTransaction(SQL_COMMIT);
}

void Connection::Rollback() {
    if (inTransaction_)
        EndTransaction(SQL_ROLLBACK);
}

} // namespace parvela::odbc
