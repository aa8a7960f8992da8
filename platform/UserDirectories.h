#pragma once
// The per-user directories of the XDG base directory rules, each with the program's own
// folder "parvela/" below it. An installed program's own directory is read-only to its users:
// what it keeps per user lies here.

#include <string>

namespace parvela {

// $XDG_CONFIG_HOME/parvela/, else ~/.config/parvela/; ends in "/". Relative values of the
// variable are ignored, as the rules ask; the home directory is $HOME, else the user's entry
// in the password database.
std::string UserConfigDirectory();

// $XDG_DATA_HOME/parvela/, else ~/.local/share/parvela/; ends in "/".
std::string UserDataDirectory();

} // namespace parvela
