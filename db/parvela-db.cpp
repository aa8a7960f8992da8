// parvela-db: creates new Parvela databases with the schema and the reference data.
//   parvela-db create-sqlite <file> [--force] [--with-scenarios]
//   parvela-db create --connection "<ODBC connection string>" --engine postgresql|sqlite
//                     [--user <name>] [--password <text>] [--with-scenarios]
// --with-scenarios adds the delivered scenarios, the example application scheme and the
// example project.

#include "db/DatabaseCreator.h"
#include "platform/Exceptions.h"

#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

int Usage() {
    std::cerr << "Usage:\n"
                 "  parvela-db create-sqlite <file> [--force] [--with-scenarios]\n"
                 "  parvela-db create --connection \"<ODBC connection string>\" "
                 "--engine postgresql|sqlite [--user <name>] [--password <text>] "
                 "[--with-scenarios]\n";
    return ExitUsage;
}

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    bool force = false;
    bool withScenarios = false;
};

bool Parse(int argc, char** argv, Arguments& arguments) {
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--force") {
            arguments.force = true;
        } else if (argument == "--with-scenarios") {
            arguments.withScenarios = true;
        } else if (argument.rfind("--", 0) == 0) {
            if (i + 1 >= argc)
                return false;
            arguments.options[argument.substr(2)] = argv[++i];
        } else {
            arguments.positional.push_back(argument);
        }
    }
    return true;
}

std::string Option(const Arguments& arguments, const std::string& name) {
    auto found = arguments.options.find(name);
    return found == arguments.options.end() ? std::string() : found->second;
}

int CreateSQLite(const Arguments& arguments) {
    if (arguments.positional.size() != 1 || !arguments.options.empty())
        return Usage();
    parvela::db::CreateSQLiteDatabaseFile(arguments.positional.front(), arguments.force,
                                          arguments.withScenarios);
    std::cout << "Created " << arguments.positional.front() << "\n";
    return 0;
}

int Create(const Arguments& arguments) {
    const std::string connection = Option(arguments, "connection");
    const std::string engine = Option(arguments, "engine");
    for (const auto& [name, value] : arguments.options)
        if (name != "connection" && name != "engine" && name != "user" && name != "password")
            return Usage();
    if (connection.empty() || engine.empty() || !arguments.positional.empty() || arguments.force)
        return Usage();
    parvela::db::CreateDatabase(connection, parvela::db::EngineFromName(engine),
                                Option(arguments, "user"), Option(arguments, "password"),
                                arguments.withScenarios);
    std::cout << "Created the schema\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    Arguments arguments;
    if (!Parse(argc, argv, arguments))
        return Usage();
    try {
        if (command == "create-sqlite")
            return CreateSQLite(arguments);
        if (command == "create")
            return Create(arguments);
    } catch (const parvela::Exception& failure) {
        std::cerr << "parvela-db: " << failure.what() << "\n";
        return ExitFailure;
    }
    return Usage();
}
