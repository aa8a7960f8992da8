#pragma once
// The list texts the library hands out: items joined by ";", an item that holds a blank, a
// control character, a ";" or a double quote, and an empty item, enclosed in double quotes
// with inner double quotes doubled, so that the reader gets every item back unchanged.

#include <string>
#include <vector>

namespace daxo {

std::string QuoteListItem(const std::string& item);
std::string JoinListItems(const std::vector<std::string>& items);

} // namespace daxo
