// The pattern shared by the six entities: statements, change detection, setters, sorting,
// defaults and keys.

#include "tests/entities/EntityTest.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplicationTypes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/DateTime.h"
#include "framework/MissingValues.h"

#include <gmock/gmock.h>

#include <functional>
#include <memory>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Columns without setters have none at all.
template <class T>
concept HasEndYearSetter = requires(T& item) {
    item.SetENDYEAR(1);
};
template <class T>
concept HasStartYearSetter = requires(T& item) {
    item.SetSTARTYEAR(1);
};
template <class T>
concept HasCaptionSetter = requires(T& item) {
    item.SetCAPTION(std::string());
};
static_assert(!HasEndYearSetter<TdciScenarios>);
static_assert(HasStartYearSetter<TdciScenarios>);
static_assert(!HasCaptionSetter<TdciApplicationTypes>);
static_assert(HasCaptionSetter<TdciApplicationSchemes>);

std::string OneLine(const std::string& sql) {
    std::string text;
    for (char c : sql)
        if (c != '\r')
            text += c == '\n' ? ' ' : c;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

struct SelectCase {
    const char* entity;
    std::function<std::unique_ptr<TDACDatabaseClass>(TDACDatabase&)> makeList;
    const char* select;
};

template <class List> std::function<std::unique_ptr<TDACDatabaseClass>(TDACDatabase&)> Maker() {
    return [](TDACDatabase& db) { return std::make_unique<List>(db); };
}

std::vector<SelectCase> SelectCases() {
    return {
        {"Projects", Maker<TdcProjects>(),
         "SELECT PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, MODIFICATIONDATE, BUSY, COMMENT, "
         "LOCKED FROM PROJECTS"},
        {"Assessments", Maker<TdcAssessments>(),
         "SELECT ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, SCENARIOID, SUBSTANCEGUID, "
         "APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, SELECTEDFOREXECUTION, ERRORMESSAGE, "
         "ASSESSMENTREPORT, VALIDRESULTS, CREATIONDATE, MODIFICATIONDATE, COMMENT FROM "
         "ASSESSMENTS"},
        {"Scenarios", Maker<TdcScenarios>(),
         "SELECT SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR, GLIDAR_DATA, MUNDRE_DATA, "
         "GLIDAR_METEO, MUNDRE_METEO, GLIDAR_POND, MUNDRE_RAIN FROM SCENARIOS"},
        {"ApplicationSchemes", Maker<TdcApplicationSchemes>(),
         "SELECT APPLICATIONSCHEMEID, CAPTION, DESCRIPTION, LOCKED FROM APPLICATIONSCHEMES"},
        {"Applications", Maker<TdcApplications>(),
         "SELECT APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, APPLICATIONDATE, DOSAGE, "
         "APPLICATIONPARAMETER, SPRAYDRIFTPERC FROM APPLICATIONS"},
        {"ApplicationTypes", Maker<TdcApplicationTypes>(),
         "SELECT APPLICATIONTYPEID, CAPTION, GLIDARCODE FROM APPLICATIONTYPES"},
    };
}

class EntityPatternTest : public EntityTest {};

TEST_P(EntityPatternTest, EachListSelectsItsColumnsInTableOrder) {
    for (const SelectCase& c : SelectCases()) {
        SCOPED_TRACE(c.entity);
        ClearLog();
        std::unique_ptr<TDACDatabaseClass> list = c.makeList(Db());
        list->Open();
        ASSERT_EQ(Statements("SELECT").size(), 1u);
        EXPECT_EQ(OneLine(Statements("SELECT")[0]), c.select);
    }
}

TEST_P(EntityPatternTest, DetailListsFilterOnTheReferencingColumn) {
    AddProject(17, "P");
    AddScheme(4, "S");
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (3, 'Sc')");
    TdcProjects projects(Db());
    projects.Open();
    TdcApplicationSchemes schemes(Db());
    schemes.Open();
    TdcScenarios scenarios(Db());
    scenarios.Open();
    ClearLog();
    projects.Item().Assessments().Open();
    schemes.Item().Applications().Open();
    schemes.Item().Assessments().Open();
    scenarios.Item().Assessments().Open();
    const auto selects = Statements("SELECT");
    ASSERT_EQ(selects.size(), 4u);
    EXPECT_THAT(OneLine(selects[0]), ::testing::EndsWith("FROM ASSESSMENTS WHERE PROJECTID=17"));
    EXPECT_THAT(OneLine(selects[1]),
                ::testing::EndsWith("FROM APPLICATIONS WHERE APPLICATIONSCHEMEID=4"));
    EXPECT_THAT(OneLine(selects[2]),
                ::testing::EndsWith("FROM ASSESSMENTS WHERE APPLICATIONSCHEMEID=4"));
    EXPECT_THAT(OneLine(selects[3]), ::testing::EndsWith("FROM ASSESSMENTS WHERE SCENARIOID=3"));
    // The detail list is made once and lives with its item.
    EXPECT_EQ(&projects.Item().Assessments(), &projects.Item().Assessments());
    EXPECT_EQ(projects.Item().Assessments().DefaultProjectID(), 17);
    EXPECT_EQ(schemes.Item().Applications().DefaultApplicationSchemeID(), 4);
    EXPECT_EQ(schemes.Item().Assessments().DefaultApplicationSchemeID(), 4);
    EXPECT_EQ(scenarios.Item().Assessments().DefaultScenarioID(), 3);
}

TEST_P(EntityPatternTest, DetailListsAreLockedOnlyThroughALockedOwner) {
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (3, 'Sc')");
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (4, 'Other')");
    TdcScenarios scenarios(Db());
    scenarios.Open();
    EXPECT_FALSE(scenarios.Item().Assessments().Locked());
    scenarios.SetLocked(true);
    scenarios.Next();
    TdcAssessments& locked = scenarios.Item().Assessments();
    EXPECT_TRUE(locked.Locked());
    locked.Open();
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { locked.Insert(); }),
              "The list of items is locked for inserts");
    EXPECT_FALSE(scenarios.Item().IsLocked()) << "a scenario has no lock of its own";
}

TEST_P(EntityPatternTest, ANewProjectIsInsertedWithItsKeyAndAllSevenColumns) {
    TdcProjects projects(Db());
    projects.Open();
    projects.Insert();
    TdciProjects& project = projects.Item();
    EXPECT_EQ(project.ItemState(), isInserted);
    EXPECT_EQ(project.CREATIONDATE(), project.MODIFICATIONDATE());
    EXPECT_FALSE(project.BUSY());
    EXPECT_FALSE(project.LOCKED());
    project.SetCAPTION("P");
    project.SetCREATIONDATE(EncodeDate(2024, 5, 6));
    project.SetMODIFICATIONDATE(EncodeDate(2024, 5, 7));
    ClearLog();
    EXPECT_TRUE(project.Save());
    EXPECT_THAT(Statements("INSERT"),
                ElementsAre(Format("INSERT INTO PROJECTS (PROJECTID,CAPTION,DESCRIPTION,"
                                   "CREATIONDATE,MODIFICATIONDATE,BUSY,COMMENT,LOCKED) "
                                   "VALUES(%d,'P','','2024-05-06','2024-05-07',False,'',False)",
                                   project.PROJECTID())));
    EXPECT_EQ(project.ItemState(), isBrowse);
    EXPECT_FALSE(project.Save());
}

TEST_P(EntityPatternTest, ASchemeWritesOnlyCaptionAndDescriptionAndReadsBackUnlocked) {
    TdcApplicationSchemes schemes(Db());
    schemes.Open();
    schemes.Insert();
    TdciApplicationSchemes& scheme = schemes.Item();
    scheme.SetCAPTION("Two sprays");
    scheme.SetLOCKED(true);
    ClearLog();
    scheme.Save();
    EXPECT_THAT(Statements("INSERT"),
                ElementsAre(Format("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID,CAPTION,"
                                   "DESCRIPTION) VALUES(%d,'Two sprays','')",
                                   scheme.APPLICATIONSCHEMEID())));
    schemes.Open();
    EXPECT_FALSE(schemes.Item().LOCKED()) << "the database default applies";
}

TEST_P(EntityPatternTest, LockedOfAProjectIsWrittenButNotCompared) {
    AddProject(17, "Old");
    TdcProjects projects(Db());
    projects.Open();
    TdciProjects& project = projects.Item();
    project.SetCAPTION("New");
    EXPECT_EQ(project.ItemState(), isEdited);
    project.SetLOCKED(true);
    ClearLog();
    project.Save();
    EXPECT_THAT(Statements("UPDATE"),
                ElementsAre("UPDATE PROJECTS SET CAPTION='New',LOCKED=True WHERE PROJECTID=17"));
    EXPECT_TRUE(
        QueryRows("SELECT LOCKED FROM PROJECTS WHERE PROJECTID=17").at(0).at(0).AsBoolean());
}

TEST_P(EntityPatternTest, AChangeOfLockedAloneLeavesAProjectUnchangedAndLocksIt) {
    AddProject(17, "Old");
    TdcProjects projects(Db());
    projects.Open();
    TdciProjects& project = projects.Item();
    project.SetLOCKED(true);
    EXPECT_EQ(project.ItemState(), isBrowse);
    ClearLog();
    EXPECT_FALSE(project.Save());
    EXPECT_TRUE(Statements("UPDATE").empty());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { project.SetCAPTION("New"); }),
              "This record is locked for editing");
    EXPECT_FALSE(project.CanDelete());
}

TEST_P(EntityPatternTest, LockedOfASchemeIsNeitherComparedNorWritten) {
    AddScheme(4, "Old");
    TdcApplicationSchemes schemes(Db());
    schemes.Open();
    TdciApplicationSchemes& scheme = schemes.Item();
    scheme.SetLOCKED(true);
    EXPECT_EQ(scheme.ItemState(), isBrowse);
    EXPECT_FALSE(scheme.Save());
    scheme.SetSkipLockCheck(true);
    scheme.SetDESCRIPTION("changed");
    EXPECT_EQ(scheme.ItemState(), isEdited);
    ClearLog();
    scheme.Save();
    EXPECT_THAT(Statements("UPDATE"),
                ElementsAre("UPDATE APPLICATIONSCHEMES SET DESCRIPTION='changed' WHERE "
                            "APPLICATIONSCHEMEID=4"));
    EXPECT_FALSE(QueryRows("SELECT LOCKED FROM APPLICATIONSCHEMES WHERE APPLICATIONSCHEMEID=4")
                     .at(0)
                     .at(0)
                     .AsBoolean());
}

// Each case changes one column of a loaded row and sets it back.
struct ChangeBackCase {
    const char* column;
    std::function<void(TdciAssessments&, bool changed)> set;
};

TEST_P(EntityPatternTest, SettingAColumnBackToItsStoredValueReturnsToBrowse) {
    AddAssessment(8, 1, 2);
    const std::vector<ChangeBackCase> cases = {
        {"CAPTION", [](TdciAssessments& a, bool c) { a.SetCAPTION(c ? "a" : "A"); }},
        {"PROJECTID", [](TdciAssessments& a, bool c) { a.SetPROJECTID(c ? 2 : 1); }},
        {"SELECTEDFOREXECUTION", [](TdciAssessments& a, bool c) { a.SetSELECTEDFOREXECUTION(c); }},
        {"VALIDRESULTS", [](TdciAssessments& a, bool c) { a.SetVALIDRESULTS(c); }},
        {"CREATIONDATE",
         [](TdciAssessments& a, bool c) {
             a.SetCREATIONDATE(c ? EncodeDateTime(2021, 1, 5, 8, 30, 1)
                                 : EncodeDateTime(2021, 1, 5, 8, 30, 0));
         }},
        {"ERRORMESSAGE", [](TdciAssessments& a, bool c) { a.SetERRORMESSAGE(c ? "" : "errors"); }},
    };
    TdcAssessments list(Db());
    list.Open();
    for (const ChangeBackCase& c : cases) {
        SCOPED_TRACE(c.column);
        c.set(list.Item(), true);
        EXPECT_EQ(list.Item().ItemState(), isEdited);
        c.set(list.Item(), false);
        EXPECT_EQ(list.Item().ItemState(), isBrowse);
    }
    ClearLog();
    EXPECT_FALSE(list.Item().Save());
    EXPECT_TRUE(Statements("UPDATE").empty());
}

TEST_P(EntityPatternTest, AScenarioCopyKeepsEveryColumnIncludingTheEndYear) {
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR, "
              "GLIDAR_data, MUNDRE_data, GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, MUNDRE_rain) "
              "VALUES (3, 'Vercelli', 'Italy', 1990, 2010, 'g', 'm', 'gm', 'mm', 'gp', 'mr')");
    TdcScenarios scenarios(Db());
    scenarios.Open();
    TdciScenarios& copy = scenarios.Item().CopyItem();
    EXPECT_EQ(scenarios.GetObjectListIndex(), 1);
    EXPECT_EQ(copy.ItemState(), isInserted);
    EXPECT_EQ(copy.CAPTION(), "Vercelli");
    EXPECT_EQ(copy.STARTYEAR(), 1990);
    EXPECT_EQ(copy.ENDYEAR(), 2010);
    ClearLog();
    copy.Save();
    EXPECT_THAT(Statements("INSERT"),
                ElementsAre(Format("INSERT INTO SCENARIOS (SCENARIOID,CAPTION,DESCRIPTION,"
                                   "STARTYEAR,ENDYEAR,GLIDAR_data,MUNDRE_data,GLIDAR_meteo,"
                                   "MUNDRE_meteo,GLIDAR_pond,MUNDRE_rain) VALUES(%d,'Vercelli',"
                                   "'Italy',1990,2010,'g','m','gm','mm','gp','mr')",
                                   copy.SCENARIOID())));
}

TEST_P(EntityPatternTest, AScenarioWithAnEmptyCaptionIsSaved) {
    TdcScenarios scenarios(Db());
    scenarios.Open();
    scenarios.Insert();
    EXPECT_EQ(scenarios.Item().STARTYEAR(), 0);
    EXPECT_EQ(scenarios.Item().ENDYEAR(), 0);
    EXPECT_TRUE(scenarios.Item().Save());
    EXPECT_EQ(CountRows("SCENARIOS"), 1);
}

TEST_P(EntityPatternTest, CancelledNewItemsLeaveGapsInTheKeys) {
    struct KeyCase {
        const char* table;
        std::function<std::unique_ptr<TDACDatabaseClass>(TDACDatabase&)> makeList;
    };
    const std::vector<KeyCase> cases = {{"PROJECTS", Maker<TdcProjects>()},
                                        {"ASSESSMENTS", Maker<TdcAssessments>()},
                                        {"SCENARIOS", Maker<TdcScenarios>()},
                                        {"APPLICATIONSCHEMES", Maker<TdcApplicationSchemes>()},
                                        {"APPLICATIONS", Maker<TdcApplications>()}};
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.table);
        std::unique_ptr<TDACDatabaseClass> list = c.makeList(Db());
        list->Open();
        list->Insert();
        const std::string first = list->Item().ItemID();
        list->Item().CancelChanges();
        list->Delete();
        list->Insert();
        EXPECT_EQ(std::stoi(list->Item().ItemID()), std::stoi(first) + 1);
        list->Delete();
    }
}

TEST_P(EntityPatternTest, DefaultsOfNewItems) {
    TdcAssessments assessments(Db());
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { assessments.DefaultProjectID(); }),
              "Default value not set");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { assessments.DefaultScenarioID(); }),
              "Default value not set");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { assessments.DefaultApplicationSchemeID(); }),
              "Default value not set");
    assessments.Open();
    assessments.Insert();
    const TdciAssessments& loose = assessments.Item();
    EXPECT_EQ(loose.PROJECTID(), MissingInteger);
    EXPECT_EQ(loose.SCENARIOID(), 0);
    EXPECT_EQ(loose.APPLICATIONSCHEMEID(), 1);
    EXPECT_EQ(loose.SUBSTANCEGUID(), "99");
    EXPECT_FALSE(loose.VALIDRESULTS());
    EXPECT_FALSE(loose.SELECTEDFOREXECUTION());
    EXPECT_EQ(loose.CREATIONDATE(), loose.MODIFICATIONDATE());
    assessments.SetDefaultProjectID(17);
    assessments.SetDefaultScenarioID(3);
    assessments.SetDefaultApplicationSchemeID(4);
    assessments.Insert();
    EXPECT_EQ(assessments.Item().PROJECTID(), 17);
    EXPECT_EQ(assessments.Item().SCENARIOID(), 3);
    EXPECT_EQ(assessments.Item().APPLICATIONSCHEMEID(), 4);

    TdcApplications applications(Db());
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { applications.DefaultApplicationTypeID(); }),
              "Default value not set");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { applications.DefaultApplicationSchemeID(); }),
              "Default value not set");
    applications.Open();
    applications.Insert();
    EXPECT_EQ(applications.Item().APPLICATIONSCHEMEID(), MissingInteger);
    EXPECT_EQ(applications.Item().APPLICATIONTYPEID(), 1);
    EXPECT_EQ(applications.Item().DOSAGE(), 0.0);
}

TEST_P(EntityPatternTest, ANewAssessmentOutsideAProjectIsWrittenWithANullProject) {
    TdcAssessments assessments(Db());
    assessments.Open();
    assessments.Insert();
    TdciAssessments& item = assessments.Item();
    item.SetCAPTION("Loose");
    item.SetSCENARIOID(3);
    ASSERT_TRUE(item.Save());
    const auto rows = QueryRows(
        Format("SELECT PROJECTID, APPLICATIONSCHEMEID, SUBSTANCEGUID FROM ASSESSMENTS WHERE "
               "ASSESSMENTID=%d",
               item.ASSESSMENTID()));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0][0].IsNull());
    EXPECT_EQ(rows[0][1].AsInteger(), 1);
    EXPECT_EQ(rows[0][2].AsString(), "99");
}

TEST_P(EntityPatternTest, SortOnItemIDComparesTextsSoTenComesBeforeNine) {
    for (int id : {9, 100, 10})
        AddScheme(id, "S" + std::to_string(id));
    TdcApplicationSchemes schemes(Db());
    schemes.Open();
    std::vector<std::string> order;
    schemes.SortOnItemID(true);
    for (schemes.First(); !schemes.Eof(); schemes.Next())
        order.push_back(schemes.Item().ItemID());
    EXPECT_THAT(order, ElementsAre("10", "100", "9"));
    order.clear();
    schemes.SortOnItemID(false);
    for (schemes.First(); !schemes.Eof(); schemes.Next())
        order.push_back(schemes.Item().ItemID());
    EXPECT_THAT(order, ElementsAre("9", "100", "10"));
}

std::vector<int> ApplicationOrder(TdcApplications& list) {
    std::vector<int> ids;
    for (list.First(); !list.Eof(); list.Next())
        ids.push_back(list.Item().APPLICATIONID());
    return ids;
}

TEST_P(EntityPatternTest, SortOnFieldByIndex) {
    AddApplication(1, 4, "2020-06-02 18:00:00", 2.5, 0, 0, 2);
    AddApplication(2, 4, "2020-05-20 07:00:00", 0.5, 0, 0, 1);
    AddApplication(3, 4, "2020-06-02 06:00:00", 1.0, 0, 0, 3);
    TdcApplications list(Db());
    list.Open();
    list.SortOnField(4, true); // DOSAGE
    EXPECT_THAT(ApplicationOrder(list), ElementsAre(2, 3, 1));
    list.SortOnField(2, false); // APPLICATIONTYPEID
    EXPECT_THAT(ApplicationOrder(list), ElementsAre(3, 1, 2));
    list.SortOnField(0, false); // the key
    EXPECT_THAT(ApplicationOrder(list), ElementsAre(3, 2, 1));
    // By date: 2 comes first; 1 and 3 fall on one day and compare equal (see below), so
    // their order is not fixed.
    list.SortOnField(3, true);
    EXPECT_EQ(ApplicationOrder(list).front(), 2);
    EXPECT_EQ(MessageOf<Exception>([&] { list.SortOnField(7, true); }), "internal error");
    EXPECT_EQ(MessageOf<Exception>([&] { list.SortOnField(-1, true); }), "internal error");
}

TEST_P(EntityPatternTest, DateTimesOnTheSameDayAreEqualForSorting) {
    AddApplication(1, 4, "2020-06-02 23:00:00", 1);
    AddApplication(2, 4, "2020-06-02 01:00:00", 1);
    AddApplication(3, 4, "2020-06-03 00:00:00", 1);
    TdcApplications list(Db());
    list.Open();
    std::vector<const TDACDatabaseClassItem*> items;
    for (list.First(); !list.Eof(); list.Next())
        items.push_back(&list.Item());
    ASSERT_EQ(items.size(), 3u);
    static constexpr int sortColumns[] = {PARVELA_SORT_COLUMNS(Applications)};
    const auto less = EntityColumnOrder(3, true, sortColumns, [](const TDACDatabaseClassItem& i) {
        return static_cast<const TdciApplications&>(i).APPLICATIONID();
    });
    EXPECT_FALSE(less(*items[0], *items[1]));
    EXPECT_FALSE(less(*items[1], *items[0]));
    EXPECT_TRUE(less(*items[1], *items[2]));
    EXPECT_FALSE(less(*items[2], *items[0]));
}

TEST_P(EntityPatternTest, ScenariosSortOnlyOnTheirFirstSevenColumns) {
    // Sort indexes 3 to 6 are the first four data columns, not the years.
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, STARTYEAR, GLIDAR_data, "
              "MUNDRE_meteo) VALUES (1, 'b', 1, 'x', 'z')");
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, STARTYEAR, GLIDAR_data, "
              "MUNDRE_meteo) VALUES (2, 'A', 2, 'w', 'y')");
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, STARTYEAR, GLIDAR_data, "
              "MUNDRE_meteo) VALUES (3, 'c', 3, 'v', 'zz')");
    TdcScenarios scenarios(Db());
    scenarios.Open();
    const auto firstAfterSort = [&](int index, bool ascending) {
        scenarios.SortOnField(index, ascending);
        scenarios.First();
        return scenarios.Item().SCENARIOID();
    };
    EXPECT_EQ(firstAfterSort(3, true), 3);  // GLIDAR_data
    EXPECT_EQ(firstAfterSort(6, true), 2);  // MUNDRE_meteo
    EXPECT_EQ(firstAfterSort(6, false), 3); // MUNDRE_meteo
    EXPECT_EQ(firstAfterSort(0, false), 3);
    scenarios.SortOnField(1, false); // CAPTION ignoring case: c, b, A
    scenarios.First();
    EXPECT_EQ(scenarios.Item().CAPTION(), "c");
    scenarios.Next();
    EXPECT_EQ(scenarios.Item().CAPTION(), "b");
    for (int index : {7, 8, 10, 11}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(MessageOf<Exception>([&] { scenarios.SortOnField(index, true); }),
                  "internal error");
    }
    TdcAssessments assessments(Db());
    assessments.Open();
    EXPECT_NO_THROW(assessments.SortOnField(14, true));
    EXPECT_EQ(MessageOf<Exception>([&] { assessments.SortOnField(15, true); }), "internal error");
}

TEST_P(EntityPatternTest, TypedItemOfAnEmptyListNamesTheList) {
    TdcProjects projects(Db());
    EXPECT_EQ(projects.Count(), -1);
    projects.Open();
    EXPECT_EQ(projects.Count(), 0);
    EXPECT_EQ(MessageOf<Exception>([&] { projects.Item(); }),
              "TdcProjects.Item : Cannot return item when empty or at bof or at eof");
}

TEST_P(EntityPatternTest, ColumnNamesComeFromTheDefinitions) {
    EXPECT_EQ(TrsdProjects::PROJECTID(), "PROJECTID");
    EXPECT_EQ(TrsdScenarios::GLIDAR_data(), "GLIDAR_data");
    EXPECT_EQ(TrsdScenarios::GetSingleton().FieldName(5), "GLIDAR_DATA");
    EXPECT_EQ(TrsdAssessments::GetSingleton().FieldType("SELECTEDFOREXECUTION"), ftString);
    EXPECT_EQ(TrsdAssessments::GetSingleton().FieldType("VALIDRESULTS"), ftBoolean);
    EXPECT_EQ(TrsdProjects::GetSingleton().FieldType("LOCKED"), ftString);
    EXPECT_EQ(TrsdApplications::GetSingleton().FieldType("DOSAGE"), ftFloat);
    EXPECT_EQ(TrsdApplications::GetSingleton().KeyField(), "APPLICATIONID");
    EXPECT_EQ(TrsdApplicationTypes::GetSingleton().FromTable(), "APPLICATIONTYPES");
    EXPECT_EQ(TrsdApplicationTypes::GetSingleton().UpdateTable(), "APPLICATIONTYPES");
    EXPECT_EQ(TrsdApplicationSchemes::GetSingleton().FieldCount(), 4);
    EXPECT_EQ(TrsdAssessments::GetSingleton().FieldCount(), 15);
    EXPECT_EQ(TrsdScenarios::GetSingleton().FieldCount(), 11);
}

PARVELA_INSTANTIATE_DATABASE_TEST(EntityPatternTest);

} // namespace
} // namespace parvela::test
