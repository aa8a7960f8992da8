#pragma once
// The program's one formatting routine. Conversions: %d %u %x (integers; a precision pads
// with zeros), %f %n %e %g (reals; %f and %n give two decimals without a precision),
// %s (texts and characters; a precision cuts), %% (a percent sign). Upper-case conversion
// letters work like lower-case ones. "-" aligns left, a width pads with blanks, "*" takes
// width or precision from the arguments and "N:" selects the argument index. Widths and the
// precision of a text count characters (UTF-8 code points), not bytes, so that padded
// columns stay aligned whatever the text.
// Reals use the program-wide decimal separator, never the C locale. Every real is rounded
// once, from the exact binary value the program holds, to the nearest text; a value exactly
// halfway between two texts rounds away from zero (0.125 gives "0.13"), and a result that
// rounds to zero carries no minus sign.

#include "framework/VarRec.h"

#include <string>
#include <string_view>

namespace parvela {

// Raises EConvertError for a format that is invalid or incompatible with its arguments.
std::string Format(std::string_view format, const TVarRecArray& args);

// The characters of a text as the widths count them: a UTF-8 sequence is one, and so is any
// byte that belongs to none.
std::size_t CharacterCount(std::string_view text);

// The text with every NUL byte, and every byte that begins no valid UTF-8 sequence, replaced
// by U+FFFD, so that any database stores it and every reader shows it: texts written by
// outside programs may hold anything.
std::string ValidUtf8Text(std::string_view text);

template <typename... Args> std::string Format(std::string_view format, const Args&... args) {
    return Format(format, TVarRecArray{TVarRec(args)...});
}

// The shortest general notation with up to `precision` significant digits: no trailing
// zeros, no bare decimal point, exponent form ("1E-7", "1.5E20") for very small and very
// large numbers.
std::string FloatToStrGeneral(double value, int precision = 15);

// Fixed notation with `decimals` digits after the separator, rounding half away from zero.
std::string FloatToStrFixed(double value, int decimals);

// Parses a real written with the program-wide decimal separator (leading and trailing
// blanks allowed, an optional exponent). Raises EConvertError when the text is no number.
double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, double& value);

// Parses a decimal integer; raises EConvertError "'%s' is not a valid integer value".
int StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int& value);

} // namespace parvela
