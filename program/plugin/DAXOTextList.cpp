#include "program/plugin/DAXOTextList.h"

#include "framework/odbc/AsciiText.h"

#include <algorithm>

namespace parvela {

namespace {

constexpr char Quote = '"';

bool IsSeparatingBlank(char c) {
    auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= ' ';
}

void SkipBlanks(std::string_view text, size_t& pos) {
    while (pos < text.size() && IsSeparatingBlank(text[pos]))
        ++pos;
}

// From the opening quote at pos to its matching quote (or the end of the text).
std::string ReadQuotedItem(std::string_view text, size_t& pos) {
    std::string item;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == Quote) {
            if (pos + 1 < text.size() && text[pos + 1] == Quote) {
                item += Quote;
                pos += 2;
                continue;
            }
            ++pos;
            return item;
        }
        item += text[pos++];
    }
    return item;
}

std::string ReadPlainItem(std::string_view text, size_t& pos) {
    size_t start = pos;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) > ' ' &&
           text[pos] != DAXOListSeparator)
        ++pos;
    return std::string(text.substr(start, pos - start));
}

} // namespace

std::vector<std::string> ReadDAXOTextList(std::string_view text) {
    // The library hands out zero-terminated texts: nothing after a zero counts.
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    std::vector<std::string> items;
    size_t pos = 0;
    SkipBlanks(text, pos);
    while (pos < text.size()) {
        items.push_back(text[pos] == Quote ? ReadQuotedItem(text, pos) : ReadPlainItem(text, pos));
        SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == DAXOListSeparator) {
            if (pos + 1 == text.size())
                items.emplace_back();
            ++pos;
            SkipBlanks(text, pos);
        }
    }
    return items;
}

std::string TrimText(std::string_view text) {
    return std::string(odbc::Trimmed(text));
}

int TDAXOAttributeList::IndexOfName(std::string_view name) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        size_t equals = items_[i].find('=');
        if (equals != std::string::npos &&
            odbc::EqualsIgnoringCase(std::string_view(items_[i]).substr(0, equals), name))
            return static_cast<int>(i);
    }
    return -1;
}

std::string TDAXOAttributeList::Value(std::string_view name) const {
    int index = IndexOfName(name);
    if (index < 0)
        return {};
    const std::string& item = items_[index];
    return item.substr(item.find('=') + 1);
}

int TDAXOGUIDList::IndexOf(std::string_view guid) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].GUID == guid)
            return static_cast<int>(i);
    return -1;
}

} // namespace parvela
