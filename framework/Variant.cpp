#include "framework/Variant.h"

#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/odbc/AsciiText.h"
#include "platform/Exceptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace parvela {

using odbc::EqualsIgnoringCase;
using odbc::Trimmed;

namespace {

const char* KindName(TVariant::Kind kind) {
    switch (kind) {
    case TVariant::Kind::Null:
        return "Null";
    case TVariant::Kind::Integer:
        return "Int64";
    case TVariant::Kind::Real:
        return "Double";
    case TVariant::Kind::Text:
        return "String";
    case TVariant::Kind::Boolean:
        return "Boolean";
    case TVariant::Kind::DateTime:
        return "Date";
    }
    return "Unknown";
}

[[noreturn]] void ConversionFails(TVariant::Kind from, const char* to) {
    throw EConvertError(
        Format("Could not convert variant of type (%s) into type (%s)", KindName(from), to));
}

bool ParseInteger(std::string_view text, std::int64_t& value) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "yyyy-mm-dd", optionally followed by " hh:nn[:ss[.zzz]]" (or "T" in place of the blank).
bool ParseIsoDateTime(std::string_view text, double& value) {
    text = Trimmed(text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    char tail[8] = {};
    const std::string copy(text);
    const int fields = std::sscanf(copy.c_str(), "%4d-%2d-%2d%*1[ T]%2d:%2d:%2d.%3d%1s", &year,
                                   &month, &day, &hour, &minute, &second, &millisecond, tail);
    if (fields != 3 && fields != 5 && fields != 6 && fields != 7)
        return false;
    try {
        value = EncodeDateTime(year, month, day, hour, minute, second, millisecond);
    } catch (const EConvertError&) {
        return false;
    }
    return true;
}

} // namespace

TVariant TVariant::Integer(std::int64_t value) {
    TVariant v;
    v.kind_ = Kind::Integer;
    v.value_ = value;
    return v;
}

TVariant TVariant::Real(double value) {
    TVariant v;
    v.kind_ = Kind::Real;
    v.value_ = value;
    return v;
}

TVariant TVariant::Text(std::string value) {
    TVariant v;
    v.kind_ = Kind::Text;
    v.value_ = std::move(value);
    return v;
}

TVariant TVariant::Boolean(bool value) {
    TVariant v;
    v.kind_ = Kind::Boolean;
    v.value_ = value;
    return v;
}

TVariant TVariant::DateTime(double value) {
    TVariant v;
    v.kind_ = Kind::DateTime;
    v.value_ = value;
    return v;
}

std::int64_t TVariant::AsInteger() const {
    switch (kind_) {
    case Kind::Null:
        return 0;
    case Kind::Integer:
        return std::get<std::int64_t>(value_);
    case Kind::Real:
    case Kind::DateTime:
        return static_cast<std::int64_t>(std::nearbyint(std::get<double>(value_)));
    case Kind::Boolean:
        return std::get<bool>(value_) ? 1 : 0;
    case Kind::Text: {
        std::int64_t value = 0;
        if (ParseInteger(std::get<std::string>(value_), value))
            return value;
        double real = 0;
        if (TryStrToFloat(std::get<std::string>(value_), real))
            return static_cast<std::int64_t>(std::nearbyint(real));
        break;
    }
    }
    ConversionFails(kind_, "Int64");
}

double TVariant::AsReal() const {
    switch (kind_) {
    case Kind::Null:
        return 0.0;
    case Kind::Integer:
        return static_cast<double>(std::get<std::int64_t>(value_));
    case Kind::Real:
    case Kind::DateTime:
        return std::get<double>(value_);
    case Kind::Boolean:
        return std::get<bool>(value_) ? 1.0 : 0.0;
    case Kind::Text: {
        double value = 0;
        if (TryStrToFloat(std::get<std::string>(value_), value))
            return value;
        break;
    }
    }
    ConversionFails(kind_, "Double");
}

std::string TVariant::AsString() const {
    switch (kind_) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return std::to_string(std::get<std::int64_t>(value_));
    case Kind::Real:
        return FloatToStrGeneral(std::get<double>(value_));
    case Kind::Text:
        return std::get<std::string>(value_);
    case Kind::Boolean:
        return std::get<bool>(value_) ? "True" : "False";
    case Kind::DateTime:
        return DateTimeToStr(std::get<double>(value_));
    }
    return {};
}

bool TVariant::AsBoolean() const {
    switch (kind_) {
    case Kind::Null:
        return false;
    case Kind::Integer:
        return std::get<std::int64_t>(value_) != 0;
    case Kind::Real:
    case Kind::DateTime:
        return std::get<double>(value_) != 0.0;
    case Kind::Boolean:
        return std::get<bool>(value_);
    case Kind::Text: {
        const std::string_view text = Trimmed(std::get<std::string>(value_));
        if (EqualsIgnoringCase(text, "True"))
            return true;
        if (EqualsIgnoringCase(text, "False"))
            return false;
        double value = 0;
        if (TryStrToFloat(text, value))
            return value != 0.0;
        break;
    }
    }
    ConversionFails(kind_, "Boolean");
}

double TVariant::AsDateTime() const {
    switch (kind_) {
    case Kind::Null:
        return 0.0;
    case Kind::Integer:
    case Kind::Real:
    case Kind::DateTime:
    case Kind::Boolean:
        return AsReal();
    case Kind::Text: {
        double value = 0;
        if (ParseIsoDateTime(std::get<std::string>(value_), value))
            return value;
        break;
    }
    }
    ConversionFails(kind_, "Date");
}

} // namespace parvela
