#pragma once
// A closed range of reals that a value must lie in.

namespace parvela {

struct TValueRange {
    double Low;
    double High;

    // False outside the range and for a value that is not a number.
    constexpr bool Holds(double value) const { return value >= Low && value <= High; }
};

} // namespace parvela
