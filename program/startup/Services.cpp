#include "program/startup/Services.h"

#include "framework/FormatSettings.h"
#include "framework/TDACSaver.h"
#include "framework/TVersionInfo.h"
#include "platform/ExecutablePath.h"
#include "program/connection/TApplicationSettings.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/plugin/TDAXORegistry.h"
#include "program/runs/TModelManager.h"
#include "program/startup/FirstStart.h"
#include "program/system/Messages.h"

namespace parvela {

namespace {

template <class Service> void Stop(std::vector<std::string>& stopped) {
    if (!Service::SingletonExists())
        return;
    Service::DestroySingleton();
    stopped.emplace_back(Service::ClassName);
}

} // namespace

void StartServices(const TServiceStartOptions& options) {
    FormatSettings().DecimalSeparator = '.';
    FormatSettings().ThousandSeparator = ',';
    TVersionInfo::CreateSingleton();
    TApplicationSettings::CreateSingleton(
        options.SettingsFileName.empty() ? PrepareSettingsFile() : options.SettingsFileName);
    if (const std::string warning = TApplicationSettings::GetSingleton().ExposedPasswordWarning();
        !warning.empty())
        ShowWarning(warning);
    TDatabaseConnection::CreateSingleton();
    TDACDatabase& database = TDatabaseConnection::GetSingleton().Database();
    database.SetTrueString("True");
    database.SetFalseString("False");
    TDACSaver::CreateSingleton(database);
    SetDeliveredLibraryPath(ExecutableDirectory() + DeliveredLibraryBesideExecutable);
    TDAXOInterface::CreateSingleton(std::string(1, FormatSettings().DecimalSeparator));
    TModelManager::CreateSingleton();
}

std::vector<std::string> StopServices() {
    std::vector<std::string> stopped;
    Stop<TVersionInfo>(stopped);
    Stop<TDACSaver>(stopped);
    Stop<TDatabaseConnection>(stopped);
    Stop<TApplicationSettings>(stopped);
    Stop<TModelManager>(stopped);
    Stop<TDAXOInterface>(stopped);
    return stopped;
}

} // namespace parvela
