#pragma once
// Texts cross the ODBC boundary as UTF-16 (the wide functions), so that the drivers never
// convert through the C locale; the program works in UTF-8.

#include <sqltypes.h>

#include <string>
#include <string_view>

namespace parvela::odbc {

using WideString = std::basic_string<SQLWCHAR>;

WideString Utf8ToWide(std::string_view text);
std::string WideToUtf8(const SQLWCHAR* text, std::size_t length);
inline std::string WideToUtf8(const WideString& text) {
    return WideToUtf8(text.data(), text.size());
}

} // namespace parvela::odbc
