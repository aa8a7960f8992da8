// The stand-in library through its C exports alone, as any host would call it.
#include "plugins/daxo/DaxoApi.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

namespace parvela::plugin_test {
namespace {

class TLibrary {
public:
    explicit TLibrary(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW)) {
        if (!handle_)
            throw std::runtime_error(dlerror());
    }
    ~TLibrary() { dlclose(handle_); }
    template <class F> F Get(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle_, name));
    }
    void* Handle() const { return handle_; }

private:
    void* handle_;
};

// Calls a text export like the program does, and remembers what happened.
struct TTextResult {
    bool fitted = false;
    std::int32_t size = 0;
    std::string text;
};

class PluginLibraryTest : public ::testing::Test {
protected:
    PluginLibraryTest()
        : dir_("library"), database_(dir_.File("substances.sqlite")),
          databaseEnv_("PARVELA_DAXO_DATABASE", database_),
          messagesEnv_("PARVELA_DAXO_MESSAGE_LOG", dir_.File("messages.txt")),
          library_(LibraryPath) {}
    ~PluginLibraryTest() override { library_.Get<TDaxoDestroy>("Destroy")(); }

    void CreateLibrary() { ASSERT_TRUE(library_.Get<TDaxoCreate>("Create")(".")); }

    template <class Call> TTextResult CallText(std::int32_t size, Call&& call) {
        std::vector<char> buffer(static_cast<size_t>(size) + 16, '#');
        char* data = buffer.data();
        TTextResult result;
        result.size = size;
        result.fitted = call(&data, &result.size) != 0;
        EXPECT_EQ(data, buffer.data()) << "the library replaced the buffer pointer";
        for (size_t i = static_cast<size_t>(size); i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], '#') << "written past the buffer at " << i;
        if (result.fitted)
            result.text.assign(buffer.data(), strnlen(buffer.data(), static_cast<size_t>(size)));
        return result;
    }

    // The whole text by the protocol (one regrowth).
    template <class Call> std::string FullText(Call&& call) {
        TTextResult first = CallText(8, call);
        if (first.fitted)
            return first.text;
        TTextResult second = CallText(first.size, call);
        EXPECT_TRUE(second.fitted);
        return second.text;
    }

    std::string LastError() {
        return FullText([&](char** b, std::int32_t* s) {
            return library_.Get<TDaxoGetLastError>("GetLastError")(b, s);
        });
    }

    std::string InfoList(const std::string& guid) {
        return FullText([&](char** b, std::int32_t* s) {
            return library_.Get<TDaxoGetSubstanceInfoListByGUID>("GetSubstanceInfoListByGUID")(
                guid.c_str(), 0, b, s);
        });
    }

    std::string Checksum(const std::string& guid) {
        return FullText([&](char** b, std::int32_t* s) {
            return library_.Get<TDaxoGetSubstanceChecksumByGUID>("GetSubstanceChecksumByGUID")(
                guid.c_str(), b, s);
        });
    }

    std::string Metabolites(const std::string& guid, int compartment) {
        return FullText([&](char** b, std::int32_t* s) {
            return library_.Get<TDaxoGetMetabolitesGUIDList>("GetMetabolitesGUIDList")(
                guid.c_str(), compartment, b, s);
        });
    }

    TTestDirectory dir_;
    std::string database_;
    TScopedEnvironment databaseEnv_;
    TScopedEnvironment messagesEnv_;
    TLibrary library_;
};

// Each user works on a copy of the database delivered beside the library, in the per-user
// data directory; the delivered one is only read (an installed library's directory is
// read-only to its users).
class PluginLibraryPlacementTest : public ::testing::Test {
protected:
    PluginLibraryPlacementTest()
        : dir_("placement"), userCopy_(dir_.File("data/parvela/daxo_substances.sqlite")),
          dataEnv_("XDG_DATA_HOME", dir_.File("data")) {
        unsetenv("PARVELA_DAXO_DATABASE");
        std::filesystem::create_directories(dir_.File("lib"));
        std::filesystem::copy_file(LibraryPath, dir_.File("lib/libdaxo-copy.so"));
    }

    // Loaded by a relative name from another working directory, as a host might.
    std::unique_ptr<TLibrary> Load() {
        const auto before = std::filesystem::current_path();
        std::filesystem::current_path(dir_.File("lib"));
        auto library = std::make_unique<TLibrary>("./libdaxo-copy.so");
        std::filesystem::current_path(before);
        return library;
    }

    // The substance code of ALPHA in the database that a created library works on.
    std::string AlphaCode() {
        auto library = Load();
        EXPECT_TRUE(library->Get<TDaxoCreate>("Create")("."));
        std::vector<char> buffer(1 << 16);
        char* data = buffer.data();
        std::int32_t size = static_cast<std::int32_t>(buffer.size());
        EXPECT_TRUE(library->Get<TDaxoGetSubstanceInfoListByGUID>("GetSubstanceInfoListByGUID")(
            AlphaGuid.c_str(), 0, &data, &size));
        library->Get<TDaxoDestroy>("Destroy")();
        const std::string list(buffer.data());
        const std::size_t at = list.find("SubstanceCode=");
        return at == std::string::npos ? std::string()
                                       : list.substr(at + 14, list.find(';', at) - at - 14);
    }

    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Delivered() const { return dir_.File("lib/daxo_substances.sqlite"); }
    void Deliver(const std::string& alphaCode) {
        std::filesystem::copy_file(DAXO_DELIVERED_DATABASE, Delivered(),
                                   std::filesystem::copy_options::overwrite_existing);
        ExecuteSql(Delivered(), "UPDATE attributes SET value = '" + alphaCode +
                                    "' WHERE name = 'SubstanceCode' AND guid = '" + AlphaGuid +
                                    "'");
    }
    std::vector<std::string> FilesBesideTheLibrary() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.File("lib")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TTestDirectory dir_;
    std::string userCopy_;
    TScopedEnvironment dataEnv_;
};

TEST_F(PluginLibraryPlacementTest, TheUsersCopyIsSeededOnceFromTheDeliveredDatabase) {
    Deliver("SEEDED");
    const std::string delivered = ReadBytes(Delivered());
    EXPECT_EQ(AlphaCode(), "SEEDED");
    EXPECT_TRUE(std::filesystem::exists(userCopy_));
    EXPECT_EQ(ReadBytes(Delivered()), delivered) << "the delivered database is only read";
    Deliver("LATER");
    EXPECT_EQ(AlphaCode(), "SEEDED") << "an existing copy is the user's own";
    EXPECT_EQ(FilesBesideTheLibrary(),
              (std::vector<std::string>{"daxo_substances.sqlite", "libdaxo-copy.so"}))
        << "nothing written beside the library";
}

TEST_F(PluginLibraryPlacementTest, WithoutADeliveredDatabaseTheCopyStartsWithTheExamples) {
    EXPECT_EQ(AlphaCode(), "ALPHA");
    EXPECT_TRUE(std::filesystem::exists(userCopy_));
    EXPECT_EQ(FilesBesideTheLibrary(), std::vector<std::string>{"libdaxo-copy.so"});
}

TEST_F(PluginLibraryTest, ExportsExactlyTheNineteenNamesOfTheContract) {
    for (const char* name : DaxoExportNames)
        EXPECT_NE(dlsym(library_.Handle(), name), nullptr) << name;
    TLibrary incomplete(IncompleteLibraryPath);
    EXPECT_EQ(dlsym(incomplete.Handle(), "StrToBoolean"), nullptr);
    EXPECT_NE(dlsym(incomplete.Handle(), "BoolFalse"), nullptr);
}

TEST_F(PluginLibraryTest, CreateFillsANewDatabaseWithTheExamples) {
    EXPECT_FALSE(std::filesystem::exists(database_));
    CreateLibrary();
    EXPECT_TRUE(std::filesystem::exists(database_));
    EXPECT_EQ(LastError(), "");
    std::string list = FullText([&](char** b, std::int32_t* s) {
        return library_.Get<TDaxoGetSubstancesGUIDList>("GetSubstancesGUIDList")(b, s);
    });
    // Active substances only; the metabolites are not listed.
    EXPECT_EQ(list, AlphaGuid + ";" + BetaGuid + ";" + GammaGuid + ";" + DeltaGuid + ";" +
                        EpsilonGuid + ";" + ZetaGuid + ";" + EtaGuid);
}

TEST_F(PluginLibraryTest, TooSmallBufferReturnsFalseWithTheNeededSizeAndNoErrorText) {
    CreateLibrary();
    const std::string expected = "DAXO stand-in 1.0";
    auto version = library_.Get<TDaxoVersion>("Version");
    struct Case {
        std::int32_t size;
        bool fitted;
    };
    for (Case c :
         {Case{0, false}, Case{1, false}, Case{17, false}, Case{18, true}, Case{100, true}}) {
        TTextResult result = CallText(c.size, version);
        EXPECT_EQ(result.fitted, c.fitted) << c.size;
        if (c.fitted) {
            EXPECT_EQ(result.text, expected);
            EXPECT_EQ(result.size, c.size) << "a fitting call keeps the size";
        } else {
            EXPECT_EQ(result.size, static_cast<std::int32_t>(expected.size() + 1));
        }
        EXPECT_EQ(LastError(), "") << "a small buffer is no error";
    }
}

// Every text export, at random buffer sizes: fits exactly when the size holds the text and
// its zero, asks for that size otherwise, and never writes past the size it was given.
TEST_F(PluginLibraryTest, RandomBufferSizesNeverOverrun) {
    CreateLibrary();
    using Call = std::function<DaxoBool(char**, std::int32_t*)>;
    auto byName = [&](const char* name) { return Call(library_.Get<TDaxoVersion>(name)); };
    std::vector<std::pair<const char*, Call>> exports = {
        {"GetSubstancesGUIDList", byName("GetSubstancesGUIDList")},
        {"Version", byName("Version")},
        {"BoolTrue", byName("BoolTrue")},
        {"IncompleteAttributeName", byName("IncompleteAttributeName")},
        {"GetSubstanceInfoListByGUID",
         [&](char** b, std::int32_t* s) {
             return library_.Get<TDaxoGetSubstanceInfoListByGUID>("GetSubstanceInfoListByGUID")(
                 AlphaGuid.c_str(), 0, b, s);
         }},
        {"GetSubstanceChecksumByGUID",
         [&](char** b, std::int32_t* s) {
             return library_.Get<TDaxoGetSubstanceChecksumByGUID>("GetSubstanceChecksumByGUID")(
                 AlphaGuid.c_str(), b, s);
         }},
        {"GetMetaboliteInfoListByGUID",
         [&](char** b, std::int32_t* s) {
             return library_.Get<TDaxoGetMetaboliteInfoListByGUID>("GetMetaboliteInfoListByGUID")(
                 AlphaGuid.c_str(), AlphaM1Guid.c_str(), 1, 0, b, s);
         }},
    };
    std::mt19937 random(42);
    for (const auto& [name, call] : exports) {
        const std::string full = FullText(call);
        const auto needed = static_cast<std::int32_t>(full.size() + 1);
        for (int round = 0; round < 40; ++round) {
            auto size = static_cast<std::int32_t>(random() % (needed + 20));
            TTextResult result = CallText(size, call);
            EXPECT_EQ(result.fitted, size >= needed) << name << " " << size;
            EXPECT_EQ(result.size, result.fitted ? size : needed) << name << " " << size;
            if (result.fitted)
                EXPECT_EQ(result.text, full) << name;
            EXPECT_EQ(LastError(), "") << name;
        }
    }
}

TEST_F(PluginLibraryTest, ShortTextsAndModelVersions) {
    CreateLibrary();
    auto text = [&](const char* name) { return FullText(library_.Get<TDaxoBoolTrue>(name)); };
    EXPECT_EQ(text("BoolTrue"), "TRUE");
    EXPECT_EQ(text("BoolFalse"), "FALSE");
    EXPECT_EQ(text("IncompleteAttributeName"), "DataIncomplete");
    EXPECT_EQ(text("IncompleteMetabsAttributeName"), "MetabolitesIncomplete");

    auto setModelVersions = library_.Get<TDaxoSetModelVersions>("SetModelVersions");
    struct Case {
        const char* text;
        bool accepted;
    } cases[] = {{"MODEL=GLIDAR/SHELL=PARVELA;1", true},
                 {"MODEL=MUNDRE/SHELL=PARVELA;1", true},
                 {"MODEL=GLIDAR/SHELL=PARVELA;2", false},
                 {"model=glidar/shell=parvela;1", false},
                 {"", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(setModelVersions(c.text) != 0, c.accepted) << c.text;
        EXPECT_EQ(LastError(), "") << c.text;
    }
}

TEST_F(PluginLibraryTest, BooleanWordsBothWays) {
    CreateLibrary();
    auto toStr = library_.Get<TDaxoBooleanToStr>("BooleanToStr");
    EXPECT_EQ(FullText([&](char** b, std::int32_t* s) { return toStr(1, b, s); }), "TRUE");
    EXPECT_EQ(FullText([&](char** b, std::int32_t* s) { return toStr(0, b, s); }), "FALSE");
    auto fromStr = library_.Get<TDaxoStrToBoolean>("StrToBoolean");
    struct Case {
        const char* text;
        bool known;
        bool value;
    } cases[] = {{"TRUE", true, true},
                 {"false", true, false},
                 {"True", true, true},
                 {"yes", false, false},
                 {"", false, false}};
    for (const auto& c : cases) {
        DaxoBool value = 7;
        EXPECT_EQ(fromStr(c.text, &value) != 0, c.known) << c.text;
        if (c.known)
            EXPECT_EQ(value != 0, c.value) << c.text;
        else
            EXPECT_EQ(value, 7) << "an unknown word leaves the result alone";
    }
    EXPECT_EQ(fromStr("TRUE", nullptr), 0);
    EXPECT_NE(LastError(), "");
}

TEST_F(PluginLibraryTest, VanTHoffConversionFollowsArrhenius) {
    auto convert = library_.Get<TDaxoVanTHoffTempConversion>("VanTHoffTempConversion");
    EXPECT_DOUBLE_EQ(convert(30, 20, 20, 65.4), 30);
    EXPECT_DOUBLE_EQ(convert(30, 20, 10, 0), 30);
    // 65.4 kJ/mol: about 2.58 times slower at 10 C than at 20 C.
    double at10 = convert(30, 20, 10, 65.4);
    double expected = 30 * std::exp(65.4 / 8.314462618e-3 * (1 / 283.15 - 1 / 293.15));
    EXPECT_NEAR(at10, expected, 1e-9);
    EXPECT_NEAR(at10, 77.39, 0.01);
    EXPECT_LT(convert(30, 20, 30, 65.4), 30);
    EXPECT_TRUE(std::isnan(convert(30, 20, -300, 65.4)));
    EXPECT_NE(LastError(), "");
}

TEST_F(PluginLibraryTest, UnknownGuidsGiveEmptyTextsWithoutError) {
    CreateLibrary();
    EXPECT_EQ(InfoList(UnknownGuid), "");
    EXPECT_EQ(LastError(), "");
    EXPECT_EQ(Checksum(UnknownGuid), "");
    EXPECT_EQ(LastError(), "");
    EXPECT_EQ(Metabolites(UnknownGuid, 1), "");
    EXPECT_EQ(LastError(), "");
    std::string info = FullText([&](char** b, std::int32_t* s) {
        return library_.Get<TDaxoGetMetaboliteInfoListByGUID>("GetMetaboliteInfoListByGUID")(
            AlphaGuid.c_str(), UnknownGuid.c_str(), 1, 0, b, s);
    });
    EXPECT_EQ(info, "");
    EXPECT_EQ(LastError(), "");
}

TEST_F(PluginLibraryTest, CallsBeforeCreateFailWithAnErrorTextThatTheNextGoodCallClears) {
    EXPECT_EQ(InfoList(AlphaGuid), "");
    std::string error = LastError();
    EXPECT_NE(error.find("No substance database is open"), std::string::npos) << error;
    // GetLastError leaves the text in place for a second look.
    EXPECT_EQ(LastError(), error);
    FullText(library_.Get<TDaxoVersion>("Version"));
    EXPECT_EQ(LastError(), "");
}

TEST_F(PluginLibraryTest, FailuresLeaveAnErrorText) {
    struct Case {
        const char* name;
        std::function<void()> call;
        const char* expected;
    };
    auto create = library_.Get<TDaxoCreate>("Create");
    std::vector<Case> cases = {
        {"separator of two characters", [&] { create(".."); }, "decimal separator"},
        {"database in a missing directory",
         [&] {
             TScopedEnvironment missing("PARVELA_DAXO_DATABASE",
                                        dir_.File("missing/dir/substances.sqlite"));
             create(".");
         },
         "Cannot open the substance database"},
        {"unknown compartment",
         [&] {
             create(".");
             ASSERT_EQ(LastError(), "");
             Metabolites(AlphaGuid, 4);
         },
         "Invalid compartment code 4"},
        {"buffer without memory",
         [&] {
             std::int32_t size = 10;
             char* none = nullptr;
             library_.Get<TDaxoVersion>("Version")(&none, &size);
         },
         "Invalid buffer"},
    };
    for (const auto& c : cases) {
        c.call();
        EXPECT_NE(LastError().find(c.expected), std::string::npos) << c.name << ": " << LastError();
    }
}

TEST_F(PluginLibraryTest, AttributeListsCarryWhatTheProgramReads) {
    CreateLibrary();
    std::string alpha = InfoList(AlphaGuid);
    for (const char* item :
         {"SubstanceGUID=", "SubstanceCode=ALPHA", "MolMass=291.3", "DT50Ref=25.0",
          "OptCofFreCode=3", "OptDspCrp=1", "OptCntLiqTraRef=TRUE", "KomEql=150.0",
          "TemRefTra=20.0", "MolEntTra=65.4", "DT50WatRef=", "TemRefTraWat=", "KomSed=", "KomSus=",
          "KSorMph=", "DataIncomplete=FALSE", "MetabolitesIncomplete=FALSE"})
        EXPECT_NE(alpha.find(item), std::string::npos) << item;
    // A value with blanks is quoted so that the program reads it as one item.
    EXPECT_NE(alpha.find(";SubstanceName=Alphazin;"), std::string::npos);
    EXPECT_NE(InfoList(AlphaM1Guid).find(";\"SubstanceName=Alphazin metabolite M1\";"),
              std::string::npos);
    EXPECT_NE(InfoList(GammaGuid).find("OptCofFreCode=1"), std::string::npos);
    EXPECT_NE(InfoList(DeltaGuid).find("OptCofFreCode=2"), std::string::npos);
    std::string epsilon = InfoList(EpsilonGuid);
    EXPECT_NE(epsilon.find("OptDspCrp=2"), std::string::npos);
    EXPECT_NE(epsilon.find("OptCntLiqTraRef=FALSE"), std::string::npos);
    EXPECT_NE(InfoList(ZetaGuid).find("DataIncomplete=TRUE"), std::string::npos);
}

// Every attribute that the model input writers and the substance checks read.
const char* const AttributesTheProgramReads[] = {
    "SubstanceGUID", "SubstanceCode", "MolMass",      "OptCntLiqTraRef", "DT50Ref",
    "TemRefTra",     "ExpLiqTra",     "CntLiqTraRef", "MolEntTra",       "MolEntSor",
    "TemRefSor",     "OptCofFreCode", "KomEql",       "ConLiqRef",       "ExpFre",
    "PreVapRef",     "TemRefVap",     "SlbWatRef",    "TemRefSlb",       "MolEntSlb",
    "MolEntVap",     "CofDesRat",     "FacSorNeqEql", "FacUpt",          "OptDspCrp",
    "DT50DspCrp",    "DT50PenCrp",    "DT50VolCrp",   "DT50TraCrp",      "FacWasCrp",
    "TemRefDif",     "CofDifWatRef",  "CofDifAirRef", "DT50AnaRef",      "DT50WatLayRef",
    "TemRefTraAna",  "MolEntTraAna",  "DT50WatRef",   "TemRefTraWat",    "MolEntTraWat",
    "DT50SedRef",    "TemRefSed",     "MolEntTraSed", "KomSed",          "ConLiqRefSed",
    "ExpFreSed",     "KomSus",        "ConLiqRefSus", "ExpFreSus",       "KSorMph",
    "DataIncomplete"};

// The value of `name` in a list text whose items hold no blanks or quotes.
std::optional<std::string> ValueIn(const std::string& list, const std::string& name) {
    std::string text = ";" + list + ";";
    size_t at = text.find(";" + name + "=");
    if (at == std::string::npos)
        return std::nullopt;
    size_t start = at + name.size() + 2;
    return text.substr(start, text.find(';', start) - start);
}

TEST_F(PluginLibraryTest, UsableSubstancesAndMetabolitesCarryEveryAttributeWithPlainValues) {
    CreateLibrary();
    for (const std::string& guid : {AlphaGuid, AlphaM1Guid, AlphaM2Guid, AlphaM3Guid, BetaGuid,
                                    BetaWaterGuid, BetaSedimentGuid, EtaGuid}) {
        std::string list = InfoList(guid);
        for (const char* name : AttributesTheProgramReads) {
            auto value = ValueIn(list, name);
            ASSERT_TRUE(value) << guid << " lacks " << name;
            EXPECT_FALSE(value->empty()) << guid << " " << name;
            EXPECT_EQ(value->find(','), std::string::npos) << "\".\" decimals only";
        }
        EXPECT_EQ(ValueIn(list, "OptCofFreCode"), "3") << guid;
        EXPECT_EQ(ValueIn(list, "OptDspCrp"), "1") << guid;
        EXPECT_EQ(ValueIn(list, "OptCntLiqTraRef"), "TRUE") << guid;
        EXPECT_EQ(ValueIn(list, "DataIncomplete"), "FALSE") << guid;
        EXPECT_EQ(ValueIn(list, "SubstanceGUID"), guid);
    }
}

TEST_F(PluginLibraryTest, MetaboliteListsPerCompartment) {
    CreateLibrary();
    struct Case {
        std::string parent;
        int compartment;
        std::string expected;
    } cases[] = {{AlphaGuid, 1, AlphaM1Guid + ";" + AlphaM3Guid},
                 {AlphaM1Guid, 1, AlphaM2Guid},
                 {AlphaM2Guid, 1, ""},
                 {AlphaGuid, 2, ""},
                 {BetaGuid, 1, ""},
                 {BetaGuid, 2, BetaWaterGuid},
                 {BetaGuid, 3, BetaSedimentGuid}};
    for (const auto& c : cases) {
        EXPECT_EQ(Metabolites(c.parent, c.compartment), c.expected)
            << c.parent << " " << c.compartment;
        EXPECT_EQ(LastError(), "");
    }
    std::string m1 = FullText([&](char** b, std::int32_t* s) {
        return library_.Get<TDaxoGetMetaboliteInfoListByGUID>("GetMetaboliteInfoListByGUID")(
            AlphaGuid.c_str(), AlphaM1Guid.c_str(), 1, 0, b, s);
    });
    EXPECT_NE(m1.find("FraPrtDau=0.5"), std::string::npos) << m1;
    EXPECT_NE(m1.find("SubstanceCode=ALPHA-M1"), std::string::npos) << m1;
    // Asked in the wrong compartment, the link does not exist.
    std::string wrong = FullText([&](char** b, std::int32_t* s) {
        return library_.Get<TDaxoGetMetaboliteInfoListByGUID>("GetMetaboliteInfoListByGUID")(
            AlphaGuid.c_str(), AlphaM1Guid.c_str(), 2, 0, b, s);
    });
    EXPECT_EQ(wrong, "");
}

TEST_F(PluginLibraryTest, ChecksumChangesWithAttributesAndMetabolitesOnly) {
    CreateLibrary();
    const std::string alpha = Checksum(AlphaGuid);
    const std::string eta = Checksum(EtaGuid);
    ASSERT_EQ(alpha.size(), 16u);
    EXPECT_NE(alpha, eta);
    EXPECT_EQ(Checksum(AlphaGuid), alpha) << "nothing changed";

    struct Case {
        const char* name;
        std::string change;
        std::string undo;
    } cases[] = {
        {"own attribute value",
         "UPDATE attributes SET value = '26.0' WHERE guid = '" + AlphaGuid +
             "' AND name = 'DT50Ref'",
         "UPDATE attributes SET value = '25.0' WHERE guid = '" + AlphaGuid +
             "' AND name = 'DT50Ref'"},
        {"new attribute", "INSERT INTO attributes VALUES ('" + AlphaGuid + "', 'Remark', 'x', 99)",
         "DELETE FROM attributes WHERE guid = '" + AlphaGuid + "' AND name = 'Remark'"},
        {"formation fraction",
         "UPDATE metabolites SET fraction = '0.45' WHERE metabolite_guid = '" + AlphaM1Guid + "'",
         "UPDATE metabolites SET fraction = '0.5' WHERE metabolite_guid = '" + AlphaM1Guid + "'"},
        {"attribute of a daughter's daughter",
         "UPDATE attributes SET value = '81.0' WHERE guid = '" + AlphaM2Guid +
             "' AND name = 'DT50Ref'",
         "UPDATE attributes SET value = '80.0' WHERE guid = '" + AlphaM2Guid +
             "' AND name = 'DT50Ref'"},
        {"metabolite removed",
         "DELETE FROM metabolites WHERE metabolite_guid = '" + AlphaM3Guid + "'",
         "INSERT INTO metabolites VALUES ('" + AlphaGuid + "', '" + AlphaM3Guid +
             "', 1, '0.2', 1)"},
    };
    for (const auto& c : cases) {
        ExecuteSql(database_, c.change);
        EXPECT_NE(Checksum(AlphaGuid), alpha) << c.name;
        EXPECT_EQ(Checksum(EtaGuid), eta) << c.name << " must not touch another substance";
        ExecuteSql(database_, c.undo);
        EXPECT_EQ(Checksum(AlphaGuid), alpha) << c.name << " undone";
    }
    ExecuteSql(database_, "DELETE FROM substances WHERE guid = '" + AlphaGuid + "'");
    EXPECT_EQ(Checksum(AlphaGuid), "") << "a deleted substance has no checksum";
    EXPECT_EQ(LastError(), "");
}

TEST_F(PluginLibraryTest, MetaboliteCycleIsRefusedInsteadOfListedWithoutEnd) {
    CreateLibrary();
    ExecuteSql(database_, "INSERT INTO metabolites VALUES ('" + AlphaM2Guid + "', '" + AlphaGuid +
                              "', 1, '0.1', 0)");
    EXPECT_EQ(Metabolites(AlphaGuid, 1), "");
    EXPECT_NE(LastError().find("returns to the substance"), std::string::npos) << LastError();
    EXPECT_EQ(Checksum(AlphaGuid).size(), 16u) << "the checksum still ends";
}

TEST_F(PluginLibraryTest, ShowSubstanceErrorMessagesNamesTheProblems) {
    CreateLibrary();
    auto show = library_.Get<TDaxoShowSubstanceErrorMessages>("ShowSubstanceErrorMessages");
    EXPECT_EQ(show(ZetaGuid.c_str()), 0);
    EXPECT_EQ(show(AlphaGuid.c_str()), 1);
    EXPECT_EQ(LastError(), "");
    std::ifstream log(dir_.File("messages.txt"));
    std::stringstream content;
    content << log.rdbuf();
    EXPECT_NE(content.str().find("Substance ZETA"), std::string::npos) << content.str();
    EXPECT_NE(content.str().find("marked as incomplete"), std::string::npos);
    EXPECT_NE(content.str().find("The attribute DT50Ref is missing."), std::string::npos);
    EXPECT_NE(content.str().find("Substance ALPHA"), std::string::npos);
}

TEST_F(PluginLibraryTest, DecimalSeparatorGivenToCreateIsUsedInNumbers) {
    ASSERT_TRUE(library_.Get<TDaxoCreate>("Create")(","));
    std::string alpha = InfoList(AlphaGuid);
    EXPECT_NE(alpha.find("MolMass=291,3"), std::string::npos) << alpha;
    EXPECT_NE(alpha.find("SubstanceCode=ALPHA"), std::string::npos);
}

} // namespace
} // namespace parvela::plugin_test
