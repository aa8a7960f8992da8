#pragma once
// Characters a caption may not hold, because captions become file and directory names.

#include <string>

namespace parvela {

// True when the text holds a blank or one of / \ ( ) > < * : " | , . + = ?
bool ContainsFileNameSpecialChar(const std::string& text);

} // namespace parvela
