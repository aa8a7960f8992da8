#include "tests/models/ProgramInputs.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/Format.h"
#include "framework/TDACSaver.h"
#include "framework/TVersionInfo.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModelGlidar.h"
#include "program/runs/TZentorModelMundre.h"
#include "tests/modelruns/ModelRunTest.h"

#include <stdexcept>

namespace parvela::models::test {

namespace {

constexpr int ProjectId = 1;
const std::string ParentGuid = "{0DE10000-0000-4000-8000-000000000001}";

std::string MetaboliteGuid(std::size_t index) {
    return Format("{0DE10000-0000-4000-8000-0000000001%.2d}", static_cast<int>(index));
}

// Every digit a double needs, so the database holds the test's value exactly.
std::string Real(double value) {
    return FloatToStrGeneral(value, 17);
}

// A template as the scenario stores it.
std::string TemplateText(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

int ApplicationTypeId(const std::string& code) {
    if (code == "AppCrpUsr")
        return 1;
    if (code == "AppSolTil")
        return 2;
    if (code == "AppSolInj")
        return 3;
    throw std::invalid_argument("no application type " + code);
}

// The plug-in's rows of one substance; its formation fraction is the link's, not a row.
std::string SubstanceRows(const std::string& guid, bool metabolite, std::size_t position,
                          const Attributes& attributes) {
    std::string sql = Format("INSERT INTO substances (guid, is_metabolite, position) VALUES "
                             "(%s, %d, %d);",
                             StringToSQL(guid), metabolite ? 1 : 0, static_cast<int>(position));
    int index = 0;
    for (const auto& [name, value] : attributes)
        if (name != "FraPrtDau")
            sql += Format("INSERT INTO attributes (guid, name, value, position) VALUES "
                          "(%s, %s, %s, %d);",
                          StringToSQL(guid), StringToSQL(name), StringToSQL(value), index++);
    return sql;
}

} // namespace

// The services in the program's start order, stopped in the reverse order.
struct ProgramInputs::Services {
    parvela::test::TRunEnvironment environment{"model-inputs"};
    parvela::test::TestDatabase database{parvela::test::Engine::SQLite};

    Services() {
        TDACSaver::CreateSingleton(database.Database());
        TVersionInfo::CreateSingleton();
        TDAXOInterface::CreateSingleton(".");
        TModelManager::CreateSingleton();
    }
    ~Services() {
        TModelManager::DestroySingleton();
        TDAXOInterface::DestroySingleton();
        TVersionInfo::DestroySingleton();
        TDACSaver::DestroySingleton();
    }
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;
};

ProgramInputs::ProgramInputs() : services_(std::make_unique<Services>()) {
    parvela::test::TestDatabase& database = services_->database;
    database.RunRawSQL("INSERT INTO APPLICATIONTYPES (APPLICATIONTYPEID, CAPTION, GLIDARCODE) "
                       "VALUES (2, 'Incorporation into the soil', 'AppSolTil')");
    database.RunRawSQL("INSERT INTO APPLICATIONTYPES (APPLICATIONTYPEID, CAPTION, GLIDARCODE) "
                       "VALUES (3, 'Injection into the soil', 'AppSolInj')");
    database.RunRawSQL(Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, LOCKED) VALUES "
                              "(%d, 'Model tests', FALSE)",
                              ProjectId));
}

ProgramInputs::~ProgramInputs() = default;

void ProgramInputs::LoadDeliveredScenarios() {
    parvela::test::RunScript(services_->database, "db/scenarios/scenarios.sql");
}

void ProgramInputs::AddScenarioAndScheme(const Assessment& assessment, const Lines& glidarTemplate,
                                         const Lines& mundreTemplate) {
    parvela::test::TestDatabase& database = services_->database;
    database.RunRawSQL(Format(
        "INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR, "
        "GLIDAR_data, MUNDRE_data, GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, MUNDRE_rain) "
        "VALUES (%d, %s, 'Model tests', %d, %d, %s, %s, '', '', '', '')",
        ScenarioId, StringToSQL(assessment.scenario), assessment.startYear, assessment.endYear,
        StringToSQL(TemplateText(glidarTemplate)), StringToSQL(TemplateText(mundreTemplate))));
    database.RunRawSQL(Format("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, "
                              "DESCRIPTION, LOCKED) VALUES (%d, %s, '', FALSE)",
                              SchemeId, StringToSQL(assessment.scheme)));
    int id = 900;
    for (const ApplicationRow& row : assessment.applications) {
        ++id;
        database.RunRawSQL(Format(
            "INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, APPLICATIONTYPEID, "
            "APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES (%d, %d, %d, "
            "'2001-%.2d-%.2d 00:00:00', %s, %s, %s)",
            id, SchemeId, ApplicationTypeId(row.code), row.month, row.day, Real(row.dosage),
            Real(row.parameter), Real(row.sprayDrift)));
        if (row.code == "AppCrpUsr")
            database.RunRawSQL(Format(
                "INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, BeginDay, "
                "BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES (%d, %d, 1, %d, "
                "%d, %d, %d, %s)",
                id, ScenarioId, row.day, row.month, row.day, row.month, Real(row.parameter)));
    }
}

void ProgramInputs::SetSubstance(const Assessment& assessment) {
    std::string sql = "BEGIN; DELETE FROM metabolites; DELETE FROM attributes; "
                      "DELETE FROM substances;";
    sql += SubstanceRows(ParentGuid, false, 0, assessment.parent);
    for (std::size_t i = 0; i < assessment.metabolites.size(); ++i) {
        const Attributes& metabolite = assessment.metabolites[i];
        const auto fraction = metabolite.find("FraPrtDau");
        sql += SubstanceRows(MetaboliteGuid(i), true, i + 1, metabolite);
        sql += Format("INSERT INTO metabolites (parent_guid, metabolite_guid, compartment, "
                      "fraction, position) VALUES (%s, %s, 1, %s, %d);",
                      StringToSQL(ParentGuid), StringToSQL(MetaboliteGuid(i)),
                      StringToSQL(fraction == metabolite.end() ? "" : fraction->second),
                      static_cast<int>(i));
    }
    parvela::test::ExecutePluginSql(services_->environment.DaxoDatabase(), sql + "COMMIT;");
}

Lines ProgramInputs::Write(const std::string& model, int scenarioId, int schemeId) {
    const int id = ++lastAssessmentId_;
    services_->database.RunRawSQL(
        Format("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, PROJECTID, SCENARIOID, "
               "SUBSTANCEGUID, APPLICATIONSCHEMEID, SELECTEDFOREXECUTION, VALIDRESULTS) VALUES "
               "(%d, 'Model test %d', %d, %d, %s, %d, FALSE, FALSE)",
               id, id, ProjectId, scenarioId, StringToSQL(ParentGuid), schemeId));
    TdcAssessments assessments(services_->database.Database());
    assessments.SetFilter("ASSESSMENTID=%d", {id});
    assessments.Open();
    TdciAssessments& assessment = assessments.Item();
    TModelManager& manager = TModelManager::GetSingleton();
    manager.CreateProjectDirectory(ProjectId);
    assessment.SetRunDirectory(ProjectId);
    TZentorModel& driver = model == "GLIDAR" ? static_cast<TZentorModel&>(manager.Glidar())
                                             : static_cast<TZentorModel&>(manager.Mundre());
    if (!driver.Execute(&assessment, false))
        throw std::runtime_error(model + " wrote no input: " + assessment.ERRORMESSAGE());
    return ReadFileLines(assessment.InputFileName());
}

Lines ExpandGlidarTemplate(const Lines& templateLines, const Assessment& assessment) {
    ProgramInputs inputs;
    inputs.AddScenarioAndScheme(assessment, templateLines, {});
    inputs.SetSubstance(assessment);
    return inputs.Write("GLIDAR", ProgramInputs::ScenarioId, ProgramInputs::SchemeId);
}

Lines ExpandMundreTemplate(const Lines& templateLines, const Assessment& assessment) {
    ProgramInputs inputs;
    inputs.AddScenarioAndScheme(assessment, {}, templateLines);
    inputs.SetSubstance(assessment);
    return inputs.Write("MUNDRE", ProgramInputs::ScenarioId, ProgramInputs::SchemeId);
}

} // namespace parvela::models::test
