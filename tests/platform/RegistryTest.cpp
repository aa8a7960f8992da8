#include "platform/Registry.h"

#include "tests/platform/TestDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace parvela {
namespace {

using test::ReadText;
using test::TScopedEnvironment;
using test::TTestDirectory;
using test::WriteText;

const std::string DaxoKey = "SOFTWARE\\Vantiro\\DAXO";
const std::string ParvelaKey = "SOFTWARE\\PARVELA\\VERSION_2.4.2_CN";

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Both roots point into a fresh directory through the environment, as in every test.
class RegistryTest : public ::testing::Test {
protected:
    TTestDirectory dir;
    std::string machinePath = dir / "machine/registry.ini";
    std::string userPath = dir / "user/registry.ini";
    TScopedEnvironment machineVariable{"PARVELA_MACHINE_REGISTRY", machinePath};
    TScopedEnvironment userVariable{"PARVELA_USER_REGISTRY", userPath};
};

TEST_F(RegistryTest, RootsAreSeparateFilesNamedByTheEnvironment) {
    TRegistry user(HKEY_CURRENT_USER);
    TRegistry machine(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(user.StorePath(), userPath);
    EXPECT_EQ(machine.StorePath(), machinePath);

    user.WriteString(DaxoKey, "daxo_dll", "/home/u/libdaxo.so");
    EXPECT_TRUE(user.ValueExists(DaxoKey, "daxo_dll"));
    EXPECT_FALSE(machine.ValueExists(DaxoKey, "daxo_dll"));
    EXPECT_FALSE(std::filesystem::exists(machinePath));

    machine.WriteString(DaxoKey, "daxo_dll", "/opt/daxo/libdaxo.so");
    EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).ReadString(DaxoKey, "daxo_dll"), "/home/u/libdaxo.so");
    EXPECT_EQ(TRegistry(HKEY_LOCAL_MACHINE).ReadString(DaxoKey, "daxo_dll"),
              "/opt/daxo/libdaxo.so");
    EXPECT_NE(ReadText(userPath).find("/home/u/libdaxo.so"), std::string::npos);
    EXPECT_EQ(ReadText(machinePath).find("/home/u/libdaxo.so"), std::string::npos);
}

// The per-user store is the user's own, as is the directory made for it; the machine-wide one
// is read by every user.
TEST_F(RegistryTest, ThePerUserStoreIsPrivateAndTheMachineWideReadable) {
    const mode_t previous = ::umask(022);
    TRegistry(HKEY_CURRENT_USER).WriteInteger(ParvelaKey, "LastOpenedProject", 1);
    TRegistry(HKEY_LOCAL_MACHINE).WriteInteger(ParvelaKey, "LastOpenedProject", 1);
    ::umask(previous);
    EXPECT_EQ(test::ModeOf(userPath), 0600u);
    EXPECT_EQ(test::ModeOf(userPath + ".lock"), 0600u);
    EXPECT_EQ(test::ModeOf(dir / "user"), 0700u);
    EXPECT_EQ(test::ModeOf(machinePath), 0644u);
    EXPECT_EQ(test::ModeOf(dir / "machine"), 0755u);
}

TEST_F(RegistryTest, FileHasReadableTypedLines) {
    TRegistry machine(HKEY_LOCAL_MACHINE);
    machine.WriteString(ParvelaKey, "DataPath", "C:\\data \"x\"/");
    machine.WriteInteger(ParvelaKey, "LastOpenedProject", 17);
    EXPECT_EQ(ReadText(machinePath), "[SOFTWARE\\PARVELA\\VERSION_2.4.2_CN]\n"
                                     "DataPath = \"C:\\\\data \\\"x\\\"/\"\n"
                                     "LastOpenedProject = dword:00000011\n");
}

struct StringCase {
    const char* label;
    std::string value;
};

TEST_F(RegistryTest, StringValuesSurviveTheFileUnchanged) {
    const StringCase cases[] = {
        {"empty", ""},
        {"plain path", "/opt/daxo/libdaxo.so"},
        {"blanks kept", "  two leading and trailing  "},
        {"inline comment marks", "a ; b # c"},
        {"quotes and backslashes", "\"C:\\Program Files\\\"\\"},
        {"line breaks and tabs", "one\ntwo\r\nthree\tfour"},
        {"control characters", std::string("bell\x07 nul-free \x1f end\x7f")},
        {"section look-alike", "[SOFTWARE\\Other]"},
        {"equals signs", "a=b=c"},
        {"utf-8", "Donn\xC3\xA9"
                  "es/\xE6\xB0\xB4\xE7\xA8\xBB"},
        {"dword look-alike", "dword:00000011"},
        {"long path", std::string(5000, 'p')},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(c.label);
        TRegistry(HKEY_CURRENT_USER).WriteString(DaxoKey, "daxo_dll", c.value);
        EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).ReadString(DaxoKey, "daxo_dll"), c.value);
    }
}

TEST_F(RegistryTest, IntegerValuesCoverTheWhole32BitRange) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "dword:00000000"},         {17, "dword:00000011"},
        {-1, "dword:ffffffff"},        {INT32_MAX, "dword:7fffffff"},
        {INT32_MIN, "dword:80000000"}, {-2147483647, "dword:80000001"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(text);
        TRegistry(HKEY_LOCAL_MACHINE).WriteInteger(ParvelaKey, "LastOpenedProject", value);
        EXPECT_EQ(TRegistry(HKEY_LOCAL_MACHINE).ReadInteger(ParvelaKey, "LastOpenedProject"),
                  value);
        EXPECT_NE(ReadText(machinePath).find(std::string("LastOpenedProject = ") + text),
                  std::string::npos);
    }
}

TEST_F(RegistryTest, HandWrittenValuesAreRead) {
    WriteText(machinePath, "; installed by the administrator\n"
                           "[Software\\Vantiro\\Daxo]\r\n"
                           "  DAXO_DLL=\"/opt/daxo/lib.so\"   \r\n"
                           "Count = DWORD:FF\n"
                           "[K]\n"
                           "daxo_dll = /opt/lib/libdaxo.so\n"
                           "DataPath =   /srv/parvela data/  \r\n"
                           "marks = a;b # c=d \"e\" [f]\n"
                           "backslashes = C:\\new\\t\\x41\n"
                           "empty =\n");
    TRegistry machine(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(machine.ReadString(DaxoKey, "daxo_dll"), "/opt/daxo/lib.so");
    EXPECT_EQ(machine.ReadInteger(DaxoKey, "count"), 255);
    // Without quotes a value is a string, exactly as written.
    EXPECT_EQ(machine.ReadString("K", "daxo_dll"), "/opt/lib/libdaxo.so");
    EXPECT_EQ(machine.ReadString("K", "DataPath"), "/srv/parvela data/");
    EXPECT_EQ(machine.ReadString("K", "marks"), "a;b # c=d \"e\" [f]");
    EXPECT_EQ(machine.ReadString("K", "backslashes"), "C:\\new\\t\\x41");
    EXPECT_EQ(machine.ReadString("K", "empty"), "");
}

struct MalformedCase {
    const char* label;
    const char* text;
    int line;
    const char* shown;
};

// A line that is neither a key, a value nor a comment is reported with its file and line by
// every operation, and the store is never rewritten.
TEST_F(RegistryTest, AMalformedLineIsReportedWithItsFileAndLine) {
    const MalformedCase cases[] = {
        {"no equals sign", "[K]\n; fine\ndaxo_dll /opt/x.so\n", 3, "daxo_dll /opt/x.so"},
        {"value before any key", "v = 1\n[K]\n", 1, "v = 1"},
        {"unclosed header", "[K]\n[SOFTWARE\\X\nv = 1\n", 2, "[SOFTWARE\\X"},
        {"text after a header", "[K] more\n", 1, "[K] more"},
        {"empty name", "[K]\n = x\n", 2, "= x"},
        {"unterminated quotes", "[K]\nv = \"open\n", 2, "v = \"open"},
        {"unknown escape", "[K]\nv = \"C:\\data\"\n", 2, "v = \"C:\\data\""},
        {"text after quotes", "[K]\nv = \"x\" y\n", 2, "v = \"x\" y"},
        {"bad dword", "[K]\nv = dword:xyz\n", 2, "v = dword:xyz"},
        {"long dword", "[K]\nv = dword:123456789\n", 2, "v = dword:123456789"},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.label);
        WriteText(userPath, c.text);
        const std::string message = "Registry file \"" + userPath + "\", line " +
                                    std::to_string(c.line) + " cannot be read: " + c.shown;
        TRegistry user(HKEY_CURRENT_USER);
        for (const auto& operation : std::vector<std::function<void()>>{
                 [&] { user.ValueExists("K", "v"); }, [&] { user.KeyExists("K"); },
                 [&] { user.ReadString("K", "v"); }, [&] { user.WriteString("K", "w", "x"); },
                 [&] { user.DeleteValue("K", "v"); }}) {
            try {
                operation();
                ADD_FAILURE() << "no failure";
            } catch (const ERegistryError& error) {
                EXPECT_EQ(error.what(), message);
            }
        }
        EXPECT_EQ(ReadText(userPath), c.text);
    }
}

TEST_F(RegistryTest, SectionHeadersMayCarryCommentsAndBrackets) {
    WriteText(machinePath, "[First] ; the first key [really]\n"
                           "a = dword:1\n"
                           "[Odd]Name]   # brackets inside\n"
                           "b = dword:2\n");
    TRegistry machine(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(machine.ReadInteger("First", "a"), 1);
    EXPECT_EQ(machine.ReadInteger("Odd]Name", "b"), 2);
}

TEST_F(RegistryTest, KeysAndValueNamesIgnoreCase) {
    TRegistry user(HKEY_CURRENT_USER);
    user.WriteString(DaxoKey, "daxo_dll", "/a.so");
    EXPECT_TRUE(user.KeyExists("software\\vantiro\\daxo"));
    EXPECT_TRUE(user.ValueExists("SOFTWARE\\VANTIRO\\DAXO", "DAXO_DLL"));
    EXPECT_EQ(user.ReadString("Software\\Vantiro\\Daxo", "Daxo_Dll"), "/a.so");

    // Writing in another case replaces the value and keeps its first spelling.
    user.WriteString("software\\VANTIRO\\daxo", "DAXO_DLL", "/b.so");
    EXPECT_EQ(user.ReadString(DaxoKey, "daxo_dll"), "/b.so");
    EXPECT_EQ(ReadText(userPath), "[SOFTWARE\\Vantiro\\DAXO]\ndaxo_dll = \"/b.so\"\n");
}

TEST_F(RegistryTest, SectionsDifferingOnlyInCaseAreOneKey) {
    WriteText(userPath, "[SOFTWARE\\Vantiro\\DAXO]\n"
                        "first = \"1\"\n"
                        "[software\\vantiro\\daxo]\n"
                        "second = \"2\"\n"
                        "first = \"shadowed\"\n");
    TRegistry user(HKEY_CURRENT_USER);
    EXPECT_EQ(user.ReadString(DaxoKey, "first"), "1");
    EXPECT_EQ(user.ReadString(DaxoKey, "second"), "2");
    user.WriteString(DaxoKey, "FIRST", "one");
    EXPECT_EQ(ReadText(userPath), "[SOFTWARE\\Vantiro\\DAXO]\n"
                                  "first = \"one\"\n"
                                  "[software\\vantiro\\daxo]\n"
                                  "second = \"2\"\n");
    EXPECT_TRUE(user.DeleteValue(DaxoKey, "second"));
    EXPECT_FALSE(user.ValueExists(DaxoKey, "second"));
}

TEST_F(RegistryTest, WriteChangesOnlyItsOwnLine) {
    const std::string before = "; Parvela test store\n"
                               "\n"
                               "[SOFTWARE\\Vantiro\\DAXO]\n"
                               "daxo_dll = \"/old.so\"   ; set by hand\n"
                               "Other=\"kept\"\n"
                               "\n"
                               "# a comment before the next key\n"
                               "[SOFTWARE\\PARVELA\\VERSION_2.4.2_CN]\n"
                               "LastOpenedProject = dword:11\n";
    WriteText(userPath, before);
    TRegistry user(HKEY_CURRENT_USER);
    EXPECT_EQ(user.ReadString(DaxoKey, "daxo_dll"), "/old.so");
    user.WriteString(DaxoKey, "daxo_dll", "/new.so");

    std::string expected = before;
    const std::string oldLine = "daxo_dll = \"/old.so\"   ; set by hand";
    expected.replace(expected.find(oldLine), oldLine.size(), "daxo_dll = \"/new.so\"");
    EXPECT_EQ(ReadText(userPath), expected);

    user.WriteInteger(ParvelaKey, "DataVersion", 3);
    expected += "DataVersion = dword:00000003\n";
    EXPECT_EQ(ReadText(userPath), expected);
    EXPECT_EQ(user.ReadInteger(ParvelaKey, "LastOpenedProject"), 17);
    EXPECT_EQ(user.ReadString(DaxoKey, "Other"), "kept");
}

TEST_F(RegistryTest, NewValuesGoAfterTheLastValueOfTheirKey) {
    WriteText(userPath, "[A]\nx = \"1\"\n\n; about B\n[B]\ny = \"2\"\n");
    TRegistry user(HKEY_CURRENT_USER);
    user.WriteString("a", "z", "3");
    user.WriteString("C\\D", "w", "4");
    EXPECT_EQ(ReadText(userPath),
              "[A]\nx = \"1\"\nz = \"3\"\n\n; about B\n[B]\ny = \"2\"\n\n[C\\D]\nw = \"4\"\n");
}

TEST_F(RegistryTest, WriteReplacesTheFileAtomicallyAndKeepsItsMode) {
    TRegistry user(HKEY_CURRENT_USER);
    user.WriteString(DaxoKey, "daxo_dll", "/a.so");
    ASSERT_EQ(::chmod(userPath.c_str(), 0600), 0);
    const ino_t before = InodeOf(userPath);

    user.WriteString(DaxoKey, "daxo_dll", "/b.so");
    // Replaced by rename, not rewritten in place; no temporary file is left behind.
    EXPECT_NE(InodeOf(userPath), before);
    struct stat info {};
    ASSERT_EQ(::stat(userPath.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::vector<std::string> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(userPath).parent_path()))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"registry.ini", "registry.ini.lock"}));
}

TEST_F(RegistryTest, SimultaneousWritersInSeveralProcessesLoseNothing) {
    constexpr int Writers = 4;
    constexpr int ValuesEach = 40;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int code = 0;
            try {
                TRegistry user(HKEY_CURRENT_USER);
                for (int i = 0; i < ValuesEach; ++i)
                    user.WriteInteger(DaxoKey,
                                      "w" + std::to_string(writer) + "_" + std::to_string(i), i);
            } catch (...) {
                code = 1;
            }
            ::_exit(code);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TRegistry user(HKEY_CURRENT_USER);
    for (int writer = 0; writer < Writers; ++writer)
        for (int i = 0; i < ValuesEach; ++i) {
            const std::string name = "w" + std::to_string(writer) + "_" + std::to_string(i);
            ASSERT_TRUE(user.ValueExists(DaxoKey, name)) << name;
            EXPECT_EQ(user.ReadInteger(DaxoKey, name), i);
        }
}

TEST_F(RegistryTest, WriteThroughASymbolicLinkReplacesItsTarget) {
    const std::string target = dir / "elsewhere/registry.ini";
    WriteText(target, "[K]\nv = \"1\"\n");
    std::filesystem::create_directories(std::filesystem::path(userPath).parent_path());
    std::filesystem::create_symlink(target, userPath);

    TRegistry(HKEY_CURRENT_USER).WriteString("K", "w", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(userPath));
    EXPECT_EQ(ReadText(target), "[K]\nv = \"1\"\nw = \"2\"\n");
}

TEST_F(RegistryTest, WriteCreatesMissingDirectories) {
    const std::string deep = dir / "a/b/c/registry.ini";
    TRegistry store(HKEY_CURRENT_USER, deep);
    store.WriteInteger("K", "v", 1);
    EXPECT_EQ(TRegistry(HKEY_CURRENT_USER, deep).ReadInteger("K", "v"), 1);
}

TEST_F(RegistryTest, WriteToAStoreThatCannotBeWrittenRaisesOSError) {
    // Below a regular file no directory can be made, whoever runs the test.
    WriteText(dir / "plain-file", "x");
    const std::string blocked = dir / "plain-file/registry.ini";
    TRegistry store(HKEY_LOCAL_MACHINE, blocked);
    try {
        store.WriteInteger(ParvelaKey, "LastOpenedProject", 1);
        FAIL() << "no failure";
    } catch (const EOSError& error) {
        EXPECT_NE(std::string(error.what()).find(dir / "plain-file"), std::string::npos)
            << error.what();
    }
    EXPECT_THROW(store.OpenOrCreateKey("K"), EOSError);
}

TEST_F(RegistryTest, AStoreThatCannotBeReadRaisesOSError) {
    std::filesystem::create_directories(userPath); // a directory where the file should be
    TRegistry user(HKEY_CURRENT_USER);
    EXPECT_THROW(user.KeyExists(DaxoKey), EOSError);
    EXPECT_THROW(user.WriteString(DaxoKey, "daxo_dll", "/a.so"), EOSError);
    EXPECT_TRUE(std::filesystem::is_directory(userPath));
}

TEST_F(RegistryTest, MissingStoreKeyOrValue) {
    TRegistry user(HKEY_CURRENT_USER);
    EXPECT_FALSE(user.KeyExists(DaxoKey));
    EXPECT_FALSE(user.ValueExists(DaxoKey, "daxo_dll"));
    try {
        user.ReadString(DaxoKey, "daxo_dll");
        FAIL() << "no failure";
    } catch (const ERegistryError& error) {
        EXPECT_STREQ(error.what(),
                     "Registry value HKEY_CURRENT_USER\\SOFTWARE\\Vantiro\\DAXO\\daxo_dll "
                     "not found");
    }
    EXPECT_THROW(user.ReadInteger(DaxoKey, "daxo_dll"), ERegistryError);
    // Reading never creates the store.
    EXPECT_FALSE(std::filesystem::exists(userPath));

    user.OpenOrCreateKey(DaxoKey);
    EXPECT_TRUE(user.KeyExists(DaxoKey));
    EXPECT_FALSE(user.ValueExists(DaxoKey, "daxo_dll"));
    EXPECT_THROW(user.ReadString(DaxoKey, "daxo_dll"), ERegistryError);
}

TEST_F(RegistryTest, ReadingTheWrongTypeFails) {
    WriteText(machinePath, "[K]\ntext = \"12\"\nnumber = dword:0000000c ; twelve\nplain = 12\n");
    TRegistry machine(HKEY_LOCAL_MACHINE);
    struct Case {
        const char* name;
        bool asString;
        const char* message;
    } cases[] = {
        {"text", false, "Registry value HKEY_LOCAL_MACHINE\\K\\text is not an integer"},
        {"number", true, "Registry value HKEY_LOCAL_MACHINE\\K\\number is not a string"},
        {"plain", false, "Registry value HKEY_LOCAL_MACHINE\\K\\plain is not an integer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_TRUE(machine.ValueExists("K", c.name));
        try {
            if (c.asString)
                machine.ReadString("K", c.name);
            else
                machine.ReadInteger("K", c.name);
            FAIL() << "no failure";
        } catch (const ERegistryError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_EQ(machine.ReadString("K", "text"), "12");
    EXPECT_EQ(machine.ReadInteger("K", "number"), 12);
    EXPECT_EQ(machine.ReadString("K", "plain"), "12");
}

TEST_F(RegistryTest, ParentKeysExist) {
    TRegistry user(HKEY_CURRENT_USER);
    user.WriteString(DaxoKey, "daxo_dll", "/a.so");
    EXPECT_TRUE(user.KeyExists("SOFTWARE"));
    EXPECT_TRUE(user.KeyExists("software\\vantiro"));
    EXPECT_FALSE(user.KeyExists("SOFTWARE\\Vant"));
    EXPECT_FALSE(user.KeyExists("SOFTWARE\\Vantiro\\DAXO\\Sub"));
    // A parent gets its own section once a value is written to it.
    user.WriteInteger("SOFTWARE\\Vantiro", "Level", 1);
    EXPECT_EQ(user.ReadInteger("software\\vantiro", "level"), 1);
    EXPECT_FALSE(user.ValueExists(DaxoKey, "Level"));
}

TEST_F(RegistryTest, OpenOrCreateKeyWritesOnlyWhenTheKeyIsMissing) {
    TRegistry user(HKEY_CURRENT_USER);
    user.OpenOrCreateKey(DaxoKey);
    EXPECT_EQ(ReadText(userPath), "[SOFTWARE\\Vantiro\\DAXO]\n");
    const ino_t inode = InodeOf(userPath);
    user.OpenOrCreateKey("software\\vantiro\\daxo");
    user.OpenOrCreateKey("SOFTWARE\\Vantiro");
    EXPECT_EQ(InodeOf(userPath), inode);
    EXPECT_EQ(ReadText(userPath), "[SOFTWARE\\Vantiro\\DAXO]\n");
}

TEST_F(RegistryTest, DeleteValueRemovesOnlyThatValue) {
    TRegistry user(HKEY_CURRENT_USER);
    user.WriteString(DaxoKey, "daxo_dll", "/a.so");
    user.WriteString(DaxoKey, "other", "kept");
    EXPECT_TRUE(user.DeleteValue(DaxoKey, "DAXO_DLL"));
    EXPECT_FALSE(user.ValueExists(DaxoKey, "daxo_dll"));
    EXPECT_EQ(user.ReadString(DaxoKey, "other"), "kept");
    EXPECT_TRUE(user.KeyExists(DaxoKey));

    const ino_t inode = InodeOf(userPath);
    EXPECT_FALSE(user.DeleteValue(DaxoKey, "daxo_dll"));
    EXPECT_FALSE(user.DeleteValue("No\\Such\\Key", "daxo_dll"));
    EXPECT_EQ(InodeOf(userPath), inode);
}

TEST_F(RegistryTest, ValueNamesThatNeedQuotes) {
    const std::string names[] = {"",         " padded ", "a=b",   "\"quoted\"",
                                 "[bracket", ";semi",    "#hash", "line\nbreak"};
    TRegistry user(HKEY_CURRENT_USER);
    for (std::size_t i = 0; i < std::size(names); ++i)
        user.WriteInteger("K", names[i], static_cast<std::int32_t>(i));
    for (std::size_t i = 0; i < std::size(names); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).ReadInteger("K", names[i]),
                  static_cast<std::int32_t>(i));
    }
}

TEST_F(RegistryTest, KeysThatCannotBeStoredAreRefused) {
    TRegistry user(HKEY_CURRENT_USER);
    for (const std::string key :
         {"", " SOFTWARE", "SOFTWARE ", "A\nB", "A\rB", "A\tB", "A] ; B", "A]#B"}) {
        SCOPED_TRACE(key);
        EXPECT_THROW(user.WriteString(key, "v", "x"), ERegistryError);
        EXPECT_THROW(user.OpenOrCreateKey(key), ERegistryError);
    }
    EXPECT_FALSE(std::filesystem::exists(userPath));
    // Brackets that cannot end the header are fine.
    user.WriteInteger("[A]B]", "v", 1);
    EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).ReadInteger("[a]b]", "v"), 1);
}

// The default locations, without the overrides.
class RegistryLocationTest : public ::testing::Test {
protected:
    TScopedEnvironment machineVariable{"PARVELA_MACHINE_REGISTRY", std::nullopt};
    TScopedEnvironment userVariable{"PARVELA_USER_REGISTRY", std::nullopt};
};

TEST_F(RegistryLocationTest, DefaultsFollowTheConfigurationDirectories) {
    {
        TScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/xdg-config");
        EXPECT_EQ(RegistryStorePath(HKEY_CURRENT_USER), "/tmp/xdg-config/parvela/registry.ini");
        EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).StorePath(), "/tmp/xdg-config/parvela/registry.ini");
    }
    TScopedEnvironment home("HOME", "/home/someone");
    for (const std::optional<std::string>& config :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("relative/config")}) {
        SCOPED_TRACE(config.value_or("<unset>"));
        TScopedEnvironment variable("XDG_CONFIG_HOME", config);
        EXPECT_EQ(RegistryStorePath(HKEY_CURRENT_USER),
                  "/home/someone/.config/parvela/registry.ini");
    }
    EXPECT_EQ(RegistryStorePath(HKEY_LOCAL_MACHINE), "/etc/parvela/registry.ini");
}

TEST_F(RegistryLocationTest, EmptyOverridesCountAsUnset) {
    TScopedEnvironment machine("PARVELA_MACHINE_REGISTRY", "");
    TScopedEnvironment user("PARVELA_USER_REGISTRY", "");
    TScopedEnvironment config("XDG_CONFIG_HOME", "/x");
    EXPECT_EQ(RegistryStorePath(HKEY_LOCAL_MACHINE), "/etc/parvela/registry.ini");
    EXPECT_EQ(RegistryStorePath(HKEY_CURRENT_USER), "/x/parvela/registry.ini");
}

TEST(RegistryRootName, NamesTheRoots) {
    EXPECT_STREQ(RegistryRootName(HKEY_LOCAL_MACHINE), "HKEY_LOCAL_MACHINE");
    EXPECT_STREQ(RegistryRootName(HKEY_CURRENT_USER), "HKEY_CURRENT_USER");
}

} // namespace
} // namespace parvela
