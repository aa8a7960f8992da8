#pragma once
// The database login, read from the settings file: the executable's name with ".ini" beside
// the executable, else in the per-user configuration directory (an installed program's own
// directory is read-only to its users). Read only; the program writes only the per-user file
// of a first start (see FirstStart.h).

#include "framework/Singleton.h"

#include <string>

namespace parvela {

class TApplicationSettings : public TSingleton<TApplicationSettings> {
public:
    static constexpr const char* ClassName = "TApplicationSettings";

    // Reads the settings file of the running executable.
    TApplicationSettings();
    // Reads the given settings file (tools and tests).
    explicit TApplicationSettings(const std::string& fileName);

    const std::string& DatabaseName() const { return databaseName_; }
    const std::string& UserName() const { return userName_; }
    const std::string& Password() const { return password_; }

    // A warning naming the file and the fix when it holds a password and the group or others
    // may read it, as ssh and libpq warn; empty otherwise.
    std::string ExposedPasswordWarning() const;

    // The settings file of the program `programName` ("parvela"): "<programName>.ini" beside
    // the executable when it exists, else the per-user one, whether it exists or not. Without
    // a name, the executable's own name (without its extension) counts.
    static std::string SettingsFileName(const std::string& programName = {});
    // "<programName>.ini" in the per-user configuration directory ($XDG_CONFIG_HOME/parvela/).
    static std::string UserSettingsFileName(const std::string& programName = {});

protected:
    ~TApplicationSettings() override = default;

private:
    std::string fileName_, databaseName_, userName_, password_;
};

} // namespace parvela
