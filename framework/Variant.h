#pragma once
// A value of a query column or of SelectValue: null, integer, real, text, boolean or
// date-time (days since 30 December 1899, the time as the fraction).

#include <cstdint>
#include <string>
#include <variant>

namespace parvela {

class TVariant {
public:
    enum class Kind { Null, Integer, Real, Text, Boolean, DateTime };

    TVariant() = default;
    static TVariant Integer(std::int64_t value);
    static TVariant Real(double value);
    static TVariant Text(std::string value);
    static TVariant Boolean(bool value);
    static TVariant DateTime(double value);

    Kind GetKind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }

    // Conversions raise EConvertError when the value has no such form; a null converts to
    // 0, 0.0, "" or false.
    std::int64_t AsInteger() const;
    double AsReal() const;
    // A boolean gives "True" or "False"; a date-time the program-wide date and time notation.
    std::string AsString() const;
    bool AsBoolean() const;
    double AsDateTime() const;

private:
    Kind kind_ = Kind::Null;
    std::variant<std::monostate, std::int64_t, double, std::string, bool> value_;
};

} // namespace parvela
