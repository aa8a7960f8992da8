#include "db/DatabaseScripts.h"

#include "framework/odbc/AsciiText.h"
#include "platform/Exceptions.h"

#include <sqlite3.h>

#include <cctype>

namespace parvela::db {

namespace embedded {
extern const std::string_view schema_sqlite;
extern const std::string_view schema_postgresql;
extern const std::string_view reference_data;
extern const std::string_view scenarios;
extern const std::string_view example_project;
} // namespace embedded

namespace {

// Drops leading blanks and whole "--" comment lines, and trailing blanks.
std::string WithoutLeadingComments(std::string_view text) {
    for (;;) {
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
            text.remove_prefix(1);
        if (text.substr(0, 2) != "--")
            break;
        const std::size_t end = text.find('\n');
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return std::string(text);
}

} // namespace

std::string EngineName(Engine engine) {
    return engine == Engine::SQLite ? "sqlite" : "postgresql";
}

Engine EngineFromName(const std::string& name) {
    const std::string lower = odbc::AsciiLower(name);
    if (lower == "sqlite")
        return Engine::SQLite;
    if (lower == "postgresql")
        return Engine::PostgreSQL;
    throw Exception("Unknown database engine \"" + name + "\" (sqlite or postgresql)");
}

std::string_view SchemaScript(Engine engine) {
    return engine == Engine::SQLite ? embedded::schema_sqlite : embedded::schema_postgresql;
}

std::string_view ReferenceDataScript() {
    return embedded::reference_data;
}

std::string_view DeliveredScenariosScript() {
    return embedded::scenarios;
}

std::string_view ExampleProjectScript() {
    return embedded::example_project;
}

namespace {

void AddStatement(std::vector<std::string>& statements, std::string_view text) {
    std::string statement = WithoutLeadingComments(text);
    if (!statement.empty())
        statements.push_back(std::move(statement));
}

// SQLite's own test for a complete statement knows quotes, comments and trigger bodies.
std::vector<std::string> SplitSQLite(std::string_view script) {
    std::vector<std::string> statements;
    std::string pending;
    for (char c : script) {
        pending += c;
        if (c != ';' || !sqlite3_complete(pending.c_str()))
            continue;
        pending.pop_back();
        AddStatement(statements, pending);
        pending.clear();
    }
    AddStatement(statements, pending);
    return statements;
}

// The end of the PostgreSQL token that starts at `at` and cannot hold a terminating ";":
// a quoted text or name, a comment or a dollar-quoted body. Returns `at` for anything else.
std::size_t SkipPostgreSQLQuoted(std::string_view script, std::size_t at) {
    auto until = [&](std::string_view close, std::size_t from) {
        const std::size_t end = script.find(close, from);
        return end == std::string_view::npos ? script.size() : end + close.size();
    };
    const char c = script[at];
    if (c == '\'' || c == '"') {
        std::size_t end = at + 1;
        for (;;) { // a doubled quote stands for one and does not close
            end = until(std::string_view(&script[at], 1), end);
            if (end >= script.size() || script[end] != c)
                return end;
            ++end;
        }
    }
    if (script.substr(at, 2) == "--")
        return until("\n", at);
    if (script.substr(at, 2) == "/*")
        return until("*/", at + 2);
    if (c == '$') {
        std::size_t end = at + 1;
        while (end < script.size() &&
               (std::isalnum(static_cast<unsigned char>(script[end])) || script[end] == '_'))
            ++end;
        if (end < script.size() && script[end] == '$')
            return until(script.substr(at, end - at + 1), end + 1);
    }
    return at;
}

std::vector<std::string> SplitPostgreSQL(std::string_view script) {
    std::vector<std::string> statements;
    std::size_t begin = 0;
    for (std::size_t at = 0; at < script.size();) {
        const std::size_t skipped = SkipPostgreSQLQuoted(script, at);
        if (skipped != at) {
            at = skipped;
            continue;
        }
        if (script[at] == ';') {
            AddStatement(statements, script.substr(begin, at - begin));
            begin = at + 1;
        }
        ++at;
    }
    if (begin < script.size())
        AddStatement(statements, script.substr(begin));
    return statements;
}

} // namespace

std::vector<std::string> SplitStatements(std::string_view script, Engine engine) {
    return engine == Engine::SQLite ? SplitSQLite(script) : SplitPostgreSQL(script);
}

} // namespace parvela::db
