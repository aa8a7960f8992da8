// The program's whole-database operations answer with a few indexed queries; the walks over
// every project that they replace (ReferenceWalks.h) are the reference. On random databases
// of both engines (projects locked or not, assessments with and without valid results, of
// missing projects or none, with changed, unchanged, unknown and blank substances, some that
// no longer validate) both must give the same answers, the same messages in the same order,
// the same failure and leave the same rows behind.

#include "tests/plugin/PluginTestSupport.h"
#include "tests/support/TestDatabase.h"
#include "tests/wholedatabase/ReferenceWalks.h"

#include "framework/Format.h"
#include "framework/TDACSaver.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "program/checks/SchemeUsage.h"
#include "program/plugin/TDAXOInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <typeinfo>

namespace parvela::test {
namespace {

using namespace plugin_test;

constexpr int Rounds = 30;
constexpr int Schemes = 4;

// What an operation did that anyone could see: its failure and the boxes it showed.
struct TOutcome {
    std::string failure;
    std::vector<std::string> messages;
    bool operator==(const TOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TOutcome& outcome) {
    out << "failure [" << outcome.failure << "], messages [";
    for (const std::string& message : outcome.messages)
        out << message << "; ";
    return out << "]";
}

class WalkEquivalenceTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        other_ = std::make_unique<TestDatabase>(GetEngine());
        directory_ = std::make_unique<TTestDirectory>("walk-equivalence");
        for (const auto& [name, file] : {std::pair{"PARVELA_MACHINE_REGISTRY", "machine.ini"},
                                         std::pair{"PARVELA_USER_REGISTRY", "user.ini"},
                                         std::pair{"PARVELA_DAXO_DATABASE", "substances.sqlite"}})
            environment_.push_back(
                std::make_unique<TScopedEnvironment>(name, directory_->File(file)));
        TRegistry(HKEY_LOCAL_MACHINE)
            .WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", LibraryPath);
        TDAXOInterface::CreateSingleton(".");
        TDACSaver::CreateSingleton(Db());
    }
    void TearDown() override {
        TDACSaver::DestroySingleton();
        TDAXOInterface::DestroySingleton();
        environment_.clear();
        directory_.reset();
        other_.reset();
        DatabaseTest::TearDown();
    }

    // The same random rows in both databases, inserted in the same (random) order.
    void FillBoth(unsigned seed) {
        const std::vector<std::string> statements = RandomRows(seed);
        for (TDACDatabase* database : {&Db(), &other_->Database()}) {
            database->StartTransaction(TIsolationLevel::ReadCommitted);
            if (IsSQLite()) {
                database->ExecSQL("DELETE FROM ASSESSMENTS");
                database->ExecSQL("DELETE FROM PROJECTS");
            } else {
                // A fresh table: both databases lay their rows out alike.
                database->ExecSQL("TRUNCATE ASSESSMENTS, PROJECTS");
            }
            for (const std::string& statement : statements)
                database->ExecSQL(statement);
            database->Commit();
        }
    }

    std::vector<std::string> RandomRows(unsigned seed) {
        std::mt19937 random(seed);
        const auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };
        const auto pick = [&](const auto& values) {
            return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
        };
        const auto distinctKeys = [&](int count, int below) {
            std::vector<int> keys(static_cast<std::size_t>(below - 1));
            std::iota(keys.begin(), keys.end(), 1);
            std::shuffle(keys.begin(), keys.end(), random);
            keys.resize(static_cast<std::size_t>(count));
            return keys;
        };
        std::vector<std::string> statements;
        projects_ = distinctKeys(std::uniform_int_distribution(0, 5)(random), 20);
        for (int project : projects_)
            statements.push_back(Format(
                "INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, BUSY, COMMENT, LOCKED) "
                "VALUES (%d, 'P%d', '', FALSE, '', %s)",
                project, project, chance(0.25) ? "TRUE" : "FALSE"));
        const std::vector<std::string> guids = {AlphaGuid, EtaGuid, BetaGuid, UnknownGuid,
                                                "<empty>"};
        const std::vector<std::string> captions = {"A", "B c", "x,y", "q\"t", "d", "e"};
        // The truths as stored: on SQLite also as other programs write them, which the items
        // read as they read 1 and 0.
        std::vector<std::string> truths{"TRUE", "TRUE", "FALSE", "NULL"};
        if (IsSQLite())
            truths.insert(truths.end(), {"2", "'True'", "'False'", "'1'"});
        assessments_ = distinctKeys(std::uniform_int_distribution(0, 25)(random), 200);
        for (int key : assessments_) {
            std::string project = "NULL";
            if (!projects_.empty() && chance(0.8))
                project = std::to_string(pick(projects_));
            else if (chance(0.7))
                project = std::to_string(20 + key % 5); // a project that does not exist
            const std::string guid = chance(0.02) ? std::string() : pick(guids);
            const std::string checksum =
                chance(0.5) ? QuotedSQLText(Checksum(guid))
                            : pick(std::vector<std::string>{"'stale'", "''", "NULL"});
            statements.push_back(Format(
                "INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
                "SELECTEDFOREXECUTION, ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, COMMENT) "
                "VALUES (%d, '%s', '', %s, %d, '%s', %d, %s, FALSE, '', '', %s, '')",
                key, chance(0.03) ? std::string() : pick(captions) + std::to_string(key), project,
                chance(0.03) ? 0 : 1, guid, std::uniform_int_distribution(1, Schemes)(random),
                checksum, pick(truths)));
        }
        return statements;
    }

    std::string Checksum(const std::string& guid) {
        if (guid.empty())
            return {};
        return TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid);
    }

    // Runs an operation that may save, with the saver on that database and scripted boxes.
    static TOutcome Run(TDACDatabase& database, const std::function<void()>& operation) {
        TDACSaver::DestroySingleton();
        TDACSaver::CreateSingleton(database);
        TScriptedDialogs dialogs;
        TScopedDialogs scope(dialogs);
        TOutcome outcome;
        try {
            operation();
        } catch (const std::exception& failure) {
            outcome.failure = std::string(typeid(failure).name()) + ": " + failure.what();
        }
        outcome.messages = dialogs.Texts();
        return outcome;
    }

    // Every assessment's columns that the operations may change.
    static std::vector<std::string> Rows(TDACDatabase& database) {
        std::vector<std::string> rows;
        auto query = database.OpenQuery("SELECT ASSESSMENTID, SUBSTANCEGUID, SUBSTANCECHECKSUM, "
                                        "VALIDRESULTS FROM ASSESSMENTS ORDER BY ASSESSMENTID");
        for (; !query->Eof(); query->Next()) {
            std::string row;
            for (int column = 0; column < query->FieldCount(); ++column)
                row += query->FieldByName(query->FieldName(column)).AsVariant().AsString() + "|";
            rows.push_back(row);
        }
        return rows;
    }

    std::unique_ptr<TestDatabase> other_;
    std::unique_ptr<TTestDirectory> directory_;
    std::vector<std::unique_ptr<TScopedEnvironment>> environment_;
    std::vector<int> projects_;
    std::vector<int> assessments_;
};

TEST_P(WalkEquivalenceTest, SchemeUsageAnswersAsTheWalks) {
    for (unsigned seed = 1; seed <= Rounds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        FillBoth(seed);
        std::vector<int> given = {999}; // no such assessment
        if (!assessments_.empty())
            given.push_back(assessments_[seed % assessments_.size()]);
        for (int scheme = 1; scheme <= Schemes + 1; ++scheme) {
            EXPECT_EQ(walk::IsApplicationSchemeUsed(Db(), scheme),
                      IsApplicationSchemeUsed(Db(), scheme))
                << "scheme " << scheme;
            for (int assessment : given)
                EXPECT_EQ(walk::ClassifySchemeUsage(Db(), scheme, assessment),
                          static_cast<int>(ClassifySchemeUsage(Db(), scheme, assessment)))
                    << "scheme " << scheme << ", assessment " << assessment;
        }
        const int scheme = static_cast<int>(seed % Schemes) + 1;
        const TOutcome walked = Run(Db(), [&] { walk::InvalidateSchemeResults(Db(), scheme); });
        const TOutcome queried =
            Run(other_->Database(), [&] { InvalidateSchemeResults(other_->Database(), scheme); });
        EXPECT_EQ(walked, queried) << "scheme " << scheme;
        EXPECT_EQ(Rows(Db()), Rows(other_->Database())) << "scheme " << scheme;
    }
}

TEST_P(WalkEquivalenceTest, TheSubstanceCheckReportsAndSavesAsTheWalk) {
    for (unsigned seed = 1; seed <= Rounds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        FillBoth(seed);
        const TOutcome walked = Run(Db(), [&] { walk::CheckSubstances(Db()); });
        const TOutcome queried =
            Run(other_->Database(), [&] { CheckSubstances(other_->Database()); });
        EXPECT_EQ(walked, queried);
        EXPECT_EQ(Rows(Db()), Rows(other_->Database()));
    }
}

PARVELA_INSTANTIATE_DATABASE_TEST(WalkEquivalenceTest);

} // namespace
} // namespace parvela::test
