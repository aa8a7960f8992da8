#include "program/connection/TDatabaseConnection.h"

#include "platform/Dialogs.h"
#include "program/connection/TApplicationSettings.h"

#include <typeinfo>

namespace parvela {

namespace {

void ShowConnectionError(const std::string& message, const std::string& className) {
    Dialogs().Show(TDialogIcon::Error,
                   Format("Could not connect to database.\rPlease verify the database "
                          "settings in the .ini file.\r\r(ErrorMessage = %s, ErrorClass = %s)",
                          message, className));
}

} // namespace

TDatabaseConnection::TDatabaseConnection() : database_(std::make_unique<TDACDatabase>()) {
    const TApplicationSettings& settings = TApplicationSettings::GetSingleton();
    database_->SetODBCConnection(settings.DatabaseName(), settings.UserName(), settings.Password());
    try {
        database_->SetConnected(true);
    } catch (const Exception& e) {
        ShowConnectionError(e.Message(), e.ClassName());
        throw;
    } catch (const std::exception& e) {
        ShowConnectionError(e.what(), typeid(e).name());
        throw;
    }
}

TDatabaseConnection::~TDatabaseConnection() {
    // A failing disconnect at the end of the run must not end the program abnormally.
    try {
        if (database_->Connected())
            database_->SetConnected(false);
    } catch (const std::exception&) {
    }
}

} // namespace parvela
