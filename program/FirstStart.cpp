#include "FirstStart.h"

#include "TApplicationSettings.h"
#include "db/DatabaseCreator.h"
#include "platform/AtomicFile.h"
#include "platform/UserDirectories.h"

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
    const std::string database = UserDataDirectory() + UserDatabaseFileName;
    std::filesystem::create_directories(UserDataDirectory());
    if (!std::filesystem::exists(database))
        db::CreateSQLiteDatabaseFile(database, false, true);
    WriteFileAtomically(settings, SettingsText(database));
    return settings;
}

} // namespace parvela
