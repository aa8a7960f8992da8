// The versions of the stand-in model programs delivered with Parvela: they tell them when
// asked (--version), and the About window shows them.
#pragma once

namespace parvela::models {

inline constexpr const char* GlidarStandInVersion = "1.3.0";
inline constexpr const char* MundreStandInVersion = "2.1.0";

} // namespace parvela::models
