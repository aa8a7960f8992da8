#pragma once
// The program's one database object: the ODBC connection, statements as text, single-value
// queries, the key counter and the SQL texts of dates and booleans.

#include "framework/DateTime.h"
#include "framework/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace parvela {

namespace odbc {
class Connection;
}

enum class TIsolationLevel { ReadUncommitted, ReadCommitted, RepeatableRead, Serializable };

// A text as an SQL literal: in single quotes, each single quote inside doubled.
std::string QuotedSQLText(const std::string& text);

// A column of the current row of a query.
class TDACField {
public:
    explicit TDACField(const TVariant& value) : value_(value) {}
    bool IsNull() const { return value_.IsNull(); }
    std::string AsString() const { return value_.AsString(); }
    // Raises EConvertError for a value outside the 32-bit range: never a cut-off number.
    std::int32_t AsInteger() const;
    double AsFloat() const { return value_.AsReal(); }
    TDateTime AsDateTime() const { return value_.AsDateTime(); }
    bool AsBoolean() const { return value_.AsBoolean(); }
    const TVariant& AsVariant() const { return value_; }

private:
    TVariant value_;
};

// A forward-only query on the database's connection.
class TDACQuery {
public:
    virtual ~TDACQuery() = default;
    // Executes the statement and positions the cursor on its first row.
    virtual void Open(const std::string& sql) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // True once the cursor has moved past the last row, or at once when there is no row.
    virtual bool Eof() const = 0;
    virtual void Next() = 0;
    // The column of the current row by name, ignoring letter case. An unknown name raises
    // EDatabaseError "Field '%s' not found".
    virtual TDACField FieldByName(const std::string& name) const = 0;
    virtual int FieldCount() const = 0;
    virtual std::string FieldName(int index) const = 0;
};

class TDACDatabase {
public:
    TDACDatabase();
    ~TDACDatabase();
    TDACDatabase(const TDACDatabase&) = delete;
    TDACDatabase& operator=(const TDACDatabase&) = delete;

    // DatabaseName is an ODBC data source name, or a full connection string when it holds "=".
    void SetODBCConnection(const std::string& databaseName, const std::string& userName,
                           const std::string& password);
    bool Connected() const;
    void SetConnected(bool value);
    // True when the connection was lost under the program: the server ended the session or
    // the network went away. Statements then fail until Reconnect.
    bool ConnectionLost() const;
    // A new connection with the same settings in place of the old one; raises EDatabaseError
    // when the database cannot be reached. What the old session held (transactions, locks)
    // is gone.
    void Reconnect();

    const std::string& DatabaseName() const { return databaseName_; }
    const std::string& UserName() const { return userName_; }
    const std::string& Password() const { return password_; }
    // The connection parameter lines given to the access layer.
    const std::vector<std::string>& ConnectionParams() const { return params_; }

    const std::string& TrueString() const { return trueString_; }
    const std::string& FalseString() const { return falseString_; }
    void SetTrueString(const std::string& text) { trueString_ = text; }
    void SetFalseString(const std::string& text) { falseString_ = text; }
    std::string BooleanToStr(bool value) const;
    bool StrToBoolean(const std::string& text) const;

    void ExecSQL(const std::string& sql);
    void StartTransaction(TIsolationLevel level);
    void Commit();
    void Rollback();
    bool InTransaction() const { return inTransaction_; }

    std::string DateTimeToSQL(TDateTime value) const;
    TVariant SelectValue(const std::string& expression, const std::string& from,
                         const std::string& where);
    // A query that is not yet open.
    std::unique_ptr<TDACQuery> CreateQuery();
    // A new query, opened and positioned on its first row; the caller owns it.
    std::unique_ptr<TDACQuery> OpenQuery(const std::string& sql);
    std::int32_t GetNewID(const std::string& tableName);

    // The pseudo-column in whose order the connected engine returns a table's rows when a
    // statement asks for no order: PostgreSQL's CTID, SQLite's ROWID.
    std::string StorageOrderColumn() const;

    // Patterns copied by SetODBCConnection from the program-wide settings.
    const std::string& ShortDatePattern() const { return shortDatePattern_; }
    const std::string& LongTimePattern() const { return longTimePattern_; }
    void SetShortDatePattern(const std::string& pattern) { shortDatePattern_ = pattern; }
    void SetLongTimePattern(const std::string& pattern) { longTimePattern_ = pattern; }

    // Diagnostics: when set, every statement executed is appended to the log.
    void SetStatementLog(std::vector<std::string>* log) { statementLog_ = log; }
    void LogStatement(const std::string& sql) const;

    // The access layer's connection; used by the record sets.
    odbc::Connection& Connection();

private:
    // One attempt of GetNewID in its own transaction; `insertRefused` tells whether the
    // counter row's INSERT was what failed.
    std::int32_t DrawNewID(const std::string& key, bool& insertRefused);

    std::unique_ptr<odbc::Connection> connection_;
    std::uint8_t databaseType_ = 0; // 0 not set, 4 ODBC
    bool connected_ = false;
    std::string databaseName_, userName_, password_;
    std::vector<std::string> params_;
    std::string trueString_ = "Yes";
    std::string falseString_ = "No";
    std::uint32_t transactionId_ = 0;
    TIsolationLevel isolationLevel_ = TIsolationLevel::ReadCommitted;
    bool inTransaction_ = false;
    std::string shortDatePattern_, longTimePattern_;
    char dateSeparator_ = '/';
    std::vector<std::string>* statementLog_ = nullptr;
};

} // namespace parvela
