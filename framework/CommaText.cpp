#include "framework/CommaText.h"

#include "framework/Enclosed.h"

#include <algorithm>

namespace parvela {

namespace {

bool NeedsQuotes(const std::string& item) {
    return std::any_of(item.begin(), item.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"';
    });
}

} // namespace

std::string CommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items.front().empty())
        return "\"\"";
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += NeedsQuotes(items[i]) ? Enclosed(items[i], '"', '"') : items[i];
    }
    return text;
}

} // namespace parvela
