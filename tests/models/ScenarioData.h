// The delivered scenario script loaded into a new SQLite database made with the schema and
// the reference data, and the rows the model writers read from it.
#pragma once

#include "tests/models/ModelTestSupport.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace parvela::models::test {

struct ScenarioRow {
    int id;
    std::string caption;
    int startYear;
    int endYear;
    std::string glidarData, mundreData, glidarMeteo, mundreMeteo, glidarPond, mundreRain;
};

struct InterceptionRow {
    int scenarioId, bbchId, beginDay, beginMonth, endDay, endMonth;
    double fraction;
};

std::string ScriptText(const std::string& relativePath);

class ScenarioDatabase {
public:
    ScenarioDatabase();
    ~ScenarioDatabase();
    ScenarioDatabase(const ScenarioDatabase&) = delete;
    ScenarioDatabase& operator=(const ScenarioDatabase&) = delete;

    std::vector<ScenarioRow> Scenarios() const;
    std::vector<InterceptionRow> Interceptions(int scenarioId) const;
    // Rows of a query as texts, NULL as "<null>".
    std::vector<std::vector<std::string>> Query(const std::string& sql) const;
    long long Count(const std::string& sql) const;

private:
    sqlite3* db_ = nullptr;
};

// The fraction that the GLIDAR writer writes for a crop application on the date: the first
// period of the year that holds the date, else 0.
double InterceptionFraction(const std::vector<InterceptionRow>& rows, int month, int day);

} // namespace parvela::models::test
