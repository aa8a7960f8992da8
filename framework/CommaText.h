#pragma once
// The comma text of a list of items, as the program's messages show lists: items joined by
// ","; an item that holds a blank, a control character, a comma or a double quote is
// enclosed in double quotes with inner double quotes doubled; a list of one empty item gives
// two double quotes.

#include <string>
#include <vector>

namespace parvela {

std::string CommaText(const std::vector<std::string>& items);

} // namespace parvela
