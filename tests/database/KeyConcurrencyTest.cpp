// Two processes drawing keys from the same counter at the same time.

#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace parvela {
namespace {

constexpr int DrawsPerProcess = 200;

struct DrawResult {
    std::vector<int> keys;
    int exitStatus = -1;
};

class Drawer {
public:
    Drawer(const std::string& connection, const std::string& table, const std::string& startFile) {
        const std::string command = std::string("'") + PARVELA_BIN_DIR +
                                    "/parvela-test-draw-keys' '" + connection + "' " + table + " " +
                                    std::to_string(DrawsPerProcess) + " '" + startFile + "'";
        pipe_ = ::popen(command.c_str(), "r");
    }
    DrawResult Finish() {
        DrawResult result;
        if (!pipe_)
            return result;
        int key = 0;
        while (std::fscanf(pipe_, "%d", &key) == 1)
            result.keys.push_back(key);
        const int status = ::pclose(pipe_);
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pipe_ = nullptr;
        return result;
    }
    ~Drawer() {
        if (pipe_)
            ::pclose(pipe_);
    }

private:
    FILE* pipe_ = nullptr;
};

class KeyConcurrencyTest : public test::DatabaseTest {
protected:
    // Two processes draw from `table` at the same moment; `firstKey` is the next key due.
    void ExpectDistinctKeysWithoutGaps(const std::string& table, int firstKey) {
        const std::filesystem::path startFile =
            std::filesystem::path(PARVELA_TEST_WORK_DIR) /
            ("draw-start-" + std::to_string(::getpid()) + "-" + test::EngineLabel(GetEngine()));
        std::filesystem::remove(startFile);
        Drawer first(ConnectionString(), table, startFile.string());
        Drawer second(ConnectionString(), table, startFile.string());
        std::ofstream(startFile.string()).put('\n');
        const DrawResult a = first.Finish();
        const DrawResult b = second.Finish();
        std::filesystem::remove(startFile);

        EXPECT_EQ(a.exitStatus, 0);
        EXPECT_EQ(b.exitStatus, 0);
        ASSERT_EQ(a.keys.size(), static_cast<std::size_t>(DrawsPerProcess));
        ASSERT_EQ(b.keys.size(), static_cast<std::size_t>(DrawsPerProcess));
        std::set<int> all(a.keys.begin(), a.keys.end());
        all.insert(b.keys.begin(), b.keys.end());
        EXPECT_EQ(all.size(), 2u * DrawsPerProcess) << "a key was handed out twice";
        EXPECT_EQ(*all.begin(), firstKey);
        const int lastKey = firstKey + 2 * DrawsPerProcess - 1;
        EXPECT_EQ(*all.rbegin(), lastKey) << "an increment was lost";
        // Each process sees its own keys grow.
        EXPECT_TRUE(std::is_sorted(a.keys.begin(), a.keys.end()));
        EXPECT_TRUE(std::is_sorted(b.keys.begin(), b.keys.end()));
        EXPECT_EQ(QueryRows("SELECT HIGHESTID FROM SYSTABLES WHERE TABLENAME='" + table + "'")
                      .front()
                      .front()
                      .AsInteger(),
                  lastKey);
    }
};

TEST_P(KeyConcurrencyTest, TwoProcessesNeverGetTheSameKeyAndLoseNoIncrement) {
    ASSERT_EQ(Db().GetNewID("ASSESSMENTS"), 0);
    ExpectDistinctKeysWithoutGaps("ASSESSMENTS", 1);
}

// Both processes may find no counter row and both insert it: the refused one tries again.
TEST_P(KeyConcurrencyTest, TwoProcessesStartingATableShareItsCounter) {
    ExpectDistinctKeysWithoutGaps("APPLICATIONS", 0);
}

PARVELA_INSTANTIATE_DATABASE_TEST(KeyConcurrencyTest);

} // namespace
} // namespace parvela
