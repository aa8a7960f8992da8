#pragma once
// The missing values shared by the whole program: read from NULL columns, written as NULL,
// shown as "<no value given>".

#include <bit>
#include <cstdint>
#include <limits>

namespace parvela {

// An absent integer: the lowest 32-bit integer.
inline constexpr std::int32_t MissingInteger = std::numeric_limits<std::int32_t>::min();

// An absent real or date-time: the double whose bit pattern is the integer 2 (about 1E-323).
inline constexpr double MissingReal = std::bit_cast<double>(std::uint64_t{2});

// Compared by exact bit equality, never numerically.
inline constexpr bool IsMissingReal(double value) {
    return std::bit_cast<std::uint64_t>(value) == std::uint64_t{2};
}

inline constexpr bool IsMissingInteger(std::int32_t value) {
    return value == MissingInteger;
}

inline constexpr const char* NoValueGivenText = "<no value given>";

} // namespace parvela
