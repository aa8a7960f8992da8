#include "framework/odbc/Unicode.h"

namespace parvela::odbc {

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

// Decodes one UTF-8 sequence at text[at]; malformed input gives the replacement character.
char32_t DecodeUtf8(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4)
        return ReplacementCharacter;
    char32_t code = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return ReplacementCharacter;
        code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

WideString Utf8ToWide(std::string_view text) {
    WideString out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = DecodeUtf8(text, at);
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<SQLWCHAR>(0xD800 + (code >> 10));
            out += static_cast<SQLWCHAR>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<SQLWCHAR>(code);
        }
    }
    return out;
}

std::string WideToUtf8(const SQLWCHAR* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t at = 0; at < length; ++at) {
        char32_t code = text[at];
        if (code >= 0xD800 && code < 0xDC00 && at + 1 < length && text[at + 1] >= 0xDC00 &&
            text[at + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[at + 1] - 0xDC00);
            ++at;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = ReplacementCharacter;
        }
        AppendUtf8(out, code);
    }
    return out;
}

} // namespace parvela::odbc
