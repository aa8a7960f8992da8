#include "framework/odbc/Diagnostics.h"

#include "framework/Exceptions.h"
#include "framework/odbc/Unicode.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <vector>

namespace parvela::odbc {

namespace {

struct DiagnosticRecord {
    std::string state;
    std::string message;
};

std::vector<DiagnosticRecord> DiagnosticRecords(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<DiagnosticRecord> records;
    if (handle == SQL_NULL_HANDLE)
        return records;
    for (SQLSMALLINT number = 1;; ++number) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        SQLRETURN result =
            SQLGetDiagRecW(handleType, handle, number, state, &nativeError, nullptr, 0, &length);
        if (!Succeeded(result))
            break;
        WideString message(static_cast<std::size_t>(length) + 1, 0);
        result = SQLGetDiagRecW(handleType, handle, number, state, &nativeError, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        if (!Succeeded(result))
            break;
        message.resize(static_cast<std::size_t>(length));
        records.push_back({WideToUtf8(state, 5), WideToUtf8(message)});
    }
    return records;
}

} // namespace

std::string DiagnosticMessage(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::string text;
    for (const DiagnosticRecord& record : DiagnosticRecords(handleType, handle)) {
        if (!text.empty())
            text += '\n';
        text += record.message;
    }
    return text;
}

std::string DiagnosticState(SQLSMALLINT handleType, SQLHANDLE handle) {
    const auto records = DiagnosticRecords(handleType, handle);
    return records.empty() ? std::string() : records.front().state;
}

void Check(SQLRETURN result, SQLSMALLINT handleType, SQLHANDLE handle, const char* operation) {
    if (Succeeded(result))
        return;
    std::string message = DiagnosticMessage(handleType, handle);
    if (message.empty())
        message = std::string(operation) + " failed";
    throw EDatabaseError(message);
}

} // namespace parvela::odbc
