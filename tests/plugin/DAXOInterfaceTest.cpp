// TDAXOInterface against the real stand-in library (and two broken ones), with registry
// stores and substance database of the test's own.
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/plugin/TDAXORegistry.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <functional>
#include <numeric>

namespace parvela::plugin_test {
namespace {

constexpr const char* DAXOKey = "SOFTWARE\\Vantiro\\DAXO";

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no failure>";
}

class DAXOInterfaceTest : public ::testing::Test {
protected:
    DAXOInterfaceTest()
        : dir_("interface"), database_(dir_.File("substances.sqlite")),
          machineEnv_("PARVELA_MACHINE_REGISTRY", dir_.File("machine.ini")),
          userEnv_("PARVELA_USER_REGISTRY", dir_.File("user.ini")),
          databaseEnv_("PARVELA_DAXO_DATABASE", database_),
          messagesEnv_("PARVELA_DAXO_MESSAGE_LOG", dir_.File("messages.txt")),
          dialogsScope_(dialogs_) {}

    ~DAXOInterfaceTest() override {
        TDAXOInterface::DestroySingleton();
        TDAXORegistry::DestroySingleton();
    }

    void UseLibrary(const std::string& path) {
        TRegistry(HKEY_LOCAL_MACHINE).WriteString(DAXOKey, "daxo_dll", path);
    }

    TDAXOInterface& Create(const std::string& path = LibraryPath) {
        UseLibrary(path);
        return TDAXOInterface::CreateSingleton(".");
    }

    TTestDirectory dir_;
    std::string database_;
    TScopedEnvironment machineEnv_;
    TScopedEnvironment userEnv_;
    TScopedEnvironment databaseEnv_;
    TScopedEnvironment messagesEnv_;
    TScriptedDialogs dialogs_;
    TScopedDialogs dialogsScope_;
};

TEST_F(DAXOInterfaceTest, CreatesTheRegistryLoadsTheLibraryAndAnswers) {
    EXPECT_FALSE(TDAXORegistry::SingletonExists());
    TDAXOInterface& daxo = Create();
    EXPECT_TRUE(TDAXORegistry::SingletonExists());
    EXPECT_TRUE(std::filesystem::exists(database_)) << "Create was called";
    EXPECT_TRUE(daxo.SetModelVersions("MODEL=GLIDAR/SHELL=PARVELA;1"));
    EXPECT_TRUE(daxo.SetModelVersions("MODEL=MUNDRE/SHELL=PARVELA;1"));
    EXPECT_FALSE(daxo.SetModelVersions("MODEL=OTHER/SHELL=PARVELA;1"));
    EXPECT_EQ(daxo.BooleanTrue(), "TRUE");
    EXPECT_EQ(daxo.BooleanFalse(), "FALSE");
    EXPECT_EQ(daxo.IncompleteAttributeName(), "DataIncomplete");
    EXPECT_TRUE(dialogs_.Boxes().empty());

    TDAXOInterface::DestroySingleton();
    EXPECT_FALSE(TDAXOInterface::SingletonExists());
    EXPECT_FALSE(TDAXORegistry::SingletonExists()) << "destroyed with the interface";
}

TEST_F(DAXOInterfaceTest, SingletonMessagesNameClassAndOperation) {
    EXPECT_EQ(MessageOf([] { TDAXOInterface::GetSingleton(); }),
              "TDAXOInterface.GetSingleton : Error, object not created, use "
              "TDAXOInterface.CreateSingleton.");
    EXPECT_EQ(MessageOf([] { new TDAXOInterface("."); }),
              "TDAXOInterface.Create : Error, do not use TDAXOInterface.Create, use "
              "TDAXOInterface.CreateSingleton.");
    TDAXOInterface& first = Create();
    EXPECT_EQ(MessageOf([] { TDAXOInterface::CreateSingleton("."); }),
              "TDAXOInterface.CreateSingleton : Error, object already created, use "
              "TDAXOInterface.GetSingleton.");
    EXPECT_EQ(&TDAXOInterface::GetSingleton(), &first);
    EXPECT_EQ(MessageOf([&] { first.Destroy(); }),
              "TDAXOInterface.Destroy : Error, do not use TDAXOInterface.Destroy, this would "
              "destroy the singleton object, use TDAXOInterface.DestroySingleton !");
    EXPECT_TRUE(TDAXOInterface::SingletonExists());
}

TEST_F(DAXOInterfaceTest, WorkingDirectoryIsTheLibrarysDuringCreateAndRestoredAfter) {
    const auto before = std::filesystem::current_path();
    // A relative database name is resolved against the working directory of Create.
    const std::string name = "cwd-probe-" + std::to_string(getpid()) + ".sqlite";
    TScopedEnvironment relative("PARVELA_DAXO_DATABASE", name);
    const auto expected = std::filesystem::path(LibraryPath).parent_path() / name;
    Create();
    EXPECT_EQ(std::filesystem::current_path(), before);
    EXPECT_TRUE(std::filesystem::exists(expected)) << expected;
    TDAXOInterface::DestroySingleton();
    std::filesystem::remove(expected);
}

TEST_F(DAXOInterfaceTest, WorkingDirectoryIsRestoredWhenCreateFails) {
    const auto before = std::filesystem::current_path();
    TScopedEnvironment missing("PARVELA_DAXO_DATABASE", dir_.File("missing/substances.sqlite"));
    EXPECT_THROW(Create(), EDAXOException);
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(DAXOInterfaceTest, LibraryErrorAtCreateRaisesWithTheInstanceInPlace) {
    TScopedEnvironment missing("PARVELA_DAXO_DATABASE", dir_.File("missing/substances.sqlite"));
    std::string message = MessageOf([&] { Create(); });
    EXPECT_EQ(message.rfind("EDAXOException: Cannot open the substance database", 0), 0u)
        << message;
    // Longer than the first error buffer: fetched whole by the second call.
    EXPECT_NE(message.find(dir_.File("missing/substances.sqlite")), std::string::npos);
    EXPECT_GT(message.size(), static_cast<size_t>(TDAXOInterface::ErrorTextSize));
    ASSERT_TRUE(TDAXOInterface::SingletonExists());
    // Every later call reports the missing database as the library's error.
    std::unique_ptr<TDAXOGUIDList> list;
    try {
        TDAXOInterface::GetSingleton().GetSubstancesGUIDList(true, false, list);
        FAIL() << "no exception";
    } catch (const EDAXOException& e) {
        EXPECT_NE(std::string(e.what()).find("No substance database is open"), std::string::npos);
        EXPECT_STREQ(e.ClassName(), "EDAXOException");
    }
}

TEST_F(DAXOInterfaceTest, LibraryErrorDuringACallRaisesEDAXOExceptionWithItsText) {
    TDAXOInterface& daxo = Create();
    std::unique_ptr<TDAXOGUIDList> list;
    EXPECT_EQ(MessageOf([&] { daxo.GetMetaboliteGUIDList(AlphaGuid, 4, true, false, list); }),
              "EDAXOException: Invalid compartment code 4: use 1 (soil), 2 (water) or 3 "
              "(sediment).");
    // The next call succeeds: the error text was cleared by the library.
    daxo.GetMetaboliteGUIDList(AlphaGuid, 1, false, false, list);
    EXPECT_EQ(list->Count(), 2u);
}

TEST_F(DAXOInterfaceTest, LibraryLackingAnExportFailsNamingIt) {
    EXPECT_EQ(MessageOf([&] { Create(IncompleteLibraryPath); }),
              "TDAXOInterface.Create : Failure locating the addres of procedure / function "
              "StrToBoolean");
    EXPECT_FALSE(TDAXOInterface::SingletonExists());
    EXPECT_FALSE(TDAXORegistry::SingletonExists()) << "the failed creation removed it again";
    EXPECT_FALSE(std::filesystem::exists(database_)) << "no export may be called";
}

TEST_F(DAXOInterfaceTest, FileThatIsNoLibraryFailsWithPathAndReason) {
    const std::string path = dir_.File("not-a-library.so");
    std::ofstream(path) << "plain text\n";
    std::string message = MessageOf([&] { Create(path); });
    std::string prefix = "TDAXOInterface.Create : Cannot load the DAXO library " + path + ": ";
    EXPECT_EQ(message.rfind(prefix, 0), 0u) << message;
    EXPECT_GT(message.size(), prefix.size()) << "the loader's reason follows";
    EXPECT_NE(message.find("not-a-library.so"), std::string::npos);
    EXPECT_FALSE(TDAXOInterface::SingletonExists());
    EXPECT_FALSE(std::filesystem::exists(database_));
}

TEST_F(DAXOInterfaceTest, NoLibraryPathFails) {
    dialogs_.QueueOpenFile(std::nullopt);
    EXPECT_EQ(MessageOf([] { TDAXOInterface::CreateSingleton("."); }),
              "TDAXOInterface.Create : Error locating the DAXO dll path");
    EXPECT_EQ(dialogs_.OpenFileRequests().size(), 1u);
    EXPECT_FALSE(TDAXOInterface::SingletonExists());
}

TEST_F(DAXOInterfaceTest, SubstanceListWithAndWithoutAttributes) {
    TDAXOInterface& daxo = Create();
    std::unique_ptr<TDAXOGUIDList> list;
    daxo.GetSubstancesGUIDList(true, false, list);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 7u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {AlphaGuid, "ALPHA"},     {BetaGuid, "BETA"}, {GammaGuid, "GAMMA"}, {DeltaGuid, "DELTA"},
        {EpsilonGuid, "EPSILON"}, {ZetaGuid, "ZETA"}, {EtaGuid, "ETA"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*list)[i].GUID, expected[i].first);
        ASSERT_TRUE((*list)[i].Attributes);
        EXPECT_EQ((*list)[i].Attributes->Value("SubstanceCode"), expected[i].second);
        EXPECT_EQ((*list)[i].Attributes->Value("substanceguid"), expected[i].first);
    }
    EXPECT_EQ((*list)[0].Attributes->Value("SubstanceName"), "Alphazin");
    EXPECT_EQ((*list)[7 - 2].Attributes->Value(daxo.IncompleteAttributeName()), daxo.BooleanTrue());

    // Reused: emptied first, old attribute lists replaced.
    TDAXOGUIDList* same = list.get();
    daxo.GetSubstancesGUIDList(false, false, list);
    EXPECT_EQ(list.get(), same);
    ASSERT_EQ(list->Count(), 7u);
    for (const auto& entry : *list)
        EXPECT_EQ(entry.Attributes, nullptr);
}

TEST_F(DAXOInterfaceTest, TextsLongerThanTheFirstBuffers) {
    TDAXOInterface& daxo = Create();
    std::vector<std::string> bulk = AddManySubstances(database_, 300, 3);
    // One substance whose attribute list is far longer than 1501 bytes.
    std::string sql;
    for (int i = 0; i < 120; ++i)
        sql += "INSERT INTO attributes VALUES ('" + EtaGuid + "', 'LongAttribute" +
               std::to_string(i) + "', 'value with blanks " + std::to_string(i) + "', " +
               std::to_string(100 + i) + ");";
    ExecuteSql(database_, sql);

    std::unique_ptr<TDAXOGUIDList> list;
    daxo.GetSubstancesGUIDList(true, false, list);
    ASSERT_EQ(list->Count(), 7u + bulk.size());
    size_t guidTextSize = 0;
    for (const auto& entry : *list)
        guidTextSize += entry.GUID.size() + 1;
    EXPECT_GT(guidTextSize, static_cast<size_t>(TDAXOInterface::GUIDListSize));
    EXPECT_EQ((*list)[7].GUID, bulk.front());
    EXPECT_EQ(list->Entries().back().GUID, bulk.back());
    EXPECT_EQ(list->Entries().back().Attributes->Value("Extra2"), "2.5");

    std::unique_ptr<TDAXOAttributeList> eta;
    daxo.GetSubstanceInfoListByGUID(EtaGuid, false, eta);
    size_t infoTextSize = std::accumulate(eta->Items().begin(), eta->Items().end(), size_t{0},
                                          [](size_t sum, const auto& s) { return sum + s.size(); });
    EXPECT_GT(infoTextSize, static_cast<size_t>(TDAXOInterface::InfoListSize));
    EXPECT_EQ(eta->Value("LongAttribute119"), "value with blanks 119");
    EXPECT_EQ(eta->Value("SubstanceCode"), "ETA");
}

TEST_F(DAXOInterfaceTest, UnknownGuidsGiveEmptyResultsWithoutException) {
    TDAXOInterface& daxo = Create();
    std::unique_ptr<TDAXOAttributeList> attributes;
    daxo.GetSubstanceInfoListByGUID(UnknownGuid, false, attributes);
    ASSERT_TRUE(attributes);
    EXPECT_TRUE(attributes->Empty());
    EXPECT_EQ(daxo.GetSubstanceChecksumByGUID(UnknownGuid), "");
    std::unique_ptr<TDAXOGUIDList> metabolites;
    daxo.GetMetaboliteGUIDList(UnknownGuid, 1, true, false, metabolites);
    EXPECT_TRUE(metabolites->Empty());
    // GUIDs compare exactly: another letter case is another substance.
    std::string lower = AlphaGuid;
    for (auto& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    daxo.GetSubstanceInfoListByGUID(lower, false, attributes);
    EXPECT_TRUE(attributes->Empty());
}

TEST_F(DAXOInterfaceTest, BlankGuidsAreRefusedBeforeTheLibraryIsAsked) {
    TDAXOInterface& daxo = Create();
    std::unique_ptr<TDAXOAttributeList> attributes;
    std::unique_ptr<TDAXOGUIDList> guids;
    struct Case {
        std::function<void()> call;
        std::string expected;
    };
    std::vector<Case> cases = {
        {[&] { daxo.GetSubstanceInfoListByGUID(" ", false, attributes); },
         "TDAXOInterface.GetSubstanceInfoListByGUID : Error, empty substance guid"},
        {[&] { daxo.GetSubstanceChecksumByGUID(""); },
         "TDAXOInterface.GetSubstanceChecksumByGUID : Error, empty substance guid"},
        {[&] { daxo.GetMetaboliteGUIDList("\t", 1, true, false, guids); },
         "TDAXOInterface.GetMetaboliteGUIDList : Error, empty substance guid"},
        {[&] { daxo.GetMetaboliteInfoListByGUID("", AlphaM1Guid, 1, false, attributes); },
         "TDAXOInterface.GetMetaboliteInfoListByGUID : Error, empty parent guid"},
        {[&] { daxo.GetMetaboliteInfoListByGUID(AlphaGuid, " ", 1, false, attributes); },
         "TDAXOInterface.GetMetaboliteInfoListByGUID : Error, empty metabolite guid"},
        {[&] { daxo.ShowSubstanceErrorMessages(""); },
         "TDAXOInterface.ShowSubstanceErrorMessages : Error, empty substance guid"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageOf(c.call), c.expected);
}

TEST_F(DAXOInterfaceTest, MetabolitesWithTheirFormationFractions) {
    TDAXOInterface& daxo = Create();
    std::unique_ptr<TDAXOGUIDList> list;
    daxo.GetMetaboliteGUIDList(AlphaGuid, DAXOSoilCompartment, true, false, list);
    ASSERT_EQ(list->Count(), 2u);
    EXPECT_EQ((*list)[0].GUID, AlphaM1Guid);
    EXPECT_EQ((*list)[0].Attributes->Value("FraPrtDau"), "0.5");
    EXPECT_EQ((*list)[0].Attributes->Value("SubstanceCode"), "ALPHA-M1");
    EXPECT_EQ((*list)[1].GUID, AlphaM3Guid);
    EXPECT_EQ((*list)[1].Attributes->Value("FraPrtDau"), "0.2");
    daxo.GetMetaboliteGUIDList(AlphaM1Guid, DAXOSoilCompartment, true, false, list);
    ASSERT_EQ(list->Count(), 1u);
    EXPECT_EQ((*list)[0].Attributes->Value("SubstanceCode"), "ALPHA-M2");

    struct Case {
        std::string parent;
        int compartment;
        size_t count;
    } cases[] = {{BetaGuid, DAXOSoilCompartment, 0},
                 {BetaGuid, DAXOWaterCompartment, 1},
                 {BetaGuid, DAXOSedimentCompartment, 1},
                 {AlphaGuid, DAXOWaterCompartment, 0}};
    for (const auto& c : cases) {
        daxo.GetMetaboliteGUIDList(c.parent, c.compartment, true, false, list);
        EXPECT_EQ(list->Count(), c.count) << c.parent << " " << c.compartment;
    }
}

TEST_F(DAXOInterfaceTest, ChecksumFollowsTheData) {
    TDAXOInterface& daxo = Create();
    std::string before = daxo.GetSubstanceChecksumByGUID(AlphaGuid);
    EXPECT_EQ(daxo.GetSubstanceChecksumByGUID(AlphaGuid), before);
    ExecuteSql(database_, "UPDATE attributes SET value = '0.6' WHERE guid = '" + AlphaM3Guid +
                              "' AND name = 'ExpFre'");
    EXPECT_NE(daxo.GetSubstanceChecksumByGUID(AlphaGuid), before);
}

TEST_F(DAXOInterfaceTest, ShowSubstanceErrorMessagesReportsThroughTheLibrary) {
    TDAXOInterface& daxo = Create();
    EXPECT_FALSE(daxo.ShowSubstanceErrorMessages(ZetaGuid));
    EXPECT_TRUE(daxo.ShowSubstanceErrorMessages(EtaGuid));
    std::ifstream log(dir_.File("messages.txt"));
    std::string first;
    std::getline(log, first);
    EXPECT_EQ(first, "DAXO");
}

TEST_F(DAXOInterfaceTest, VersionNeedsNoInstanceAndLeavesNoRegistryBehind) {
    UseLibrary(LibraryPath);
    EXPECT_EQ(TDAXOInterface::Version(), "DAXO stand-in 1.0");
    EXPECT_FALSE(TDAXORegistry::SingletonExists());
    EXPECT_FALSE(std::filesystem::exists(database_)) << "Version does not call Create";

    TDAXORegistry::CreateSingleton(DAXORegistryPath);
    EXPECT_EQ(TDAXOInterface::Version(), "DAXO stand-in 1.0");
    EXPECT_TRUE(TDAXORegistry::SingletonExists()) << "not created by Version, so kept";
    TDAXORegistry::DestroySingleton();

    Create();
    EXPECT_EQ(TDAXOInterface::Version(), "DAXO stand-in 1.0");
    EXPECT_TRUE(TDAXORegistry::SingletonExists());
}

TEST_F(DAXOInterfaceTest, VersionResolvesOnlyItsOwnExport) {
    UseLibrary(IncompleteLibraryPath);
    EXPECT_EQ(TDAXOInterface::Version(), "DAXO stand-in 1.0");
    dialogs_.QueueOpenFile(std::nullopt);
    TRegistry(HKEY_LOCAL_MACHINE).DeleteValue(DAXOKey, "daxo_dll");
    EXPECT_EQ(MessageOf([] { TDAXOInterface::Version(); }),
              "TDAXOInterface.Version : Error locating the DAXO dll path");
    EXPECT_FALSE(TDAXORegistry::SingletonExists());
}

class TMisbehavingLibraryCounter {
public:
    TMisbehavingLibraryCounter() : handle_(dlopen(MisbehavingLibraryPath.c_str(), RTLD_NOW)) {}
    ~TMisbehavingLibraryCounter() { dlclose(handle_); }
    int Calls() const { return *static_cast<int*>(dlsym(handle_, "DaxoTestGetLastErrorCalls")); }

private:
    void* handle_;
};

TEST_F(DAXOInterfaceTest, ProtocolAgainstALibraryThatBreaksIt) {
    TMisbehavingLibraryCounter counter;
    // Its error text is only blanks: no exception.
    TDAXOInterface& daxo = Create(MisbehavingLibraryPath);
    EXPECT_EQ(counter.Calls(), 1) << "asked once after Create";

    // A text that fits at once: one question after the call.
    EXPECT_EQ(daxo.BooleanFalse(), "NO");
    EXPECT_EQ(counter.Calls(), 2);
    // A text that needs the second call: asked after each of both.
    EXPECT_EQ(daxo.BooleanTrue(), "DEFINITELY-TRUE");
    EXPECT_EQ(counter.Calls(), 4);
    EXPECT_TRUE(daxo.SetModelVersions("anything"));
    EXPECT_EQ(counter.Calls(), 5);

    // A text that still does not fit at the second call, class-level: no questions.
    try {
        TDAXOInterface::Version();
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Assertion failure");
    }
    EXPECT_EQ(counter.Calls(), 5);
}

} // namespace
} // namespace parvela::plugin_test
