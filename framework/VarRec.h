#pragma once
// Argument arrays for Format: ordered lists of tagged values, copied when given.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace parvela {

class TVarRec {
public:
    enum class Kind { Integer, Real, Text, Character, Boolean };

    TVarRec(int value) : value_(std::int64_t{value}) {}
    TVarRec(long value) : value_(std::int64_t{value}) {}
    TVarRec(long long value) : value_(std::int64_t{value}) {}
    TVarRec(unsigned value) : value_(std::int64_t{value}) {}
    TVarRec(double value) : value_(value) {}
    TVarRec(const std::string& value) : value_(value) {}
    TVarRec(std::string_view value) : value_(std::string(value)) {}
    TVarRec(const char* value) : value_(std::string(value)) {}
    TVarRec(char value) : value_(value) {}
    TVarRec(bool value) : value_(value) {}

    Kind GetKind() const { return static_cast<Kind>(value_.index()); }
    std::int64_t AsInteger() const { return std::get<std::int64_t>(value_); }
    double AsReal() const { return std::get<double>(value_); }
    const std::string& AsText() const { return std::get<std::string>(value_); }
    char AsCharacter() const { return std::get<char>(value_); }
    bool AsBoolean() const { return std::get<bool>(value_); }

    bool operator==(const TVarRec&) const = default;

private:
    // Order matches Kind.
    std::variant<std::int64_t, double, std::string, char, bool> value_;
};

using TVarRecArray = std::vector<TVarRec>;

} // namespace parvela
