#include "db/DatabaseCreator.h"
#include "framework/TDACDatabase.h"
#include "framework/TVersionInfo.h"
#include "platform/ExecutablePath.h"
#include "platform/VersionBlock.h"
#include "program/connection/TApplicationSettings.h"
#include "program/startup/FirstStart.h"
#include "tests/platform/TestDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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

// A password in a file that the group or others may read gets one warning that names the file
// and the fix, as ssh and libpq warn; a file without a password may be read by all.
TEST_F(SettingsFileTest, AReadablePasswordIsWarnedAbout) {
    struct Case {
        const char* Password;
        mode_t Mode;
        const char* Warned; // the mode as the warning names it; null: no warning
    };
    for (const Case& c : {Case{"secret", 0600, nullptr}, Case{"secret", 0440, "0440"},
                          Case{"secret", 0404, "0404"}, Case{"", 0644, nullptr}}) {
        fs::remove(directory_ / "parvela.ini");
        const std::string file = Write(
            std::string("[Database]\nDatabaseName=x\nUserName=u\nPassword=") + c.Password + "\n");
        ::chmod(file.c_str(), c.Mode);
        const std::string warning =
            TApplicationSettings::CreateSingleton(file).ExposedPasswordWarning();
        TApplicationSettings::DestroySingleton();
        EXPECT_EQ(warning, c.Warned
                               ? "The settings file \"" + file +
                                     "\" holds a password and other users may read it (mode " +
                                     c.Warned + "). Make it readable for you alone: chmod 600 \"" +
                                     file + "\""
                               : "")
            << c.Mode;
    }
}

TEST_F(SettingsFileTest, AMissingFileIsNamedInFull) {
    std::string file = (directory_ / "absent.ini").string();
    EXPECT_EQ("Exception: File \"" + file + "\" not found",
              FailureOf([&] { TApplicationSettings::CreateSingleton(file); }));
}

// An installed program: settings beside the executable first, then per user; a first start
// makes the per-user database and settings.
class SettingsLookupTest : public ::testing::Test {
protected:
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The CAPTION column of a query on the SQLite database file.
    std::vector<std::string> Captions(const std::string& databaseFile, const std::string& sql) {
        TDACDatabase database;
        database.SetODBCConnection(db::SQLiteConnectionString(databaseFile), "", "");
        database.SetConnected(true);
        std::vector<std::string> rows;
        for (auto query = database.OpenQuery(sql); !query->Eof(); query->Next())
            rows.push_back(query->FieldByName("CAPTION").AsString());
        return rows;
    }

    void Execute(const std::string& databaseFile, const std::string& sql) {
        TDACDatabase database;
        database.SetODBCConnection(db::SQLiteConnectionString(databaseFile), "", "");
        database.SetConnected(true);
        database.ExecSQL(sql);
    }

    test::TTestDirectory dir_;
    const std::string config_ = dir_ / "config";
    const std::string data_ = dir_ / "data";
    test::TScopedEnvironment configEnv_{"XDG_CONFIG_HOME", config_};
    test::TScopedEnvironment dataEnv_{"XDG_DATA_HOME", data_};
    // No program of this name has settings beside the test executable.
    const std::string program_ = "parvela-lookup-test";
};

TEST_F(SettingsLookupTest, BesideTheExecutableThenPerUser) {
    EXPECT_EQ(TApplicationSettings::SettingsFileName(program_),
              config_ + "/parvela/parvela-lookup-test.ini");
    EXPECT_EQ(TApplicationSettings::SettingsFileName(), config_ + "/parvela/program_tests.ini")
        << "without a name, the executable's own";
    const std::string beside = ExecutableDirectory() + program_ + ".ini";
    std::ofstream(beside) << "[Database]\n";
    EXPECT_EQ(TApplicationSettings::SettingsFileName(program_), beside);
    EXPECT_EQ(PrepareSettingsFile(program_), beside) << "no first start beside settings";
    fs::remove(beside);
    EXPECT_FALSE(fs::exists(config_)) << "nothing made per user";
}

TEST_F(SettingsLookupTest, AFirstStartMakesTheUsersDatabaseWithTheExampleAndItsSettings) {
    const std::string settings = PrepareSettingsFile(program_);
    EXPECT_EQ(settings, config_ + "/parvela/parvela-lookup-test.ini");
    const std::string database = data_ + "/parvela/parvela.db";
    const TApplicationSettings& read = TApplicationSettings::CreateSingleton(settings);
    EXPECT_EQ(read.DatabaseName(), "Driver=SQLite3;Database=" + database);
    EXPECT_EQ(read.UserName(), "");
    EXPECT_EQ(read.Password(), "");
    TApplicationSettings::DestroySingleton();
    // The user's own: the settings may come to hold a password.
    EXPECT_EQ(test::ModeOf(settings), 0600u);
    EXPECT_EQ(test::ModeOf(database), 0600u);
    for (const std::string& folder : {config_, config_ + "/parvela", data_, data_ + "/parvela"})
        EXPECT_EQ(test::ModeOf(folder), 0700u) << folder;
    EXPECT_EQ(Captions(database, "SELECT CAPTION FROM SCENARIOS ORDER BY SCENARIOID"),
              (std::vector<std::string>{"Jinhua", "Nanchang"}));
    EXPECT_EQ(Captions(database, "SELECT ASSESSMENTS.CAPTION FROM ASSESSMENTS, PROJECTS WHERE "
                                 "ASSESSMENTS.PROJECTID = PROJECTS.PROJECTID AND "
                                 "PROJECTS.CAPTION = 'Example' AND SELECTEDFOREXECUTION"),
              (std::vector<std::string>{"Example"}));

    // Later starts read what is there; a lost settings file never costs the database.
    std::ofstream(settings) << "[Database]\nDatabaseName=mine\nUserName=\nPassword=\n";
    EXPECT_EQ(PrepareSettingsFile(program_), settings);
    EXPECT_NE(ReadFile(settings).find("DatabaseName=mine"), std::string::npos);
    Execute(database, "INSERT INTO PROJECTS (PROJECTID, CAPTION) VALUES (77, 'Kept')");
    fs::remove(settings);
    EXPECT_EQ(PrepareSettingsFile(program_), settings);
    EXPECT_NE(ReadFile(settings).find("Database=" + database), std::string::npos);
    EXPECT_EQ(Captions(database, "SELECT CAPTION FROM PROJECTS WHERE PROJECTID = 77"),
              (std::vector<std::string>{"Kept"}));
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
