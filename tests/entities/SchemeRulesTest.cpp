// Application schemes and applications: the lock, the delete guard, the deep copy with its
// undo, the validation and copy of applications, and the whole-database usage operations.

#include "tests/entities/EntityTest.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/DateTime.h"
#include "framework/MissingValues.h"
#include "program/checks/SchemeUsage.h"

#include <gmock/gmock.h>

#include <limits>
#include <optional>
#include <tuple>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class SchemeRulesTest : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        AddScheme(4, "Three sprays");
        AddApplication(41, 4, "2001-05-01 00:00:00", 1.5, 0.25, 2, 1);
        AddApplication(42, 4, "2001-05-15 12:00:00", 0, 1, 0, 2);
        AddApplication(43, 4, "2001-06-01 00:00:00", 3.25, 0, 7.5, 1);
        AddScheme(5, "Locked scheme", true);
        AddApplication(51, 5, "2021-04-01 00:00:00", 2, 0, 1, 1);
        AddScheme(6, "Unused");
        schemes_.emplace(Db());
        schemes_->Open();
    }
    void TearDown() override {
        schemes_.reset();
        EntityTest::TearDown();
    }
    TdciApplicationSchemes& Scheme(int id) {
        schemes_->LocateByItemID(std::to_string(id), true);
        return schemes_->Item();
    }
    using TApplicationRow = std::tuple<long long, long long, std::string, double, double, double>;
    // Type, date, dosage, parameter and spray drift of a scheme's applications by date.
    std::vector<TApplicationRow> ApplicationRows(int schemeID) const {
        std::vector<TApplicationRow> rows;
        for (const TRow& row : QueryRows(
                 Format("SELECT APPLICATIONSCHEMEID, APPLICATIONTYPEID, APPLICATIONDATE, DOSAGE, "
                        "APPLICATIONPARAMETER, SPRAYDRIFTPERC FROM APPLICATIONS WHERE "
                        "APPLICATIONSCHEMEID=%d ORDER BY APPLICATIONDATE",
                        schemeID)))
            rows.emplace_back(row[0].AsInteger(), row[1].AsInteger(),
                              DateTimeToStr(row[2].AsDateTime()), row[3].AsReal(), row[4].AsReal(),
                              row[5].AsReal());
        return rows;
    }
    static std::vector<TApplicationRow> WithScheme(std::vector<TApplicationRow> rows, int id) {
        for (auto& row : rows)
            std::get<0>(row) = id;
        return rows;
    }
    std::optional<TdcApplicationSchemes> schemes_;
};

TEST_P(SchemeRulesTest, ALockedSchemeAndItsApplicationsAreReadOnly) {
    TdciApplicationSchemes& locked = Scheme(5);
    EXPECT_TRUE(locked.IsLocked());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { locked.SetCAPTION("x"); }),
              "This record is locked for editing");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { locked.CheckCanDelete(); }),
              "This record is locked for deleting");
    TdcApplications& applications = locked.Applications();
    EXPECT_TRUE(applications.Locked());
    EXPECT_TRUE(locked.Assessments().Locked());
    applications.Open();
    EXPECT_FALSE(applications.CanInsert());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { applications.Item().SetDOSAGE(1); }),
              "This list of items is locked for editing");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { applications.Delete(); }),
              "This list of items is locked for deleting");
    EXPECT_FALSE(Scheme(4).Applications().Locked());
}

TEST_P(SchemeRulesTest, ASchemeUsedAnywhereCannotBeDeleted) {
    AddProject(1, "First");
    AddProject(2, "Other", true);
    AddAssessment(10, 1, 6);
    AddAssessment(20, 2, 4);
    EXPECT_FALSE(Scheme(4).CanDelete());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { schemes_->Delete(); }),
              "It is not allowed to delete this applicationScheme as it is used in one or more "
              "assessments.");
    EXPECT_EQ(CountRows("APPLICATIONSCHEMES WHERE APPLICATIONSCHEMEID=4"), 1);
    EXPECT_TRUE(IsApplicationSchemeUsed(Db(), 4));
    EXPECT_TRUE(IsApplicationSchemeUsed(Db(), 6));
    EXPECT_FALSE(IsApplicationSchemeUsed(Db(), 7));
}

TEST_P(SchemeRulesTest, DeletingAnUnusedSchemeTakesItsApplicationsAlong) {
    AddProject(1, "First");
    AddAssessment(10, 1, 6);
    RunRawSQL("UPDATE ASSESSMENTS SET APPLICATIONSCHEMEID=5");
    EXPECT_TRUE(Scheme(4).CanDelete());
    ClearLog();
    schemes_->Delete();
    EXPECT_THAT(Statements("DELETE"),
                ElementsAre("DELETE FROM APPLICATIONSCHEMES WHERE APPLICATIONSCHEMEID=4"));
    EXPECT_EQ(CountRows("APPLICATIONS WHERE APPLICATIONSCHEMEID=4"), 0);
    EXPECT_EQ(CountRows("APPLICATIONS"), 1);
}

TEST_P(SchemeRulesTest, TheDeepCopySavesTheSchemeAndEveryApplication) {
    const auto sourceRows = ApplicationRows(4);
    ASSERT_EQ(sourceRows.size(), 3u);
    TdciApplicationSchemes& copy = Scheme(4).CopyItem();
    EXPECT_EQ(copy.ItemState(), isBrowse);
    EXPECT_EQ(&schemes_->Item(), &copy);
    EXPECT_EQ(copy.CAPTION(), "Three sprays_copy");
    EXPECT_EQ(copy.DESCRIPTION(), "About Three sprays_copy");
    EXPECT_FALSE(copy.LOCKED());
    EXPECT_FALSE(copy.Applications().IsOpen());
    EXPECT_EQ(ApplicationRows(copy.APPLICATIONSCHEMEID()),
              WithScheme(sourceRows, copy.APPLICATIONSCHEMEID()));
    EXPECT_EQ(ApplicationRows(4), sourceRows);
    EXPECT_FALSE(Scheme(4).Applications().IsOpen());
    copy.Applications().Open();
    EXPECT_EQ(copy.Applications().Count(), 3);
    schemes_->Open();
    EXPECT_EQ(schemes_->Count(), 4);
}

TEST_P(SchemeRulesTest, ASchemeWithoutApplicationsIsCopiedAlone) {
    TdciApplicationSchemes& copy = Scheme(6).CopyItem();
    EXPECT_EQ(copy.CAPTION(), "Unused_copy");
    EXPECT_EQ(CountRows(Format("APPLICATIONSCHEMES WHERE APPLICATIONSCHEMEID=%d",
                               copy.APPLICATIONSCHEMEID())),
              1);
    EXPECT_EQ(
        CountRows(Format("APPLICATIONS WHERE APPLICATIONSCHEMEID=%d", copy.APPLICATIONSCHEMEID())),
        0);
}

TEST_P(SchemeRulesTest, ALockedSchemeIsCopiedAndItsListStaysLockedAndOpen) {
    TdcApplications& source = Scheme(5).Applications();
    source.Open();
    source.Next();
    ASSERT_TRUE(source.Eof());
    source.First();
    TdciApplicationSchemes& copy = Scheme(5).CopyItem();
    EXPECT_TRUE(source.Locked());
    EXPECT_TRUE(source.IsOpen());
    EXPECT_EQ(source.Count(), 1) << "the copies left the source list";
    EXPECT_EQ(source.GetObjectListIndex(), 0);
    EXPECT_EQ(source.Item().ItemState(), isBrowse);
    EXPECT_FALSE(copy.IsLocked());
    EXPECT_EQ(ApplicationRows(copy.APPLICATIONSCHEMEID()).size(), 1u);
}

TEST_P(SchemeRulesTest, AFailureInTheMiddleUndoesTheWholeCopy) {
    const auto sourceRows = ApplicationRows(4);
    RefuseSecondChild("APPLICATIONS", "APPLICATIONSCHEMEID");
    TdcApplications& source = Scheme(4).Applications();
    source.SetLocked(true);
    const long long schemesBefore = CountRows("APPLICATIONSCHEMES");
    const long long applicationsBefore = CountRows("APPLICATIONS");
    EXPECT_THAT(MessageOf<EDatabaseError>([&] { Scheme(4).CopyItem(); }),
                HasSubstr("second child refused"));
    EXPECT_EQ(CountRows("APPLICATIONSCHEMES"), schemesBefore) << "the new scheme is gone";
    EXPECT_EQ(CountRows("APPLICATIONS"), applicationsBefore) << "and its first application";
    EXPECT_EQ(CountRows("APPLICATIONSCHEMES WHERE CAPTION LIKE '%_copy'"), 0);
    EXPECT_EQ(ApplicationRows(4), sourceRows);
    EXPECT_TRUE(source.Locked());
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(schemes_->Count(), 3);
    TdciApplicationSchemes& original = Scheme(4);
    EXPECT_EQ(original.ItemState(), isBrowse);
    EXPECT_EQ(original.CAPTION(), "Three sprays");
    // The lists can be closed and reopened: nothing unsaved is left behind.
    EXPECT_NO_THROW(schemes_->Open());
}

TEST_P(SchemeRulesTest, AFailingSchemeSaveLeavesNoUnsavedCopy) {
    // A row with the copy's description makes the copy's INSERT fail.
    RefuseSecondChild("APPLICATIONSCHEMES", "DESCRIPTION");
    RunRawSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION, "
              "LOCKED) VALUES (99, 'X', 'About Unused_copy', FALSE)");
    schemes_->Open();
    EXPECT_THAT(MessageOf<EDatabaseError>([&] { Scheme(6).CopyItem(); }),
                HasSubstr("second child refused"));
    EXPECT_EQ(schemes_->Count(), 4);
    EXPECT_NO_THROW(schemes_->Open());
}

struct ApplicationValidationCase {
    double dosage;
    double sprayDrift;
    double parameter;
    const char* message;
};

// The ranges keep every value's column of the model input files intact; dosage comes first,
// then spray drift, then the parameter.
TEST_P(SchemeRulesTest, ApplicationValidationInItsOrder) {
    TdcApplications& applications = Scheme(4).Applications();
    applications.Open();
    applications.Insert();
    TdciApplications& fresh = applications.Item();
    EXPECT_EQ(fresh.APPLICATIONSCHEMEID(), 4);
    EXPECT_EQ(fresh.APPLICATIONTYPEID(), 1);
    EXPECT_TRUE(fresh.IsValid()) << "a new application is valid as it is";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<ApplicationValidationCase> cases = {
        {-0.001, 0, 0, "Dosage cannot be less than 0."},
        {-1, -1, -1, "Dosage cannot be less than 0."},
        {0, -0.5, 0, "SprayDriftPerc cannot be less than 0."},
        {0, 0, 0, ""},
        {9999, 100, 1, ""},
        {MissingReal, MissingReal, MissingReal, ""},
        {9999.0001, 0, 0, "Dosage cannot be more than 9999."},
        {1e15, 1e15, 1e15, "Dosage cannot be more than 9999."},
        {nan, 0, 0, "Dosage is not a number."},
        {2.5, 100.01, 0, "SprayDriftPerc cannot be more than 100."},
        {2.5, nan, 0, "SprayDriftPerc is not a number."},
        {2.5, 1, -0.25, "ApplicationParameter cannot be less than 0."},
        {2.5, 1, 1e15, "ApplicationParameter cannot be more than 1."},
    };
    for (const ApplicationValidationCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dosage << " " << c.sprayDrift << " " << c.parameter);
        fresh.SetDOSAGE(c.dosage);
        fresh.SetSPRAYDRIFTPERC(c.sprayDrift);
        fresh.SetAPPLICATIONPARAMETER(c.parameter);
        if (*c.message)
            EXPECT_EQ(MessageOf<EDACStateValueError>([&] { fresh.Validate(); }), c.message);
        else
            EXPECT_NO_THROW(fresh.Validate());
    }
    fresh.SetDOSAGE(2.5);
    fresh.SetAPPLICATIONPARAMETER(0);
    fresh.SetSPRAYDRIFTPERC(1);
    EXPECT_TRUE(fresh.Save());
}

TEST_P(SchemeRulesTest, AnApplicationCopyIsUnsavedAndCurrentInTheSameList) {
    TdcApplications& applications = Scheme(4).Applications();
    applications.Open();
    applications.LocateByItemID("43", true);
    // A date of another year, as older versions stored them: the copy is in the one year.
    applications.Item().SetAPPLICATIONDATE(EncodeDateTime(2020, 6, 1, 12, 0, 0));
    TdciApplications& copy = applications.Item().CopyItem();
    EXPECT_EQ(applications.GetObjectListIndex(), 3);
    EXPECT_EQ(copy.ItemState(), isInserted);
    EXPECT_EQ(copy.APPLICATIONSCHEMEID(), 4);
    EXPECT_EQ(copy.APPLICATIONTYPEID(), 1);
    EXPECT_EQ(copy.APPLICATIONDATE(), EncodeDateTime(ApplicationYear, 6, 1, 12, 0, 0));
    EXPECT_EQ(copy.DOSAGE(), 3.25);
    EXPECT_EQ(copy.APPLICATIONPARAMETER(), 0.0);
    EXPECT_EQ(copy.SPRAYDRIFTPERC(), 7.5);
    EXPECT_EQ(CountRows("APPLICATIONS WHERE APPLICATIONSCHEMEID=4"), 3);
}

TEST_P(SchemeRulesTest, AnItemMovedToAnotherListTakesItsStateAndOwnerAlong) {
    TdcApplications& from = Scheme(4).Applications();
    TdcApplications& to = Scheme(6).Applications();
    from.Open();
    to.Open();
    TdciApplications& moved = from.Item().CopyItem();
    const std::string movedID = moved.ItemID();
    from.MoveItemTo(from.GetObjectListIndex(), to);
    EXPECT_EQ(from.Count(), 3);
    EXPECT_EQ(from.GetObjectListIndex(), 2) << "the last one became current, as after Delete";
    ASSERT_EQ(to.Count(), 1);
    to.First();
    EXPECT_EQ(&to.Item(), &moved);
    EXPECT_EQ(moved.OwnerList(), &to);
    EXPECT_EQ(moved.ItemState(), isInserted);
    EXPECT_NO_THROW(from.Close());
    EXPECT_EQ(MessageOf<Exception>([&] { to.Close(); }),
              "TdcApplications.Close : Record with ID=" + movedID + " cannot be closed");
    to.SetLocked(true);
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { moved.SetDOSAGE(4); }),
              "This list of items is locked for editing")
        << "the new owner's lock applies";
}

TEST_P(SchemeRulesTest, ApplicationsSortByDateAscending) {
    TdcApplications& applications = Scheme(4).Applications();
    applications.Open();
    applications.SortOnField(3, true);
    std::vector<int> ids;
    for (applications.First(); !applications.Eof(); applications.Next())
        ids.push_back(applications.Item().APPLICATIONID());
    EXPECT_THAT(ids, ElementsAre(41, 42, 43));
}

class SchemeUsageTest : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        AddProject(1, "First");
        AddProject(2, "Second");
    }
};

struct ClassifyCase {
    const char* name;
    // (project, key, valid results) of the assessments that use scheme 4
    std::vector<std::tuple<int, int, bool>> users;
    int expected;
};

TEST_P(SchemeUsageTest, ClassifySchemeUsageWhicheverAssessmentTheWalkMeetsFirst) {
    // The given assessment is 100.
    const std::vector<ClassifyCase> cases = {
        {"unused", {}, 0},
        {"only the given one, no results", {{1, 100, false}}, 0},
        {"only the given one with results", {{1, 100, true}}, 1},
        {"another one without results", {{2, 200, false}}, 2},
        {"given without, other without", {{1, 100, false}, {2, 200, false}}, 2},
        {"another one with results", {{2, 200, true}}, 3},
        {"given with results, other without", {{1, 100, true}, {2, 200, false}}, 3},
        {"other without first, given with results", {{1, 200, false}, {2, 100, true}}, 3},
        {"given with results second in its project", {{1, 200, false}, {1, 100, true}}, 3},
        {"given without, other with", {{1, 100, false}, {2, 200, true}}, 3},
    };
    for (const ClassifyCase& c : cases) {
        SCOPED_TRACE(c.name);
        RunRawSQL("DELETE FROM ASSESSMENTS");
        AddAssessment(300, 1, 7, true); // another scheme, valid results
        for (const auto& [project, key, valid] : c.users)
            AddAssessment(key, project, 4, valid);
        EXPECT_EQ(static_cast<int>(ClassifySchemeUsage(Db(), 4, 100)), c.expected);
    }
}

TEST_P(SchemeUsageTest, InvalidateSchemeResultsSavesEachAssessmentOfTheScheme) {
    AddAssessment(10, 1, 4, true);
    AddAssessment(11, 1, 4, false);
    AddAssessment(12, 1, 7, true);
    AddAssessment(20, 2, 4, true);
    ClearLog();
    InvalidateSchemeResults(Db(), 4);
    EXPECT_EQ(Statements("UPDATE").size(), 2u);
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE VALIDRESULTS=TRUE"), 1);
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE VALIDRESULTS=TRUE AND ASSESSMENTID=12"), 1);
}

TEST_P(SchemeUsageTest, InvalidateSchemeResultsStopsAtALockedProjectAfterSavingTheEarlierOnes) {
    AddAssessment(10, 1, 4, true);
    AddAssessment(20, 2, 4, true);
    AddAssessment(21, 2, 4, true);
    RunRawSQL("UPDATE PROJECTS SET LOCKED=TRUE WHERE PROJECTID=2");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { InvalidateSchemeResults(Db(), 4); }),
              "This list of items is locked for editing");
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE VALIDRESULTS=TRUE AND PROJECTID=2"), 2);
    // The walk meets the projects in the database's order: the open project's assessment was
    // invalidated and saved when the walk reached it before the locked one.
    const bool openProjectFirst =
        QueryRows("SELECT PROJECTID FROM PROJECTS").at(0).at(0).AsInteger() == 1;
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE VALIDRESULTS=TRUE AND ASSESSMENTID=10"),
              openProjectFirst ? 0 : 1);
}

PARVELA_INSTANTIATE_DATABASE_TEST(SchemeRulesTest);
PARVELA_INSTANTIATE_DATABASE_TEST(SchemeUsageTest);

} // namespace
} // namespace parvela::test
