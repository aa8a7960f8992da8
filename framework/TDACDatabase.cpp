#include "framework/TDACDatabase.h"

#include "framework/Enclosed.h"
#include "framework/Format.h"
#include "framework/FormatSettings.h"
#include "framework/MissingValues.h"
#include "framework/odbc/AsciiText.h"
#include "framework/odbc/Connection.h"
#include "framework/odbc/ForwardQuery.h"
#include "platform/Exceptions.h"
#include "platform/UiHooks.h"

#include <limits>

namespace parvela {

namespace {

constexpr std::uint8_t DatabaseTypeNotSet = 0;
constexpr std::uint8_t DatabaseTypeODBC = 4;

const char* const CounterTable = "SYSTABLES";
const char* const CounterKeyColumn = "TABLENAME";
const char* const CounterValueColumn = "HIGHESTID";

bool IsMidnight(TDateTime value) {
    const TDateParts parts = DecodeDateTime(value);
    return parts.Hour == 0 && parts.Minute == 0 && parts.Second == 0 && parts.Millisecond == 0;
}

} // namespace

std::string QuotedSQLText(const std::string& text) {
    return Enclosed(text, '\'', '\'');
}

TDACDatabase::TDACDatabase() : connection_(std::make_unique<odbc::Connection>()) {}

TDACDatabase::~TDACDatabase() {
    if (connection_->IsOpen())
        connection_->Close();
}

void TDACDatabase::SetODBCConnection(const std::string& databaseName, const std::string& userName,
                                     const std::string& password) {
    connected_ = connection_->IsOpen();
    if (connected_)
        throw EDatabaseError("TDACDatabase: Database connection exists.");
    databaseName_ = databaseName;
    userName_ = userName;
    password_ = password;
    params_ = {"DriverName=OpenOdbc",
               "Database=" + databaseName,
               "User_Name=" + userName,
               "Password=" + password,
               "RowsetSize=20",
               "BlobSize=-1",
               "Custom String=coNetPacketSize=8192;coLockMode=17;coBlobChunkSize=40960",
               "Trim Char=False"};
    connection_->Configure(odbc::ConnectionOptions::FromParams(params_));
    dateSeparator_ = '/';
    shortDatePattern_ = FormatSettings().ShortDatePattern;
    longTimePattern_ = FormatSettings().LongTimePattern;
    databaseType_ = DatabaseTypeODBC;
}

bool TDACDatabase::Connected() const {
    return connection_->IsOpen();
}

void TDACDatabase::SetConnected(bool value) {
    TWaitCursor waitCursor;
    connected_ = connection_->IsOpen();
    struct Refresh {
        TDACDatabase& database;
        ~Refresh() { database.connected_ = database.connection_->IsOpen(); }
    } refresh{*this};
    if (value) {
        if (databaseType_ == DatabaseTypeNotSet)
            throw EDatabaseError("TDACDatabase: Database type not set.");
        if (connected_)
            throw EDatabaseError("TDACDatabase: Database connection exists.");
        connection_->Open();
    } else {
        if (!connected_)
            throw EDatabaseError("TDACDatabase: Database not connected.");
        inTransaction_ = false;
        connection_->Close();
    }
}

bool TDACDatabase::ConnectionLost() const {
    return connection_->IsDead();
}

void TDACDatabase::Reconnect() {
    inTransaction_ = false;
    connection_->Close();
    connection_->Open();
}

std::string TDACDatabase::BooleanToStr(bool value) const {
    return value ? trueString_ : falseString_;
}

bool TDACDatabase::StrToBoolean(const std::string& text) const {
    if (text.empty())
        throw EDatabaseError("TDACDatabase.StrToBoolean: empty string");
    return odbc::EqualsIgnoringCase(text, trueString_);
}

void TDACDatabase::LogStatement(const std::string& sql) const {
    if (statementLog_)
        statementLog_->push_back(sql);
}

void TDACDatabase::ExecSQL(const std::string& sql) {
    LogStatement(sql);
    connection_->ExecDirect(sql);
}

void TDACDatabase::StartTransaction(TIsolationLevel level) {
    if (inTransaction_)
        throw EDatabaseError("Already within transaction.");
    transactionId_ = 1;
    isolationLevel_ = level;
    connection_->BeginTransaction(isolationLevel_);
    inTransaction_ = true;
}

void TDACDatabase::Commit() {
    inTransaction_ = false;
    connection_->Commit();
}

void TDACDatabase::Rollback() {
    inTransaction_ = false;
    connection_->Rollback();
}

std::int32_t TDACField::AsInteger() const {
    const std::int64_t value = value_.AsInteger();
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw EConvertError(
            Format("%s is not within the range of a 32-bit integer", std::to_string(value)));
    return static_cast<std::int32_t>(value);
}

std::string TDACDatabase::DateTimeToSQL(TDateTime value) const {
    if (IsMissingReal(value))
        return {};
    std::string text = FormatDateTime(shortDatePattern_, value, dateSeparator_);
    if (!IsMidnight(value))
        text += " " + FormatDateTime(longTimePattern_, value, dateSeparator_);
    return QuotedSQLText(text);
}

TVariant TDACDatabase::SelectValue(const std::string& expression, const std::string& from,
                                   const std::string& where) {
    std::string sql = "SELECT " + expression + " AS MVALUE FROM " + from;
    if (!where.empty())
        sql += " WHERE " + where;
    std::unique_ptr<TDACQuery> query = OpenQuery(sql);
    if (query->Eof())
        throw EDatabaseError(Format("Empty recordset for \"%s\".", sql));
    return query->FieldByName("MVALUE").AsVariant();
}

std::unique_ptr<TDACQuery> TDACDatabase::CreateQuery() {
    return std::make_unique<odbc::ForwardQuery>(
        *connection_, [this](const std::string& sql) { LogStatement(sql); });
}

std::unique_ptr<TDACQuery> TDACDatabase::OpenQuery(const std::string& sql) {
    std::unique_ptr<TDACQuery> query = CreateQuery();
    query->Open(sql);
    return query;
}

std::int32_t TDACDatabase::GetNewID(const std::string& tableName) {
    const std::string_view name = odbc::Trimmed(tableName);
    Assert(!name.empty());
    const std::string key = "'" + odbc::AsciiUpper(name) + "'";
    // Two programs that both find no counter row both insert it; the one refused finds the
    // row on its second attempt. (On SQLite the write lock is taken first, so never there.)
    bool insertRefused = false;
    try {
        return DrawNewID(key, insertRefused);
    } catch (const EDatabaseError&) {
        if (!insertRefused)
            throw;
    }
    return DrawNewID(key, insertRefused);
}

std::int32_t TDACDatabase::DrawNewID(const std::string& key, bool& insertRefused) {
    const std::string condition = Format("%s=%s", CounterKeyColumn, key);
    // A transaction left open by someone else is not ours to roll back.
    StartTransaction(TIsolationLevel::ReadCommitted);
    try {
        const auto count = SelectValue("COUNT(*)", CounterTable, condition).AsInteger();
        if (count == 0) {
            insertRefused = true;
            ExecSQL(Format("INSERT INTO %s VALUES(%s, %d)", CounterTable, key, -1));
            insertRefused = false;
        }
        ExecSQL(Format("UPDATE %s SET %s=%s+1 WHERE %s=%s", CounterTable, CounterValueColumn,
                       CounterValueColumn, CounterKeyColumn, key));
        const auto id = static_cast<std::int32_t>(
            SelectValue(CounterValueColumn, CounterTable, condition).AsInteger());
        Commit();
        return id;
    } catch (...) {
        if (inTransaction_) {
            try {
                Rollback();
            } catch (const Exception&) {
                // the first failure is the one to report
            }
        }
        throw;
    }
}

std::string TDACDatabase::StorageOrderColumn() const {
    return connection_->IsPostgreSQL() ? "CTID" : "ROWID";
}

odbc::Connection& TDACDatabase::Connection() {
    return *connection_;
}

} // namespace parvela
