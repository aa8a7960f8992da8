// Reading rows through the entity classes: NULLs written by plain SQL and the text form of
// the text-stored booleans.

#include "tests/entities/EntityTest.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplicationTypes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/DateTime.h"
#include "framework/MissingValues.h"

#include <functional>

namespace parvela::test {
namespace {

class ValueConventionsTest : public EntityTest {};

TEST_P(ValueConventionsTest, NullColumnsOfAnAssessmentReadAsTheMissingValues) {
    RunRawSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID, SELECTEDFOREXECUTION) VALUES (5, FALSE)");
    TdcAssessments list(Db());
    list.Open();
    ASSERT_EQ(list.Count(), 1);
    TdciAssessments& item = list.Item();
    EXPECT_EQ(item.ASSESSMENTID(), 5);
    EXPECT_EQ(item.CAPTION(), "");
    EXPECT_EQ(item.ERRORMESSAGE(), "");
    EXPECT_EQ(item.PROJECTID(), MissingInteger);
    EXPECT_EQ(item.SCENARIOID(), MissingInteger);
    EXPECT_EQ(item.APPLICATIONSCHEMEID(), MissingInteger);
    EXPECT_TRUE(IsMissingReal(item.CREATIONDATE()));
    EXPECT_TRUE(IsMissingReal(item.MODIFICATIONDATE()));
    EXPECT_FALSE(item.VALIDRESULTS()) << "a NULL VALIDRESULTS reads as false";
    EXPECT_FALSE(item.SELECTEDFOREXECUTION());
    // A NULL scenario is not 0 and so passes the scenario check; the substance check follows.
    item.SetCAPTION("Named");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.Validate(); }), "Select a Substance");
}

TEST_P(ValueConventionsTest, NullYearsOfAScenarioReadAsZeroAndNullTextsAsEmpty) {
    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (7, 'Vercelli')");
    TdcScenarios list(Db());
    list.Open();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item().STARTYEAR(), 0);
    EXPECT_EQ(list.Item().ENDYEAR(), 0);
    EXPECT_EQ(list.Item().GLIDAR_data(), "");
    EXPECT_EQ(list.Item().MUNDRE_rain(), "");
}

TEST_P(ValueConventionsTest, NullRealsDatesAndKeysOfAnApplicationReadAsMissing) {
    RunRawSQL("INSERT INTO APPLICATIONS (APPLICATIONID) VALUES (9)");
    TdcApplications list(Db());
    list.Open();
    ASSERT_EQ(list.Count(), 1);
    const TdciApplications& item = list.Item();
    EXPECT_EQ(item.APPLICATIONSCHEMEID(), MissingInteger);
    EXPECT_EQ(item.APPLICATIONTYPEID(), MissingInteger);
    EXPECT_TRUE(IsMissingReal(item.APPLICATIONDATE()));
    EXPECT_TRUE(IsMissingReal(item.DOSAGE()));
    EXPECT_TRUE(IsMissingReal(item.APPLICATIONPARAMETER()));
    EXPECT_TRUE(IsMissingReal(item.SPRAYDRIFTPERC()));
}

TEST_P(ValueConventionsTest, StoredValuesReadBackWithTheirTypes) {
    AddProject(17, "Rice 2020", true);
    TdcProjects list(Db());
    list.Open();
    ASSERT_EQ(list.Count(), 1);
    const TdciProjects& item = list.Item();
    EXPECT_EQ(item.PROJECTID(), 17);
    EXPECT_EQ(item.ItemID(), "17");
    EXPECT_EQ(item.CAPTION(), "Rice 2020");
    EXPECT_EQ(item.DESCRIPTION(), "D");
    EXPECT_EQ(item.COMMENT(), "C");
    EXPECT_EQ(item.CREATIONDATE(), EncodeDateTime(2020, 3, 1, 10, 0, 0));
    EXPECT_EQ(item.MODIFICATIONDATE(), EncodeDateTime(2020, 3, 2, 11, 0, 0));
    EXPECT_FALSE(item.BUSY());
    EXPECT_TRUE(item.LOCKED());
    EXPECT_TRUE(item.IsLocked());
    EXPECT_EQ(item.ItemState(), isBrowse);
}

// A NULL in a column that is read through its text form fails the whole Open.
struct TextBooleanCase {
    const char* table;
    const char* insert;
    std::function<void(TDACDatabase&)> open;
};

class TextBooleanTest : public EntityTest {
protected:
    static std::vector<TextBooleanCase> Cases() {
        return {
            {"PROJECTS",
             "INSERT INTO PROJECTS (PROJECTID, CAPTION, BUSY, LOCKED) VALUES (1, 'P', NULL, FALSE)",
             [](TDACDatabase& db) { TdcProjects(db).Open(); }},
            {"PROJECTS",
             "INSERT INTO PROJECTS (PROJECTID, CAPTION, BUSY, LOCKED) VALUES (1, 'P', FALSE, NULL)",
             [](TDACDatabase& db) { TdcProjects(db).Open(); }},
            {"APPLICATIONSCHEMES",
             "INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, LOCKED) VALUES (1, "
             "'S', NULL)",
             [](TDACDatabase& db) { TdcApplicationSchemes(db).Open(); }},
            {"ASSESSMENTS",
             "INSERT INTO ASSESSMENTS (ASSESSMENTID, SELECTEDFOREXECUTION) VALUES (1, NULL)",
             [](TDACDatabase& db) { TdcAssessments(db).Open(); }},
        };
    }
};

TEST_P(TextBooleanTest, ANullTextBooleanFailsTheOpen) {
    for (const TextBooleanCase& c : Cases()) {
        SCOPED_TRACE(c.insert);
        RunRawSQL(std::string("DELETE FROM ") + c.table);
        RunRawSQL(c.insert);
        EXPECT_EQ(MessageOf<Exception>([&] { c.open(Db()); }),
                  "TDACDatabase.StrToBoolean: empty string");
    }
}

TEST_P(TextBooleanTest, AFailedOpenLeavesTheListClosedAndTheRecordSetReusable) {
    RunRawSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, LOCKED) VALUES "
              "(1, 'S', NULL)");
    TdcApplicationSchemes list(Db());
    EXPECT_THROW(list.Open(), Exception);
    EXPECT_FALSE(list.IsOpen());
    EXPECT_EQ(list.Count(), -1);
    RunRawSQL("UPDATE APPLICATIONSCHEMES SET LOCKED = TRUE");
    list.Open();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Item().LOCKED());
}

TEST_P(ValueConventionsTest, ApplicationTypesComeWithTheDatabase) {
    TdcApplicationTypes list(Db());
    list.Open();
    ASSERT_TRUE(list.LocateByItemID("1", false));
    EXPECT_EQ(list.Item().APPLICATIONTYPEID(), 1);
    EXPECT_EQ(list.Item().CAPTION(), "Spray application on crop");
    EXPECT_EQ(list.Item().GLIDARCODE(), "AppCrpUsr");
}

// Captions, descriptions and comments hold at most 255 characters on every engine: one more
// is refused with a clear message before it reaches the database, also when a scheme copy's
// "_copy" makes it so; 255 characters of two bytes each are stored whole.
TEST_P(ValueConventionsTest, TextsLongerThanEveryEngineStoresAreRefused) {
    AddProject(1, "P");
    AddScheme(2, "S");
    AddAssessment(3, 1, 2);
    TdcProjects projects(Db());
    TdcAssessments assessments(Db());
    TdcApplicationSchemes schemes(Db());
    for (TDACDatabaseClass* list :
         std::initializer_list<TDACDatabaseClass*>{&projects, &assessments, &schemes})
        list->Open();
    TdciProjects& project = projects.Item();
    TdciAssessments& assessment = assessments.Item();
    TdciApplicationSchemes& scheme = schemes.Item();
    struct Case {
        const char* Label;
        TDACDatabaseClassItem& Item;
        std::function<void(const std::string&)> Set;
        std::string Stored;
    };
    const std::vector<Case> cases = {
        {"Caption", project, [&](const std::string& t) { project.SetCAPTION(t); },
         "SELECT CAPTION FROM PROJECTS"},
        {"Description", project, [&](const std::string& t) { project.SetDESCRIPTION(t); },
         "SELECT DESCRIPTION FROM PROJECTS"},
        {"Comment", project, [&](const std::string& t) { project.SetCOMMENT(t); },
         "SELECT COMMENT FROM PROJECTS"},
        {"Caption", assessment, [&](const std::string& t) { assessment.SetCAPTION(t); },
         "SELECT CAPTION FROM ASSESSMENTS"},
        {"Description", assessment, [&](const std::string& t) { assessment.SetDESCRIPTION(t); },
         "SELECT DESCRIPTION FROM ASSESSMENTS"},
        {"Caption", scheme, [&](const std::string& t) { scheme.SetCAPTION(t); },
         "SELECT CAPTION FROM APPLICATIONSCHEMES"},
        {"Description", scheme, [&](const std::string& t) { scheme.SetDESCRIPTION(t); },
         "SELECT DESCRIPTION FROM APPLICATIONSCHEMES"},
    };
    std::string longest;
    for (int i = 0; i < 255; ++i)
        longest += "\xC3\xA9"; // e acute
    for (const Case& c : cases) {
        c.Set(longest + "x");
        EXPECT_EQ(MessageOf<EDACStateValueError>([&] { c.Item.Save(); }),
                  std::string(c.Label) + " should not be longer than 255 characters")
            << c.Stored;
        c.Item.CancelChanges();
        c.Set(longest);
        c.Item.Save();
        EXPECT_EQ(QueryRows(c.Stored)[0][0].AsString(), longest) << c.Stored;
    }

    scheme.SetCAPTION(longest.substr(0, 2 * 251));
    scheme.Save();
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { scheme.CopyItem(); }),
              "Caption should not be longer than 255 characters");
    EXPECT_EQ(CountRows("APPLICATIONSCHEMES"), 1) << "the copy is undone";
}

PARVELA_INSTANTIATE_DATABASE_TEST(ValueConventionsTest);
PARVELA_INSTANTIATE_DATABASE_TEST(TextBooleanTest);

} // namespace
} // namespace parvela::test
