// The schema and the reference data of a new database, on both engines.

#include "framework/TDACDatabase.h"
#include "platform/Exceptions.h"
#include "tests/support/TestDatabase.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace parvela {
namespace {

using test::DatabaseTest;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

struct TableColumns {
    const char* table;
    std::vector<std::string> columns;
};

const TableColumns ExpectedTables[] = {
    {"PROJECTS",
     {"PROJECTID", "CAPTION", "DESCRIPTION", "CREATIONDATE", "MODIFICATIONDATE", "BUSY", "COMMENT",
      "LOCKED"}},
    {"ASSESSMENTS",
     {"ASSESSMENTID", "CAPTION", "DESCRIPTION", "PROJECTID", "SCENARIOID", "SUBSTANCEGUID",
      "APPLICATIONSCHEMEID", "SUBSTANCECHECKSUM", "SELECTEDFOREXECUTION", "ERRORMESSAGE",
      "ASSESSMENTREPORT", "VALIDRESULTS", "CREATIONDATE", "MODIFICATIONDATE", "COMMENT"}},
    {"SCENARIOS",
     {"SCENARIOID", "CAPTION", "DESCRIPTION", "STARTYEAR", "ENDYEAR", "GLIDAR_data", "MUNDRE_data",
      "GLIDAR_meteo", "MUNDRE_meteo", "GLIDAR_pond", "MUNDRE_rain"}},
    {"APPLICATIONSCHEMES", {"APPLICATIONSCHEMEID", "CAPTION", "DESCRIPTION", "LOCKED"}},
    {"APPLICATIONS",
     {"APPLICATIONID", "APPLICATIONSCHEMEID", "APPLICATIONTYPEID", "APPLICATIONDATE", "DOSAGE",
      "APPLICATIONPARAMETER", "SPRAYDRIFTPERC"}},
    {"APPLICATIONTYPES", {"APPLICATIONTYPEID", "CAPTION", "GLIDARCODE"}},
    {"SYSTABLES", {"TABLENAME", "HIGHESTID"}},
    {"Interceptions",
     {"InterceptionID", "ScenarioID", "BBCH_ID", "BeginDay", "BeginMonth", "EndDay", "EndMonth",
      "InterceptionFraction"}},
    {"BBCH", {"ID", "Code", "Description"}},
};

class SchemaTest : public DatabaseTest {
protected:
    std::int64_t Count(const std::string& fromWhere) {
        return QueryRows("SELECT COUNT(*) FROM " + fromWhere).front().front().AsInteger();
    }

    void InsertAssessment(int id, int project, int scenario, int scheme) {
        Db().ExecSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, PROJECTID, SCENARIOID, "
                     "APPLICATIONSCHEMEID) VALUES (" +
                     std::to_string(id) + ", 'a', " + std::to_string(project) + ", " +
                     std::to_string(scenario) + ", " + std::to_string(scheme) + ")");
    }
};

TEST_P(SchemaTest, TablesHaveTheirColumnsInOrder) {
    for (const TableColumns& expected : ExpectedTables) {
        std::vector<std::string> names;
        auto query = Db().OpenQuery(std::string("SELECT * FROM ") + expected.table);
        for (int i = 0; i < query->FieldCount(); ++i)
            names.push_back(Upper(query->FieldName(i)));
        std::vector<std::string> wanted;
        for (const std::string& column : expected.columns)
            wanted.push_back(Upper(column));
        EXPECT_EQ(names, wanted) << expected.table;
    }
}

// SQLite keeps the letter case of the definition; PostgreSQL folds unquoted names to lower
// case, which the queries' lookups by name ignore.
TEST_P(SchemaTest, ColumnNamesKeepTheLetterCaseOfTheEngine) {
    auto named = [this](const char* name) {
        if (IsSQLite())
            return std::string(name);
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    };
    const auto scenarios = test::QueryColumnNames(ConnectionString(), "SELECT * FROM SCENARIOS");
    EXPECT_THAT(scenarios, ::testing::Contains(named("GLIDAR_data")));
    EXPECT_THAT(scenarios, ::testing::Contains(named("MUNDRE_rain")));
    const auto interceptions =
        test::QueryColumnNames(ConnectionString(), "SELECT * FROM Interceptions");
    EXPECT_THAT(interceptions, ::testing::Contains(named("InterceptionFraction")));
    EXPECT_THAT(interceptions, ::testing::Contains(named("BBCH_ID")));
}

TEST_P(SchemaTest, NamesReachTheTablesInAnyLetterCase) {
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "bbch", "").AsInteger(),
              Db().SelectValue("COUNT(*)", "BBCH", "").AsInteger());
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "INTERCEPTIONS", "").AsInteger(), 0);
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "Interceptions", "scenarioID = 1").AsInteger(), 0);
    EXPECT_EQ(Db().SelectValue("COUNT(*)", "systables", "").AsInteger(), 0);
}

TEST_P(SchemaTest, ReferenceDataComesWithTheDatabase) {
    const auto types =
        QueryRows("SELECT APPLICATIONTYPEID, CAPTION, GLIDARCODE FROM APPLICATIONTYPES");
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0][0].AsInteger(), 1);
    EXPECT_FALSE(types[0][1].AsString().empty());
    EXPECT_EQ(types[0][2].AsString(), "AppCrpUsr");

    std::set<std::string> codes;
    for (const auto& row : QueryRows("SELECT Code, Description FROM BBCH")) {
        const std::string code = row[0].AsString();
        EXPECT_EQ(code.size(), 2u) << code;
        EXPECT_TRUE(std::all_of(code.begin(), code.end(), ::isdigit)) << code;
        EXPECT_FALSE(row[1].AsString().empty()) << code;
        EXPECT_TRUE(codes.insert(code).second) << "duplicate " << code;
    }
    // The principal growth stages 0 to 9 of rice.
    for (const char* principal : {"00", "10", "21", "30", "41", "51", "61", "71", "85", "97", "99"})
        EXPECT_TRUE(codes.count(principal)) << principal;
}

TEST_P(SchemaTest, BooleanColumnsDefaultToFalse) {
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID) VALUES (1)");
    Db().ExecSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID) VALUES (1)");
    Db().ExecSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID) VALUES (1)");
    auto project = Db().OpenQuery("SELECT BUSY, LOCKED FROM PROJECTS");
    EXPECT_EQ(project->FieldByName("BUSY").AsString(), "False");
    EXPECT_EQ(project->FieldByName("LOCKED").AsString(), "False");
    auto assessment = Db().OpenQuery("SELECT SELECTEDFOREXECUTION, VALIDRESULTS FROM ASSESSMENTS");
    EXPECT_EQ(assessment->FieldByName("SELECTEDFOREXECUTION").AsString(), "False");
    EXPECT_FALSE(assessment->FieldByName("VALIDRESULTS").AsBoolean());
    auto scheme = Db().OpenQuery("SELECT LOCKED FROM APPLICATIONSCHEMES");
    EXPECT_EQ(scheme->FieldByName("LOCKED").AsString(), "False");
    // The driver reports every one of them as a boolean column, not as text or a number.
    for (const auto* query : {project.get(), assessment.get(), scheme.get()})
        for (int i = 0; i < query->FieldCount(); ++i)
            EXPECT_EQ(query->FieldByName(query->FieldName(i)).AsVariant().GetKind(),
                      TVariant::Kind::Boolean)
                << query->FieldName(i);
}

TEST_P(SchemaTest, KeysAreUnique) {
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID) VALUES (1)");
    EXPECT_THROW(Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID) VALUES (1)"), EDatabaseError);
    Db().ExecSQL("INSERT INTO SYSTABLES VALUES('PROJECTS', -1)");
    EXPECT_THROW(Db().ExecSQL("INSERT INTO SYSTABLES VALUES('PROJECTS', 5)"), EDatabaseError);
}

TEST_P(SchemaTest, RowsMayNameParentsThatDoNotExist) {
    // A new assessment carries scheme 1 and possibly no project or scenario yet.
    InsertAssessment(1, 99, 0, 1);
    Db().ExecSQL("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, "
                 "APPLICATIONTYPEID) VALUES (1, 42, 7)");
    EXPECT_EQ(Count("ASSESSMENTS"), 1);
    EXPECT_EQ(Count("APPLICATIONS"), 1);
}

TEST_P(SchemaTest, DeletingAProjectDeletesItsAssessments) {
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (1, 'one')");
    Db().ExecSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (2, 'two')");
    InsertAssessment(10, 1, 5, 1);
    InsertAssessment(11, 1, 6, 1);
    InsertAssessment(12, 2, 5, 1);
    Db().ExecSQL("DELETE FROM PROJECTS WHERE PROJECTID=1");
    EXPECT_EQ(Count("PROJECTS"), 1);
    const auto rows = QueryRows("SELECT ASSESSMENTID FROM ASSESSMENTS");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].AsInteger(), 12);
}

TEST_P(SchemaTest, DeletingAScenarioDeletesItsAssessmentsAndInterceptions) {
    Db().ExecSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (5, 'Vercelli')");
    Db().ExecSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (6, 'Valencia')");
    InsertAssessment(10, 1, 5, 1);
    InsertAssessment(11, 1, 6, 1);
    for (int id = 1; id <= 4; ++id)
        Db().ExecSQL("INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, BeginDay, "
                     "BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES (" +
                     std::to_string(id) + ", " + (id <= 3 ? "5" : "6") + ", 1, 1, 5, 31, 5, 0.25)");
    Db().ExecSQL("DELETE FROM SCENARIOS WHERE SCENARIOID=5");
    EXPECT_EQ(Count("ASSESSMENTS WHERE SCENARIOID=5"), 0);
    EXPECT_EQ(Count("ASSESSMENTS WHERE SCENARIOID=6"), 1);
    EXPECT_EQ(Count("Interceptions WHERE ScenarioID=5"), 0);
    EXPECT_EQ(Count("Interceptions WHERE ScenarioID=6"), 1);
}

TEST_P(SchemaTest, DeletingASchemeDeletesItsApplications) {
    Db().ExecSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION) VALUES (1, 'a')");
    Db().ExecSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION) VALUES (2, 'b')");
    for (int id = 1; id <= 3; ++id)
        Db().ExecSQL("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID) VALUES (" +
                     std::to_string(id) + ", " + (id <= 2 ? "1" : "2") + ")");
    InsertAssessment(10, 1, 5, 1);
    Db().ExecSQL("DELETE FROM APPLICATIONSCHEMES WHERE APPLICATIONSCHEMEID=1");
    const auto rows = QueryRows("SELECT APPLICATIONID FROM APPLICATIONS");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].AsInteger(), 3);
    // Assessments are not the scheme's dependents.
    EXPECT_EQ(Count("ASSESSMENTS"), 1);
}

TEST_P(SchemaTest, InterceptionJoinReadsCodeAndDescriptionByBareName) {
    Db().ExecSQL("INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, BeginDay, "
                 "BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES "
                 "(2, 1, 3, 1, 6, 30, 6, 0.5)");
    Db().ExecSQL("INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, BeginDay, "
                 "BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES "
                 "(1, 1, 1, 1, 5, 31, 5, 0.1)");
    auto query = Db().OpenQuery(
        std::string(" select Interceptions.*, BBCH.* from Interceptions, BBCH where "
                    "Interceptions.ScenarioID = ") +
        "1" + " and Interceptions.BBCH_ID = BBCH.ID" + " order by Interceptions.InterceptionID");
    ASSERT_FALSE(query->Eof());
    EXPECT_EQ(query->FieldByName("InterceptionID").AsInteger(), 1);
    EXPECT_EQ(query->FieldByName("Code").AsString(), "00");
    EXPECT_EQ(query->FieldByName("Description").AsString(), "Dry seed (caryopsis)");
    EXPECT_DOUBLE_EQ(query->FieldByName("InterceptionFraction").AsFloat(), 0.1);
    query->Next();
    EXPECT_EQ(query->FieldByName("InterceptionID").AsInteger(), 2);
    EXPECT_EQ(query->FieldByName("EndDay").AsInteger(), 30);
    query->Next();
    EXPECT_TRUE(query->Eof());

    auto writer = Db().OpenQuery("Select * from Interceptions where scenarioID = 1 order by "
                                 "InterceptionID");
    EXPECT_EQ(writer->FieldByName("BBCH_ID").AsInteger(), 1);
}

PARVELA_INSTANTIATE_DATABASE_TEST(SchemaTest);

} // namespace
} // namespace parvela
