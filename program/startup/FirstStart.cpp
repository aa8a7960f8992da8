#include "program/startup/FirstStart.h"

#include "db/DatabaseCreator.h"
#include "platform/AtomicFile.h"
#include "platform/UserDirectories.h"
#include "program/connection/TApplicationSettings.h"

#include <filesystem>

namespace parvela {

namespace {

std::string SettingsText(const std::string& databaseFile) {
    return "; Written at the first start: the per-user database of the embedded default engine.\n"
           "[Database]\n"
           "DatabaseName=" +
           db::SQLiteConnectionString(databaseFile) +
           "\n"
           "UserName=\n"
           "Password=\n";
}

} // namespace

std::string PrepareSettingsFile(const std::string& programName) {
    const std::string settings = TApplicationSettings::SettingsFileName(programName);
    if (std::filesystem::exists(settings))
        return settings;
    // The user's own: the settings may come to hold a password, the database their work.
    const std::string database = UserDataDirectory() + UserDatabaseFileName;
    CreateDirectories(UserDataDirectory(), TFileAccess::OwnerOnly);
    if (!std::filesystem::exists(database))
        db::CreateSQLiteDatabaseFile(database, false, true, true);
    WriteFileAtomically(settings, SettingsText(database), TFileAccess::OwnerOnly);
    return settings;
}

} // namespace parvela
