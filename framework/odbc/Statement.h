#pragma once
// One statement handle on a connection: direct execution, the result columns and the values
// of the current row.

#include "framework/Variant.h"
#include "framework/odbc/Diagnostics.h"

#include <sql.h>

#include <string>
#include <vector>

namespace parvela::odbc {

class Connection;

// How a column's value is read and held in memory.
enum class ValueKind { Text, Integer, Real, Boolean, DateTime, Time, Binary };

ValueKind ValueKindOf(SQLSMALLINT sqlType);

struct ColumnInfo {
    std::string Name;
    SQLSMALLINT SqlType = 0;
    ValueKind Kind = ValueKind::Text;
};

class Statement {
public:
    explicit Statement(Connection& connection);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Statements that touch no row are no failure.
    void ExecDirect(const std::string& sql);
    // The result columns; empty for a statement without a result set.
    std::vector<ColumnInfo> Columns();
    // Moves to the next row; false after the last.
    bool Fetch();
    // A value of the current row; columns count from 1 and are read in ascending order.
    TVariant Value(SQLUSMALLINT column, ValueKind kind);

private:
    TVariant ReadText(SQLUSMALLINT column);
    TVariant ReadWideText(SQLUSMALLINT column);
    TVariant ReadNarrowText(SQLUSMALLINT column);
    TVariant ReadBinary(SQLUSMALLINT column);
    template <class T> bool ReadFixed(SQLUSMALLINT column, SQLSMALLINT cType, T& value);
    void CheckResult(SQLRETURN result, const char* operation);

    SQLHSTMT stmt_ = SQL_NULL_HANDLE;
    std::size_t chunkBytes_;
    bool trimChar_;
    TextEncoding encoding_;
};

} // namespace parvela::odbc
