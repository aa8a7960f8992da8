#pragma once
// The entity tests: a fresh database with the program's schema per test on each engine, the
// saver singleton on it, the statement log switched on, and rows written behind the
// program's back.

#include "tests/support/TestDatabase.h"

#include "framework/Format.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parvela::test {

class EntityTest : public DatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // The logged statements that begin with the word (SELECT, INSERT, UPDATE, DELETE),
    // without the counter's own statements.
    std::vector<std::string> Statements(const std::string& firstWord) const;

    static std::string Bool(bool value) { return value ? "TRUE" : "FALSE"; }

    // Rows as the database would hold them.
    void AddProject(int id, const std::string& caption, bool locked = false);
    void AddAssessment(int id, int projectID, int schemeID, bool validResults = false,
                       bool selected = false, const std::string& caption = "A");
    void AddScheme(int id, const std::string& caption, bool locked = false);
    void AddApplication(int id, int schemeID, const std::string& date, double dosage,
                        double parameter = 0, double sprayDrift = 0, int typeID = 1);
    // The number of rows of a query "SELECT COUNT(*) FROM ...".
    long long CountRows(const std::string& fromAndWhere) const;

    // From now on an INSERT into the table fails when the table already holds a row with
    // the same value in `parentColumn`: the second child of one parent is refused.
    void RefuseSecondChild(const std::string& table, const std::string& parentColumn);

private:
    std::vector<std::string> log_;
};

template <class E, class F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no failure>";
}

} // namespace parvela::test
