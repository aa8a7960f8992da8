#pragma once
// Driver failures as EDatabaseError, carrying the driver's own diagnostic text.

#include <sql.h>

#include <string>

namespace parvela::odbc {

// How texts cross the ODBC boundary: UTF-16 through the wide functions for Unicode drivers,
// UTF-8 bytes through the narrow functions for drivers that work in UTF-8 themselves (the
// driver manager would cut wide texts down to single bytes for them).
enum class TextEncoding { Utf16, Utf8 };

// The diagnostic records of a handle, one message per line, as the driver wrote them.
std::string DiagnosticMessage(SQLSMALLINT handleType, SQLHANDLE handle, TextEncoding encoding);

inline bool Succeeded(SQLRETURN result) {
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

// Raises EDatabaseError with the handle's diagnostics unless the call succeeded.
// `operation` is used only when the driver left no diagnostic record.
void Check(SQLRETURN result, SQLSMALLINT handleType, SQLHANDLE handle, const char* operation,
           TextEncoding encoding = TextEncoding::Utf8);

} // namespace parvela::odbc
