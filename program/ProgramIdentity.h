#pragma once
// The program's identity: the first and second half of the application title, which is also
// the single-instance key.

#include <string>

namespace parvela {

inline constexpr const char* ProgramName = "Parvela";
inline constexpr const char* ProgramVersion = "2.4.2_CN";

// ProgramName and ProgramVersion joined by "%s_%s": Parvela_2.4.2_CN.
std::string ProgramTitle();

} // namespace parvela
