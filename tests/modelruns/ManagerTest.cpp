// The result files read back into the assessment, the substance rules, the directory layout
// and the registry values of the model manager.

#include "tests/modelruns/ModelRunTest.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "platform/Exceptions.h"
#include "platform/Registry.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModelGlidar.h"
#include "program/runs/TZentorModelMundre.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;

constexpr int ProjectID = 50;
constexpr int ScenarioID = 10;

class ManagerTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        AddScenario(ScenarioID, "Plain", 1990, 1990, "@START\r\n", "@START\r\n");
        AddScheme(20, "Scheme");
        AddProject(ProjectID, "Manager");
    }
    TModelManager& Manager() { return TModelManager::GetSingleton(); }

    // An assessment whose model directories exist, handed to both drivers.
    TdciAssessments& Prepared(int id) {
        AddAssessment(id, ProjectID, ScenarioID, EtaGuid, 20, true, "Read back");
        TdciAssessments& assessment = OpenAssessment(id);
        EXPECT_TRUE(Manager().WriteInputFilesOnly(&assessment));
        return assessment;
    }
};

TEST_P(ManagerTest, TheSummaryBlockOfGlidarIsAppendedWithItsHeading) {
    TdciAssessments& assessment = Prepared(1);
    SaveTextLines(assessment.RunDirectory() + "/GLIDAR/1.sum",
                  {"not taken", "=== GLIDAR REPORT of the paddy ===", "PEC 1.5 ug/L",
                   "End of GLIDAR REPORT", "after the block"});
    Manager().Glidar().ReadSummary();
    const std::string expected = "@Summary output of model: GLIDAR@" + std::string(31, '-') + "@" +
                                 "=== GLIDAR REPORT of the paddy ===@\r\n" + "PEC 1.5 ug/L@\r\n" +
                                 "End of GLIDAR REPORT@\r\n" + "@\r\n";
    EXPECT_EQ(assessment.ASSESSMENTREPORT(), expected);
    EXPECT_EQ(StoredResults(1).AssessmentReport, expected) << "saved";

    // MUNDRE's block follows; a block without its start marker adds nothing.
    SaveTextLines(assessment.RunDirectory() + "/MUNDRE/1.sum",
                  {"End of MUNDRE REPORT", "MUNDRE REPORT", "x", "End of MUNDRE REPORT",
                   "MUNDRE REPORT again", "End of MUNDRE REPORT"});
    Manager().Mundre().ReadSummary();
    EXPECT_EQ(assessment.ASSESSMENTREPORT(),
              expected + "@Summary output of model: MUNDRE@" + std::string(31, '-') + "@" +
                  "MUNDRE REPORT@\r\nx@\r\nEnd of MUNDRE REPORT@\r\n@\r\n" +
                  "MUNDRE REPORT again@\r\nEnd of MUNDRE REPORT@\r\n@\r\n");
}

TEST_P(ManagerTest, TheErrorFileBecomesACommaText) {
    TdciAssessments& assessment = Prepared(2);
    SaveTextLines(assessment.RunDirectory() + "/GLIDAR/2.err",
                  {"* GLIDAR input check", "", "Missing parameter KomEql_ETA", "bad,\"value\""});
    Manager().Glidar().ReadErrorFile();
    const std::string expected =
        "\"Error in model: GLIDAR\",\"Missing parameter KomEql_ETA\",\"bad,\"\"value\"\"\"";
    EXPECT_EQ(assessment.ERRORMESSAGE(), expected);
    EXPECT_EQ(StoredResults(2).ErrorMessage, expected);

    // Without an error file the message is cleared and saved.
    Manager().Mundre().ReadErrorFile();
    EXPECT_EQ(assessment.ERRORMESSAGE(), "");
    EXPECT_EQ(StoredResults(2).ErrorMessage, "");
}

TEST_P(ManagerTest, ShowResultsListsTheHeadingAndTheErrorMessage) {
    TdciAssessments& assessment = Prepared(3);
    TTextLines lines{"old"};
    Manager().Glidar().ShowResults(&assessment, lines);
    EXPECT_THAT(lines, ElementsAre("Summary output of model:GLIDAR", ""));
    assessment.SetERRORMESSAGE("broken");
    Manager().Mundre().ShowResults(&assessment, lines);
    EXPECT_THAT(lines, ElementsAre("Summary output of model:MUNDRE", "", "broken"));
}

struct SubstanceCase {
    const char* Name;
    std::string Guid;
    int Result;
    std::string Errors;
    std::string Warnings;
};

const std::string PondWarning =
    "Calculations will not be performed for metabolites formed in the water and sediment of the "
    "pond and in the paddy water. This a Chinese policy decision. (substance: BETA)";

std::vector<SubstanceCase> SubstanceCases() {
    return {
        {"Plain", EtaGuid, 0, "", ""},
        {"SoilMetabolitesOnly", AlphaGuid, 0, "", ""},
        {"PondMetabolitesWarnOnce", BetaGuid, 1, "", PondWarning},
        {"Freundlich", GammaGuid, 2,
         "Only the sorption on soil option \"Kom, pH-independent\" is available for Parvela. "
         "(substance: GAMMA)",
         ""},
        {"PhDependent", DeltaGuid, 2,
         "Only the sorption on soil option \"Kom, pH-independent\" is available for Parvela. If "
         "the substance shows pH dependent adsorption then perform sorption studies with three "
         "paddy soils with pH-CaCl2 of 4-5 and with three paddy soils with pH-CaCl2 of 7-8 and "
         "take the most unfavourable end point as result for the Kom using the option: \"Kom, "
         "pH-independent\". (substance: DELTA)",
         ""},
        {"TwoWarnings", EpsilonGuid, 1, "",
         "Only the canopy process option \"Lumped\" using 10 d for the half life is valid for the "
         "Chinese paddy rice scenarios. (substance: EPSILON); According the SOP for "
         "transformation in soil, the experiment should be performed under optimum moisture "
         "conditions. Select \"Option moisture conditions (pF = 2 or wetter)\". (substance: "
         "EPSILON)"},
        {"Incomplete", ZetaGuid, 2, "Substance is not complete or has invalid option(s): ZETA", ""},
        {"Unknown", UnknownGuid, 2, "Substance not found: " + UnknownGuid, ""},
    };
}

TEST_P(ManagerTest, SubstanceRulesUnattended) {
    Manager().SetContinueOnError(true);
    for (const SubstanceCase& c : SubstanceCases()) {
        EXPECT_EQ(static_cast<int>(Manager().CheckSubstance(c.Guid)), c.Result) << c.Name;
        EXPECT_EQ(Manager().SubstanceErrors(), c.Errors) << c.Name;
        EXPECT_EQ(Manager().SubstanceWarnings(), c.Warnings) << c.Name;
    }
    EXPECT_TRUE(ScriptedDialogs().Boxes().empty());
    EXPECT_EQ(ReadWholeFile(Environment().DaxoMessageLog()), "")
        << "the plug-in shows no messages in unattended mode";
}

TEST_P(ManagerTest, SubstanceRulesShowTheirBoxes) {
    for (const SubstanceCase& c : SubstanceCases()) {
        const std::size_t before = ScriptedDialogs().Boxes().size();
        EXPECT_EQ(static_cast<int>(Manager().CheckSubstance(c.Guid)), c.Result) << c.Name;
        std::vector<std::string> shown;
        for (std::size_t i = before; i < ScriptedDialogs().Boxes().size(); ++i)
            shown.push_back(ScriptedDialogs().Boxes()[i].Box.Text);
        std::vector<std::string> expected;
        if (!c.Errors.empty() && c.Guid != ZetaGuid)
            expected.push_back(c.Errors);
        if (c.Guid == EpsilonGuid) {
            expected.push_back(SubstanceCases()[5].Warnings.substr(
                0, SubstanceCases()[5].Warnings.find("; According")));
            expected.push_back(SubstanceCases()[5].Warnings.substr(
                SubstanceCases()[5].Warnings.find("According")));
        } else if (!c.Warnings.empty()) {
            expected.push_back(c.Warnings);
        }
        EXPECT_EQ(shown, expected) << c.Name;
    }
    EXPECT_NE(ReadWholeFile(Environment().DaxoMessageLog()), "")
        << "the incomplete substance is shown by the plug-in instead of a box";
}

TEST_P(ManagerTest, HasMetabolitesPerCompartment) {
    EXPECT_TRUE(Manager().HasMetabolites(AlphaGuid, 1));
    EXPECT_FALSE(Manager().HasMetabolites(AlphaGuid, 2));
    EXPECT_TRUE(Manager().HasMetabolites(BetaGuid, 2));
    EXPECT_TRUE(Manager().HasMetabolites(BetaGuid, 3));
    EXPECT_FALSE(Manager().HasMetabolites(EtaGuid, 3));
}

TEST_P(ManagerTest, DirectoryLayoutBelowTheDataPath) {
    const std::string projects = Environment().DataPath() + "projects/";
    EXPECT_EQ(Manager().ProjectsDirectory(), projects);
    EXPECT_TRUE(std::filesystem::is_directory(projects));
    EXPECT_EQ(Manager().ModelsDirectory(), std::string(PARVELA_BIN_DIR) + "/models/");
    EXPECT_EQ(Manager().ProjectDirectory(7, true), projects + "7/");
    EXPECT_EQ(Manager().ProjectDirectory(7, false), projects + "7");
    EXPECT_EQ(ProjectDirectory(7, true), projects + "7/") << "installed for the assessments";
    EXPECT_FALSE(std::filesystem::exists(projects + "7"));
    EXPECT_TRUE(Manager().CreateProjectDirectory(7));
    EXPECT_TRUE(Manager().PrepareRunDirectory(projects + "7/3", false));
    SaveTextLines(projects + "7/3/old.txt", {"old"});
    EXPECT_TRUE(Manager().PrepareRunDirectory(projects + "7/3", false));
    EXPECT_TRUE(FileExists(projects + "7/3/old.txt"));
    EXPECT_TRUE(Manager().PrepareRunDirectory(projects + "7/3", true));
    EXPECT_FALSE(FileExists(projects + "7/3/old.txt"));
    EXPECT_FALSE(Manager().PrepareRunDirectory(projects + "missing/3", true));

    TModelManager::DestroySingleton();
    EXPECT_FALSE(HasProjectDirectoryProvider()) << "removed with the manager";
    EXPECT_THROW(TModelManager::GetSingleton(), Exception);
    TModelManager::CreateSingleton();
    try {
        TModelManager::CreateSingleton();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error: Object already created, use TModelManager.GetSingleton.");
    }
}

// An installed program runs the model programs that its user holds: ModelsPath names their
// folder, per user before machine-wide; a folder without both programs is refused at once.
TEST_P(ManagerTest, TheModelProgramsFolderComesFromTheRegistryPerUserFirst) {
    const std::string user = Environment().Work().File("user-models/");
    const std::string machine = Environment().Work().File("machine-models");
    const std::string incomplete = Environment().Work().File("incomplete/");
    PlaceModelPrograms(user, "exit 0", "exit 0");
    PlaceModelPrograms(machine, "exit 0", "exit 0");
    std::filesystem::create_directories(incomplete);
    std::filesystem::copy_file(user + "glidarmodel", incomplete + "glidarmodel");
    const std::string delivered = std::string(PARVELA_BIN_DIR) + "/models/";
    struct Case {
        std::string User;
        std::string Machine;
        std::string Expected; // empty: refused
    };
    for (const Case& c : std::vector<Case>{{"", "", delivered},
                                           {"", machine, machine + "/"},
                                           {user, machine, user},
                                           {incomplete, machine, ""}}) {
        SCOPED_TRACE(c.User + " | " + c.Machine);
        TModelManager::DestroySingleton();
        for (const auto& [root, value] :
             {std::pair{HKEY_CURRENT_USER, c.User}, std::pair{HKEY_LOCAL_MACHINE, c.Machine}}) {
            TRegistry registry(root);
            if (value.empty())
                registry.DeleteValue(RegistryKey(), "ModelsPath");
            else
                registry.WriteString(RegistryKey(), "ModelsPath", value);
        }
        if (c.Expected.empty()) {
            try {
                TModelManager::CreateSingleton();
                ADD_FAILURE() << "no exception";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), "The folder of the model programs " + incomplete +
                                           " (ModelsPath in " +
                                           RegistryStorePath(HKEY_CURRENT_USER) +
                                           ") holds no program Mundremodel.");
            }
            continue;
        }
        TModelManager::CreateSingleton();
        EXPECT_EQ(Manager().ModelsDirectory(), c.Expected);
        for (const auto& model : Manager().Models())
            EXPECT_EQ(model->ModelDirectory(), c.Expected) << model->ModelName();
    }
    TRegistry(HKEY_CURRENT_USER).DeleteValue(RegistryKey(), "ModelsPath");
    TRegistry(HKEY_LOCAL_MACHINE).DeleteValue(RegistryKey(), "ModelsPath");
    if (!TModelManager::SingletonExists())
        TModelManager::CreateSingleton();
}

TEST_P(ManagerTest, WithoutADataPathTheProjectsLieInTheUsersDataDirectory) {
    TModelManager::DestroySingleton();
    TRegistry(HKEY_LOCAL_MACHINE).DeleteValue(RegistryKey(), "DataPath");
    const std::string dataHome = Environment().Work().File("xdg-data");
    {
        TScopedEnvironment xdg("XDG_DATA_HOME", dataHome);
        TModelManager::CreateSingleton();
        EXPECT_EQ(Manager().ProjectsDirectory(), dataHome + "/parvela/projects/");
        EXPECT_TRUE(std::filesystem::is_directory(dataHome + "/parvela/projects/"));
        TModelManager::DestroySingleton();
    }
    TScopedEnvironment noXdg("XDG_DATA_HOME", "");
    TScopedEnvironment home("HOME", Environment().Work().File("home"));
    TModelManager::CreateSingleton();
    EXPECT_EQ(Manager().ProjectsDirectory(),
              Environment().Work().File("home") + "/.local/share/parvela/projects/");
    EXPECT_TRUE(std::filesystem::is_directory(Manager().ProjectsDirectory()));
}

TEST_P(ManagerTest, LastOpenedProjectInTheRegistry) {
    EXPECT_EQ(RegistryKey(), "SOFTWARE\\PARVELA\\VERSION_2.4.2_CN");
    try {
        Manager().GetLastOpenedProject();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Registry key nog found SOFTWARE\\PARVELA\\VERSION_2.4.2_CN\\"
                               "LastOpenedProject");
    }
    // One that an installation or an earlier version left machine-wide counts until the user
    // has one of their own; the program writes it per user, as its users cannot write the
    // machine-wide store.
    TRegistry(HKEY_LOCAL_MACHINE).WriteInteger(RegistryKey(), "LastOpenedProject", 17);
    EXPECT_EQ(Manager().GetLastOpenedProject(), 17);
    Manager().SetLastOpenedProject(42);
    EXPECT_EQ(Manager().GetLastOpenedProject(), 42);
    EXPECT_EQ(TRegistry(HKEY_CURRENT_USER).ReadInteger(RegistryKey(), "LastOpenedProject"), 42);
    EXPECT_EQ(TRegistry(HKEY_LOCAL_MACHINE).ReadInteger(RegistryKey(), "LastOpenedProject"), 17);
    EXPECT_EQ(TRegistry(HKEY_LOCAL_MACHINE).ReadString(RegistryKey(), "DataPath"),
              Environment().DataPath())
        << "the data path is never written";
}

TEST_P(ManagerTest, TheDriversTakeThePluginsWordsAndTheirNames) {
    TrueText = "stale true";
    FalseText = "stale false";
    const TZentorModelMundre driver(Manager().ModelsDirectory());
    EXPECT_EQ(TrueText, TDAXOInterface::GetSingleton().BooleanTrue());
    EXPECT_EQ(FalseText, TDAXOInterface::GetSingleton().BooleanFalse());
    ASSERT_EQ(Manager().Models().size(), 2u);
    EXPECT_EQ(Manager().Models()[0]->ModelName(), "GLIDAR");
    EXPECT_EQ(Manager().Models()[0]->ExecutableName(), "glidarmodel");
    EXPECT_EQ(Manager().Models()[0]->OkFlagFileName(), "glidar.ok");
    EXPECT_EQ(Manager().Models()[1]->ModelName(), "MUNDRE");
    EXPECT_EQ(Manager().Models()[1]->ExecutableName(), "Mundremodel");
    EXPECT_EQ(Manager().Models()[1]->OkFlagFileName(), "mundre.ok");
    EXPECT_EQ(Manager().Mundre().UpstreamModelName(), "GLIDAR");
    EXPECT_EQ(Manager().Glidar().ScenarioCacheDirectory(), Manager().ProjectsDirectory());
    EXPECT_FALSE(Manager().Glidar().Execute(nullptr, true));
}

TEST_P(ManagerTest, ADriverWithoutAnAssessmentReadsNothing) {
    TZentorModelGlidar glidar(Manager().ModelsDirectory());
    TZentorModelMundre mundre(Manager().ModelsDirectory());
    for (TZentorModel* driver :
         {static_cast<TZentorModel*>(&glidar), static_cast<TZentorModel*>(&mundre)}) {
        EXPECT_NO_THROW(driver->ReadSummary());
        EXPECT_NO_THROW(driver->ReadErrorFile());
    }
}

PARVELA_INSTANTIATE_DATABASE_TEST(ManagerTest);

} // namespace
} // namespace parvela::test
