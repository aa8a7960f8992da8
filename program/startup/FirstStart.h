#pragma once
// The first start of an installed program: no settings file beside the executable and none
// in the per-user configuration directory. The program then makes its own per-user set-up,
// so that a new user can work without any preparation.

#include <string>

namespace parvela {

// The name of the per-user SQLite database in the per-user data directory.
inline constexpr const char* UserDatabaseFileName = "parvela.db";

// The settings file to read for the program `programName` (empty: the executable's name),
// as TApplicationSettings::SettingsFileName finds it. When there is none, first creates the
// per-user SQLite database ($XDG_DATA_HOME/parvela/parvela.db, with the delivered scenarios
// and the example project) unless it exists already, and then the per-user settings file that
// names it; an existing database is never replaced. Both files are 0600, the directories
// made for them 0700.
std::string PrepareSettingsFile(const std::string& programName = {});

} // namespace parvela
