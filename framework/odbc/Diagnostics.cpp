#include "framework/odbc/Diagnostics.h"

#include "framework/odbc/Unicode.h"
#include "platform/Exceptions.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <vector>

namespace parvela::odbc {

namespace {

struct DiagnosticRecord {
    std::string state;
    std::string message;
};

bool WideRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT number,
                DiagnosticRecord& record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT length = 0;
    if (!Succeeded(
            SQLGetDiagRecW(handleType, handle, number, state, &nativeError, nullptr, 0, &length)))
        return false;
    WideString message(static_cast<std::size_t>(length) + 1, 0);
    if (!Succeeded(SQLGetDiagRecW(handleType, handle, number, state, &nativeError, message.data(),
                                  static_cast<SQLSMALLINT>(message.size()), &length)))
        return false;
    message.resize(std::min(message.size() - 1, static_cast<std::size_t>(length)));
    record = {WideToUtf8(state, 5), WideToUtf8(message)};
    return true;
}

bool NarrowRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT number,
                  DiagnosticRecord& record) {
    SQLCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT length = 0;
    if (!Succeeded(
            SQLGetDiagRec(handleType, handle, number, state, &nativeError, nullptr, 0, &length)))
        return false;
    std::string message(static_cast<std::size_t>(length) + 1, '\0');
    if (!Succeeded(SQLGetDiagRec(handleType, handle, number, state, &nativeError,
                                 reinterpret_cast<SQLCHAR*>(message.data()),
                                 static_cast<SQLSMALLINT>(message.size()), &length)))
        return false;
    message.resize(std::min(message.size() - 1, static_cast<std::size_t>(length)));
    record = {std::string(reinterpret_cast<const char*>(state)), message};
    return true;
}

std::vector<DiagnosticRecord> DiagnosticRecords(SQLSMALLINT handleType, SQLHANDLE handle,
                                                TextEncoding encoding) {
    std::vector<DiagnosticRecord> records;
    if (handle == SQL_NULL_HANDLE)
        return records;
    for (SQLSMALLINT number = 1;; ++number) {
        DiagnosticRecord record;
        const bool found = encoding == TextEncoding::Utf16
                               ? WideRecord(handleType, handle, number, record)
                               : NarrowRecord(handleType, handle, number, record);
        if (!found)
            break;
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace

std::string DiagnosticMessage(SQLSMALLINT handleType, SQLHANDLE handle, TextEncoding encoding) {
    std::string text;
    for (const DiagnosticRecord& record : DiagnosticRecords(handleType, handle, encoding)) {
        if (!text.empty())
            text += '\n';
        text += record.message;
    }
    return text;
}

void Check(SQLRETURN result, SQLSMALLINT handleType, SQLHANDLE handle, const char* operation,
           TextEncoding encoding) {
    if (Succeeded(result))
        return;
    std::string message = DiagnosticMessage(handleType, handle, encoding);
    if (message.empty())
        message = std::string(operation) + " failed";
    throw EDatabaseError(message);
}

} // namespace parvela::odbc
