#include "platform/UserDirectories.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/ExecutablePath.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
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

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Why the directory cannot be ours alone; empty when it is. lstat, so that a link to a
// directory counts as the link it is.
std::string NotPrivateBecause(const std::string& directory) {
    struct stat info {};
    if (::lstat(directory.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return "it is a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return "it is no directory";
    if (info.st_uid != ::geteuid())
        return "it belongs to another user (uid " + std::to_string(info.st_uid) + ")";
    if ((info.st_mode & 077) != 0)
        return "other users may enter it (mode " + PermissionsText(info.st_mode) + ")";
    return {};
}

// Made with mode 0700 when missing, then checked: the directory without its trailing "/",
// which would make lstat follow a link.
std::string PrivateDirectory(const std::string& directory) {
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
        throw EOSError("Cannot create the private directory \"" + directory +
                       "\": " + std::strerror(errno));
    if (const std::string reason = NotPrivateBecause(directory); !reason.empty())
        throw EOSError("The directory \"" + directory +
                       "\" cannot hold this user's private files: " + reason +
                       ". Remove it, or set TMPDIR to a directory of your own.");
    return directory + "/";
}

} // namespace

std::string UserConfigDirectory() {
    return BaseDirectory("XDG_CONFIG_HOME", ".config/") + ProgramFolder;
}

std::string UserDataDirectory() {
    return BaseDirectory("XDG_DATA_HOME", ".local/share/") + ProgramFolder;
}

std::string UserCacheDirectory() {
    return BaseDirectory("XDG_CACHE_HOME", ".cache/") + ProgramFolder;
}

std::string TemporaryDirectory() {
    // Never the executable's directory: an installed program cannot write there.
    for (const char* variable : {"TMPDIR", "TMP", "TEMP"})
        if (std::string directory = Environment(variable); !directory.empty())
            return WithTrailingSlash(directory);
    return "/tmp/";
}

std::string PrivateTemporaryDirectory() {
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && runtime.front() == '/' && IsDirectory(runtime))
        return PrivateDirectory(WithTrailingSlash(runtime) + "parvela");
    return PrivateDirectory(TemporaryDirectory() + "parvela-" + std::to_string(::geteuid()));
}

} // namespace parvela
