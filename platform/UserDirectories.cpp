#include "UserDirectories.h"

#include "ExecutablePath.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace parvela {

namespace {

constexpr const char* ProgramFolder = "parvela/";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeDirectory() {
    std::string home = Environment("HOME");
    if (home.empty())
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
            home = user->pw_dir;
    return home;
}

// The variable's directory when it is absolute, else the fallback below the home directory.
std::string BaseDirectory(const char* variable, const char* belowHome) {
    const std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/')
        return WithTrailingSlash(value);
    return WithTrailingSlash(HomeDirectory()) + belowHome;
}

} // namespace

std::string UserConfigDirectory() {
    return BaseDirectory("XDG_CONFIG_HOME", ".config/") + ProgramFolder;
}

std::string UserDataDirectory() {
    return BaseDirectory("XDG_DATA_HOME", ".local/share/") + ProgramFolder;
}

} // namespace parvela
