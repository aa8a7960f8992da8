#include "framework/Format.h"

#include "framework/FormatSettings.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>

namespace parvela {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

namespace {

// ASCII only: the C library's character classes follow the C locale.
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The number of bytes of the UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = at + 1; i < at + length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// Widths and precisions count characters: a UTF-8 sequence is one, and so is any byte that
// belongs to none (a text in another encoding keeps one column per byte).
std::size_t CharacterBytes(std::string_view text, std::size_t at) {
    return std::max<std::size_t>(SequenceLength(text, at), 1);
}

// The bytes of the first `count` characters.
std::size_t PrefixBytes(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (; at < text.size() && count > 0; --count)
        at += CharacterBytes(text, at);
    return at;
}

template <class Integer> std::string DecimalText(Integer value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The exact decimal digits of |value| and the decimal exponent of the first. A double is a
// binary fraction, so its decimal expansion ends: fixed notation with as many decimals as the
// value has binary ones gives every digit, and rounding them once afterwards rounds the value
// the program actually holds.
struct DecimalDigits {
    std::string digits; // "1234...", no leading zeros ("0" for zero)
    int exponent = 0;   // value = d1.d2d3... * 10^exponent
};

DecimalDigits ToDecimalDigits(double value) {
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0)
        return {"0", 0};
    int binaryExponent = 0;
    const double fraction = std::frexp(magnitude, &binaryExponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int lowestBit = binaryExponent - 53 + std::countr_zero(mantissa);
    // At most 309 integer digits or 1074 decimals, never both.
    char buffer[1100 + 320];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed,
                                std::max(0, -lowestBit));
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t point = std::min(text.find('.'), text.size());
    DecimalDigits out;
    int leadingZeros = 0;
    for (char c : text) {
        if (c == '.')
            continue;
        if (out.digits.empty() && c == '0')
            ++leadingZeros;
        else
            out.digits += c;
    }
    out.exponent = static_cast<int>(point) - leadingZeros - 1;
    return out;
}

// Rounds the digit string half away from zero so that `keep` digits remain (keep >= 0).
// Returns true when the rounding carried into a new leading digit.
bool RoundDigits(std::string& digits, int keep) {
    if (keep >= static_cast<int>(digits.size()))
        return false;
    bool roundUp = keep >= 0 && digits[keep] >= '5';
    if (keep < 0) {
        digits.clear();
        return false;
    }
    digits.resize(keep);
    if (!roundUp)
        return false;
    for (int i = keep - 1; i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string GroupThousands(const std::string& integerPart) {
    std::string out;
    int count = 0;
    for (auto it = integerPart.rbegin(); it != integerPart.rend(); ++it) {
        if (count > 0 && count % 3 == 0)
            out.insert(out.begin(), FormatSettings().ThousandSeparator);
        out.insert(out.begin(), *it);
        ++count;
    }
    return out;
}

std::string FixedText(double value, int decimals, bool thousands) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    DecimalDigits d = ToDecimalDigits(value);
    int intDigits = d.exponent + 1; // digits before the decimal point
    int keep = intDigits + decimals;
    std::string digits = d.digits;
    if (value == 0.0) {
        digits.clear();
        intDigits = 0;
    } else if (keep < 0) {
        digits.clear();
    } else if (RoundDigits(digits, keep)) {
        ++intDigits;
    }
    // Pad to intDigits + decimals digits.
    std::string all;
    if (intDigits < 0) {
        all.assign(static_cast<std::size_t>(-intDigits), '0');
        all += digits;
        intDigits = 0;
    } else {
        all = digits;
    }
    std::size_t total = static_cast<std::size_t>(intDigits + decimals);
    if (all.size() < total)
        all.append(total - all.size(), '0');
    std::string integerPart = intDigits > 0 ? all.substr(0, intDigits) : "0";
    std::string fraction = all.substr(intDigits, decimals);
    bool isZero = std::all_of(all.begin(), all.end(), [](char c) { return c == '0'; });
    std::string out = (value < 0 && !isZero) ? "-" : "";
    out += thousands ? GroupThousands(integerPart) : integerPart;
    if (decimals > 0) {
        out += FormatSettings().DecimalSeparator;
        out += fraction;
    }
    return out;
}

std::string ScientificText(double value, int precision) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, 17);
    DecimalDigits d = ToDecimalDigits(value);
    std::string digits = d.digits;
    int exponent = d.exponent;
    if (value == 0.0) {
        digits.assign(static_cast<std::size_t>(precision), '0');
        exponent = 0;
    } else if (RoundDigits(digits, precision)) {
        ++exponent;
    }
    digits.resize(static_cast<std::size_t>(precision), '0');
    std::string out = value < 0 ? "-" : "";
    out += digits[0];
    if (precision > 1) {
        out += FormatSettings().DecimalSeparator;
        out += digits.substr(1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    std::string expText = DecimalText(std::abs(exponent));
    if (expText.size() < 3)
        expText.insert(0, 3 - expText.size(), '0');
    return out + expText;
}

[[noreturn]] void InvalidFormat(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) +
                        "' invalid or incompatible with argument");
}

[[noreturn]] void MissingArgument(std::string_view format) {
    throw EConvertError("No argument for format '" + std::string(format) + "'");
}

std::optional<double> RealOf(const TVarRec& arg) {
    switch (arg.GetKind()) {
    case TVarRec::Kind::Real:
        return arg.AsReal();
    case TVarRec::Kind::Integer:
        return static_cast<double>(arg.AsInteger());
    default:
        return std::nullopt;
    }
}

std::string IntegerText(std::int64_t value, int precision, bool hex, bool asUnsigned) {
    std::string digits;
    bool negative = false;
    if (hex || asUnsigned) {
        std::uint64_t u = static_cast<std::uint64_t>(value);
        if (!hex && value < 0)
            u = static_cast<std::uint32_t>(value);
        char buffer[32];
        auto r = std::to_chars(buffer, buffer + sizeof buffer, u, hex ? 16 : 10);
        digits.assign(buffer, r.ptr);
        if (hex)
            std::transform(digits.begin(), digits.end(), digits.begin(), AsciiUpper);
    } else {
        negative = value < 0;
        std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-(value + 1)) + 1
                                           : static_cast<std::uint64_t>(value);
        digits = DecimalText(magnitude);
    }
    if (precision > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

} // namespace

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterBytes(text, at))
        ++count;
    return count;
}

namespace {

// The bytes of the valid, shortest-form UTF-8 sequence of a scalar value at `at`; 0 for a
// NUL byte and for anything else.
std::size_t ValidSequenceLength(std::string_view text, std::size_t at) {
    const std::size_t length = SequenceLength(text, at);
    if (length == 0 || text[at] == '\0')
        return 0;
    const auto lead = static_cast<unsigned char>(text[at]);
    const auto second = length > 1 ? static_cast<unsigned char>(text[at + 1]) : 0;
    const bool overlongOrSurrogate =
        (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F);
    return overlongOrSurrogate ? 0 : length;
}

} // namespace

std::string ValidUtf8Text(std::string_view text) {
    static constexpr std::string_view Replacement = "\xEF\xBF\xBD";
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = ValidSequenceLength(text, at);
        if (length == 0) {
            valid += Replacement;
            ++at;
        } else {
            valid.append(text.substr(at, length));
            at += length;
        }
    }
    return valid;
}

std::string FloatToStrGeneral(double value, int precision) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";
    precision = std::clamp(precision, 1, 17);
    DecimalDigits d = ToDecimalDigits(value);
    std::string digits = d.digits;
    int exponent = d.exponent;
    if (RoundDigits(digits, precision)) {
        ++exponent;
        digits.resize(precision);
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = value < 0 ? "-" : "";
    const char sep = FormatSettings().DecimalSeparator;
    if (exponent >= precision || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += sep;
            out += digits.substr(1);
        }
        out += 'E';
        if (exponent < 0)
            out += '-';
        out += DecimalText(std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += sep;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
    } else {
        out += digits.substr(0, intDigits);
        out += sep;
        out += digits.substr(intDigits);
    }
    return out;
}

std::string FloatToStrFixed(double value, int decimals) {
    return FixedText(value, std::max(decimals, 0), false);
}

std::string Format(std::string_view format, const TVarRecArray& args) {
    std::string out;
    std::size_t argIndex = 0;
    std::size_t i = 0;
    auto nextArg = [&]() -> const TVarRec& {
        if (argIndex >= args.size())
            MissingArgument(format);
        return args[argIndex++];
    };
    auto readNumber = [&](int& number) -> bool {
        if (i < format.size() && format[i] == '*') {
            const TVarRec& arg = nextArg();
            if (arg.GetKind() != TVarRec::Kind::Integer)
                InvalidFormat(format);
            number = static_cast<int>(arg.AsInteger());
            ++i;
            return true;
        }
        std::size_t start = i;
        number = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9')
            number = number * 10 + (format[i++] - '0');
        return i > start;
    };
    while (i < format.size()) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i >= format.size())
            InvalidFormat(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool leftAlign = false;
        int width = -1;
        int precision = -1;
        int number = 0;
        std::size_t specStart = i;
        std::size_t argIndexAtStart = argIndex;
        if (readNumber(number) && i < format.size() && format[i] == ':') {
            argIndex = static_cast<std::size_t>(number);
            ++i;
        } else {
            // Not an index: a "*" read here was the width, read again below.
            i = specStart;
            argIndex = argIndexAtStart;
        }
        if (i < format.size() && format[i] == '-') {
            leftAlign = true;
            ++i;
        }
        if (readNumber(number))
            width = number;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = readNumber(number) ? number : 0;
        }
        if (i >= format.size())
            InvalidFormat(format);
        char conversion = AsciiLower(format[i++]);
        const TVarRec& arg = nextArg();
        std::string text;
        switch (conversion) {
        case 'd':
        case 'u':
        case 'x':
            if (arg.GetKind() != TVarRec::Kind::Integer)
                InvalidFormat(format);
            text = IntegerText(arg.AsInteger(), precision, conversion == 'x', conversion == 'u');
            break;
        case 'f':
        case 'n':
        case 'm':
        case 'e':
        case 'g': {
            auto real = RealOf(arg);
            if (!real)
                InvalidFormat(format);
            if (conversion == 'e')
                text = ScientificText(*real, precision < 0 ? 15 : precision);
            else if (conversion == 'g')
                text = FloatToStrGeneral(*real, precision < 0 ? 15 : precision);
            else
                text = FixedText(*real, precision < 0 ? 2 : precision, conversion != 'f');
            break;
        }
        case 's':
            if (arg.GetKind() == TVarRec::Kind::Text)
                text = arg.AsText();
            else if (arg.GetKind() == TVarRec::Kind::Character)
                text = std::string(1, arg.AsCharacter());
            else
                InvalidFormat(format);
            if (precision >= 0)
                text.resize(PrefixBytes(text, static_cast<std::size_t>(precision)));
            break;
        default:
            InvalidFormat(format);
        }
        const std::size_t characters = CharacterCount(text);
        if (width > static_cast<int>(characters)) {
            std::string pad(static_cast<std::size_t>(width) - characters, ' ');
            text = leftAlign ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

bool TryStrToFloat(std::string_view text, double& value) {
    auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return false;
    auto end = text.find_last_not_of(" \t\r\n");
    std::string s(text.substr(begin, end - begin + 1));
    const char sep = FormatSettings().DecimalSeparator;
    // Accept only the program's separator; translate it for from_chars, which expects ".".
    if (sep != '.') {
        if (s.find('.') != std::string::npos)
            return false;
        std::replace(s.begin(), s.end(), sep, '.');
    }
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (*first == '+')
        ++first;
    if (first == last)
        return false;
    double parsed = 0;
    auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = parsed;
    return true;
}

double StrToFloat(std::string_view text) {
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return value;
}

bool TryStrToInt(std::string_view text, int& value) {
    auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return false;
    auto end = text.find_last_not_of(" \t\r\n");
    std::string_view s = text.substr(begin, end - begin + 1);
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (*first == '+')
        ++first;
    int parsed = 0;
    auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last || first == last)
        return false;
    value = parsed;
    return true;
}

int StrToInt(std::string_view text) {
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

} // namespace parvela
