#include "plugins/daxo/SubstanceData.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace daxo {

bool IsCompartment(int code) {
    return code == SoilCompartment || code == WaterCompartment || code == SedimentCompartment;
}

namespace {
// ASCII only: the host program may have set a C locale of its own.
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

const Attribute* Substance::FindAttribute(std::string_view name) const {
    for (const auto& attribute : attributes)
        if (SameNameIgnoringCase(attribute.name, name))
            return &attribute;
    return nullptr;
}

std::string Substance::Value(std::string_view name) const {
    const Attribute* attribute = FindAttribute(name);
    return attribute ? attribute->value : std::string();
}

void Substance::SetValue(std::string_view name, std::string_view value) {
    for (auto& attribute : attributes)
        if (SameNameIgnoringCase(attribute.name, name)) {
            attribute.value = value;
            return;
        }
    attributes.push_back({std::string(name), std::string(value)});
}

const Substance* SubstanceCollection::Find(std::string_view guid) const {
    for (const auto& substance : substances)
        if (substance.guid == guid)
            return &substance;
    return nullptr;
}

Substance* SubstanceCollection::Find(std::string_view guid) {
    return const_cast<Substance*>(std::as_const(*this).Find(guid));
}

namespace {
bool ConsumeDigits(std::string_view text, size_t& pos) {
    size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    return pos > start;
}
} // namespace

bool IsDecimalNumber(std::string_view text) {
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        ++pos;
    bool integerDigits = ConsumeDigits(text, pos);
    bool fractionDigits = false;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        fractionDigits = ConsumeDigits(text, pos);
    }
    if (!integerDigits && !fractionDigits)
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
            ++pos;
        if (!ConsumeDigits(text, pos))
            return false;
    }
    return pos == text.size();
}

std::optional<double> ParseDecimalNumber(std::string_view text) {
    if (!IsDecimalNumber(text))
        return std::nullopt;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<bool> ParseBooleanWord(std::string_view text) {
    if (SameNameIgnoringCase(text, TrueWord))
        return true;
    if (SameNameIgnoringCase(text, FalseWord))
        return false;
    return std::nullopt;
}

} // namespace daxo
