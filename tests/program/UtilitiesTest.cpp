#include "framework/DateTime.h"
#include "platform/ScriptedDialogs.h"
#include "platform/UiHooks.h"
#include "program/runs/TZentorModel.h"
#include "program/system/DayMonth.h"
#include "program/system/DesktopOpener.h"
#include "program/system/DirectoryTree.h"
#include "program/system/FileNameCharacters.h"
#include "program/system/Messages.h"
#include "program/system/ModelProcess.h"
#include "program/system/RegistryValues.h"
#include "program/system/TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace parvela {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

class CountingUiHooks : public IUiHooks {
public:
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ProcessPendingEvents() override { ++pumped; }
    int pumped = 0;
};

class UtilitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(PARVELA_TEST_WORK_DIR) / "utilities" /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }

    fs::path WriteScript(const std::string& name, const std::string& body) {
        fs::path script = directory_ / name;
        std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
        return script;
    }

    fs::path directory_;
};

TEST_F(UtilitiesTest, ExecuteAndWaitReturnsTheExitCodeAndLogsTheOutput) {
    fs::path workDirectory = directory_ / "work dir";
    fs::create_directories(workDirectory);
    fs::path script = WriteScript("run_it's \"odd\".sh", "echo hello; pwd; exit 3");
    EXPECT_EQ(3, ExecuteAndWait(script.string(), workDirectory.string(), TWindowShowMode::Normal));
    std::string log = ReadFile(directory_ / "run_it's \"odd\".log");
    EXPECT_EQ("hello\n" + workDirectory.string() + "\n", log);
}

TEST_F(UtilitiesTest, ExecuteAndWaitOfAMissingScriptIsMinusOne) {
    EXPECT_EQ(-1, ExecuteAndWait((directory_ / "absent.sh").string(), "", TWindowShowMode::Normal));
}

TEST_F(UtilitiesTest, ExecuteAndWaitProcessesEventsWhileTheChildRuns) {
    CountingUiHooks hooks;
    SetUiHooks(&hooks);
    fs::path script = WriteScript("run_slow.sh", "sleep 1.3");
    EXPECT_EQ(0, ExecuteAndWait(script.string(), directory_.string(), TWindowShowMode::Normal));
    SetUiHooks(nullptr);
    EXPECT_GE(hooks.pumped, 2) << "at least one pump per 500 ms step";
    EXPECT_LE(hooks.pumped, 5) << "the wait is not a busy loop";
}

TEST_F(UtilitiesTest, AChildEndedBySignalIsAFailure) {
    fs::path script = WriteScript("run_killed.sh", "kill -9 $$");
    EXPECT_EQ(128 + 9, ExecuteAndWait(script.string(), "", TWindowShowMode::Hidden));
}

// Whatever the program inherited or set for its own signals, the child starts with their
// default actions and none blocked, and its exit code is observed.
TEST_F(UtilitiesTest, TheProgramsSignalSettingsDoNotReachTheChild) {
    struct Case {
        const char* Name;
        int Signal;
        bool Block;
        const char* Body;
        int ExitCode;
    };
    for (const Case& c : {Case{"SIGTERM ignored", SIGTERM, false, "kill -TERM $$; exit 0", 143},
                          Case{"SIGTERM blocked", SIGTERM, true, "kill -TERM $$; exit 0", 143},
                          Case{"SIGCHLD ignored", SIGCHLD, false, "sleep 0.2; exit 3", 3}}) {
        const fs::path script = WriteScript("run_signals.sh", c.Body);
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, c.Signal);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction previous {};
        if (c.Block)
            sigprocmask(SIG_BLOCK, &signals, nullptr);
        else
            sigaction(c.Signal, &ignore, &previous);
        const int exitCode = ExecuteAndWait(script.string(), "", TWindowShowMode::Hidden);
        if (c.Block)
            sigprocmask(SIG_UNBLOCK, &signals, nullptr);
        else
            sigaction(c.Signal, &previous, nullptr);
        EXPECT_EQ(c.ExitCode, exitCode) << c.Name;
    }
}

TEST_F(UtilitiesTest, TheOpenerGetsTheFileAndTheDirectoryWithoutItsSlash) {
    fs::path record = directory_ / "opened.txt";
    fs::path opener = WriteScript("opener.sh", "echo \"$1|$(pwd)\" > '" + record.string() + "'");
    fs::permissions(opener, fs::perms::owner_all);
    setenv("PARVELA_OPENER", opener.c_str(), 1);
    EXPECT_TRUE(StartProgram("report.htm", "", directory_.string() + "/"));
    EXPECT_EQ("report.htm|" + directory_.string() + "\n", ReadFile(record));
}

TEST_F(UtilitiesTest, TheParametersFollowTheFileAsSeparateArguments) {
    fs::path record = directory_ / "arguments.txt";
    fs::path opener =
        WriteScript("opener.sh", "printf '[%s]\\n' \"$@\" > '" + record.string() + "'");
    fs::permissions(opener, fs::perms::owner_all);
    setenv("PARVELA_OPENER", opener.c_str(), 1);
    const struct {
        std::string parameters;
        std::string arguments;
    } cases[] = {
        {"", ""},
        {"  -a\t\tb  ", "[-a]\n[b]\n"},
        {"--title \"Rice 2020\" x\"y z\"", "[--title]\n[Rice 2020]\n[xy z]\n"},
        {"\"\" \"say \"\"hi\"\"\" $(touch pwned)", "[]\n[say \"hi\"]\n[$(touch]\n[pwned)]\n"},
        {"a\\\\\"b c\" d\\\"e f\\g", "[a\\b c]\n[d\"e]\n[f\\g]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        EXPECT_TRUE(StartProgram("report.htm", c.parameters, directory_.string()));
        EXPECT_EQ("[report.htm]\n" + c.arguments, ReadFile(record));
    }
    EXPECT_FALSE(fs::exists(directory_ / "pwned"));
}

TEST_F(UtilitiesTest, OpenDocumentReportsARefusal) {
    fs::path opener = WriteScript("refusing.sh", "exit 4");
    fs::permissions(opener, fs::perms::owner_all);
    setenv("PARVELA_OPENER", opener.c_str(), 1);
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    OpenDocument("https://example.org/manual");
    ASSERT_EQ(1u, dialogs.Boxes().size());
    EXPECT_EQ(TDialogIcon::Error, dialogs.Boxes()[0].Box.Icon);
    EXPECT_EQ("Error executing https://example.org/manual (errorcode 4)",
              dialogs.Boxes()[0].Box.Text);
    EXPECT_FALSE(StartProgram("x.htm", "", ""));
}

struct TempCase {
    const char* label;
    const char* tmpdir;
    const char* tmp;
    const char* temp;
    const char* expected;
};

void PrintTo(const TempCase& c, std::ostream* os) {
    *os << c.label;
}

class TempDirectoryTest : public ::testing::TestWithParam<TempCase> {};

TEST_P(TempDirectoryTest, FollowsTheEnvironmentAndEndsInExactlyOneSlash) {
    auto set = [](const char* name, const char* value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    };
    set("TMPDIR", GetParam().tmpdir);
    set("TMP", GetParam().tmp);
    set("TEMP", GetParam().temp);
    EXPECT_EQ(GetParam().expected, GetTempDirectory());
}

INSTANTIATE_TEST_SUITE_P(
    Environment, TempDirectoryTest,
    ::testing::Values(TempCase{"TmpDir", "/var/tmp0", "/var/tmp1", "/var/tmp2", "/var/tmp0/"},
                      TempCase{"Tmp", nullptr, "/var/tmp1", "/var/tmp2", "/var/tmp1/"},
                      TempCase{"EmptyTmpDir", "", "/var/tmp1", nullptr, "/var/tmp1/"},
                      TempCase{"Temp", nullptr, nullptr, "/var/tmp2/", "/var/tmp2/"},
                      TempCase{"None", nullptr, nullptr, nullptr, "/tmp/"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DayMonth, UsesTheEnglishTableWithTwoDigitDays) {
    EXPECT_EQ("01-Jan", FormatDayMonth(EncodeDate(2001, 1, 1)));
    EXPECT_EQ("31-Dec", FormatDayMonth(EncodeDate(1999, 12, 31)));
    EXPECT_EQ("05-Mar", FormatDayMonth(EncodeDateTime(2001, 3, 5, 14, 30, 0)));
    EXPECT_EQ("05-May-", FormatDayMonthPrefix(EncodeDate(2001, 5, 5)));
    EXPECT_EQ("Sep", MonthAbbreviation(9));
    EXPECT_EQ("", MonthAbbreviation(13));
    EXPECT_EQ("", MonthAbbreviation(0));
}

TEST(FileNameCharacters, AllSixteenAreRefused) {
    for (char c : std::string(" /\\()><*:\"|,.+=?"))
        EXPECT_TRUE(ContainsFileNameSpecialChar(std::string("ab") + c + "cd")) << c;
    EXPECT_FALSE(ContainsFileNameSpecialChar("Rice_2024-B7"));
    EXPECT_FALSE(ContainsFileNameSpecialChar(""));
}

// A stem too long for a file name is cut and followed by "+" and the first 16 digits of the
// SHA-256 of the whole stem. No caption that the caption edits accept holds "+", so none that
// fits can spell such a name and share its files; a stem that fits stays as it is.
TEST(FileNameCharacters, ShortenedNamesCarryAMarkNoCaptionHasAndTheSha256OfTheStem) {
    const std::string fits(251, 'a');
    EXPECT_EQ(FittingFileStem(fits, 4), fits);
    const std::string longer(300, 'a');
    EXPECT_EQ(FittingFileStem(longer, 4), std::string(234, 'a') + "+9835fa6bf4e20a9b");
    std::string accents;
    for (int i = 0; i < 255; ++i)
        accents += "\xC3\xA9"; // e acute, two bytes
    const std::string shortened = FittingFileStem(accents, 4);
    EXPECT_EQ(shortened, accents.substr(0, 234) + "+2a1d012ff2a7aa95")
        << "cut between two characters";
    EXPECT_TRUE(ContainsFileNameSpecialChar(shortened));
}

// A text file copied in pieces gives what reading it whole into lines and writing them gives:
// every kind of line break, empty lines, an open last line, and a break across two pieces.
TEST_F(UtilitiesTest, CopyingATextFileGivesItsLinesAsTheyAreWrittenWhole) {
    const std::string acrossPieces = std::string(65535, 'x') + "\r\n" + std::string(10, 'y');
    for (const std::string& text :
         {std::string(), std::string("a"), std::string("a\r\nb\n\nc\rd"), std::string("\r\r\n\n"),
          std::string("last\r"), std::string("open\r\nend"), acrossPieces}) {
        const std::string source = (directory_ / "source").string();
        std::ofstream(source, std::ios::binary | std::ios::trunc) << text;
        const std::string copied = (directory_ / "copied").string();
        const std::string whole = (directory_ / "whole").string();
        ASSERT_TRUE(CopyTextFile(source, copied));
        SaveTextLines(whole, LoadTextLines(source));
        EXPECT_EQ(ReadFile(copied), ReadFile(whole)) << text.substr(0, 40);
    }
}

// Runs filling the scenario cache for the first time at once, in processes of their own, while
// another reads it: the reader sees no file or a whole one, one copy is made and it stays.
TEST_F(UtilitiesTest, ConcurrentFirstCopiesOfACacheFileAreNeverSeenTorn) {
    constexpr int Writers = 4;
    constexpr int Rounds = 6;
    std::vector<std::string> sources, texts;
    for (int writer = 0; writer < Writers; ++writer) {
        TTextLines lines;
        for (int i = 0; i < 20000; ++i)
            lines.push_back("writer " + std::to_string(writer) + " line " + std::to_string(i));
        sources.push_back((directory_ / ("source" + std::to_string(writer))).string());
        SaveTextLines(sources.back(), lines);
        texts.push_back(ReadFile(sources.back()));
    }
    fs::create_directories(directory_ / "cache");
    for (int round = 0; round < Rounds; ++round) {
        const std::string target =
            (directory_ / "cache" / (std::to_string(round) + ".bfo")).string();
        std::vector<pid_t> writers;
        for (int writer = 0; writer < Writers; ++writer) {
            const pid_t pid = fork();
            if (pid == 0) {
                int made = 2;
                try {
                    made = CopyTextFileOnce(sources[writer], target) ? 1 : 0;
                } catch (...) {
                }
                _exit(made);
            }
            writers.push_back(pid);
        }
        int torn = 0, made = 0, running = Writers;
        while (running > 0) {
            if (fs::exists(target)) {
                const std::string seen = ReadFile(target);
                torn += std::find(texts.begin(), texts.end(), seen) == texts.end();
            }
            for (pid_t& pid : writers) {
                int status = 0;
                if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
                    made += WIFEXITED(status) && WEXITSTATUS(status) == 1;
                    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << round;
                    pid = 0;
                    --running;
                }
            }
        }
        EXPECT_EQ(torn, 0) << "round " << round;
        EXPECT_EQ(made, 1) << "round " << round;
        EXPECT_NE(std::find(texts.begin(), texts.end(), ReadFile(target)), texts.end());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(directory_ / "cache"), fs::directory_iterator()),
              Rounds)
        << "no temporary file is left";
}

TEST_F(UtilitiesTest, DeleteDirectoryTreeRemovesNestedDirectories) {
    EXPECT_FALSE(DeleteDirectoryTree((directory_ / "absent").string()));
    fs::path tree = directory_ / "run";
    fs::create_directories(tree / "GLIDAR" / "deeper");
    std::ofstream(tree / "GLIDAR" / "17.gld") << "x";
    std::ofstream(tree / "GLIDAR" / "deeper" / "a.txt") << "y";
    EXPECT_TRUE(DeleteDirectoryTree(tree.string()));
    EXPECT_FALSE(fs::exists(tree));
}

TEST_F(UtilitiesTest, DeleteDirectoryTreeNeverFollowsALink) {
    fs::path outside = directory_ / "users-files";
    fs::create_directories(outside);
    std::ofstream(outside / "precious.txt") << "keep me";
    fs::path tree = directory_ / "run";
    fs::create_directories(tree);
    fs::create_directory_symlink(outside, tree / "link-to-dir");
    fs::create_symlink(outside / "precious.txt", tree / "link-to-file");
    EXPECT_TRUE(DeleteDirectoryTree(tree.string()));
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_EQ("keep me", ReadFile(outside / "precious.txt"));

    fs::path linkedRoot = directory_ / "linked-root";
    fs::create_directory_symlink(outside, linkedRoot);
    EXPECT_TRUE(DeleteDirectoryTree(linkedRoot.string()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(linkedRoot)));
    EXPECT_EQ("keep me", ReadFile(outside / "precious.txt"));
}

TEST_F(UtilitiesTest, RegistryFunctionsOnTheMachineStore) {
    fs::path store = directory_ / "machine.ini";
    setenv("PARVELA_MACHINE_REGISTRY", store.c_str(), 1);
    const std::string key = "SOFTWARE\\PARVELA\\VERSION_2.4.2_CN";
    EXPECT_EQ("", ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DataPath"));
    try {
        ReadRegistryInteger(HKEY_LOCAL_MACHINE, key, "LastOpenedProject");
        ADD_FAILURE() << "a missing value must raise";
    } catch (const Exception& e) {
        EXPECT_EQ("Registry key nog found SOFTWARE\\PARVELA\\VERSION_2.4.2_CN\\LastOpenedProject",
                  e.Message());
    }
    WriteRegistryInteger(HKEY_LOCAL_MACHINE, key, "LastOpenedProject", 17);
    EXPECT_EQ(17, ReadRegistryInteger(HKEY_LOCAL_MACHINE, key, "LastOpenedProject"));

    setenv("PARVELA_MACHINE_REGISTRY", "/proc/parvela/registry.ini", 1);
    EXPECT_NO_THROW(WriteRegistryInteger(HKEY_LOCAL_MACHINE, key, "LastOpenedProject", 18));
}

TEST_F(UtilitiesTest, AHandWrittenDataPathIsReadAndABrokenStoreIsReported) {
    fs::path store = directory_ / "machine.ini";
    setenv("PARVELA_MACHINE_REGISTRY", store.c_str(), 1);
    const std::string key = "SOFTWARE\\PARVELA\\VERSION_2.4.2_CN";
    std::ofstream(store) << "[" << key << "]\nDataPath = /srv/parvela data/\n";
    EXPECT_EQ("/srv/parvela data/", ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DataPath"));
    std::ofstream(store) << "[" << key << "]\nDataPath /srv/parvela/\n";
    EXPECT_THROW(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DataPath"), ERegistryError)
        << "never an empty data path that sends the runs elsewhere";
}

TEST(MessageBoxes, AskAndShowThroughTheDialogs) {
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    dialogs.QueueAnswer(TDialogAnswer::Yes).QueueAnswer(TDialogAnswer::No);
    dialogs.QueueAnswer(TDialogAnswer::Ok).QueueAnswer(TDialogAnswer::Cancel);
    EXPECT_TRUE(AskYesNo("q1"));
    EXPECT_FALSE(AskYesNo("q2"));
    EXPECT_TRUE(AskOkCancel("q3"));
    EXPECT_FALSE(AskOkCancel("q4"));
    ShowWarning("w");
    ShowError("e");
    ShowInformation("i");
    ASSERT_EQ(7u, dialogs.Boxes().size());
    EXPECT_EQ(TDialogButtons::YesNo, dialogs.Boxes()[0].Box.Buttons);
    EXPECT_EQ(TDialogButtons::OkCancel, dialogs.Boxes()[2].Box.Buttons);
    EXPECT_EQ(TDialogIcon::Warning, dialogs.Boxes()[4].Box.Icon);
    EXPECT_EQ(TDialogIcon::Error, dialogs.Boxes()[5].Box.Icon);
    EXPECT_EQ(TDialogIcon::Information, dialogs.Boxes()[6].Box.Icon);
}

} // namespace
} // namespace parvela
