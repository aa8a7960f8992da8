#pragma once
// Driver failures as EDatabaseError, carrying the driver's own diagnostic text.

#include <sql.h>

#include <string>

namespace parvela::odbc {

// The diagnostic records of a handle, one message per line, as the driver wrote them.
std::string DiagnosticMessage(SQLSMALLINT handleType, SQLHANDLE handle);
// The SQLSTATE of the first diagnostic record, or "" when there is none.
std::string DiagnosticState(SQLSMALLINT handleType, SQLHANDLE handle);

inline bool Succeeded(SQLRETURN result) {
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

// Raises EDatabaseError with the handle's diagnostics unless the call succeeded.
// `operation` is used only when the driver left no diagnostic record.
void Check(SQLRETURN result, SQLSMALLINT handleType, SQLHANDLE handle, const char* operation);

} // namespace parvela::odbc
