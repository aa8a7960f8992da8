// The input files of both models as exact texts, written through the real plug-in from rows
// of a real database on each engine.

#include "tests/modelruns/ModelRunTest.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "platform/Exceptions.h"
#include "platform/Registry.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModelGlidar.h"
#include "program/runs/TZentorModelMundre.h"
#include "tests/support/CalendarDay.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace parvela::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr int TestScenarioID = 10;
constexpr int SchemeID = 20;
constexpr int ProjectID = 30;

const std::string GlidarTemplate = "* GLIDAR test template\r\n"
                                   "before @START after\r\n"
                                   "@STOP\r\n"
                                   "@APPLICATIONSCHEME\r\n"
                                   "@APPLICATIONSTABLE\r\n"
                                   "*\r\n"
                                   "@SUBSTANCE\r\n"
                                   "* line A\r\n"
                                   "* line B\r\n"
                                   "@METEO\r\n"
                                   "@PONDINGDEPTHFILE\n"
                                   "0.036     CntOm (kg.kg-1)\r"
                                   "No        OptDailyOutput\r\n";

const std::string MundreTemplate = "* MUNDRE test template\r\n"
                                   "@START\r\n"
                                   "@STOP\r\n"
                                   "@APPLICATIONSCHEME\r\n"
                                   "@APPLICATIONSTABLE\r\n"
                                   "Row format: @APPDATE @dosage\r\n"
                                   "@SUBSTANCE\r\n"
                                   "* a line of the block with no keyword\r\n"
                                   "  999.0              KomSed_@ (L.kg-1) ! from the template\r\n"
                                   "@END_SUBSTANCE\r\n"
                                   "@METEO\r\n"
                                   "1000      VolPnd (m3)\r\n";

// "%-16s <rest>" as the writers fill their parameter lines.
std::string P16(const std::string& value, const std::string& rest) {
    return value + std::string(value.size() < 16 ? 16 - value.size() : 0, ' ') + " " + rest;
}
std::string P18(const std::string& value, const std::string& rest) {
    return value + std::string(value.size() < 18 ? 18 - value.size() : 0, ' ') + " " + rest;
}

class InputFilesTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        AddApplicationType(2, "AppSolTil");
        AddApplicationType(3, "AppSolInj");
        AddScenario(TestScenarioID, " Testfield ", 1990, 1992, GlidarTemplate, MundreTemplate,
                    "m1\r\nm2", "p1\np2\n", "w1", "r1\r\nr2\r\n");
        AddInterception(1, TestScenarioID, 1, 4, 30, 4, 0.3);
        AddInterception(2, TestScenarioID, 1, 5, 31, 5, 0.6);
        AddInterception(3, TestScenarioID, 1, 12, 31, 1, 0.9);
        AddScheme(SchemeID, "Spring sprays");
        AddProject(ProjectID, "Inputs");
    }

    TdciAssessments& Assessment(int id, const std::string& guid) {
        AddAssessment(id, ProjectID, TestScenarioID, guid, SchemeID, true, "Run one");
        TdciAssessments& assessment = OpenAssessment(id);
        assessment.SetRunDirectory(ProjectID);
        TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
        return assessment;
    }

    TZentorModelGlidar& Glidar() { return TModelManager::GetSingleton().Glidar(); }
    TZentorModelMundre& Mundre() { return TModelManager::GetSingleton().Mundre(); }
};

std::vector<std::string> EtaTransformationBlock() {
    return {"EqlDom_Input     OptDT50_ETA",
            "412.5            MolMas_ETA (g.mol-1)",
            "OptimumConditions OptCntLiqTraRef_ETA",
            "60.0             DT50Ref_ETA (d)",
            P16("20.0", "TemRefTra_ETA (C)"),
            P16("0.7", "ExpLiqTra_ETA (-)"),
            P16("0.25", "CntLiqTraRef_ETA (kg.kg-1)"),
            P16("65.4", "MolEntTra_ETA (kJ.mol-1)"),
            ""};
}

std::vector<std::string> EtaSorptionAndCropBlock() {
    return {P16("0.0", "MolEntSor_ETA (kJ.mol-1)"),
            P16("20.0", "TemRefSor_ETA (C)"),
            "pH-independent   OptCofFre_ETA",
            P16("100.0", "KomEql_ETA (L.kg-1)"),
            P16("100.0", "KomEqlMax_ETA (L.kg-1)"),
            P16("1.0", "ConLiqRef_ETA (mg.L-1)"),
            "",
            P16("0.9", "ExpFre_ETA (-)"),
            "2.3E-4           PreVapRef_ETA (Pa)",
            P16("20.0", "TemRefVap_ETA (C)"),
            P16("100.0", "SlbWatRef_ETA (mg.L-1)"),
            P16("20.0", "TemRefSlb_ETA (C)"),
            P16("27.0", "MolEntSlb_ETA (kJ.mol-1)"),
            P16("95.0", "MolEntVap_ETA (kJ.mol-1)"),
            "",
            P16("0.0", "CofDesRat_ETA (d-1)"),
            P16("0.0", "FacSorNeqEql_ETA (-)"),
            "",
            P16("0.5", "FacUpt_ETA (-)"),
            "",
            "Lumped           OptDspCrp_ETA",
            P16("10.0", "DT50DspCrp_ETA (d)"),
            P16("1000000.0", "DT50PenCrp_ETA (d)"),
            P16("1000000.0", "DT50VolCrp_ETA (d)"),
            P16("1000000.0", "DT50TraCrp_ETA (d)"),
            P16("0.0001", "FacWasCrp_ETA (m-1)"),
            "",
            P16("20.0", "TemRefDif_ETA (C)"),
            P16("4.3E-5", "CofDifWatRef_ETA (m2.d-1)"),
            P16("0.43", "CofDifAirRef_ETA (m2.d-1)"),
            "",
            P16("60.0", "DT50AnaRef_ETA (d)"),
            P16("15.0", "DT50WatLayRef_ETA (d)"),
            P16("20.0", "TemRefTraAna_ETA (C)"),
            P16("65.4", "MolEntTraAna_ETA (kJ.mol-1)"),
            ""};
}

TEST_P(InputFilesTest, GlidarInputOfASubstanceWithoutMetabolitesIsExact) {
    // Sorted on the whole date; the year is not written.
    AddApplication(1, SchemeID, "2001-06-10", 2.5, 0, 0, 1); // no interception period: 0.00
    AddApplication(2, SchemeID, "1999-05-05", 1.0, 0.2, 0, 2);
    AddApplication(3, SchemeID, "2000-04-15", 0.125, 0, 0, 1); // first period: 0.30
    AddApplication(4, SchemeID, "2000-05-20", 3, 0.75, 0, 3);
    AddApplication(5, SchemeID, "2000-07-01", 1, 0.5, 0, 99); // type that does not exist
    TdciAssessments& assessment = Assessment(101, EtaGuid);

    ASSERT_TRUE(Glidar().Execute(&assessment, false));

    std::vector<std::string> expected = {"* GLIDAR test template",
                                         "01-Jan-1990       TimStart",
                                         "31-Dec-1992       TimEnd",
                                         "Spring sprays ApplicationScheme",
                                         "table Applications",
                                         "05-May        AppSolTil    1.0000     0.20",
                                         "15-Apr        AppCrpUsr    0.1250     0.30",
                                         "20-May        AppSolInj    3.0000     0.75",
                                         "01-Jul                     1.0000",
                                         "10-Jun        AppCrpUsr    2.5000     0.00",
                                         "end_table",
                                         "*",
                                         "ETA SubstanceName",
                                         "table compounds",
                                         "ETA",
                                         "end_table",
                                         "",
                                         "table FraPrtDau (mol.mol-1)",
                                         "end_table",
                                         ""};
    for (const std::string& line : EtaTransformationBlock())
        expected.push_back(line);
    for (const char* line : {"table horizon FacZTra (-)",
                             "hor ETA",
                             "1 1.0",
                             "2 1.0",
                             "3 0.5",
                             "4 0.5",
                             "5 0.5",
                             "6 0.0",
                             "7 0.0",
                             "end_table",
                             "",
                             "* line A",
                             "table horizon FacZSor (-)",
                             "hor ETA",
                             "1 -99",
                             "2 -99",
                             "3 -99",
                             "4 -99",
                             "5 -99",
                             "6 -99",
                             "end_table",
                             ""})
        expected.push_back(line);
    for (const std::string& line : EtaSorptionAndCropBlock())
        expected.push_back(line);
    for (const char* line : {"* line B", " Testfield  MeteoStation", " Testfield  PondingDepthFile",
                             "0.036     CntOm (kg.kg-1)", "No        OptDailyOutput"})
        expected.push_back(line);

    const std::string directory = assessment.RunDirectory() + "/GLIDAR/";
    EXPECT_EQ(assessment.InputFileName(), directory + "101.gld");
    EXPECT_EQ(ReadWholeFile(directory + "101.gld"), FileText(expected));
    EXPECT_EQ(ReadWholeFile(directory + "Testfield.met"), "m1\r\nm2\r\n") << "trimmed name";
    EXPECT_EQ(ReadWholeFile(directory + " Testfield .pnd"), "p1\r\np2\r\n");
    EXPECT_FALSE(FileExists(directory + "run_Run one.sh")) << "nothing runs";
}

// A new application, dates as the day-month picker gives them and the delivered applications
// are all stored in one year: the table lists them in calendar order.
TEST_P(InputFilesTest, NewPickedAndDeliveredApplicationsAreListedInCalendarOrder) {
    // The delivered example scheme with its key counters, without the delivered scenarios.
    const TTextLines script = SplitTextLines(
        ReadWholeFile(std::string(PARVELA_SOURCE_DIR) + "/db/scenarios/scenarios.sql"));
    for (const std::string& statement : script)
        if (statement.rfind("INSERT INTO APPLICATION", 0) == 0 ||
            statement.rfind("DELETE FROM SYSTABLES", 0) == 0 ||
            statement.rfind("INSERT INTO SYSTABLES", 0) == 0)
            RunRawSQL(statement.substr(0, statement.rfind(';')));
    TdcApplicationSchemes schemes(Db());
    schemes.SetFilter("APPLICATIONSCHEMEID=%d", {DeliveredSchemeID});
    schemes.Open();
    TdcApplications& applications = schemes.Item().Applications();
    applications.Open();
    applications.Insert();
    applications.Item().Save();
    for (const int month : {3, 12}) {
        applications.Insert();
        applications.Item().SetAPPLICATIONDATE(EncodeDate(ApplicationYear, month, 31));
        applications.Item().Save();
    }
    AddAssessment(103, ProjectID, TestScenarioID, EtaGuid, DeliveredSchemeID, true, "Calendar");
    TdciAssessments& assessment = OpenAssessment(103);
    assessment.SetRunDirectory(ProjectID);
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    ASSERT_TRUE(Glidar().Execute(&assessment, false));

    const TTextLines lines = LoadTextLines(assessment.InputFileName());
    auto row = std::find(lines.begin(), lines.end(), "table Applications");
    ASSERT_NE(row, lines.end());
    std::vector<std::string> dates;
    std::vector<int> calendarDays;
    for (++row; row != lines.end() && *row != "end_table"; ++row) {
        dates.push_back(row->substr(0, 6));
        calendarDays.push_back(CalendarDay(dates.back()));
    }
    ASSERT_EQ(5u, dates.size());
    EXPECT_TRUE(std::is_sorted(calendarDays.begin(), calendarDays.end()))
        << ::testing::PrintToString(dates);
}

TEST_P(InputFilesTest, GlidarSubstanceSectionWalksTheMetaboliteChain) {
    ExecutePluginSql(Environment().DaxoDatabase(),
                     "UPDATE attributes SET value = '4' WHERE guid = '" + AlphaM1Guid +
                         "' AND name = 'OptDspCrp'");
    TdciAssessments& assessment = Assessment(102, AlphaGuid);
    ASSERT_TRUE(Glidar().Execute(&assessment, false));
    const TTextLines lines = LoadTextLines(assessment.InputFileName());

    auto from = [&](const std::string& first, std::size_t count) {
        auto at = std::find(lines.begin(), lines.end(), first);
        EXPECT_NE(at, lines.end()) << first;
        return std::vector<std::string>(at, at + std::min<std::size_t>(count, lines.end() - at));
    };
    EXPECT_THAT(from("table compounds", 6), ElementsAre("table compounds", "ALPHA", "ALPHA-M1",
                                                        "ALPHA-M2", "ALPHA-M3", "end_table"));
    EXPECT_THAT(from("table FraPrtDau (mol.mol-1)", 5),
                ElementsAre("table FraPrtDau (mol.mol-1)", "0.5 ALPHA -> ALPHA-M1",
                            "0.8 ALPHA-M1 -> ALPHA-M2", "0.2 ALPHA -> ALPHA-M3", "end_table"));
    EXPECT_THAT(from("table horizon FacZTra (-)", 3),
                ElementsAre("table horizon FacZTra (-)", "hor ALPHA ALPHA-M1 ALPHA-M2 ALPHA-M3",
                            "1 1.0 1.0 1.0 1.0"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "* line A"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "* line B"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Lumped           OptDspCrp_ALPHA"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) {
                                return l.find("OptDspCrp_ALPHA-M1") != std::string::npos;
                            }),
              0)
        << "canopy option 4 writes no line";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), P16("10.0", "DT50DspCrp_ALPHA-M1 (d)")), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "EqlDom_Input     OptDT50_ALPHA-M3"), 1);
}

TEST_P(InputFilesTest, NonOptimumMoistureAndTheOptionsOfTheSorptionCheck) {
    TdciAssessments& epsilon = Assessment(103, EpsilonGuid);
    ASSERT_TRUE(Glidar().Execute(&epsilon, false));
    const TTextLines lines = LoadTextLines(epsilon.InputFileName());
    EXPECT_EQ(
        std::count(lines.begin(), lines.end(), "NonOptimumConditions OptCntLiqTraRef_EPSILON"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Specified        OptDspCrp_EPSILON"), 1);

    // A metabolite with a sorption option other than 3: the file is not written.
    ExecutePluginSql(Environment().DaxoDatabase(),
                     "UPDATE attributes SET value = '2' WHERE guid = '" + AlphaM2Guid +
                         "' AND name = 'OptCofFreCode'");
    TdciAssessments& alpha = Assessment(104, AlphaGuid);
    try {
        Glidar().Execute(&alpha, false);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid option for OptCofFre");
    }
    EXPECT_FALSE(FileExists(alpha.RunDirectory() + "/GLIDAR/104.gld"));
}

TEST_P(InputFilesTest, TheRealPluginRefusesAMetaboliteChainThatReturnsToAnEarlierCompound) {
    // ALPHA-M2 would form ALPHA-M1 again: ALPHA -> M1 -> M2 -> M1 -> ...
    ExecutePluginSql(Environment().DaxoDatabase(),
                     "INSERT INTO metabolites (parent_guid, metabolite_guid, compartment, "
                     "fraction, position) VALUES ('" +
                         AlphaM2Guid + "', '" + AlphaM1Guid + "', 1, '0.1', 9)");
    TdciAssessments& assessment = Assessment(105, AlphaGuid);
    EXPECT_THROW(Glidar().Execute(&assessment, false), EDAXOException);
    EXPECT_FALSE(FileExists(assessment.RunDirectory() + "/GLIDAR/105.gld"));
}

// A plug-in that delivers a cycle (P -> A -> B -> A) does not make the walk recurse without
// end: the metabolite that returns is named.
TEST_P(InputFilesTest, AMetaboliteChainThatReturnsToAnEarlierCompoundRaisesNamingIt) {
    TModelManager::DestroySingleton();
    TDAXOInterface::DestroySingleton();
    TRegistry(HKEY_LOCAL_MACHINE)
        .WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", CYCLIC_PLUGIN_PATH);
    TDAXOInterface::CreateSingleton(".");
    TModelManager::CreateSingleton();
    TTextLines formation;
    TDAXOGUIDList compounds;
    try {
        Glidar().CollectMetabolites("{P}", "P", formation, compounds, 1);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The metabolite A ({A}) of B is an earlier compound of its own "
                               "chain: the metabolites form a cycle");
    }
    EXPECT_THAT(formation, ElementsAre("0.5 P -> A", "0.5 A -> B"));
}

TEST_P(InputFilesTest, AMetaboliteReachedByTwoPathsIsListedTwice) {
    ExecutePluginSql(Environment().DaxoDatabase(),
                     "INSERT INTO metabolites (parent_guid, metabolite_guid, compartment, "
                     "fraction, position) VALUES ('{5EED0DA0-7A11-4C0E-9D00-000000000004}', '" +
                         AlphaM2Guid + "', 1, '0.4', 9)");
    TdciAssessments& assessment = Assessment(106, AlphaGuid);
    TTextLines formation;
    TDAXOGUIDList compounds;
    Glidar().CollectMetabolites(AlphaGuid, "ALPHA", formation, compounds, 1);
    std::vector<std::string> codes;
    for (const TDAXOGUIDEntry& entry : compounds)
        codes.push_back(entry.Attributes->Value("SubstanceCode"));
    EXPECT_THAT(codes, ElementsAre("ALPHA-M1", "ALPHA-M2", "ALPHA-M3", "ALPHA-M2"));
    EXPECT_THAT(formation, ElementsAre("0.5 ALPHA -> ALPHA-M1", "0.8 ALPHA-M1 -> ALPHA-M2",
                                       "0.2 ALPHA -> ALPHA-M3", "0.4 ALPHA-M3 -> ALPHA-M2"));
    (void)assessment;
}

TEST_P(InputFilesTest, InterceptionFractionWithinTheApplicationsOwnYear) {
    AddScenario(11, "Leap", 2000, 2001, "", "");
    AddInterception(10, 11, 29, 2, 10, 3, 0.5);
    TdciAssessments& assessment = Assessment(107, EtaGuid);
    ASSERT_TRUE(Glidar().Execute(&assessment, false));
    struct Case {
        int scenario, year, month, day;
        double fraction;
    };
    for (const Case& c :
         {Case{TestScenarioID, 2000, 4, 1, 0.3}, Case{TestScenarioID, 2000, 4, 30, 0.3},
          Case{TestScenarioID, 2003, 5, 1, 0.6}, Case{TestScenarioID, 2000, 5, 31, 0.6},
          Case{TestScenarioID, 2000, 6, 1, 0.0}, Case{TestScenarioID, 2000, 3, 31, 0.0},
          Case{TestScenarioID, 2000, 12, 15, 0.0}, Case{TestScenarioID, 2001, 1, 15, 0.0},
          Case{11, 2000, 3, 1, 0.5}, Case{12345, 2000, 5, 5, 0.0}})
        EXPECT_DOUBLE_EQ(
            Glidar().InterceptionFraction(c.scenario, EncodeDate(c.year, c.month, c.day)),
            c.fraction)
            << c.scenario << " " << c.year << "-" << c.month << "-" << c.day;
    EXPECT_THROW(Glidar().InterceptionFraction(11, EncodeDate(2001, 3, 1)), EConvertError)
        << "29 February does not exist in 2001";
}

TEST_P(InputFilesTest, MissingScenario) {
    AddAssessment(108, ProjectID, 777, EtaGuid, SchemeID, true, "Lost");
    TdciAssessments& assessment = OpenAssessment(108);
    assessment.SetRunDirectory(ProjectID);
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    for (TZentorModel* model :
         {static_cast<TZentorModel*>(&Glidar()), static_cast<TZentorModel*>(&Mundre())}) {
        EXPECT_FALSE(model->Execute(&assessment, false)) << model->ModelName();
        EXPECT_EQ(assessment.ERRORMESSAGE(), "scenario not found");
        EXPECT_FALSE(FileExists(model->RunModelFile("108" + model->InputFileExtension())));
    }
}

TEST_P(InputFilesTest, MundreInputWithLoadingsOverTheYearsAndAnOverrideLine) {
    AddApplication(1, SchemeID, "2005-06-01", 0.5, 0, 0.5, 1);
    AddApplication(2, SchemeID, "2004-05-05", 1.0, 0, 0.2, 1);
    TdciAssessments& assessment = Assessment(109, BetaGuid);
    ASSERT_TRUE(Mundre().Execute(&assessment, false));

    const std::vector<std::string> expected = {
        "* MUNDRE test template",
        "01-Jan-1990        TimStart",
        "31-Dec-1992        TimEnd",
        "Spring sprays ApplicationScheme",
        "table Loadings",
        " 05-May-1990 0.20",
        " 01-Jun-1990 0.25",
        " 05-May-1991 0.20",
        " 01-Jun-1991 0.25",
        " 05-May-1992 0.20",
        " 01-Jun-1992 0.25",
        "end_table",
        "BETA               SubstanceName",
        "table compounds",
        "BETA",
        "end_table",
        "",
        "table FraPrtDauWat (mol.mol-1)",
        "end_table",
        "",
        "table FraPrtDauSed (mol.mol-1)",
        "end_table",
        "",
        "*--------------- Parent: BETA ---------------",
        P18("354.8", "MolMas_BETA (g.mol-1)"),
        P18("4.0", "DT50Ref_BETA (d)              ! DAXO attribute name: DT50WatRef"),
        P18("20.0", "TemRefTra_BETA (C)            ! DAXO attribute name: TemRefTraWat"),
        P18("65.4", "MolEntTra_BETA (kJ.mol-1)     ! DAXO attribute name: MolEntTraWat"),
        P18("30.0", "DT50SedRef_BETA (d)"),
        P18("20.0", "TemRefSed_BETA (C)"),
        P18("65.4", "MolEntTraSed_BETA (kJ.mol-1)"),
        "",
        "  999.0              KomSed_BETA (L.kg-1) ! from the template",
        P18("1.0", "ConLiqRefSed_BETA (mg.L-1)"),
        P18("0.9", "ExpFreSed_BETA (-)"),
        P18("100.0", "KomSusSol_BETA (L.kg-1)       ! DAXO attribute name: KomSus"),
        P18("1.0", "ConLiqRefSusSol_BETA (mg.L-1) ! DAXO attribute name: ConLiqRefSus"),
        P18("0.9", "ExpFreSusSol_BETA (-)         ! DAXO attribute name: ExpFreSus"),
        P18("0.0", "CofSorMph_BETA (L.kg-1)       ! DAXO attribute name: KSorMph"),
        "",
        P18("1.0E-5", "PreVapRef_BETA (Pa)"),
        P18("20.0", "TemRefVap_BETA (C)"),
        P18("95.0", "MolEntVap_BETA (kJ.mol-1)"),
        "",
        P18("100.0", "SlbWatRef_BETA (mg.L-1)"),
        P18("20.0", "TemRefSlb_BETA (C)"),
        P18("27.0", "MolEntSlb_BETA (kJ.mol-1)"),
        P18("4.3E-5", "CofDifWatRef_BETA (m2.d-1)"),
        "",
        " Testfield  MeteoStation",
        "1000      VolPnd (m3)"};
    const std::string directory = assessment.RunDirectory() + "/MUNDRE/";
    EXPECT_EQ(assessment.InputFileName(), directory + "109.mnd");
    EXPECT_EQ(ReadWholeFile(directory + "109.mnd"), FileText(expected));
    EXPECT_EQ(ReadWholeFile(directory + " Testfield .met"), "w1\r\n") << "caption as stored";
    EXPECT_EQ(ReadWholeFile(directory + " Testfield .rai"), "r1\r\nr2\r\n");
}

TEST_P(InputFilesTest, FindOverrideLineTakesTheFirstLineWithTheKeyword) {
    const TTextLines block = {"* no keyword", "KomSed_@ first @", "KomSed_@ second",
                              "both MolMas_@ and KomSusSol_@"};
    TTextLines output;
    EXPECT_TRUE(TZentorModelMundre::FindOverrideLine("KomSed", "X", block, output));
    EXPECT_TRUE(TZentorModelMundre::FindOverrideLine("MolMas", "X", block, output));
    EXPECT_TRUE(TZentorModelMundre::FindOverrideLine("KomSusSol", "X", block, output));
    EXPECT_FALSE(TZentorModelMundre::FindOverrideLine("DT50Ref", "X", block, output));
    EXPECT_FALSE(TZentorModelMundre::FindOverrideLine("komsed", "X", block, output));
    EXPECT_THAT(output, ElementsAre("KomSed_X first @", "both MolMas_X and KomSusSol_@",
                                    "both MolMas_X and KomSusSol_@"));
}

TEST_P(InputFilesTest, ARowFormatWithTheDosageFirstRaisesAConversionError) {
    AddScenario(12, "Swapped", 1990, 1990, "", "@APPLICATIONSTABLE\r\nrow: @DOSAGE @APPDATE\r\n");
    AddApplication(1, SchemeID, "2005-06-01", 0.5, 0, 0.5, 1);
    AddAssessment(110, ProjectID, 12, EtaGuid, SchemeID, true, "Swapped");
    TdciAssessments& assessment = OpenAssessment(110);
    assessment.SetRunDirectory(ProjectID);
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    EXPECT_THROW(Mundre().Execute(&assessment, false), EConvertError);
}

TEST_P(InputFilesTest, ASubstanceThePluginDoesNotHoldGivesEmptySubstanceSections) {
    AddScenario(13, "Blocks", 1990, 1990, "@SUBSTANCE\r\nA\r\nB\r\nafter\r\n",
                "@SUBSTANCE\r\n@START\r\nMolMas_@ x\r\n@END_SUBSTANCE\r\nafter\r\n");
    AddAssessment(111, ProjectID, 13, UnknownGuid, SchemeID, true, "Unknown");
    TdciAssessments& assessment = OpenAssessment(111);
    assessment.SetRunDirectory(ProjectID);
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    ASSERT_TRUE(Glidar().Execute(&assessment, false));
    EXPECT_EQ(ReadWholeFile(assessment.InputFileName()), "after\r\n") << "not even lines A and B";
    ASSERT_TRUE(Mundre().Execute(&assessment, false));
    EXPECT_EQ(ReadWholeFile(assessment.InputFileName()), "01-Jan-1990        TimStart\r\nafter\r\n")
        << "a start placeholder inside the block is written, not collected";
}

// The path of the driver's input file for the assessment.
std::string InputFile(const TZentorModel& model, const TdciAssessments& assessment) {
    return assessment.RunDirectory() + "/" + model.ModelName() + "/" +
           std::to_string(assessment.ASSESSMENTID()) + model.InputFileExtension();
}

// The message of the refusal that writing the driver's input raises; empty when it writes.
std::string RefusalOf(TZentorModel& model, TdciAssessments& assessment) {
    try {
        EXPECT_TRUE(model.Execute(&assessment, false)) << model.ModelName();
        return {};
    } catch (const EDACStateValueError& e) {
        return e.Message();
    }
}

// Four-digit years and at most 500 of them; an end before the start writes no loadings rows.
// Any other period is refused before a file is written: a loop up to the highest integer
// would never end.
TEST_P(InputFilesTest, SimulationPeriodsTheModelsCannotTakeAreRefusedBeforeAnyFileIsWritten) {
    AddApplication(1, SchemeID, "2005-06-01", 0.5, 0, 0.5, 1);
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    struct Case {
        int start;
        int end;
        bool taken;
    } cases[] = {{1990, 2147483647, false}, {1000, 1001, true},   {999, 1990, false},
                 {9999, 9999, true},        {9990, 10000, false}, {MissingInteger, 1990, false},
                 {1990, 2489, true},        {1990, 2490, false},  {1992, 1990, true}};
    int id = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " to " << c.end);
        ++id;
        AddScenario(id, "Far", c.start, c.end, "@START\r\n@STOP\r\n",
                    "@APPLICATIONSTABLE\r\nrow: @APPDATE @DOSAGE\r\n");
        AddAssessment(id, ProjectID, id, EtaGuid, SchemeID, true, "Far");
        TdciAssessments& assessment = OpenAssessment(id);
        assessment.SetRunDirectory(ProjectID);
        for (TZentorModel* model : std::initializer_list<TZentorModel*>{&Glidar(), &Mundre()}) {
            const std::string input = InputFile(*model, assessment);
            if (!c.taken) {
                // Stops at the first driver that writes: the loop of the other would not end.
                ASSERT_EQ(RefusalOf(*model, assessment),
                          Format("Scenario Far: the simulation period %d to %d cannot be "
                                 "simulated; its years must lie between 1000 and 9999, and it "
                                 "may span at most 500 years.",
                                 c.start, c.end));
                EXPECT_FALSE(FileExists(input));
                continue;
            }
            ASSERT_EQ(RefusalOf(*model, assessment), "");
            if (model == &Mundre()) {
                EXPECT_EQ(LoadTextLines(input).size(),
                          2u + static_cast<std::size_t>(std::max(0, c.end - c.start + 1)));
            }
        }
    }
}

// Values that would run into the next column, or cannot be read back, are refused by both
// drivers before a file is written; the largest values that fit keep every column.
TEST_P(InputFilesTest, ApplicationValuesOutsideTheirRangesAreRefusedBeforeAnyFileIsWritten) {
    AddScenario(12, "Wide", 1990, 1990, "@APPLICATIONSTABLE\r\n",
                "@APPLICATIONSTABLE\r\nrow: @APPDATE @DOSAGE\r\n");
    AddAssessment(112, ProjectID, 12, EtaGuid, SchemeID, true, "Wide");
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    TdciAssessments& assessment = OpenAssessment(112);
    assessment.SetRunDirectory(ProjectID);
    const std::string at = "Application scheme Spring sprays, application on 05-May: ";
    struct Case {
        double dosage;
        double parameter;
        double drift;
        std::string refusal;
    } cases[] = {
        {1234.5678, 1e15, 0, at + "ApplicationParameter cannot be more than 1."},
        {1e15, 0, 0, at + "Dosage cannot be more than 9999."},
        {1, 0, 250, at + "SprayDriftPerc cannot be more than 100."},
        {-1, 0, 0, at + "Dosage cannot be less than 0."},
        {9999, 1, 100, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal);
        RunRawSQL("DELETE FROM APPLICATIONS");
        AddApplication(1, SchemeID, "2005-05-05", c.dosage, c.parameter, c.drift, 2);
        for (TZentorModel* model : std::initializer_list<TZentorModel*>{&Glidar(), &Mundre()}) {
            const std::string input = InputFile(*model, assessment);
            std::filesystem::remove(input);
            EXPECT_EQ(RefusalOf(*model, assessment), c.refusal) << model->ModelName();
            EXPECT_EQ(FileExists(input), c.refusal.empty());
        }
    }
    EXPECT_EQ(ReadWholeFile(Glidar().RunModelFile("112.gld")),
              FileText({"table Applications", "05-May        AppSolTil 9999.0000     1.00",
                        "end_table"}));
    EXPECT_EQ(ReadWholeFile(Mundre().RunModelFile("112.mnd")),
              FileText({"table Loadings", " 05-May-1990 999900.00", "end_table"}));
}

// The row format line after "@APPLICATIONSTABLE" is filled once per year and application,
// also when it is empty; only a template that ends there gives no rows.
TEST_P(InputFilesTest, TheLoadingsRowFormatIsFilledEvenWhenEmpty) {
    AddApplication(1, SchemeID, "2005-06-01", 0.5, 0, 0.5, 1);
    AddApplication(2, SchemeID, "2004-05-05", 1.0, 0, 0.2, 1);
    struct Case {
        std::string mundreTemplate;
        std::vector<std::string> expected;
    } cases[] = {
        {"@APPLICATIONSTABLE\r\n\r\nafter\r\n",
         {"table Loadings", "", "", "", "", "end_table", "", "after"}},
        {"@APPLICATIONSTABLE\r\nrow:\r\n", {"table Loadings", "", "", "", "", "end_table", "row:"}},
        {"@APPLICATIONSTABLE\r\n", {"table Loadings", "end_table"}},
    };
    TModelManager::GetSingleton().CreateProjectDirectory(ProjectID);
    int id = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mundreTemplate);
        ++id;
        AddScenario(id, "Rows", 1990, 1991, "", c.mundreTemplate);
        AddAssessment(id, ProjectID, id, EtaGuid, SchemeID, true, "Rows");
        TdciAssessments& assessment = OpenAssessment(id);
        assessment.SetRunDirectory(ProjectID);
        ASSERT_TRUE(Mundre().Execute(&assessment, false));
        EXPECT_EQ(ReadWholeFile(assessment.InputFileName()), FileText(c.expected));
    }
}

PARVELA_INSTANTIATE_DATABASE_TEST(InputFilesTest);

} // namespace
} // namespace parvela::test
