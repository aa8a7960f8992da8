// The rules of assessments: validation order, the copy, the result inputs, the modification
// stamp and the run paths.

#include "tests/entities/EntityTest.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/DateTime.h"

#include <gmock/gmock.h>

#include <functional>
#include <optional>

namespace parvela::test {
namespace {

class AssessmentRulesTest : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        list_.emplace(Db());
        list_->Open();
    }
    void TearDown() override {
        list_.reset();
        SetProjectDirectoryProvider(nullptr);
        EntityTest::TearDown();
    }
    TdciAssessments& NewAssessment() {
        list_->Insert();
        return list_->Item();
    }
    TdciAssessments& Loaded(int id) {
        list_->Open();
        list_->LocateByItemID(std::to_string(id), true);
        return list_->Item();
    }
    std::optional<TdcAssessments> list_;
};

struct ValidationCase {
    const char* name;
    std::function<void(TdciAssessments&)> prepare;
    const char* message; // empty: valid
};

TEST_P(AssessmentRulesTest, ValidationStopsAtTheFirstFailureInItsOrder) {
    const std::vector<ValidationCase> cases = {
        {"new, unchanged: the scenario, not the substance ('99')", [](TdciAssessments&) {},
         "Caption should not be empty"},
        {"caption only", [](TdciAssessments& a) { a.SetCAPTION("A"); }, "Select a Scenario"},
        {"blank caption with nothing chosen",
         [](TdciAssessments& a) {
             a.SetCAPTION(" \t ");
             a.SetSUBSTANCEGUID("");
         },
         "Caption should not be empty"},
        {"blank substance",
         [](TdciAssessments& a) {
             a.SetCAPTION("A");
             a.SetSCENARIOID(2);
             a.SetSUBSTANCEGUID("  ");
         },
         "Select a Substance"},
        {"complete",
         [](TdciAssessments& a) {
             a.SetCAPTION("A");
             a.SetSCENARIOID(2);
         },
         ""},
    };
    for (const ValidationCase& c : cases) {
        SCOPED_TRACE(c.name);
        TdciAssessments& item = NewAssessment();
        c.prepare(item);
        if (*c.message) {
            EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.Save(); }), c.message);
            EXPECT_FALSE(item.IsValid());
            EXPECT_EQ(item.ItemState(), isInserted);
        } else {
            EXPECT_TRUE(item.Save());
        }
    }
}

TEST_P(AssessmentRulesTest, ANewAssessmentSavedUnchangedFailsOnTheScenario) {
    TdciAssessments& item = NewAssessment();
    item.SetCAPTION("A");
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.Save(); }), "Select a Scenario");
}

TEST_P(AssessmentRulesTest, ACopyCarriesTheInputsButNoResults) {
    AddAssessment(8, 1, 2, true, true, "Original");
    TdciAssessments& source = Loaded(8);
    TdcAssessments target(Db());
    target.Open();
    const TDateTime before = Now();
    TdciAssessments& copy = source.CopyItem(&target);
    EXPECT_EQ(copy.ItemState(), isInserted);
    EXPECT_NE(copy.ASSESSMENTID(), 8);
    EXPECT_EQ(copy.CAPTION(), "Original");
    EXPECT_EQ(copy.DESCRIPTION(), "Desc");
    EXPECT_EQ(copy.PROJECTID(), 1);
    EXPECT_EQ(copy.SCENARIOID(), 3);
    EXPECT_EQ(copy.SUBSTANCEGUID(), "{GUID-1}");
    EXPECT_EQ(copy.APPLICATIONSCHEMEID(), 2);
    EXPECT_EQ(copy.SUBSTANCECHECKSUM(), "SUM1");
    EXPECT_TRUE(copy.SELECTEDFOREXECUTION());
    EXPECT_EQ(copy.COMMENT(), "note");
    EXPECT_FALSE(copy.VALIDRESULTS());
    EXPECT_EQ(copy.ERRORMESSAGE(), "");
    EXPECT_EQ(copy.ASSESSMENTREPORT(), "");
    EXPECT_GE(copy.CREATIONDATE(), before);
    EXPECT_EQ(copy.CREATIONDATE(), copy.MODIFICATIONDATE());
    EXPECT_EQ(source.ItemState(), isBrowse);
    EXPECT_TRUE(copy.Save());
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE CAPTION='Original'"), 2);
}

TEST_P(AssessmentRulesTest, CopyIntoNoListOrALockedList) {
    AddAssessment(8, 1, 2);
    TdciAssessments& source = Loaded(8);
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { source.CopyItem(nullptr); }), "Assertion failure");
    TdcAssessments locked(Db());
    locked.Open();
    locked.SetLocked(true);
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { source.CopyItem(&locked); }),
              "The list of items is locked for inserts");
}

TEST_P(AssessmentRulesTest, ResultInputsAreScenarioSubstanceSchemeAndChecksum) {
    AddAssessment(8, 1, 2, true);
    TdciAssessments& item = Loaded(8);
    item.SetCAPTION("renamed");
    item.SetDESCRIPTION("other");
    item.SetSELECTEDFOREXECUTION(true);
    EXPECT_FALSE(item.ResultInputsChanged());
    const std::vector<std::pair<const char*, std::function<void(bool)>>> inputs = {
        {"SCENARIOID", [&](bool c) { item.SetSCENARIOID(c ? 4 : 3); }},
        {"SUBSTANCEGUID", [&](bool c) { item.SetSUBSTANCEGUID(c ? "{GUID-2}" : "{GUID-1}"); }},
        {"APPLICATIONSCHEMEID", [&](bool c) { item.SetAPPLICATIONSCHEMEID(c ? 5 : 2); }},
        {"SUBSTANCECHECKSUM", [&](bool c) { item.SetSUBSTANCECHECKSUM(c ? "SUM2" : "SUM1"); }},
    };
    for (const auto& [column, set] : inputs) {
        SCOPED_TRACE(column);
        set(true);
        EXPECT_TRUE(item.ResultInputsChanged());
        set(false);
        EXPECT_FALSE(item.ResultInputsChanged());
    }
}

TEST_P(AssessmentRulesTest, UpdateModificationDateStampsOnlyChangedItems) {
    AddAssessment(8, 1, 2);
    TdciAssessments& item = Loaded(8);
    const TDateTime stored = item.MODIFICATIONDATE();
    item.UpdateModificationDate();
    EXPECT_EQ(item.MODIFICATIONDATE(), stored);
    EXPECT_EQ(item.ItemState(), isBrowse);
    item.SetCAPTION("changed");
    const TDateTime before = Now();
    item.UpdateModificationDate();
    EXPECT_GE(item.MODIFICATIONDATE(), before);
    // Changed back: browse again, and the stamp goes back to the stored date.
    item.SetCAPTION("A");
    EXPECT_EQ(item.ItemState(), isEdited);
    item.SetMODIFICATIONDATE(stored);
    EXPECT_EQ(item.ItemState(), isBrowse);
    item.UpdateModificationDate();
    EXPECT_EQ(item.MODIFICATIONDATE(), stored);
    TdciAssessments& fresh = NewAssessment();
    const TDateTime created = fresh.MODIFICATIONDATE();
    fresh.UpdateModificationDate();
    EXPECT_GE(fresh.MODIFICATIONDATE(), created);
    EXPECT_EQ(fresh.ItemState(), isInserted);
}

TEST_P(AssessmentRulesTest, UnchangedAssessmentOfALockedListIsNotRefusedTheStamp) {
    AddAssessment(8, 1, 2);
    TdciAssessments& item = Loaded(8);
    list_->SetLocked(true);
    EXPECT_NO_THROW(item.UpdateModificationDate());
    EXPECT_EQ(MessageOf<EDACStateValueError>([&] { item.SetCAPTION("x"); }),
              "This list of items is locked for editing");
}

TEST_P(AssessmentRulesTest, TheRunDirectoryComesFromTheProjectDirectory) {
    AddAssessment(8, 17, 2);
    TdciAssessments& item = Loaded(8);
    EXPECT_EQ(item.RunDirectory(), "");
    EXPECT_EQ(item.InputFileName(), "");
    EXPECT_THAT(MessageOf<Exception>([&] { item.SetRunDirectory(17); }),
                ::testing::HasSubstr("no project directory provider"));
    std::vector<std::pair<int, bool>> asked;
    SetProjectDirectoryProvider([&](int projectID, bool withDelimiter) {
        asked.emplace_back(projectID, withDelimiter);
        return "/data/Projects/" + std::to_string(projectID) + (withDelimiter ? "/" : "");
    });
    item.SetRunDirectory(17);
    EXPECT_EQ(item.RunDirectory(), "/data/Projects/17/8");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(17, true));
    item.SetInputFileName("/data/Projects/17/8/GLIDAR/run.gld");
    EXPECT_EQ(item.InputFileName(), "/data/Projects/17/8/GLIDAR/run.gld");
    EXPECT_EQ(item.ItemState(), isBrowse) << "run paths are never stored";
}

PARVELA_INSTANTIATE_DATABASE_TEST(AssessmentRulesTest);

} // namespace
} // namespace parvela::test
