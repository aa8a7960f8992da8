#include "framework/TDACFilter.h"

#include "framework/Format.h"
#include "platform/Exceptions.h"

#include <algorithm>

namespace parvela {

std::string AsciiUpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string AsciiLowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string TrimText(const std::string& text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return AsciiUpperCase(a) == AsciiUpperCase(b);
}

TDACFilter::Condition* TDACFilter::FindCondition(const std::string& upperFormat) {
    auto it = std::find_if(conditions_.begin(), conditions_.end(),
                           [&](const Condition& c) { return c.format == upperFormat; });
    return it == conditions_.end() ? nullptr : &*it;
}

void TDACFilter::FilterAdd(const std::string& format, const TVarRecArray& arguments) {
    if (format.empty())
        throw Exception(Format("%s.FilterAdd: No format given.", ClassName));
    std::string upperFormat = AsciiUpperCase(format);
    Condition* existing = FindCondition(upperFormat);
    if (!existing) {
        conditions_.push_back({upperFormat, arguments});
        return;
    }
    if (existing->arguments.size() != arguments.size())
        throw Exception(Format("%s.FilterAdd: Number of format values changed.", ClassName));
    existing->arguments = arguments;
}

std::string TDACFilter::FilterText() const {
    std::string text;
    for (const Condition& c : conditions_) {
        if (!text.empty())
            text += " AND ";
        text += Format(c.format, c.arguments);
    }
    return text;
}

} // namespace parvela
