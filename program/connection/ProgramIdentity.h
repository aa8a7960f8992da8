#pragma once
// The program's identity: the first and second half of the application title, which is also
// the single-instance key.

#include <optional>
#include <string>

namespace parvela {

inline constexpr const char* ProgramName = "Parvela";
inline constexpr const char* ProgramVersion = "2.4.2_CN";

// ProgramName and ProgramVersion joined by "%s_%s": Parvela_2.4.2_CN.
std::string ProgramTitle();

// What --version prints: "parvela-batch 2.4.2_CN (file version 2.0.4.1)".
std::string VersionLine(const std::string& command);

// Answers --help (with `help`) and --version on the standard output when one of them stands
// where an option may stand (an argument beginning with "--" takes the next one as its value),
// before anything else starts: no display, settings or database is needed. The exit code then,
// 0; nothing when neither was given.
std::optional<int> AnswerHelpOrVersion(int argc, char** argv, const std::string& command,
                                       const std::string& help);

} // namespace parvela
