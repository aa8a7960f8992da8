#pragma once
// Owns the program's one database object, configured from the settings and connected for the
// whole run.

#include "framework/Singleton.h"
#include "framework/TDACDatabase.h"

#include <memory>

namespace parvela {

class TDatabaseConnection : public TSingleton<TDatabaseConnection> {
public:
    static constexpr const char* ClassName = "TDatabaseConnection";

    // Connects with the login of TApplicationSettings; a failure is shown in an error box and
    // passed on.
    TDatabaseConnection();

    TDACDatabase& Database() { return *database_; }

protected:
    ~TDatabaseConnection() override;

private:
    std::unique_ptr<TDACDatabase> database_;
};

} // namespace parvela
