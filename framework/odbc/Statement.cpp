#include "framework/odbc/Statement.h"

#include "framework/DateTime.h"
#include "framework/odbc/Connection.h"
#include "framework/odbc/Diagnostics.h"
#include "framework/odbc/Unicode.h"
#include "platform/Exceptions.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace parvela::odbc {

namespace {

constexpr std::size_t MinimumChunkBytes = 64;

// True when SQLGetData filled the whole buffer and more of the value is left.
bool MoreLeft(SQLRETURN result, SQLLEN indicator, std::size_t usableBytes) {
    return result == SQL_SUCCESS_WITH_INFO &&
           (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > usableBytes);
}

template <class Text> void TrimTrailingBlanks(Text& text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
}

} // namespace

ValueKind ValueKindOf(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_BIT:
        return ValueKind::Boolean;
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return ValueKind::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return ValueKind::Real;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIMESTAMP:
        return ValueKind::DateTime;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return ValueKind::Time;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return ValueKind::Binary;
    default:
        return ValueKind::Text;
    }
}

Statement::Statement(Connection& connection)
    : chunkBytes_(std::max(connection.Options().BlobChunkSize, MinimumChunkBytes)),
      trimChar_(connection.Options().TrimChar), encoding_(connection.Encoding()) {
    const SQLHDBC dbc = connection.Handle();
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_), SQL_HANDLE_DBC, dbc, "SQLAllocHandle",
          encoding_);
    const long long limit = connection.Options().BlobSize;
    if (limit > 0)
        SQLSetStmtAttrW(stmt_, SQL_ATTR_MAX_LENGTH,
                        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(limit)), 0);
}

Statement::~Statement() {
    SQLFreeStmt(stmt_, SQL_CLOSE);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
}

void Statement::CheckResult(SQLRETURN result, const char* operation) {
    Check(result, SQL_HANDLE_STMT, stmt_, operation, encoding_);
}

void Statement::ExecDirect(const std::string& sql) {
    SQLRETURN result;
    if (encoding_ == TextEncoding::Utf16) {
        WideString wide = Utf8ToWide(sql);
        result = SQLExecDirectW(stmt_, wide.data(), static_cast<SQLINTEGER>(wide.size()));
    } else {
        std::string narrow = sql;
        result = SQLExecDirect(stmt_, reinterpret_cast<SQLCHAR*>(narrow.data()),
                               static_cast<SQLINTEGER>(narrow.size()));
    }
    if (result != SQL_NO_DATA)
        CheckResult(result, "SQLExecDirect");
}

std::vector<ColumnInfo> Statement::Columns() {
    SQLSMALLINT count = 0;
    CheckResult(SQLNumResultCols(stmt_, &count), "SQLNumResultCols");
    std::vector<ColumnInfo> columns;
    for (SQLUSMALLINT number = 1; number <= count; ++number) {
        constexpr SQLSMALLINT NameCapacity = 512;
        SQLSMALLINT nameLength = 0, type = 0, decimals = 0, nullable = 0;
        SQLULEN size = 0;
        std::string name;
        if (encoding_ == TextEncoding::Utf16) {
            SQLWCHAR wide[NameCapacity] = {};
            CheckResult(SQLDescribeColW(stmt_, number, wide, NameCapacity, &nameLength, &type,
                                        &size, &decimals, &nullable),
                        "SQLDescribeCol");
            name = WideToUtf8(wide, std::min<std::size_t>(nameLength, NameCapacity - 1));
        } else {
            SQLCHAR narrow[NameCapacity] = {};
            CheckResult(SQLDescribeCol(stmt_, number, narrow, NameCapacity, &nameLength, &type,
                                       &size, &decimals, &nullable),
                        "SQLDescribeCol");
            name.assign(reinterpret_cast<const char*>(narrow),
                        std::min<std::size_t>(nameLength, NameCapacity - 1));
        }
        columns.push_back({name, type, ValueKindOf(type)});
    }
    return columns;
}

bool Statement::Fetch() {
    const SQLRETURN result = SQLFetch(stmt_);
    if (result == SQL_NO_DATA)
        return false;
    CheckResult(result, "SQLFetch");
    return true;
}

template <class T> bool Statement::ReadFixed(SQLUSMALLINT column, SQLSMALLINT cType, T& value) {
    SQLLEN indicator = 0;
    CheckResult(SQLGetData(stmt_, column, cType, &value, sizeof value, &indicator), "SQLGetData");
    return indicator != SQL_NULL_DATA;
}

TVariant Statement::ReadText(SQLUSMALLINT column) {
    TVariant value =
        encoding_ == TextEncoding::Utf16 ? ReadWideText(column) : ReadNarrowText(column);
    if (trimChar_ && !value.IsNull()) {
        std::string text = value.AsString();
        TrimTrailingBlanks(text);
        value = TVariant::Text(std::move(text));
    }
    return value;
}

// Long values arrive in chunks until the driver reports the end.
TVariant Statement::ReadNarrowText(SQLUSMALLINT column) {
    std::vector<char> buffer(chunkBytes_);
    const std::size_t usableBytes = buffer.size() - 1;
    std::string text;
    for (bool first = true;; first = false) {
        SQLLEN indicator = 0;
        const SQLRETURN result = SQLGetData(stmt_, column, SQL_C_CHAR, buffer.data(),
                                            static_cast<SQLLEN>(buffer.size()), &indicator);
        if (result == SQL_NO_DATA && !first)
            break;
        CheckResult(result, "SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return TVariant();
        if (MoreLeft(result, indicator, usableBytes)) {
            text.append(buffer.data(), usableBytes);
            continue;
        }
        text.append(buffer.data(), static_cast<std::size_t>(indicator));
        break;
    }
    return TVariant::Text(std::move(text));
}

TVariant Statement::ReadWideText(SQLUSMALLINT column) {
    const std::size_t chunkChars = chunkBytes_ / sizeof(SQLWCHAR);
    std::vector<SQLWCHAR> buffer(chunkChars);
    const std::size_t usableBytes = (chunkChars - 1) * sizeof(SQLWCHAR);
    WideString text;
    for (bool first = true;; first = false) {
        SQLLEN indicator = 0;
        const SQLRETURN result =
            SQLGetData(stmt_, column, SQL_C_WCHAR, buffer.data(),
                       static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR)), &indicator);
        if (result == SQL_NO_DATA && !first)
            break;
        CheckResult(result, "SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return TVariant();
        if (MoreLeft(result, indicator, usableBytes)) {
            text.append(buffer.data(), chunkChars - 1);
            continue;
        }
        text.append(buffer.data(), static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR));
        break;
    }
    return TVariant::Text(WideToUtf8(text));
}

TVariant Statement::ReadBinary(SQLUSMALLINT column) {
    std::vector<char> buffer(chunkBytes_);
    std::string bytes;
    for (bool first = true;; first = false) {
        SQLLEN indicator = 0;
        const SQLRETURN result = SQLGetData(stmt_, column, SQL_C_BINARY, buffer.data(),
                                            static_cast<SQLLEN>(buffer.size()), &indicator);
        if (result == SQL_NO_DATA && !first)
            break;
        CheckResult(result, "SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return TVariant();
        if (MoreLeft(result, indicator, buffer.size())) {
            bytes.append(buffer.data(), buffer.size());
            continue;
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(indicator));
        break;
    }
    return TVariant::Text(std::move(bytes));
}

TVariant Statement::Value(SQLUSMALLINT column, ValueKind kind) {
    switch (kind) {
    case ValueKind::Boolean: {
        unsigned char value = 0;
        return ReadFixed(column, SQL_C_BIT, value) ? TVariant::Boolean(value != 0) : TVariant();
    }
    case ValueKind::Integer: {
        SQLBIGINT value = 0;
        return ReadFixed(column, SQL_C_SBIGINT, value) ? TVariant::Integer(value) : TVariant();
    }
    case ValueKind::Real: {
        double value = 0;
        return ReadFixed(column, SQL_C_DOUBLE, value) ? TVariant::Real(value) : TVariant();
    }
    case ValueKind::DateTime: {
        SQL_TIMESTAMP_STRUCT value{};
        if (!ReadFixed(column, SQL_C_TYPE_TIMESTAMP, value))
            return TVariant();
        return TVariant::DateTime(EncodeDateTime(value.year, value.month, value.day, value.hour,
                                                 value.minute, value.second,
                                                 static_cast<int>(value.fraction / 1000000)));
    }
    case ValueKind::Time: {
        SQL_TIME_STRUCT value{};
        if (!ReadFixed(column, SQL_C_TYPE_TIME, value))
            return TVariant();
        return TVariant::DateTime(
            EncodeDateTime(1899, 12, 30, value.hour, value.minute, value.second));
    }
    case ValueKind::Binary:
        return ReadBinary(column);
    case ValueKind::Text:
        break;
    }
    return ReadText(column);
}

} // namespace parvela::odbc
