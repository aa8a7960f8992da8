#include "db/DatabaseCreator.h"
#include "platform/Exceptions.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

namespace parvela {
namespace {

class DeliveredScenariosTest : public test::DatabaseTest {};

TEST_P(DeliveredScenariosTest, LoadAfterTheReferenceDataAndKeepTheKeyCounters) {
    db::LoadDeliveredScenarios(Db(), GetEngine());
    auto scenarios = QueryRows("SELECT SCENARIOID FROM SCENARIOS WHERE SCENARIOID > 0");
    EXPECT_GE(scenarios.size(), 2u);
    auto interceptions = QueryRows("SELECT InterceptionID FROM Interceptions");
    EXPECT_FALSE(interceptions.empty());
    auto applications = QueryRows("SELECT APPLICATIONID FROM APPLICATIONS");
    EXPECT_GE(applications.size(), 2u);
    // New rows draw keys above the delivered ones.
    EXPECT_GT(Db().GetNewID("SCENARIOS"), static_cast<int>(scenarios.size()));
    EXPECT_GT(Db().GetNewID("APPLICATIONS"), static_cast<int>(applications.size()));
}

TEST_P(DeliveredScenariosTest, AFailingLoadLeavesNothingBehind) {
    RunRawSQL("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION) "
              "VALUES (1, 'taken', '')");
    EXPECT_THROW(db::LoadDeliveredScenarios(Db(), GetEngine()), Exception);
    EXPECT_TRUE(QueryRows("SELECT SCENARIOID FROM SCENARIOS").empty());
    EXPECT_TRUE(QueryRows("SELECT InterceptionID FROM Interceptions").empty());
}

PARVELA_INSTANTIATE_DATABASE_TEST(DeliveredScenariosTest);

} // namespace
} // namespace parvela
