// Projects: the lock and the locks of their assessments, the copy with its assessments,
// the count of selected assessments and the cascading deletes.

#include "tests/entities/EntityTest.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/DateTime.h"

#include <gmock/gmock.h>

#include <optional>

namespace parvela::test {
namespace {

using ::testing::UnorderedElementsAre;

class ProjectRulesTest : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        AddProject(1, "Open project");
        AddProject(2, "Locked project", true);
        AddAssessment(10, 1, 5, true, true, "A10");
        AddAssessment(11, 1, 5, false, false, "A11");
        AddAssessment(20, 2, 5, true, true, "A20");
        AddAssessment(21, 2, 6, false, true, "A21");
        AddAssessment(22, 2, 6, false, false, "A22");
        projects_.emplace(Db());
        projects_->Open();
    }
    void TearDown() override {
        projects_.reset();
        EntityTest::TearDown();
    }
    TdciProjects& Project(int id) {
        projects_->LocateByItemID(std::to_string(id), true);
        return projects_->Item();
    }
    // A saved new project to copy into.
    TdciProjects& SavedCopyOf(int id) {
        TdciProjects& copy = Project(id).CopyItem(&*projects_);
        copy.SetCAPTION(copy.CAPTION() + "_copy");
        copy.Save();
        return copy;
    }
    std::vector<std::string> CaptionsOfProject(int id) const {
        std::vector<std::string> captions;
        for (const TRow& row :
             QueryRows(Format("SELECT CAPTION FROM ASSESSMENTS WHERE PROJECTID=%d", id)))
            captions.push_back(row.at(0).AsString());
        return captions;
    }
    std::optional<TdcProjects> projects_;
};

TEST_P(ProjectRulesTest, ALockedProjectAndItsAssessmentsAreReadOnly) {
    TdciProjects& locked = Project(2);
    EXPECT_TRUE(locked.IsLocked());
    EXPECT_FALSE(locked.CanEdit());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { locked.SetCAPTION("x"); }),
              "This record is locked for editing");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { projects_->Delete(); }),
              "This record is locked for deleting");
    TdcAssessments& assessments = locked.Assessments();
    EXPECT_TRUE(assessments.Locked());
    assessments.Open();
    EXPECT_EQ(assessments.Count(), 3);
    EXPECT_FALSE(assessments.CanInsert());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { assessments.Insert(); }),
              "The list of items is locked for inserts");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { assessments.Item().SetCAPTION("x"); }),
              "This list of items is locked for editing");
    EXPECT_FALSE(assessments.Item().CanDelete());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { assessments.Delete(); }),
              "This list of items is locked for deleting");
    // The run's one-shot override stores one value and no more.
    assessments.Item().SetSkipLockCheck(true);
    assessments.Item().SetERRORMESSAGE("run failed");
    EXPECT_TRUE(assessments.Item().Save());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { assessments.Item().SetCAPTION("x"); }),
              "This list of items is locked for editing");
    EXPECT_FALSE(Project(1).Assessments().Locked());
}

TEST_P(ProjectRulesTest, TheDetailListOfALockedProjectsListIsLocked) {
    projects_->SetLocked(true);
    EXPECT_TRUE(Project(1).Assessments().Locked());
}

TEST_P(ProjectRulesTest, ACopyOfALockedProjectIsUnlockedUnsavedAndNew) {
    RunRawSQL("UPDATE PROJECTS SET BUSY = TRUE WHERE PROJECTID = 2");
    projects_->Open();
    const TDateTime before = Now();
    TdciProjects& copy = Project(2).CopyItem(&*projects_);
    EXPECT_EQ(copy.ItemState(), isInserted);
    EXPECT_EQ(copy.CAPTION(), "Locked project");
    EXPECT_EQ(copy.DESCRIPTION(), "D");
    EXPECT_EQ(copy.COMMENT(), "C");
    EXPECT_FALSE(copy.LOCKED());
    EXPECT_FALSE(copy.BUSY());
    EXPECT_GE(copy.CREATIONDATE(), before);
    EXPECT_EQ(copy.CREATIONDATE(), copy.MODIFICATIONDATE());
    EXPECT_EQ(projects_->Item().ItemID(), copy.ItemID());
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { Project(2).CopyItem(nullptr); }),
              "Assertion failure");
}

TEST_P(ProjectRulesTest, CopyDetailsFromALockedProjectCopiesEveryAssessment) {
    TdciProjects& copy = SavedCopyOf(2);
    TdcAssessments& source = Project(2).Assessments();
    Project(2).CopyDetails(&copy);
    EXPECT_TRUE(source.Locked()) << "the lock of the source's list is restored";
    EXPECT_FALSE(source.IsOpen()) << "closed again, as it was";
    EXPECT_FALSE(copy.Assessments().IsOpen());
    EXPECT_THAT(CaptionsOfProject(copy.PROJECTID()), UnorderedElementsAre("A20", "A21", "A22"));
    const auto rows = QueryRows(Format("SELECT VALIDRESULTS, ERRORMESSAGE, ASSESSMENTREPORT, "
                                       "APPLICATIONSCHEMEID FROM ASSESSMENTS WHERE PROJECTID=%d",
                                       copy.PROJECTID()));
    for (const TRow& row : rows) {
        EXPECT_FALSE(row[0].AsBoolean());
        EXPECT_EQ(row[1].AsString(), "");
        EXPECT_EQ(row[2].AsString(), "");
    }
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE PROJECTID=2"), 3) << "the source is untouched";
}

TEST_P(ProjectRulesTest, CopyDetailsKeepsAnOpenSourceListOpen) {
    TdciProjects& copy = SavedCopyOf(1);
    TdcAssessments& source = Project(1).Assessments();
    source.Open();
    Project(1).CopyDetails(&copy);
    EXPECT_TRUE(source.IsOpen());
    EXPECT_EQ(source.Count(), 2);
    EXPECT_FALSE(source.Locked());
}

TEST_P(ProjectRulesTest, CopyDetailsOfAProjectWithoutAssessmentsCopiesNothing) {
    AddProject(3, "Empty");
    projects_->Open();
    TdciProjects& copy = SavedCopyOf(3);
    EXPECT_NO_THROW(Project(3).CopyDetails(&copy));
    EXPECT_EQ(CountRows(Format("ASSESSMENTS WHERE PROJECTID=%d", copy.PROJECTID())), 0);
}

TEST_P(ProjectRulesTest, CopyDetailsRefusesATargetThatIsNotSavedUnchangedAndEmpty) {
    TdciProjects& source = Project(1);
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { source.CopyDetails(nullptr); }),
              "Assertion failure");
    TdciProjects& unsaved = source.CopyItem(&*projects_);
    const std::string unsavedID = unsaved.ItemID();
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { Project(1).CopyDetails(&unsaved); }),
              "Assertion failure");
    projects_->LocateByItemID(unsavedID, true);
    projects_->Delete();
    // Project 2 already has assessments.
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { Project(1).CopyDetails(&Project(2)); }),
              "Assertion failure");
    EXPECT_EQ(CountRows("ASSESSMENTS"), 5);
    EXPECT_FALSE(Project(1).Assessments().IsOpen());
    EXPECT_FALSE(Project(2).Assessments().IsOpen());
    EXPECT_TRUE(Project(2).Assessments().Locked());
}

TEST_P(ProjectRulesTest, AFailingAssessmentCopyIsRemovedAndTheEarlierOnesStay) {
    TdciProjects& copy = SavedCopyOf(2);
    RefuseSecondChild("ASSESSMENTS", "PROJECTID");
    TdcAssessments& source = Project(2).Assessments();
    EXPECT_THAT(MessageOf<EDatabaseError>([&] { Project(2).CopyDetails(&copy); }),
                ::testing::HasSubstr("second child refused"));
    EXPECT_TRUE(source.Locked());
    EXPECT_FALSE(source.IsOpen());
    TdcAssessments& copies = copy.Assessments();
    EXPECT_FALSE(copies.IsOpen()) << "closed although the copy had failed";
    copies.Open();
    EXPECT_EQ(copies.Count(), 1);
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE PROJECTID=2"), 3);
    // The window then deletes the new project; its copies go with it.
    copies.Close();
    projects_->LocateByItemID(copy.ItemID(), true);
    projects_->Delete();
    EXPECT_EQ(CountRows("ASSESSMENTS"), 5);
}

TEST_P(ProjectRulesTest, SelectedAssessmentCount) {
    EXPECT_EQ(Project(1).SelectedAssessmentCount(), 1);
    EXPECT_EQ(Project(2).SelectedAssessmentCount(), 2);
    EXPECT_FALSE(Project(2).Assessments().IsOpen());
    AddProject(3, "Empty");
    projects_->Open();
    EXPECT_EQ(Project(3).SelectedAssessmentCount(), 0);
}

TEST_P(ProjectRulesTest, UpdateModificationDateOfAProject) {
    TdciProjects& project = Project(1);
    const TDateTime stored = project.MODIFICATIONDATE();
    project.UpdateModificationDate();
    EXPECT_EQ(project.MODIFICATIONDATE(), stored);
    project.SetDESCRIPTION("changed");
    const TDateTime before = Now();
    project.UpdateModificationDate();
    EXPECT_GE(project.MODIFICATIONDATE(), before);
    EXPECT_NO_THROW(Project(2).UpdateModificationDate()) << "unchanged and locked";
}

TEST_P(ProjectRulesTest, ProjectCaptionMustNotBeBlank) {
    TdciProjects& project = Project(1);
    project.SetCAPTION("   ");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { project.Save(); }),
              "Caption should not be empty");
    EXPECT_EQ(project.ItemState(), isEdited);
}

TEST_P(ProjectRulesTest, DeletingAProjectOrAScenarioTakesItsAssessmentsAlong) {
    ClearLog();
    Project(1).Assessments().Open();
    Project(1).Assessments().Close();
    projects_->LocateByItemID("1", true);
    projects_->Delete();
    EXPECT_THAT(Statements("DELETE"),
                ::testing::ElementsAre("DELETE FROM PROJECTS WHERE PROJECTID=1"));
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE PROJECTID=1"), 0);
    EXPECT_EQ(CountRows("ASSESSMENTS"), 3);

    RunRawSQL("INSERT INTO SCENARIOS (SCENARIOID, CAPTION) VALUES (3, 'Sc')");
    TdcScenarios scenarios(Db());
    scenarios.Open();
    TdcAssessments& ofScenario = scenarios.Item().Assessments();
    ofScenario.Open();
    EXPECT_EQ(ofScenario.Count(), 3) << "every assessment of the fixture uses scenario 3";
    ofScenario.Close();
    scenarios.Delete();
    EXPECT_EQ(CountRows("ASSESSMENTS"), 0);
}

PARVELA_INSTANTIATE_DATABASE_TEST(ProjectRulesTest);

} // namespace
} // namespace parvela::test
