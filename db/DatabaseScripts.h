#pragma once
// The schema and reference-data scripts that come with the program, and the splitting of a
// script into its statements.

#include <string>
#include <string_view>
#include <vector>

namespace parvela::db {

enum class Engine { SQLite, PostgreSQL };

// "sqlite" or "postgresql".
std::string EngineName(Engine engine);
// Accepts the names of EngineName, ignoring letter case; raises Exception otherwise.
Engine EngineFromName(const std::string& name);

std::string_view SchemaScript(Engine engine);
// The same for both engines.
std::string_view ReferenceDataScript();
// The delivered scenarios with their templates and data, and an example application scheme;
// the same for both engines, run after the reference data.
std::string_view DeliveredScenariosScript();
// The project "Example" with one assessment on the delivered scenario, substance and scheme,
// marked for execution; run after the delivered scenarios.
std::string_view ExampleProjectScript();

// The statements of a script without their terminating ";". A ";" inside a quoted text or
// name, a comment, a dollar-quoted PostgreSQL body or an SQLite trigger body (BEGIN ... END)
// does not end a statement. Comment lines before a statement are dropped.
std::vector<std::string> SplitStatements(std::string_view script, Engine engine);

} // namespace parvela::db
