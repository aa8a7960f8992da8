#include "tests/framework/FrameworkDatabaseTest.h"

#include "framework/TDACSaver.h"

namespace parvela::test {

namespace {

std::string RealType(Engine engine) {
    return engine == Engine::SQLite ? "DOUBLE" : "DOUBLE PRECISION";
}

} // namespace

void FrameworkDatabaseTest::SetUp() {
    database_ = std::make_unique<TestDatabase>(GetEngine(), Content::Empty);
    CreateTestTables();
    TDACSaver::CreateSingleton(Db());
    Db().SetStatementLog(&log_);
}

void FrameworkDatabaseTest::TearDown() {
    TDACSaver::DestroySingleton();
    if (database_)
        Db().SetStatementLog(nullptr);
    database_.reset();
}

void FrameworkDatabaseTest::Exec(const std::string& sql) {
    Db().SetStatementLog(nullptr);
    try {
        Db().ExecSQL(sql);
    } catch (...) {
        Db().SetStatementLog(&log_);
        throw;
    }
    Db().SetStatementLog(&log_);
}

void FrameworkDatabaseTest::CreateTestTables() {
    Exec("CREATE TABLE SYSTABLES (TABLENAME VARCHAR(255) NOT NULL PRIMARY KEY, "
         "HIGHESTID INTEGER)");
    // No primary key: the saver's duplicate-key check needs two rows with one key. AMOUNT
    // refuses large values so that a statement can be made to fail.
    Exec("CREATE TABLE TESTITEMS (TESTITEMID INTEGER, CAPTION VARCHAR(255), "
         "AMOUNT INTEGER CHECK (AMOUNT < 1000), RATIO " +
         RealType(GetEngine()) + ", MEASURED TIMESTAMP, ACTIVE BOOLEAN, LOCKED BOOLEAN)");
}

void FrameworkDatabaseTest::CreateProjectsTable() {
    Exec("CREATE TABLE PROJECTS (PROJECTID INTEGER NOT NULL PRIMARY KEY, "
         "CAPTION VARCHAR(255), BUSY BOOLEAN)");
}

void FrameworkDatabaseTest::CreateAssessmentsTable() {
    Exec("CREATE TABLE ASSESSMENTS (ASSESSMENTID INTEGER NOT NULL PRIMARY KEY, "
         "CAPTION VARCHAR(255), PROJECTID INTEGER)");
}

void FrameworkDatabaseTest::RefuseDeletes(const std::string& table) {
    if (IsSQLite()) {
        Exec("CREATE TRIGGER " + table + "_REFUSE_DELETE BEFORE DELETE ON " + table +
             " BEGIN SELECT RAISE(ABORT, 'deletes refused'); END");
        return;
    }
    Exec("CREATE FUNCTION REFUSE_DELETE() RETURNS TRIGGER AS "
         "'BEGIN RAISE EXCEPTION ''deletes refused''; END;' LANGUAGE plpgsql");
    Exec("CREATE TRIGGER " + table + "_REFUSE_DELETE BEFORE DELETE ON " + table +
         " FOR EACH ROW EXECUTE FUNCTION REFUSE_DELETE()");
}

} // namespace parvela::test
