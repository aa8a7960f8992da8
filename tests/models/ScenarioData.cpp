#include "tests/models/ScenarioData.h"

#include <stdexcept>

namespace parvela::models::test {

std::string ScriptText(const std::string& relativePath) {
    return ReadFileText(std::filesystem::path(PARVELA_SOURCE_DIR) / relativePath);
}

ScenarioDatabase::ScenarioDatabase() {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK)
        throw std::runtime_error("cannot open an SQLite database");
    for (const char* script :
         {"db/schema-sqlite.sql", "db/reference-data.sql", "db/scenarios/scenarios.sql"}) {
        char* error = nullptr;
        if (sqlite3_exec(db_, ScriptText(script).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = std::string(script) + ": " + (error ? error : "?");
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }
}

ScenarioDatabase::~ScenarioDatabase() {
    sqlite3_close(db_);
}

std::vector<std::vector<std::string>> ScenarioDatabase::Query(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    std::vector<std::vector<std::string>> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = sqlite3_column_text(statement, c);
            row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return rows;
}

long long ScenarioDatabase::Count(const std::string& sql) const {
    return std::stoll(Query(sql).at(0).at(0));
}

std::vector<ScenarioRow> ScenarioDatabase::Scenarios() const {
    std::vector<ScenarioRow> scenarios;
    for (const auto& r : Query("SELECT SCENARIOID, CAPTION, STARTYEAR, ENDYEAR, GLIDAR_data, "
                               "MUNDRE_data, GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, "
                               "MUNDRE_rain FROM SCENARIOS ORDER BY SCENARIOID"))
        scenarios.push_back(ScenarioRow{std::stoi(r[0]), r[1], std::stoi(r[2]), std::stoi(r[3]),
                                        r[4], r[5], r[6], r[7], r[8], r[9]});
    return scenarios;
}

std::vector<InterceptionRow> ScenarioDatabase::Interceptions(int scenarioId) const {
    std::vector<InterceptionRow> rows;
    for (const auto& r : Query("SELECT ScenarioID, BBCH_ID, BeginDay, BeginMonth, EndDay, "
                               "EndMonth, InterceptionFraction FROM Interceptions WHERE "
                               "ScenarioID = " +
                               std::to_string(scenarioId) + " ORDER BY InterceptionID"))
        rows.push_back(InterceptionRow{std::stoi(r[0]), std::stoi(r[1]), std::stoi(r[2]),
                                       std::stoi(r[3]), std::stoi(r[4]), std::stoi(r[5]),
                                       std::stod(r[6])});
    return rows;
}

double InterceptionFraction(const std::vector<InterceptionRow>& rows, int month, int day) {
    for (const InterceptionRow& row : rows) {
        const bool notAfterEnd =
            month < row.endMonth || (month == row.endMonth && day <= row.endDay);
        const bool notBeforeBegin =
            month > row.beginMonth || (month == row.beginMonth && day >= row.beginDay);
        if (notAfterEnd && notBeforeBegin)
            return row.fraction;
    }
    return 0;
}

} // namespace parvela::models::test
