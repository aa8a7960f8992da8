#pragma once
// The surroundings of a benchmark program: a fresh work directory with a data path, registry
// stores and a plug-in database of its own, the plug-in library registered machine-wide, and
// the databases of the engines it measures.

#include "db/DatabaseCreator.h"
#include "framework/TDACDatabase.h"
#include "platform/Registry.h"
#include "program/runs/TModelManager.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace parvela::bench {

inline void PrepareRunEnvironment(const std::string& work, const std::string& daxoLibrary) {
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work + "/data");
    setenv("PARVELA_MACHINE_REGISTRY", (work + "/machine.ini").c_str(), 1);
    setenv("PARVELA_USER_REGISTRY", (work + "/user.ini").c_str(), 1);
    setenv("PARVELA_DAXO_DATABASE", (work + "/daxo.sqlite").c_str(), 1);
    setenv("PARVELA_DAXO_MESSAGE_LOG", (work + "/daxo.log").c_str(), 1);
    TRegistry machine(HKEY_LOCAL_MACHINE);
    machine.WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", daxoLibrary);
    machine.WriteString(RegistryKey(), "DataPath", work + "/data/");
}

// A settings file naming the database by its connection string.
inline void WriteSettingsFile(const std::string& file, const std::string& connectionString) {
    std::ofstream(file) << "[Database]\nDatabaseName=" << connectionString
                        << "\nUserName=\nPassword=\n";
}

// A value of the throw-away PostgreSQL server that scripts/bench.sh starts, from the
// "key=value" lines of the file that PARVELA_BENCH_PG_INFO names; nothing without a server.
inline std::optional<std::string> TestServerValue(const std::string& key) {
    const char* file = std::getenv("PARVELA_BENCH_PG_INFO");
    if (!file || !*file)
        return std::nullopt;
    std::ifstream info(file);
    for (std::string line; std::getline(info, line);)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    throw std::runtime_error(std::string("no ") + key + " of a PostgreSQL server in " + file);
}

// The connection string of a database `name` made afresh on the test server, with the schema
// and the delivered scenarios; nothing without a server.
inline std::optional<std::string> FreshTestServerDatabase(const std::string& name) {
    const std::optional<std::string> server = TestServerValue("connection");
    if (!server)
        return std::nullopt;
    TDACDatabase maintenance;
    maintenance.SetODBCConnection(*server + ";Database=postgres", "", "");
    maintenance.SetConnected(true);
    maintenance.ExecSQL("DROP DATABASE IF EXISTS " + name);
    maintenance.ExecSQL("CREATE DATABASE " + name + " ENCODING 'UTF8' TEMPLATE template0");
    const std::string connection = *server + ";Database=" + name;
    db::CreateDatabase(connection, db::Engine::PostgreSQL, "", "", true);
    return connection;
}

} // namespace parvela::bench
