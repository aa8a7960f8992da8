#include "tests/modelruns/ModelRunTest.h"

#include "db/DatabaseScripts.h"
#include "framework/Format.h"
#include "framework/TDACSaver.h"
#include "framework/TVersionInfo.h"
#include "platform/Registry.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "tests/support/SlowModels.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace parvela::test {

TScopedEnvironment::TScopedEnvironment(std::string name, const std::string& value)
    : name_(std::move(name)) {
    if (const char* old = getenv(name_.c_str()))
        previous_ = old;
    setenv(name_.c_str(), value.c_str(), 1);
}

TScopedEnvironment::~TScopedEnvironment() {
    if (previous_)
        setenv(name_.c_str(), previous_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

TWorkDirectory::TWorkDirectory(const std::string& name) {
    std::filesystem::create_directories(PARVELA_TEST_WORK_DIR);
    std::string pattern = std::string(PARVELA_TEST_WORK_DIR) + "/modelruns-" + name + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("cannot create a test directory");
    path_ = buffer.data();
}

TWorkDirectory::~TWorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TRunEnvironment::TRunEnvironment(const std::string& name, bool withDataPath)
    : work_(name), machine_("PARVELA_MACHINE_REGISTRY", work_.File("machine-registry.ini")),
      user_("PARVELA_USER_REGISTRY", work_.File("user-registry.ini")),
      daxoDatabase_("PARVELA_DAXO_DATABASE", DaxoDatabase()),
      daxoMessages_("PARVELA_DAXO_MESSAGE_LOG", DaxoMessageLog()), tmp_("TMPDIR", TempDirectory()),
      runtime_("XDG_RUNTIME_DIR", "") {
    std::filesystem::create_directories(TempDirectory());
    TRegistry machine(HKEY_LOCAL_MACHINE);
    machine.WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", DAXO_LIBRARY_PATH);
    if (withDataPath) {
        std::filesystem::create_directories(DataPath());
        machine.WriteString(RegistryKey(), "DataPath", DataPath());
    }
}

std::string TRunEnvironment::ReportDirectory() const {
    return TempDirectory() + "parvela-" + std::to_string(::geteuid()) + "/";
}

void PlaceModelPrograms(const std::string& directory, const std::string& glidarBody,
                        const std::string& mundreBody) {
    std::filesystem::create_directories(directory);
    for (const auto& [name, body] :
         {std::pair{"glidarmodel", glidarBody}, std::pair{"Mundremodel", mundreBody}}) {
        const std::string target = directory + "/" + name;
        if (body.empty()) {
            std::filesystem::copy_file(std::string(PARVELA_BIN_DIR) + "/models/" + name, target);
        } else {
            std::ofstream(target) << ModelScript(body);
            chmod(target.c_str(), 0755);
        }
    }
}

std::string Sha256Sum(const std::string& path) {
    FILE* pipe = popen(("sha256sum " + ShellQuote(path)).c_str(), "r");
    char digest[65] = {};
    if (pipe) {
        if (std::fscanf(pipe, "%64s", digest) != 1)
            digest[0] = 0;
        pclose(pipe);
    }
    return digest;
}

void ExecutePluginSql(const std::string& databasePath, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(databasePath.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + databasePath);
    }
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("SQL failed: " + message + " in " + sql);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string FileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

void RunScript(TestDatabase& database, const std::string& repositoryPath) {
    const std::string script =
        ReadWholeFile(std::string(PARVELA_SOURCE_DIR) + "/" + repositoryPath);
    for (const std::string& statement : db::SplitStatements(script, database.GetEngine()))
        database.RunRawSQL(statement);
}

void ModelRunTest::SetUp() {
    DatabaseTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    environment_ = std::make_unique<TRunEnvironment>(name);
    scopedDialogs_ = std::make_unique<TScopedDialogs>(dialogs_);
    TDACSaver::CreateSingleton(Db());
    TVersionInfo::CreateSingleton();
    TDAXOInterface::CreateSingleton(".");
    TModelManager::CreateSingleton();
}

void ModelRunTest::TearDown() {
    assessmentLists_.clear();
    projectLists_.clear();
    TModelManager::DestroySingleton();
    TDAXOInterface::DestroySingleton();
    TVersionInfo::DestroySingleton();
    TDACSaver::DestroySingleton();
    scopedDialogs_.reset();
    environment_.reset();
    DatabaseTest::TearDown();
}

std::string ModelRunTest::Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

void ModelRunTest::AddProject(int id, const std::string& caption, bool locked) {
    RunRawSQL(Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
                     "MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES (%d, %s, 'D', "
                     "'2020-03-01 10:00:00', '2020-03-02 11:00:00', FALSE, 'C', %s)",
                     id, Quoted(caption), locked ? "TRUE" : "FALSE"));
}

void ModelRunTest::AddAssessment(int id, int projectID, int scenarioID, const std::string& guid,
                                 int schemeID, bool selected, const std::string& caption) {
    RunRawSQL(Format("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                     "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
                     "SELECTEDFOREXECUTION, ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, "
                     "CREATIONDATE, MODIFICATIONDATE, COMMENT) VALUES (%d, %s, 'About it', %d, "
                     "%d, %s, %d, 'SUM', %s, '', '', FALSE, '2021-01-05 08:30:00', "
                     "'2021-01-06 09:45:00', '')",
                     id, Quoted(caption), projectID, scenarioID, Quoted(guid), schemeID,
                     selected ? "TRUE" : "FALSE"));
}

void ModelRunTest::AddScheme(int id, const std::string& caption) {
    RunRawSQL(Format("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, DESCRIPTION, "
                     "LOCKED) VALUES (%d, %s, 'About it', FALSE)",
                     id, Quoted(caption)));
}

void ModelRunTest::AddApplication(int id, int schemeID, const std::string& date, double dosage,
                                  double parameter, double sprayDrift, int typeID) {
    RunRawSQL(Format("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, "
                     "APPLICATIONTYPEID, APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, "
                     "SPRAYDRIFTPERC) VALUES (%d, %d, %d, '%s 00:00:00', %s, %s, %s)",
                     id, schemeID, typeID, date, FloatToStrGeneral(dosage),
                     FloatToStrGeneral(parameter), FloatToStrGeneral(sprayDrift)));
}

void ModelRunTest::AddApplicationType(int id, const std::string& code) {
    RunRawSQL(Format("INSERT INTO APPLICATIONTYPES (APPLICATIONTYPEID, CAPTION, GLIDARCODE) "
                     "VALUES (%d, %s, %s)",
                     id, Quoted("Type " + code), Quoted(code)));
}

void ModelRunTest::AddScenario(int id, const std::string& caption, int startYear, int endYear,
                               const std::string& glidarTemplate, const std::string& mundreTemplate,
                               const std::string& glidarMeteo, const std::string& pond,
                               const std::string& mundreMeteo, const std::string& rain) {
    RunRawSQL(Format("INSERT INTO SCENARIOS (SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, "
                     "ENDYEAR, GLIDAR_data, MUNDRE_data, GLIDAR_meteo, MUNDRE_meteo, GLIDAR_pond, "
                     "MUNDRE_rain) VALUES (%d, %s, 'Test field & <pond>', %d, %d, %s, %s, %s, "
                     "%s, %s, %s)",
                     id, Quoted(caption), startYear, endYear, Quoted(glidarTemplate),
                     Quoted(mundreTemplate), Quoted(glidarMeteo), Quoted(mundreMeteo), Quoted(pond),
                     Quoted(rain)));
}

void ModelRunTest::AddInterception(int id, int scenarioID, int beginDay, int beginMonth, int endDay,
                                   int endMonth, double fraction) {
    RunRawSQL(Format("INSERT INTO Interceptions (InterceptionID, ScenarioID, BBCH_ID, BeginDay, "
                     "BeginMonth, EndDay, EndMonth, InterceptionFraction) VALUES (%d, %d, 1, %d, "
                     "%d, %d, %d, %s)",
                     id, scenarioID, beginDay, beginMonth, endDay, endMonth,
                     FloatToStrGeneral(fraction)));
}

void ModelRunTest::LoadDeliveredScenarios() {
    RunScript(TestDb(), "db/scenarios/scenarios.sql");
}

TdciProjects& ModelRunTest::Project(int id) {
    auto list = std::make_unique<TdcProjects>(Db());
    list->SetFilter("PROJECTID=%d", {id});
    list->Open();
    if (list->Count() != 1)
        throw std::runtime_error("no project " + std::to_string(id));
    TdciProjects& project = list->Item();
    project.Assessments().Open();
    projectLists_.push_back(std::move(list));
    return project;
}

TdciAssessments& ModelRunTest::OpenAssessment(int id) {
    auto list = std::make_unique<TdcAssessments>(Db());
    list->SetFilter("ASSESSMENTID=%d", {id});
    list->Open();
    if (list->Count() != 1)
        throw std::runtime_error("no assessment " + std::to_string(id));
    TdciAssessments& assessment = list->Item();
    assessmentLists_.push_back(std::move(list));
    return assessment;
}

ModelRunTest::TStoredResults ModelRunTest::StoredResults(int assessmentID) {
    TdcAssessments list(Db());
    list.SetFilter("ASSESSMENTID=%d", {assessmentID});
    list.Open();
    if (list.Count() != 1)
        throw std::runtime_error("no assessment " + std::to_string(assessmentID));
    return {list.Item().ERRORMESSAGE(), list.Item().ASSESSMENTREPORT(), list.Item().VALIDRESULTS()};
}

} // namespace parvela::test
