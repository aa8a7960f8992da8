// Model runs on a generated SQLite database with the delivered scenarios, the real plug-in and
// the real model programs: one full run of an assessment with the time split between the
// program and the two model processes, the run record's share of it, and a project of 50
// marked assessments.

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "bench/BenchEnvironment.h"
#include "db/DatabaseCreator.h"
#include "db/DatabaseScripts.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/TDACSaver.h"
#include "framework/TVersionInfo.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/ModelProgramIdentity.h"
#include "program/runs/RunRecord.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TRunRecorder.h"
#include "program/runs/TZentorModel.h"
#include "program/system/DayMonth.h"
#include "program/system/ModelProcess.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace parvela {
namespace {

constexpr int ProjectID = 1;
constexpr int SingleAssessmentID = 1;
constexpr int LargeProjectID = 2;
constexpr int LargeProjectSize = 50;
constexpr int LongSeriesAssessmentID = 3;
constexpr int LongSeriesFirstYear = 1971;
constexpr int LongSeriesYears = 50;
const char* const AlphaGuid = "{5EED0DA0-7A11-4C0E-9D00-000000000001}";

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string AssessmentRow(int id, int projectID) {
    return Format("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                  "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
                  "SELECTEDFOREXECUTION, ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, "
                  "CREATIONDATE, MODIFICATIONDATE, COMMENT) VALUES (%d, 'Run_%d', '', %d, 1, "
                  "'%s', 1, '', TRUE, '', '', FALSE, '2024-01-01 00:00:00', "
                  "'2024-01-01 00:00:00', '')",
                  id, id, projectID, AlphaGuid);
}

// The database, the plug-in and the model manager for the whole run, made on first use.
class BenchSetup {
public:
    static BenchSetup& Get() {
        static BenchSetup setup;
        return setup;
    }

    TDACDatabase& Database() { return database_; }

    TdciProjects& Project(int id) {
        projects_ = std::make_unique<TdcProjects>(database_);
        projects_->SetFilter("PROJECTID=%d", {id});
        projects_->Open();
        TdciProjects& project = projects_->Item();
        project.Assessments().Open();
        return project;
    }

    TdciAssessments& Assessment(int id) {
        assessments_ = std::make_unique<TdcAssessments>(database_);
        assessments_->SetFilter("ASSESSMENTID=%d", {id});
        assessments_->Open();
        return assessments_->Item();
    }

private:
    BenchSetup() {
        const std::string work = PARVELA_BENCH_WORK_DIR "/modelruns";
        bench::PrepareRunEnvironment(work, DAXO_LIBRARY_PATH);

        const std::string file = work + "/parvela.sqlite";
        db::CreateSQLiteDatabaseFile(file, true);
        database_.SetODBCConnection(db::SQLiteConnectionString(file), "", "");
        database_.SetConnected(true);
        database_.SetTrueString("True");
        database_.SetFalseString("False");
        database_.StartTransaction(TIsolationLevel::ReadCommitted);
        const std::string scenarios = ReadFile(PARVELA_SOURCE_DIR "/db/scenarios/scenarios.sql");
        for (const std::string& statement : db::SplitStatements(scenarios, db::Engine::SQLite))
            database_.ExecSQL(statement);
        for (int project : {ProjectID, LargeProjectID})
            database_.ExecSQL(
                Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
                       "MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES (%d, 'P%d', '', "
                       "'2024-01-01 00:00:00', '2024-01-01 00:00:00', FALSE, '', FALSE)",
                       project, project));
        database_.ExecSQL(AssessmentRow(SingleAssessmentID, ProjectID));
        database_.ExecSQL(AssessmentRow(LongSeriesAssessmentID, ProjectID));
        for (int i = 0; i < LargeProjectSize; ++i)
            database_.ExecSQL(AssessmentRow(100 + i, LargeProjectID));
        database_.Commit();

        TDACSaver::CreateSingleton(database_);
        TVersionInfo::CreateSingleton();
        TDAXOInterface::CreateSingleton(".");
        TModelManager::CreateSingleton().SetContinueOnError(true);
    }

    TDACDatabase database_;
    std::unique_ptr<TdcProjects> projects_;
    std::unique_ptr<TdcAssessments> assessments_;
};

// One assessment from the substance check to the stored results. The counters split the
// time: the program's own CPU time, the CPU time of the model processes, and the wall time
// of each model process measured apart.
void BM_FullRunOfOneAssessment(benchmark::State& state) {
    BenchSetup& setup = BenchSetup::Get();
    TModelManager& manager = TModelManager::GetSingleton();
    manager.CreateProjectDirectory(ProjectID);
    double programCpu = 0, modelsCpu = 0;
    for (auto _ : state) {
        TdciAssessments& assessment = setup.Assessment(SingleAssessmentID);
        const double self = CpuSeconds(RUSAGE_SELF);
        const double children = CpuSeconds(RUSAGE_CHILDREN);
        if (!manager.RunAssessment(ProjectID, &assessment))
            state.SkipWithError(assessment.ERRORMESSAGE().c_str());
        programCpu += CpuSeconds(RUSAGE_SELF) - self;
        modelsCpu += CpuSeconds(RUSAGE_CHILDREN) - children;
    }
    state.counters["program_cpu_ms"] =
        benchmark::Counter(programCpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["models_cpu_ms"] =
        benchmark::Counter(modelsCpu * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FullRunOfOneAssessment)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's share without any process: both input files written.
void BM_WriteInputFilesOfOneAssessment(benchmark::State& state) {
    BenchSetup& setup = BenchSetup::Get();
    TModelManager& manager = TModelManager::GetSingleton();
    for (auto _ : state) {
        if (!manager.WriteInputFilesOnly(&setup.Assessment(SingleAssessmentID)))
            state.SkipWithError("input files not written");
    }
}
BENCHMARK(BM_WriteInputFilesOfOneAssessment)->Unit(benchmark::kMillisecond)->UseRealTime();

// One model process on the run directory of the full run, through its run script.
void ModelProcess(benchmark::State& state, const std::string& model) {
    BenchSetup& setup = BenchSetup::Get();
    TModelManager& manager = TModelManager::GetSingleton();
    manager.CreateProjectDirectory(ProjectID);
    TdciAssessments& assessment = setup.Assessment(SingleAssessmentID);
    if (!manager.RunAssessment(ProjectID, &assessment)) {
        state.SkipWithError(assessment.ERRORMESSAGE().c_str());
        return;
    }
    // The run took the row anew: the caller's item holds no run directory.
    const std::string directory = manager.ProjectDirectory(ProjectID, true) +
                                  std::to_string(SingleAssessmentID) + "/" + model;
    const std::string script = directory + "/run_Run_1.sh";
    for (auto _ : state) {
        if (ExecuteAndWait(script, directory, TWindowShowMode::Hidden) != 0)
            state.SkipWithError("model failed");
    }
}
void BM_GlidarProcess(benchmark::State& state) {
    ModelProcess(state, "GLIDAR");
}
void BM_MundreProcess(benchmark::State& state) {
    ModelProcess(state, "MUNDRE");
}
BENCHMARK(BM_GlidarProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MundreProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// The run record's share of the full run above: both model directories of that run taken
// down before and after their model (every file hashed twice, where a run hashes its inputs
// twice and its outputs once), with the programs as known, and the record written whole.
void BM_RunRecordOfOneAssessment(benchmark::State& state) {
    BenchSetup& setup = BenchSetup::Get();
    TModelManager& manager = TModelManager::GetSingleton();
    manager.CreateProjectDirectory(ProjectID);
    TdciAssessments& assessment = setup.Assessment(SingleAssessmentID);
    // A full run's files, and the drivers set on the assessment as after a run.
    if (!manager.RunAssessment(ProjectID, &assessment) ||
        !manager.WriteInputFilesOnly(&assessment)) {
        state.SkipWithError("the run failed");
        return;
    }
    const std::string checksum =
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(assessment.SUBSTANCEGUID());
    std::uintmax_t recordBytes = 0;
    for (auto _ : state) {
        TRunRecorder recorder(assessment, checksum);
        for (const auto& model : manager.Models()) {
            recorder.ModelStarting(*model);
            recorder.ModelEnded(*model, 0);
        }
        WriteRunRecord(assessment.RunDirectory(), recorder.Record());
        recordBytes = std::filesystem::file_size(RunRecordPath(assessment.RunDirectory()));
    }
    state.counters["record_bytes"] = static_cast<double>(recordBytes);
}
BENCHMARK(BM_RunRecordOfOneAssessment)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a model program costs the record the first time it is met (and again each time it is
// replaced): its SHA-256 and its answer to --version, from a process of its own.
void BM_ModelProgramMetFirst(benchmark::State& state) {
    BenchSetup::Get();
    const std::string program = PARVELA_BENCH_WORK_DIR "/modelruns/glidarmodel";
    std::filesystem::copy_file(TModelManager::GetSingleton().ModelsDirectory() + "glidarmodel",
                               program, std::filesystem::copy_options::overwrite_existing);
    for (auto _ : state) {
        // Another time of its last change makes it another program file.
        std::filesystem::last_write_time(program, std::filesystem::file_time_type::clock::now());
        if (ModelProgramIdentity(program).Version.empty())
            state.SkipWithError("no answer to --version");
    }
}
BENCHMARK(BM_ModelProgramMetFirst)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProjectOf50MarkedAssessments(benchmark::State& state) {
    BenchSetup& setup = BenchSetup::Get();
    TModelManager& manager = TModelManager::GetSingleton();
    std::chrono::duration<double, std::milli> total{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!manager.RunProject(&setup.Project(LargeProjectID)))
            state.SkipWithError("an assessment failed");
        total += std::chrono::steady_clock::now() - start;
    }
    state.counters["per_assessment_ms"] =
        total.count() / (static_cast<double>(state.iterations()) * LargeProjectSize);
}
BENCHMARK(BM_ProjectOf50MarkedAssessments)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// A daily output file of `years` years from 1 January of `firstYear`: a column per name, each
// day a value with a yearly pulse that decays, so that the lines have peaks to keep.
void WriteLongDailyOutput(const std::string& path, int firstYear, int years,
                          const std::vector<std::pair<std::string, std::string>>& columns) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary);
    file << "* daily output of " << years << " years\r\nDate";
    for (const auto& [name, unit] : columns)
        file << "  " << name;
    file << "\r\n    ";
    for (const auto& [name, unit] : columns)
        file << "  (" << unit << ")";
    file << "\r\n";
    int dayOfRun = 0;
    for (int year = firstYear; year < firstYear + years; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(year, month); ++day, ++dayOfRun) {
                file << Format("%.2d-%s-%d", day, MonthAbbreviation(month), year);
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const int sinceApplication = (dayOfRun + 200) % 365;
                    const double value = (1.0 + 0.1 * static_cast<double>(c)) *
                                         (1.0 + 0.3 * ((year * 7 + dayOfRun) % 11) / 10.0) *
                                         std::exp(-sinceApplication / 12.0);
                    file << Format("  %.6e", value);
                }
                file << "\r\n";
            }
}

// The summary report of an assessment whose models wrote 50 years of daily output: the
// time to write the page and, as a counter, its size.
void BM_SummaryReportOf50YearSeries(benchmark::State& state) {
    BenchSetup& setup = BenchSetup::Get();
    TModelManager& manager = TModelManager::GetSingleton();
    const std::string run =
        manager.ProjectDirectory(ProjectID, true) + std::to_string(LongSeriesAssessmentID) + "/";
    const std::string id = std::to_string(LongSeriesAssessmentID);
    WriteLongDailyOutput(run + "GLIDAR/" + id + ".out", LongSeriesFirstYear, LongSeriesYears,
                         {{"DepPnd", "mm"},
                          {"ConLiq_ALPHA", "ug.L-1"},
                          {"CntSol_ALPHA", "mg.kg-1"},
                          {"ConLiq_M1", "ug.L-1"},
                          {"CntSol_M1", "mg.kg-1"},
                          {"ConLiq_M2", "ug.L-1"},
                          {"CntSol_M2", "mg.kg-1"},
                          {"ConLiq_M3", "ug.L-1"},
                          {"CntSol_M3", "mg.kg-1"}});
    WriteLongDailyOutput(run + "MUNDRE/" + id + ".out", LongSeriesFirstYear, LongSeriesYears,
                         {{"ConWat", "ug.L-1"}, {"CntSed", "ug.kg-1"}, {"FlwOut", "m3.d-1"}});
    setup.Database().ExecSQL(
        Format("UPDATE ASSESSMENTS SET VALIDRESULTS = TRUE, ASSESSMENTREPORT = '%s' WHERE "
               "ASSESSMENTID = %d",
               "@GLIDAR REPORT@\r\nEnd of GLIDAR REPORT@\r\n@MUNDRE REPORT@\r\nEnd of MUNDRE "
               "REPORT@\r\n",
               LongSeriesAssessmentID));
    std::uintmax_t size = 0;
    for (auto _ : state)
        size = std::filesystem::file_size(
            WriteSummaryReportFile(setup.Assessment(LongSeriesAssessmentID)));
    state.counters["page_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_SummaryReportOf50YearSeries)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace parvela

BENCHMARK_MAIN();
