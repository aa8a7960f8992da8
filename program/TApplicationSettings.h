#pragma once
// The database login, read from the settings file beside the executable (its name with
// ".ini"). Read only; the program never writes the file.

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

    // The executable's full path with its extension replaced by ".ini".
    static std::string SettingsFileName();

protected:
    ~TApplicationSettings() override = default;

private:
    std::string databaseName_, userName_, password_;
};

} // namespace parvela
