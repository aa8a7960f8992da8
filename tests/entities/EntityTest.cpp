#include "tests/entities/EntityTest.h"

#include "framework/Format.h"
#include "framework/TDACSaver.h"

namespace parvela::test {

void EntityTest::SetUp() {
    DatabaseTest::SetUp();
    TDACSaver::CreateSingleton(Db());
    Db().SetStatementLog(&log_);
}

void EntityTest::TearDown() {
    Db().SetStatementLog(nullptr);
    TDACSaver::DestroySingleton();
    DatabaseTest::TearDown();
}

std::vector<std::string> EntityTest::Statements(const std::string& firstWord) const {
    std::vector<std::string> found;
    for (const std::string& sql : log_)
        if (sql.rfind(firstWord, 0) == 0 && sql.find("SYSTABLES") == std::string::npos)
            found.push_back(sql);
    return found;
}

void EntityTest::AddProject(int id, const std::string& caption, bool locked) {
    RunRawSQL(Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
                     "MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES (%d, '%s', 'D', "
                     "'2020-03-01 10:00:00', '2020-03-02 11:00:00', FALSE, 'C', %s)",
                     id, caption, Bool(locked)));
}

void EntityTest::AddAssessment(int id, int projectID, int schemeID, bool validResults,
                               bool selected, const std::string& caption) {
    RunRawSQL(Format("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                     "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
                     "SELECTEDFOREXECUTION, ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, "
                     "CREATIONDATE, MODIFICATIONDATE, COMMENT) VALUES (%d, '%s', 'Desc', %d, 3, "
                     "'{GUID-1}', %d, 'SUM1', %s, 'errors', 'report@lines', %s, "
                     "'2021-01-05 08:30:00', '2021-01-06 09:45:00', 'note')",
                     id, caption, projectID, schemeID, Bool(selected), Bool(validResults)));
}

void EntityTest::AddScheme(int id, const std::string& caption, bool locked) {
    RunRawSQL(Format("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION, "
                     "LOCKED) VALUES (%d, '%s', 'About %s', %s)",
                     id, caption, caption, Bool(locked)));
}

void EntityTest::AddApplication(int id, int schemeID, const std::string& date, double dosage,
                                double parameter, double sprayDrift, int typeID) {
    RunRawSQL(Format("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, "
                     "APPLICATIONTYPEID, APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, "
                     "SPRAYDRIFTPERC) VALUES (%d, %d, %d, '%s', %s, %s, %s)",
                     id, schemeID, typeID, date, FloatToStrGeneral(dosage),
                     FloatToStrGeneral(parameter), FloatToStrGeneral(sprayDrift)));
}

long long EntityTest::CountRows(const std::string& fromAndWhere) const {
    return QueryRows("SELECT COUNT(*) FROM " + fromAndWhere).at(0).at(0).AsInteger();
}

void EntityTest::RefuseSecondChild(const std::string& table, const std::string& parentColumn) {
    const std::string sibling = Format("(SELECT COUNT(*) FROM %s WHERE %s = NEW.%s) >= 1", table,
                                       parentColumn, parentColumn);
    if (IsSQLite()) {
        RunRawSQL(Format("CREATE TRIGGER %s_REFUSE_SECOND BEFORE INSERT ON %s WHEN %s BEGIN "
                         "SELECT RAISE(ABORT, 'second child refused'); END",
                         table, table, sibling));
        return;
    }
    RunRawSQL(Format("CREATE FUNCTION %s_REFUSE_SECOND() RETURNS TRIGGER LANGUAGE plpgsql AS "
                     "'BEGIN IF %s THEN RAISE EXCEPTION ''second child refused''; END IF; "
                     "RETURN NEW; END;'",
                     table, sibling));
    RunRawSQL(Format("CREATE TRIGGER %s_REFUSE_SECOND BEFORE INSERT ON %s FOR EACH ROW EXECUTE "
                     "FUNCTION %s_REFUSE_SECOND()",
                     table, table, table));
}

} // namespace parvela::test
