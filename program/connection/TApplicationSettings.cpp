#include "program/connection/TApplicationSettings.h"

#include "platform/AtomicFile.h"
#include "platform/ExecutablePath.h"
#include "platform/UserDirectories.h"

// SimpleIni as a header-only reader of plain bytes: no character-set conversion.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <filesystem>
#include <sys/stat.h>

namespace parvela {

namespace {

constexpr const char* DatabaseSection = "Database";

// Every value reaches the program exactly as written: nothing after the "=" is interpreted
// (no escapes, no inline comments, ";" and "=" belong to the value) except that blanks
// around it are dropped and one pair of double quotes around the whole value is removed, so
// that a value with blanks at its ends, or with quotes of its own, can be written in quotes.
void Load(CSimpleIniA& file, const std::string& fileName) {
    if (!std::filesystem::is_regular_file(fileName))
        throw Exception(Format("File \"%s\" not found", fileName));
    file.SetQuotes(true);
    file.SetMultiLine(false);
    file.SetMultiKey(true);
    if (file.LoadFile(fileName.c_str()) < 0)
        throw EOSError(Format("File \"%s\" cannot be read", fileName));
}

// The first value of the key in the file (sections of the same name count as one), as the
// profile reader of the original platform gives it.
const char* FirstValue(const CSimpleIniA& file, const char* section, const char* key) {
    CSimpleIniA::TNamesDepend values;
    if (!file.GetAllValues(section, key, values))
        return nullptr;
    values.sort(CSimpleIniA::Entry::LoadOrder());
    return values.front().pItem;
}

std::string SettingsFileNameOf(const std::string& programName) {
    const std::string name =
        programName.empty() ? std::filesystem::path(ExecutablePath()).stem().string() : programName;
    return name + ".ini";
}

} // namespace

std::string TApplicationSettings::SettingsFileName(const std::string& programName) {
    const std::string beside = ExecutableDirectory() + SettingsFileNameOf(programName);
    return std::filesystem::is_regular_file(beside) ? beside : UserSettingsFileName(programName);
}

std::string TApplicationSettings::UserSettingsFileName(const std::string& programName) {
    return UserConfigDirectory() + SettingsFileNameOf(programName);
}

TApplicationSettings::TApplicationSettings() : TApplicationSettings(SettingsFileName()) {}

TApplicationSettings::TApplicationSettings(const std::string& fileName) : fileName_(fileName) {
    // Section and key names are matched without regard to case.
    CSimpleIniA file;
    Load(file, fileName);
    auto read = [&](const char* key, std::string& field) {
        const char* value = FirstValue(file, DatabaseSection, key);
        Assert(value != nullptr,
               Format("Ini file variable %s in section %s not found", key, DatabaseSection));
        field = value;
    };
    read("DatabaseName", databaseName_);
    read("UserName", userName_);
    read("Password", password_);
}

std::string TApplicationSettings::ExposedPasswordWarning() const {
    struct stat info {};
    if (password_.empty() || ::stat(fileName_.c_str(), &info) != 0 ||
        (info.st_mode & (S_IRGRP | S_IROTH)) == 0)
        return {};
    return Format("The settings file \"%s\" holds a password and other users may read it (mode "
                  "%s). Make it readable for you alone: chmod 600 \"%s\"",
                  fileName_, PermissionsText(info.st_mode), fileName_);
}

} // namespace parvela
