#include "framework/TVersionInfo.h"
#include "platform/VersionBlock.h"
#include "program/TApplicationSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace parvela {
namespace {

namespace fs = std::filesystem;

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "<no failure>";
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(PARVELA_TEST_WORK_DIR) / "settings" /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    void TearDown() override { TApplicationSettings::DestroySingleton(); }

    std::string Write(const std::string& content) {
        std::string file = (directory_ / "parvela.ini").string();
        std::ofstream(file) << content;
        return file;
    }

    fs::path directory_;
};

TEST_F(SettingsFileTest, ReadsTheThreeKeysIgnoringLetterCase) {
    std::string file = Write("[database]\r\ndatabasename=Driver=SQLite3;Database=/tmp/x.db\r\n"
                             "USERNAME=assessor\r\nPassWord=secret\r\n");
    const TApplicationSettings& settings = TApplicationSettings::CreateSingleton(file);
    EXPECT_EQ("Driver=SQLite3;Database=/tmp/x.db", settings.DatabaseName());
    EXPECT_EQ("assessor", settings.UserName());
    EXPECT_EQ("secret", settings.Password());
}

TEST_F(SettingsFileTest, EmptyValuesArePresent) {
    std::string file = Write("[Database]\nDatabaseName=\nUserName=\nPassword=\n");
    const TApplicationSettings& settings = TApplicationSettings::CreateSingleton(file);
    EXPECT_EQ("", settings.DatabaseName());
    EXPECT_EQ("", settings.UserName());
    EXPECT_EQ("", settings.Password());
}

struct ExactValueCase {
    const char* label;
    std::string written; // what follows "Password=" in the file
    std::string read;
};

void PrintTo(const ExactValueCase& c, std::ostream* os) {
    *os << c.label;
}

class ExactValueTest : public SettingsFileTest,
                       public ::testing::WithParamInterface<ExactValueCase> {};

// Nothing in a value is interpreted: only the blanks around it and one pair of double quotes
// around the whole of it are removed.
TEST_P(ExactValueTest, ValuesArriveExactlyAsWritten) {
    const std::string connection = "Driver={PostgreSQL Unicode};Server=db\\inst;Port=5432;"
                                   "Database=\"par;vela\";BoolsAsChar=0;Pwd=a=b;" +
                                   std::string(300, 'x');
    std::string file = Write("; the shared database\r\n[Database]\r\nDatabaseName=" + connection +
                             "\r\nUserName=assessor\r\nPassword=" + GetParam().written + "\r\n");
    const TApplicationSettings& settings = TApplicationSettings::CreateSingleton(file);
    EXPECT_EQ(connection, settings.DatabaseName());
    EXPECT_EQ(GetParam().read, settings.Password());
}

INSTANTIATE_TEST_SUITE_P(
    Passwords, ExactValueTest,
    ::testing::Values(ExactValueCase{"BackslashesSemicolonsEquals", "C:\\new\\t;x=y ; z",
                                     "C:\\new\\t;x=y ; z"},
                      ExactValueCase{"QuotedBackslashes", "\"a\\tb\\\"c\\x41\"", "a\\tb\\\"c\\x41"},
                      ExactValueCase{"QuotedBlanks", "\"  pa ss  \"", "  pa ss  "},
                      ExactValueCase{"QuotesOfItsOwn", "\"\"secret\"\"", "\"secret\""},
                      ExactValueCase{"OneQuote", "\"secret", "\"secret"},
                      ExactValueCase{"DwordLookAlike", "dword:0000000c", "dword:0000000c"}),
    [](const auto& info) { return std::string(info.param.label); });

struct MissingKeyCase {
    const char* content;
    const char* failure;
};

class MissingSettingsTest : public SettingsFileTest,
                            public ::testing::WithParamInterface<MissingKeyCase> {};

TEST_P(MissingSettingsTest, NamesTheFirstMissingKey) {
    std::string file = Write(GetParam().content);
    EXPECT_EQ(GetParam().failure, FailureOf([&] { TApplicationSettings::CreateSingleton(file); }));
    EXPECT_FALSE(TApplicationSettings::SingletonExists());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MissingSettingsTest,
    ::testing::Values(
        MissingKeyCase{
            "[Database]\nDatabaseName=x\n",
            "EAssertionFailed: Ini file variable UserName in section Database not found"},
        MissingKeyCase{"[Database]\nUserName=u\nPassword=p\n", "EAssertionFailed: Ini file "
                                                               "variable DatabaseName in section "
                                                               "Database not found"},
        MissingKeyCase{"[Other]\nDatabaseName=x\nUserName=u\nPassword=p\n",
                       "EAssertionFailed: Ini file variable DatabaseName in section Database not "
                       "found"},
        MissingKeyCase{"[Database]\nDatabaseName=x\nUserName=u\n",
                       "EAssertionFailed: Ini file variable Password in section Database not "
                       "found"}));

TEST_F(SettingsFileTest, AMissingFileIsNamedInFull) {
    std::string file = (directory_ / "absent.ini").string();
    EXPECT_EQ("Exception: File \"" + file + "\" not found",
              FailureOf([&] { TApplicationSettings::CreateSingleton(file); }));
}

TEST(SettingsFileName, IsTheExecutablePathWithIni) {
    std::string name = TApplicationSettings::SettingsFileName();
    EXPECT_EQ(".ini", fs::path(name).extension().string());
    EXPECT_EQ("program_tests.ini", fs::path(name).filename().string());
    EXPECT_TRUE(fs::path(name).is_absolute());
}

class VersionInfoTest : public ::testing::Test {
protected:
    void TearDown() override { TVersionInfo::DestroySingleton(); }
};

TEST_F(VersionInfoTest, TheBuildCarriesFileVersion2041) {
    const TVersionInfo& info = TVersionInfo::CreateSingleton();
    EXPECT_EQ("2", info.Major());
    EXPECT_EQ("0", info.Minor());
    EXPECT_EQ("4", info.Release());
    EXPECT_EQ("1", info.Build());
}

struct VersionTextCase {
    TFileVersion version;
    int maxPart;
    const char* text;
};

class VersionTextTest : public VersionInfoTest,
                        public ::testing::WithParamInterface<VersionTextCase> {};

TEST_P(VersionTextTest, JoinsThePartsUpToTheLastSignificantOne) {
    TVersionBlockOverride block(GetParam().version);
    EXPECT_EQ(GetParam().text, TVersionInfo::CreateSingleton().VersionText(GetParam().maxPart));
}

INSTANTIATE_TEST_SUITE_P(Parts, VersionTextTest,
                         ::testing::Values(VersionTextCase{{2, 0, 4, 1}, 0, "2"},
                                           VersionTextCase{{2, 0, 4, 1}, 2, "2.0.4"},
                                           VersionTextCase{{2, 0, 4, 1}, 3, "2.0.4.1"},
                                           VersionTextCase{{2, 0, 4, 1}, 5, "2.0.4.1"},
                                           VersionTextCase{{2, 0, 4, 1}, -1, ""},
                                           VersionTextCase{{3, 1, 0, 0}, 3, "3.1"},
                                           VersionTextCase{{0, 0, 0, 0}, 3, ""}));

TEST_F(VersionInfoTest, NoVersionBlockIsAnAssertionFailure) {
    TVersionBlockOverride block(std::nullopt);
    EXPECT_EQ("EAssertionFailed: No version information found",
              FailureOf([] { TVersionInfo::CreateSingleton(); }));
    EXPECT_FALSE(TVersionInfo::SingletonExists());
}

TEST_F(VersionInfoTest, GetSingletonBeforeCreationFails) {
    EXPECT_EQ("Exception: Error: Object not created, use TVersionInfo.CreateSingleton.",
              FailureOf([] { TVersionInfo::GetSingleton(); }));
}

} // namespace
} // namespace parvela
