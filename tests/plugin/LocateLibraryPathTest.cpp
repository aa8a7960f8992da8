// Finding the plug-in library through the two registry roots or the user, and the registry
// singleton's own operations.
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "program/plugin/TDAXORegistry.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace parvela::plugin_test {
namespace {

constexpr const char* DAXOKey = "SOFTWARE\\Vantiro\\DAXO";
constexpr const char* ValueName = "daxo_dll";

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no failure>";
}

class RegistryFixture : public ::testing::Test {
protected:
    RegistryFixture()
        : dir_("locate"), machineStore_(dir_.File("machine.ini")),
          userStore_(dir_.File("user.ini")), machineEnv_("PARVELA_MACHINE_REGISTRY", machineStore_),
          userEnv_("PARVELA_USER_REGISTRY", userStore_), dialogsScope_(dialogs_) {}
    ~RegistryFixture() override {
        TDAXORegistry::DestroySingleton();
        SetDeliveredLibraryPath("");
    }

    std::string ExistingFile(const std::string& name) {
        std::string path = dir_.File(name);
        std::ofstream(path) << "library\n";
        return path;
    }

    TTestDirectory dir_;
    std::string machineStore_;
    std::string userStore_;
    TScopedEnvironment machineEnv_;
    TScopedEnvironment userEnv_;
    TScriptedDialogs dialogs_;
    TScopedDialogs dialogsScope_;
};

// What a registry value holds at the start: nothing, a path to an existing file, or a path
// to a file that does not exist.
enum class Held { Nothing, ExistingFile, MissingFile };

struct LocateCase {
    const char* name;
    Held machine;
    Held user;
    // The open-file dialog's answer when it is expected: "chosen" picks an existing file,
    // "" cancels.
    std::optional<std::string> dialog;
    // "machine", "user", "chosen", "delivered" or "" for the empty result.
    std::string expected;
    // The per-user value afterwards: nothing, or "machine", "user", "chosen", "gone" (the
    // missing file), "" as above.
    std::optional<std::string> userAfter;
    // The library delivered with the program: none named, or a path that exists or not.
    Held delivered = Held::Nothing;
};

class LocateLibraryPathTest : public RegistryFixture,
                              public ::testing::WithParamInterface<LocateCase> {};

TEST_P(LocateLibraryPathTest, FindsOrAsks) {
    const LocateCase& c = GetParam();
    std::map<std::string, std::string> paths = {
        {"machine", ExistingFile("machine.so")}, {"user", ExistingFile("user.so")},
        {"chosen", ExistingFile("chosen.so")},   {"delivered", ExistingFile("delivered.so")},
        {"gone", dir_.File("gone.so")},          {"", ""}};
    auto hold = [&](TRegistryRoot root, Held held, const std::string& name) {
        if (held == Held::Nothing)
            return;
        std::string path = held == Held::ExistingFile ? paths[name] : dir_.File("gone.so");
        TRegistry(root).WriteString(DAXOKey, ValueName, path);
    };
    hold(HKEY_LOCAL_MACHINE, c.machine, "machine");
    hold(HKEY_CURRENT_USER, c.user, "user");
    if (c.delivered != Held::Nothing)
        SetDeliveredLibraryPath(c.delivered == Held::ExistingFile ? paths["delivered"]
                                                                  : dir_.File("gone.so"));
    const bool userStoreExisted = std::filesystem::exists(userStore_);
    const auto machineBefore = std::filesystem::last_write_time(
        c.machine == Held::Nothing ? dir_.File("machine.so") : machineStore_);
    if (c.dialog)
        dialogs_.QueueOpenFile(c.dialog->empty() ? std::nullopt
                                                 : std::optional<std::string>(paths[*c.dialog]));

    TDAXORegistry::CreateSingleton(DAXORegistryPath);
    EXPECT_EQ(LocateLibraryPath(), paths[c.expected]) << c.name;

    if (c.dialog) {
        ASSERT_EQ(dialogs_.Boxes().size(), 1u) << c.name;
        EXPECT_EQ(dialogs_.Boxes()[0].Box.Icon, TDialogIcon::Warning);
        EXPECT_EQ(dialogs_.Boxes()[0].Box.Buttons, TDialogButtons::Ok);
        EXPECT_EQ(dialogs_.Boxes()[0].Box.Text,
                  "Cannot find the file daxo_dll.so, it has possibly been moved to another "
                  "location.\r\rPlease use the open dialog to locate this file yourself.");
        ASSERT_EQ(dialogs_.OpenFileRequests().size(), 1u);
        EXPECT_EQ(dialogs_.OpenFileRequests()[0].Filter,
                  "Shared libraries (*.so)|*.so|All files (*.*)|*.*");
    } else {
        EXPECT_TRUE(dialogs_.Boxes().empty()) << c.name;
        EXPECT_TRUE(dialogs_.OpenFileRequests().empty()) << c.name;
    }

    TRegistry user(HKEY_CURRENT_USER);
    if (c.userAfter) {
        ASSERT_TRUE(user.ValueExists(DAXOKey, ValueName)) << c.name;
        EXPECT_EQ(user.ReadString(DAXOKey, ValueName), paths[*c.userAfter]) << c.name;
    } else {
        EXPECT_FALSE(user.ValueExists(DAXOKey, ValueName)) << c.name;
        if (!userStoreExisted) {
            EXPECT_FALSE(std::filesystem::exists(userStore_)) << c.name << ": nothing written";
        }
    }
    if (c.machine != Held::Nothing) {
        EXPECT_EQ(std::filesystem::last_write_time(machineStore_), machineBefore)
            << "the machine-wide store is only read";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocateLibraryPathTest,
    ::testing::Values(
        LocateCase{"machine valid, user present: override removed", Held::ExistingFile,
                   Held::ExistingFile, std::nullopt, "machine", std::nullopt},
        LocateCase{"machine valid, no user value: nothing written", Held::ExistingFile,
                   Held::Nothing, std::nullopt, "machine", std::nullopt},
        LocateCase{"user file missing, no machine value: asked and stored", Held::Nothing,
                   Held::MissingFile, "chosen", "chosen", "chosen"},
        LocateCase{"nothing anywhere, dialog cancelled: empty stored", Held::Nothing, Held::Nothing,
                   "", "", ""},
        LocateCase{"machine file missing, no user value: asked", Held::MissingFile, Held::Nothing,
                   "chosen", "chosen", "chosen"},
        LocateCase{"user valid, no machine value", Held::Nothing, Held::ExistingFile, std::nullopt,
                   "user", "user"},
        LocateCase{"user file missing but machine valid: override removed", Held::ExistingFile,
                   Held::MissingFile, std::nullopt, "machine", std::nullopt},
        LocateCase{"user file missing, machine file missing: machine not tried", Held::MissingFile,
                   Held::MissingFile, "", "", ""},
        LocateCase{"machine file missing, delivered library: taken without asking",
                   Held::MissingFile, Held::Nothing, std::nullopt, "delivered", std::nullopt,
                   Held::ExistingFile},
        LocateCase{"user file missing, delivered library: taken, the override stays", Held::Nothing,
                   Held::MissingFile, std::nullopt, "delivered", "gone", Held::ExistingFile},
        LocateCase{"machine valid comes before the delivered library", Held::ExistingFile,
                   Held::Nothing, std::nullopt, "machine", std::nullopt, Held::ExistingFile},
        LocateCase{"delivered library missing too: asked", Held::Nothing, Held::Nothing, "chosen",
                   "chosen", "chosen", Held::MissingFile}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(RegistryFixture, EmptyPerUserValueAsksAgainAtTheNextStart) {
    dialogs_.QueueOpenFile(std::nullopt);
    TDAXORegistry::CreateSingleton(DAXORegistryPath);
    EXPECT_EQ(LocateLibraryPath(), "");
    std::string chosen = ExistingFile("later.so");
    dialogs_.QueueOpenFile(chosen);
    EXPECT_EQ(LocateLibraryPath(), chosen);
    EXPECT_EQ(dialogs_.OpenFileRequests().size(), 2u);
    EXPECT_EQ(LocateLibraryPath(), chosen) << "now found without asking";
    EXPECT_EQ(dialogs_.OpenFileRequests().size(), 2u);
}

TEST_F(RegistryFixture, OperationsAndTheirMessages) {
    EXPECT_EQ(MessageOf([] { LocateLibraryPath(); }),
              "Error: Object not created, use TDAXORegistry.CreateSingleton.");
    EXPECT_EQ(MessageOf([] { TDAXORegistry::CreateSingleton("  "); }), "Assertion failure");
    EXPECT_FALSE(TDAXORegistry::SingletonExists());
    EXPECT_EQ(MessageOf([] { new TDAXORegistry(DAXORegistryPath); }),
              "Error: Do not use TDAXORegistry.Create, use TDAXORegistry.CreateSingleton.");

    TDAXORegistry& registry = TDAXORegistry::CreateSingleton(DAXORegistryPath);
    EXPECT_EQ(registry.RegistryPath(), "Vantiro\\DAXO");
    EXPECT_EQ(MessageOf([] { TDAXORegistry::CreateSingleton(DAXORegistryPath); }),
              "Error: Object already created, use TDAXORegistry.GetSingleton.");

    EXPECT_FALSE(registry.LocalMachineValueExists(ValueName, false));
    EXPECT_EQ(MessageOf([&] { registry.LocalMachineValueExists(ValueName, true); }),
              "Key\\Variable: HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantiro\\DAXO\\daxo_dll not found");
    EXPECT_EQ(MessageOf([&] { registry.ReadLocalMachineString(ValueName); }),
              "Key\\Variable: HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantiro\\DAXO\\daxo_dll not found");
    EXPECT_EQ(MessageOf([&] { registry.ReadCurrentUserString(ValueName); }),
              "Key\\Variable: HKEY_CURRENT_USER\\SOFTWARE\\Vantiro\\DAXO\\daxo_dll not found");
    for (const char* blank : {"", " "}) {
        EXPECT_EQ(MessageOf([&] { registry.CurrentUserValueExists(blank, false); }),
                  "Assertion failure");
        EXPECT_EQ(MessageOf([&] { registry.WriteCurrentUserString(blank, "x"); }),
                  "Assertion failure");
    }

    registry.WriteCurrentUserString(ValueName, "/some/path.so");
    EXPECT_TRUE(registry.CurrentUserValueExists(ValueName, true));
    EXPECT_EQ(registry.ReadCurrentUserString(ValueName), "/some/path.so");
    EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).ReadString(DAXOKey, ValueName), "/some/path.so");
    registry.DeleteCurrentUserValue(ValueName);
    EXPECT_FALSE(registry.CurrentUserValueExists(ValueName, false));
    registry.DeleteCurrentUserValue(ValueName);

    TRegistry(HKEY_LOCAL_MACHINE).WriteString(DAXOKey, ValueName, "/machine.so");
    EXPECT_EQ(registry.ReadLocalMachineString(ValueName), "/machine.so");

    TDAXORegistry::DestroySingleton();
    EXPECT_FALSE(TDAXORegistry::SingletonExists());
    EXPECT_EQ(MessageOf([] { LocateLibraryPath(); }),
              "Error: Object not created, use TDAXORegistry.CreateSingleton.");
}

} // namespace
} // namespace parvela::plugin_test
