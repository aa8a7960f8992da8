#pragma once
// A text between two delimiters with every closing delimiter inside it doubled: the quoting of
// SQL literals, comma texts, CSV fields and ODBC connection-string values.

#include <string>
#include <string_view>

namespace parvela {

// "'" and "'" turn O'Brien into 'O''Brien'; "{" and "}" turn a}b into {a}}b}.
std::string Enclosed(std::string_view text, char open, char close);

} // namespace parvela
