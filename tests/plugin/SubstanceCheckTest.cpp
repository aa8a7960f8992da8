#include "framework/TDACSaver.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "program/checks/SchemeUsage.h"
#include "program/plugin/TDAXOInterface.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

namespace parvela {
namespace {

using namespace plugin_test;

// A database of the program and the real plug-in with a substance database of its own.
class SubstanceCheckTest : public test::DatabaseTest {
protected:
    void SetUp() override {
        test::DatabaseTest::SetUp();
        directory_ = std::make_unique<TTestDirectory>("substance-check");
        environment_.push_back(std::make_unique<TScopedEnvironment>(
            "PARVELA_MACHINE_REGISTRY", directory_->File("machine.ini")));
        environment_.push_back(std::make_unique<TScopedEnvironment>("PARVELA_USER_REGISTRY",
                                                                    directory_->File("user.ini")));
        environment_.push_back(std::make_unique<TScopedEnvironment>(
            "PARVELA_DAXO_DATABASE", directory_->File("substances.sqlite")));
        TRegistry(HKEY_LOCAL_MACHINE)
            .WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", LibraryPath);
        TDACSaver::CreateSingleton(Db());
        TDAXOInterface::CreateSingleton(".");
    }
    void TearDown() override {
        TDAXOInterface::DestroySingleton();
        TDACSaver::DestroySingleton();
        environment_.clear();
        directory_.reset();
        test::DatabaseTest::TearDown();
    }

    std::string Checksum(const std::string& guid) {
        return TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid);
    }

    void AddProject(int id, bool locked) {
        RunRawSQL("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, BUSY, COMMENT, LOCKED) "
                  "VALUES (" +
                  std::to_string(id) + ", 'P" + std::to_string(id) + "', '', FALSE, '', " +
                  (locked ? "TRUE" : "FALSE") + ")");
    }

    void AddAssessment(int id, int project, const std::string& caption, const std::string& guid,
                       const std::string& checksum, bool validResults) {
        RunRawSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                  "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
                  "SELECTEDFOREXECUTION, ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, COMMENT) "
                  "VALUES (" +
                  std::to_string(id) + ", '" + caption + "', '', " + std::to_string(project) +
                  ", 1, '" + guid + "', 1, '" + checksum + "', FALSE, '', '', " +
                  (validResults ? "TRUE" : "FALSE") + ", '')");
    }

    struct TStored {
        std::string guid, checksum;
        bool valid;
    };
    TStored Stored(int id) {
        auto rows = QueryRows("SELECT SUBSTANCEGUID, SUBSTANCECHECKSUM, VALIDRESULTS FROM "
                              "ASSESSMENTS WHERE ASSESSMENTID=" +
                              std::to_string(id));
        EXPECT_EQ(1u, rows.size());
        return {rows[0][0].AsString(), rows[0][1].AsString(), rows[0][2].AsBoolean()};
    }

    std::vector<std::string> CheckAndCollectMessages() {
        TScriptedDialogs dialogs;
        TScopedDialogs scoped(dialogs);
        CheckSubstances(Db());
        for (const TShownBox& shown : dialogs.Boxes()) {
            EXPECT_EQ(TDialogIcon::None, shown.Box.Icon) << "plain boxes without an icon";
            EXPECT_EQ("Parvela_2.4.2_CN", shown.Box.Caption);
        }
        return dialogs.Texts();
    }

    std::unique_ptr<TTestDirectory> directory_;
    std::vector<std::unique_ptr<TScopedEnvironment>> environment_;
};

const std::string ChangedPrefix =
    "Results of next assessments are invalid because used substance has changed: ";
const std::string DeletedPrefix =
    "Results of next assessments are invalid because used substance is deleted: ";

TEST_P(SubstanceCheckTest, AnEmptyDatabaseShowsNothing) {
    EXPECT_TRUE(CheckAndCollectMessages().empty());
}

TEST_P(SubstanceCheckTest, ChangedSubstancesAreReportedInCommaTextAndInvalidated) {
    AddProject(1, false);
    AddAssessment(10, 1, "A", AlphaGuid, "stale", true);
    AddAssessment(11, 1, "B c", AlphaGuid, "stale", true);
    EXPECT_EQ(std::vector<std::string>{ChangedPrefix + "A,\"B c\""}, CheckAndCollectMessages());
    for (int id : {10, 11}) {
        TStored row = Stored(id);
        EXPECT_FALSE(row.valid);
        EXPECT_EQ(Checksum(AlphaGuid), row.checksum);
        EXPECT_EQ(AlphaGuid, row.guid);
    }
    EXPECT_TRUE(CheckAndCollectMessages().empty()) << "nothing is reported on a second run";
}

TEST_P(SubstanceCheckTest, ChangedComesBeforeDeletedAndLockedProjectsAreUpdatedToo) {
    AddProject(1, true);
    AddAssessment(10, 1, "gone", UnknownGuid, "old", true);
    AddAssessment(11, 1, "changed", EtaGuid, "old", true);
    AddAssessment(12, 1, "quiet", AlphaGuid, "old", false);
    EXPECT_EQ((std::vector<std::string>{ChangedPrefix + "changed", DeletedPrefix + "gone"}),
              CheckAndCollectMessages());
    TStored gone = Stored(10);
    EXPECT_EQ("<empty>", gone.guid);
    EXPECT_EQ("", gone.checksum);
    EXPECT_FALSE(gone.valid);
    EXPECT_FALSE(Stored(11).valid);
    TStored quiet = Stored(12);
    EXPECT_EQ(Checksum(AlphaGuid), quiet.checksum) << "updated silently";
    EXPECT_TRUE(CheckAndCollectMessages().empty());
}

TEST_P(SubstanceCheckTest, AVanishedSubstanceWithAnEmptyStoredChecksumIsReportedEveryTime) {
    AddProject(1, false);
    AddAssessment(10, 1, "again", UnknownGuid, "", true);
    AddAssessment(11, 1, "after", AlphaGuid, "stale", true);
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> messages = CheckAndCollectMessages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(DeletedPrefix + "again", messages.back());
        TStored row = Stored(10);
        EXPECT_EQ(UnknownGuid, row.guid) << "nothing is saved";
        EXPECT_TRUE(row.valid);
    }
    EXPECT_FALSE(Stored(11).valid) << "the walk goes on past it";
}

TEST_P(SubstanceCheckTest, ChangesInThePluginDatabaseAreSeenByTheNextCheck) {
    AddProject(1, false);
    AddProject(2, false);
    AddAssessment(10, 1, "first", AlphaGuid, Checksum(AlphaGuid), true);
    AddAssessment(20, 2, "second", EtaGuid, Checksum(EtaGuid), true);
    EXPECT_TRUE(CheckAndCollectMessages().empty());

    ExecuteSql(directory_->File("substances.sqlite"),
               "UPDATE attributes SET value='99.5' WHERE guid='" + EtaGuid +
                   "' AND name='DT50Ref'");
    EXPECT_EQ(std::vector<std::string>{ChangedPrefix + "second"}, CheckAndCollectMessages());
    EXPECT_TRUE(Stored(10).valid);

    ExecuteSql(directory_->File("substances.sqlite"),
               "DELETE FROM substances WHERE guid='" + AlphaGuid + "'");
    EXPECT_EQ(std::vector<std::string>{DeletedPrefix + "first"}, CheckAndCollectMessages());
    EXPECT_EQ("<empty>", Stored(10).guid);
    EXPECT_TRUE(CheckAndCollectMessages().empty());
}

TEST_P(SubstanceCheckTest, AFailingSaveEndsTheWalkWithoutMessages) {
    AddProject(1, false);
    AddAssessment(10, 1, "saved first", AlphaGuid, "stale", true);
    AddAssessment(11, 1, "", AlphaGuid, "stale", true); // no longer validates
    AddAssessment(12, 1, "never reached", AlphaGuid, "stale", true);
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    EXPECT_THROW(CheckSubstances(Db()), EDACStateValueError);
    EXPECT_TRUE(dialogs.Boxes().empty());
    EXPECT_FALSE(Stored(10).valid) << "assessments saved before stay saved";
    EXPECT_TRUE(Stored(12).valid);
}

PARVELA_INSTANTIATE_DATABASE_TEST(SubstanceCheckTest);

} // namespace
} // namespace parvela
