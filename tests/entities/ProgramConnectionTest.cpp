// The lists and the module operations on the program's own database connection, made from
// a settings file as at start-up.

#include "tests/entities/EntityTest.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "program/checks/SchemeUsage.h"
#include "program/connection/TApplicationSettings.h"
#include "program/connection/TDatabaseConnection.h"

#include <filesystem>
#include <fstream>

namespace parvela::test {
namespace {

class ProgramConnectionTest : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        const auto dir = std::filesystem::path(PARVELA_TEST_WORK_DIR) / "entities";
        std::filesystem::create_directories(dir);
        settingsFile_ = (dir / ("settings-" +
                                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                EngineLabel(GetEngine()) + ".ini"))
                            .string();
        std::ofstream(settingsFile_) << "[Database]\r\nDatabaseName=" << ConnectionString()
                                     << "\r\nUserName=\r\nPassword=\r\n";
        TApplicationSettings::CreateSingleton(settingsFile_);
        TDatabaseConnection::CreateSingleton();
        TDatabaseConnection::GetSingleton().Database().SetTrueString("True");
        TDatabaseConnection::GetSingleton().Database().SetFalseString("False");
    }
    void TearDown() override {
        TDatabaseConnection::DestroySingleton();
        TApplicationSettings::DestroySingleton();
        std::filesystem::remove(settingsFile_);
        EntityTest::TearDown();
    }
    std::string settingsFile_;
};

TEST_P(ProgramConnectionTest, ListsWithoutADatabaseUseTheProgramsConnection) {
    AddProject(1, "P");
    AddScheme(4, "S");
    AddScheme(5, "Other");
    AddAssessment(10, 1, 4, true);
    TdcProjects projects;
    projects.Open();
    ASSERT_EQ(projects.Count(), 1);
    EXPECT_EQ(&projects.Database(), &TDatabaseConnection::GetSingleton().Database());
    EXPECT_EQ(projects.Item().Assessments().Database().Connected(), true);
    EXPECT_TRUE(IsApplicationSchemeUsed(4));
    EXPECT_FALSE(IsApplicationSchemeUsed(5));
    EXPECT_EQ(ClassifySchemeUsage(4, 10), TSchemeUsage::OwnResults);
    InvalidateSchemeResults(4);
    EXPECT_EQ(CountRows("ASSESSMENTS WHERE VALIDRESULTS=TRUE"), 0);
    TdcApplicationSchemes schemes;
    schemes.Open();
    schemes.LocateByItemID("4", true);
    EXPECT_FALSE(schemes.Item().CanDelete());
    schemes.LocateByItemID("5", true);
    EXPECT_TRUE(schemes.Item().CanDelete());
}

PARVELA_INSTANTIATE_DATABASE_TEST(ProgramConnectionTest);

} // namespace
} // namespace parvela::test
