#include "program/startup/Services.h"
#include "framework/TDACSaver.h"
#include "framework/TVersionInfo.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "program/connection/TApplicationSettings.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "tests/platform/TestDirectory.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace parvela {
namespace {

namespace fs = std::filesystem;

std::string WriteSettings(const std::string& databaseName, const std::string& password = "") {
    fs::path directory = fs::path(PARVELA_TEST_WORK_DIR) / "services" /
                         ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(directory);
    fs::path file = directory / "parvela.ini";
    std::ofstream(file) << "[Database]\nDatabaseName=" << databaseName
                        << "\nUserName=\nPassword=" << password << "\n";
    return file.string();
}

class ServicesTest : public test::DatabaseTest {
protected:
    // The plug-in is found through a machine-wide store of the test's own, and keeps its
    // substances in a file of the test's own.
    void SetUp() override {
        test::DatabaseTest::SetUp();
        fs::path directory = fs::path(PARVELA_TEST_WORK_DIR) / "services-registry" /
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory);
        fs::create_directories(directory);
        setenv("PARVELA_MACHINE_REGISTRY", (directory / "machine.ini").c_str(), 1);
        setenv("PARVELA_USER_REGISTRY", (directory / "user.ini").c_str(), 1);
        setenv("PARVELA_DAXO_DATABASE", (directory / "substances.sqlite").c_str(), 1);
        TRegistry(HKEY_LOCAL_MACHINE)
            .WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll",
                         std::string(PARVELA_BIN_DIR) + "/plugins/libdaxo.so");
        // The model manager's runs go below the test's own data path.
        TRegistry(HKEY_LOCAL_MACHINE)
            .WriteString(RegistryKey(), "DataPath", (directory / "data").string());
    }
    void TearDown() override {
        StopServices();
        test::DatabaseTest::TearDown();
    }
};

TEST_P(ServicesTest, StartInOrderAndStopInTheStopOrder) {
    StartServices({WriteSettings(ConnectionString())});
    EXPECT_TRUE(TVersionInfo::SingletonExists());
    EXPECT_TRUE(TApplicationSettings::SingletonExists());
    EXPECT_TRUE(TDACSaver::SingletonExists());
    EXPECT_TRUE(TDAXOInterface::SingletonExists());
    EXPECT_TRUE(TModelManager::SingletonExists());
    TDACDatabase& database = TDatabaseConnection::GetSingleton().Database();
    EXPECT_TRUE(database.Connected());
    EXPECT_EQ("True", database.BooleanToStr(true));
    EXPECT_EQ("False", database.BooleanToStr(false));
    EXPECT_EQ(0, database.GetNewID("PROJECTS"));
    EXPECT_EQ((std::vector<std::string>{"TVersionInfo", "TDACSaver", "TDatabaseConnection",
                                        "TApplicationSettings", "TModelManager", "TDAXOInterface"}),
              StopServices());
    EXPECT_TRUE(StopServices().empty()) << "stopping twice does nothing";
}

// Once per start: a warning that others can read the password of the settings (which the
// test databases do not need).
TEST_P(ServicesTest, AReadablePasswordIsWarnedAboutOnceAtTheStart) {
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    const std::string settings = WriteSettings(ConnectionString(), "unused");
    fs::permissions(settings, fs::perms::others_read, fs::perm_options::add);
    StartServices({settings});
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].Box.Icon, TDialogIcon::Warning);
    EXPECT_NE(dialogs.Boxes()[0].Box.Text.find("chmod 600 \"" + settings + "\""),
              std::string::npos);
}

TEST_P(ServicesTest, AFailedConnectionIsShownAndEndsTheStartThere) {
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    std::string wrong = IsSQLite() ? "Driver=NoSuchDriver;Database=/nonexistent/x.db"
                                   : "parvela_no_such_data_source";
    try {
        StartServices({WriteSettings(wrong)});
        ADD_FAILURE() << "the start must fail";
    } catch (const EDatabaseError& failure) {
        ASSERT_EQ(1u, dialogs.Boxes().size());
        const TMessageBox& box = dialogs.Boxes()[0].Box;
        EXPECT_EQ(TDialogIcon::Error, box.Icon);
        EXPECT_EQ("Could not connect to database.\rPlease verify the database settings in the "
                  ".ini file.\r\r(ErrorMessage = " +
                      failure.Message() + ", ErrorClass = EDatabaseError)",
                  box.Text);
        EXPECT_FALSE(failure.Message().empty()) << "the driver manager's message";
    }
    EXPECT_FALSE(TDatabaseConnection::SingletonExists());
    EXPECT_FALSE(TDACSaver::SingletonExists()) << "the steps after the failure do not run";
    EXPECT_FALSE(TDAXOInterface::SingletonExists());
    EXPECT_TRUE(TApplicationSettings::SingletonExists());
}

PARVELA_INSTANTIATE_DATABASE_TEST(ServicesTest);

// A team's login without a password in the settings: the PostgreSQL client library's own
// password file (PGPASSFILE, else ~/.pgpass) and service file (PGSERVICEFILE, else
// ~/.pg_service.conf, named with pqopt={service=...} in the connection string), on the test
// server with a role that must give its password. The library ignores a password file that
// others may read, as it ignores a missing one.
TEST(PostgresLoginFilesTest, APasswordOrServiceFileStandsInForThePasswordOfTheSettings) {
    const test::PgServerInfo server = test::ReadPgServerInfo();
    ASSERT_FALSE(server.PasswordUser.empty());
    const std::string port = std::to_string(server.Port);
    const test::TTestDirectory dir;
    const std::string passwordFile = dir / "pgpass";
    test::WriteText(passwordFile, "127.0.0.1:" + port + ":*:" + server.PasswordUser + ":" +
                                      server.Password + "\n");
    const std::string serviceFile = dir / "pg_service.conf";
    test::WriteText(serviceFile, "[parvela]\nhost=127.0.0.1\nport=" + port +
                                     "\ndbname=postgres\nuser=" + server.PasswordUser + "\n");
    const std::string direct =
        "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port + ";Database=postgres";
    const std::string service = "Driver={PostgreSQL Unicode};pqopt={service=parvela}";
    struct Case {
        const char* Name;
        std::string DatabaseName;
        std::string UserName;
        std::string PasswordFile;
        mode_t Mode;
        bool Connects;
    };
    for (const Case& c :
         {Case{"password file", direct, server.PasswordUser, passwordFile, 0600, true},
          Case{"service file", service, "", passwordFile, 0600, true},
          Case{"no password file", direct, server.PasswordUser, dir / "missing", 0600, false},
          Case{"password file open to others", direct, server.PasswordUser, passwordFile, 0644,
               false}}) {
        ::chmod(passwordFile.c_str(), c.Mode);
        const test::TScopedEnvironment passwords("PGPASSFILE", c.PasswordFile);
        const test::TScopedEnvironment services("PGSERVICEFILE", serviceFile);
        const std::string settings = dir / "parvela.ini";
        test::WriteText(settings, "[Database]\nDatabaseName=" + c.DatabaseName +
                                      "\nUserName=" + c.UserName + "\nPassword=\n");
        TScriptedDialogs dialogs;
        TScopedDialogs scoped(dialogs);
        TApplicationSettings::CreateSingleton(settings);
        try {
            TDatabaseConnection::CreateSingleton();
            auto query = TDatabaseConnection::GetSingleton().Database().OpenQuery(
                "SELECT current_user AS who");
            EXPECT_EQ(query->FieldByName("who").AsString(), server.PasswordUser) << c.Name;
            EXPECT_TRUE(c.Connects) << c.Name;
        } catch (const Exception& failure) {
            EXPECT_FALSE(c.Connects) << c.Name << ": " << failure.Message();
        }
        TDatabaseConnection::DestroySingleton();
        TApplicationSettings::DestroySingleton();
    }
}

} // namespace
} // namespace parvela
