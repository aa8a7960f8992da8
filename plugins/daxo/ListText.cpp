#include "plugins/daxo/ListText.h"

#include <algorithm>

namespace daxo {

namespace {
bool NeedsQuotes(const std::string& item) {
    return item.empty() || std::any_of(item.begin(), item.end(), [](char c) {
               return static_cast<unsigned char>(c) <= 32 || c == ';' || c == '"';
           });
}
} // namespace

std::string QuoteListItem(const std::string& item) {
    if (!NeedsQuotes(item))
        return item;
    std::string quoted = "\"";
    for (char c : item) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string JoinListItems(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ';';
        text += QuoteListItem(items[i]);
    }
    return text;
}

} // namespace daxo
