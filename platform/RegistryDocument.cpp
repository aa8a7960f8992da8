#include "platform/RegistryDocument.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace parvela {

namespace {

constexpr const char* DwordPrefix = "dword:";
constexpr const char* Blanks = " \t";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameRegistryName(text.substr(0, prefix.size()), prefix);
}

std::string Escaped(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '"':
            result += "\\\"";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                char code[5];
                std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(c));
                result += code;
            } else {
                result += c;
            }
        }
    }
    return result + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads a quoted string starting at text[pos]; pos ends after the closing quote.
std::optional<std::string> ParseQuoted(const std::string& text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '"')
        return std::nullopt;
    std::string result;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return result;
        }
        if (c != '\\') {
            result += c;
            continue;
        }
        if (++pos >= text.size())
            return std::nullopt;
        switch (text[pos]) {
        case '\\':
            result += '\\';
            break;
        case '"':
            result += '"';
            break;
        case 'n':
            result += '\n';
            break;
        case 'r':
            result += '\r';
            break;
        case 't':
            result += '\t';
            break;
        case 'x': {
            const int high = pos + 1 < text.size() ? HexDigit(text[pos + 1]) : -1;
            const int low = pos + 2 < text.size() ? HexDigit(text[pos + 2]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            result += static_cast<char>(high * 16 + low);
            pos += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseDword(const std::string& digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

bool NameNeedsQuotes(const std::string& name) {
    if (name.empty() || name != Trim(name) || name.front() == '[' || name.front() == ';' ||
        name.front() == '#')
        return true;
    return std::any_of(name.begin(), name.end(), [](char c) {
        return c == '=' || c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
}

std::string FormatName(const std::string& name) {
    return NameNeedsQuotes(name) ? Escaped(name) : name;
}

bool IsCommentOrBlank(const std::string& trimmed) {
    return trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
}

// "[name]", optionally followed by a comment; the name may itself hold "]".
std::optional<std::string> SectionName(const std::string& trimmed) {
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    for (auto close = trimmed.find(']'); close != std::string::npos;
         close = trimmed.find(']', close + 1))
        if (IsCommentOrBlank(Trim(trimmed.substr(close + 1))))
            return Trim(trimmed.substr(1, close - 1));
    return std::nullopt;
}

// "name = value"; the name may be quoted.
std::optional<std::pair<std::string, std::string>> SplitEntry(const std::string& trimmed) {
    std::string name;
    std::size_t pos = 0;
    if (trimmed.front() == '"') {
        auto quoted = ParseQuoted(trimmed, pos);
        if (!quoted)
            return std::nullopt;
        name = *quoted;
        pos = trimmed.find_first_not_of(Blanks, pos);
        if (pos == std::string::npos || trimmed[pos] != '=')
            return std::nullopt;
    } else {
        pos = trimmed.find('=');
        if (pos == std::string::npos)
            return std::nullopt;
        name = Trim(trimmed.substr(0, pos));
        if (name.empty())
            return std::nullopt;
    }
    return std::make_pair(name, Trim(trimmed.substr(pos + 1)));
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

} // namespace

bool SameRegistryName(const std::string& left, const std::string& right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(),
                      [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

bool TRegistryDocument::CanHoldKey(const std::string& key) {
    const bool printable = std::none_of(key.begin(), key.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
    return printable && !key.empty() && SectionName("[" + key + "]") == key;
}

std::string TRegistryDocument::FormatValue(const TRegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return Escaped(*text);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x",
                  static_cast<std::uint32_t>(std::get<std::int32_t>(value)));
    return std::string(DwordPrefix) + digits;
}

std::optional<TRegistryValue> TRegistryDocument::ParseValue(const std::string& text) {
    const std::string trimmed = Trim(text);
    std::size_t end = 0;
    std::optional<TRegistryValue> value;
    if (!trimmed.empty() && trimmed.front() == '"') {
        if (auto quoted = ParseQuoted(trimmed, end))
            value = std::move(*quoted);
    } else if (StartsWithNoCase(trimmed, DwordPrefix)) {
        const std::size_t start = std::string(DwordPrefix).size();
        end = std::min(trimmed.find_first_of(" \t;#", start), trimmed.size());
        if (auto number = ParseDword(trimmed.substr(start, end - start)))
            value = *number;
    } else {
        // Written by hand: the text as it stands.
        return trimmed;
    }
    // Only a comment may follow a quoted string or an integer.
    if (value && !IsCommentOrBlank(Trim(trimmed.substr(end))))
        return std::nullopt;
    return value;
}

TRegistryDocument TRegistryDocument::Parse(const std::string& text) {
    TRegistryDocument document;
    int number = 0;
    for (std::string& raw : SplitLines(text)) {
        ++number;
        const std::string trimmed = Trim(raw);
        if (auto name = SectionName(trimmed)) {
            document.sections_.push_back(Section{*name, raw, {}});
            continue;
        }
        Line line{raw, std::nullopt};
        if (!IsCommentOrBlank(trimmed)) {
            // A value, inside a key; anything else is a line nobody meant.
            const bool inSection = document.sections_.size() > 1;
            const auto entry =
                trimmed.front() == '[' || !inSection ? std::nullopt : SplitEntry(trimmed);
            auto value = entry ? ParseValue(entry->second) : std::nullopt;
            if (!value) {
                document.syntaxError_ = TRegistrySyntaxError{number, trimmed};
                return document;
            }
            line.Value = Entry{entry->first, std::move(*value)};
        }
        document.sections_.back().Lines.push_back(std::move(line));
    }
    return document;
}

std::string TRegistryDocument::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        if (!section.HeaderRaw.empty())
            text += section.HeaderRaw + "\n";
        for (const Line& line : section.Lines)
            text += line.Raw + "\n";
    }
    return text;
}

std::vector<TRegistryDocument::Section*> TRegistryDocument::SectionsOf(const std::string& key) {
    std::vector<Section*> result;
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (SameRegistryName(sections_[i].Name, key))
            result.push_back(&sections_[i]);
    return result;
}

std::vector<const TRegistryDocument::Section*>
TRegistryDocument::SectionsOf(const std::string& key) const {
    std::vector<const Section*> result;
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (SameRegistryName(sections_[i].Name, key))
            result.push_back(&sections_[i]);
    return result;
}

bool TRegistryDocument::HasKey(const std::string& key) const {
    return std::any_of(sections_.begin() + 1, sections_.end(), [&key](const Section& section) {
        const std::string& name = section.Name;
        if (SameRegistryName(name, key))
            return true;
        return name.size() > key.size() && name[key.size()] == '\\' &&
               SameRegistryName(name.substr(0, key.size()), key);
    });
}

bool TRegistryDocument::AddKey(const std::string& key) {
    if (HasKey(key))
        return false;
    AppendSection(key);
    return true;
}

void TRegistryDocument::AppendSection(const std::string& key) {
    Section& last = sections_.back();
    const bool endsWithBlank =
        last.Lines.empty() ? last.HeaderRaw.empty() : Trim(last.Lines.back().Raw).empty();
    if (!endsWithBlank)
        last.Lines.push_back(Line{"", std::nullopt});
    sections_.push_back(Section{key, "[" + key + "]", {}});
}

const TRegistryValue* TRegistryDocument::Find(const std::string& key,
                                              const std::string& name) const {
    for (const Section* section : SectionsOf(key))
        for (const Line& line : section->Lines)
            if (line.Value && SameRegistryName(line.Value->Name, name))
                return &line.Value->Value;
    return nullptr;
}

TRegistryDocument::Line TRegistryDocument::EntryLine(const std::string& name,
                                                     const TRegistryValue& value) {
    return Line{FormatName(name) + " = " + FormatValue(value), Entry{name, value}};
}

void TRegistryDocument::Set(const std::string& key, const std::string& name,
                            const TRegistryValue& value) {
    bool replaced = false;
    for (Section* section : SectionsOf(key)) {
        auto& lines = section->Lines;
        for (auto line = lines.begin(); line != lines.end();) {
            if (!line->Value || !SameRegistryName(line->Value->Name, name)) {
                ++line;
            } else if (replaced) {
                line = lines.erase(line);
            } else {
                *line = EntryLine(line->Value->Name, value);
                replaced = true;
                ++line;
            }
        }
    }
    if (replaced)
        return;
    if (SectionsOf(key).empty())
        AppendSection(key);
    // After the section's last value, so that trailing comments and blank lines stay last.
    auto& lines = SectionsOf(key).front()->Lines;
    auto lastValue = std::find_if(lines.rbegin(), lines.rend(),
                                  [](const Line& line) { return line.Value.has_value(); });
    lines.insert(lastValue.base(), EntryLine(name, value));
}

bool TRegistryDocument::Remove(const std::string& key, const std::string& name) {
    bool removed = false;
    for (Section* section : SectionsOf(key)) {
        auto& lines = section->Lines;
        const auto before = lines.size();
        std::erase_if(lines, [&name](const Line& line) {
            return line.Value && SameRegistryName(line.Value->Name, name);
        });
        removed = removed || lines.size() != before;
    }
    return removed;
}

} // namespace parvela
