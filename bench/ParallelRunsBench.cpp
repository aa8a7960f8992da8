// A project of 24 marked assessments on the delivered scenarios (12 on each), run through the
// program's services, the real plug-in and the real model programs: one after the other
// against two jobs at once, on SQLite and, when PARVELA_BENCH_PG_INFO names a throw-away
// server (scripts/bench.sh starts one), on PostgreSQL. Each iteration runs the project both
// ways, so that the ratio compares runs made under the same load of the machine; the load
// average at the start is reported with it.
//
// With PARVELA_BENCH_MODEL_YEARS=N the scenarios simulate N years instead of their own three
// (their weather, ponding and rain repeated year after year), so that each model process does
// the work of a realistic simulation period instead of a few milliseconds' worth.
//
// The machine's own ceilings are measured in the same run, one after the other against two at
// once: processes that only compute, and short processes that only start and end (most of a
// stand-in model run at three years is the system's work of starting its processes).

#include "UnitsFromGenerator/TdcProjects.h"
#include "bench/BenchEnvironment.h"
#include "db/DatabaseCreator.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/runs/TModelManager.h"
#include "program/startup/Services.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace parvela {
namespace {

constexpr int ProjectID = 1;
constexpr int AssessmentCount = 24;
const char* const Substances[] = {"{5EED0DA0-7A11-4C0E-9D00-000000000001}",  // ALPHA
                                  "{5EED0DA0-7A11-4C0E-9D00-000000000012}"}; // ETA

std::string WorkDirectory() {
    return PARVELA_BENCH_WORK_DIR "/parallel-runs";
}

// The engines' settings files; PostgreSQL only when a server is named.
std::vector<std::pair<std::string, std::string>> PrepareDatabases() {
    const std::string work = WorkDirectory();
    std::vector<std::pair<std::string, std::string>> connections;
    const std::string file = work + "/parvela.sqlite";
    db::CreateSQLiteDatabaseFile(file, true, true);
    connections.push_back({"SQLite", db::SQLiteConnectionString(file)});
    if (const auto connection = bench::FreshTestServerDatabase("parvela_parallel_bench"))
        connections.push_back({"PostgreSQL", *connection});
    std::vector<std::pair<std::string, std::string>> settings;
    for (const auto& [engine, connection] : connections) {
        settings.push_back({engine, work + "/" + engine + ".ini"});
        bench::WriteSettingsFile(settings.back().second, connection);
    }
    return settings;
}

// The delivered scenario's daily texts with the days of its start year repeated to cover
// `years` years (29 February only in leap years).
std::string RepeatedDays(const std::string& text, int startYear, int years) {
    std::istringstream lines(text);
    std::string comments;
    std::vector<std::string> days; // rows of the start year
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Rows begin with dd-Mmm-yyyy; comment lines are kept once.
        if (line.size() < 11 || line[0] == '*')
            comments += line + "\r\n";
        else if (std::stoi(line.substr(7, 4)) == startYear)
            days.push_back(line);
    }
    std::string repeated = comments;
    for (int year = startYear; year < startYear + years; ++year)
        for (const std::string& day : days) {
            const bool leapDay = day.compare(0, 6, "29-Feb") == 0;
            if (leapDay && !IsLeapYear(year))
                continue;
            repeated += day.substr(0, 7) + std::to_string(year) + day.substr(11) + "\r\n";
            if (!leapDay && day.compare(0, 6, "28-Feb") == 0 && IsLeapYear(year) &&
                !IsLeapYear(startYear))
                repeated += "29-Feb-" + std::to_string(year) + day.substr(11) + "\r\n";
        }
    return repeated;
}

void FillProject(TDACDatabase& database, int modelYears) {
    database.ExecSQL("DELETE FROM ASSESSMENTS");
    database.ExecSQL("DELETE FROM PROJECTS");
    database.ExecSQL(Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
                            "MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES (%d, 'Parallel', '', "
                            "'2024-01-01 00:00:00', '2024-01-01 00:00:00', FALSE, '', FALSE)",
                            ProjectID));
    for (int i = 1; i <= AssessmentCount; ++i)
        database.ExecSQL(Format(
            "INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, SCENARIOID, "
            "SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, SELECTEDFOREXECUTION, "
            "ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, CREATIONDATE, MODIFICATIONDATE, "
            "COMMENT) VALUES (%d, 'Run_%d', '', %d, %d, '%s', 1, '', TRUE, '', '', FALSE, "
            "'2024-01-01 00:00:00', '2024-01-01 00:00:00', '')",
            i, i, ProjectID, 1 + i % 2, Substances[(i / 2) % 2]));
    if (modelYears <= 0)
        return;
    for (int scenario : {1, 2}) {
        const auto query = database.OpenQuery(
            Format("SELECT STARTYEAR, GLIDAR_meteo, GLIDAR_pond, MUNDRE_meteo, MUNDRE_rain FROM "
                   "SCENARIOS WHERE SCENARIOID = %d",
                   scenario));
        const int start = query->FieldByName("STARTYEAR").AsInteger();
        std::vector<std::string> columns;
        for (const char* column : {"GLIDAR_meteo", "GLIDAR_pond", "MUNDRE_meteo", "MUNDRE_rain"})
            columns.push_back(
                RepeatedDays(query->FieldByName(column).AsString(), start, modelYears));
        database.ExecSQL(Format("UPDATE SCENARIOS SET ENDYEAR = %d, GLIDAR_meteo = '%s', "
                                "GLIDAR_pond = '%s', MUNDRE_meteo = '%s', MUNDRE_rain = '%s' "
                                "WHERE SCENARIOID = %d",
                                start + modelYears - 1, columns[0], columns[1], columns[2],
                                columns[3], scenario));
    }
}

double RunProjectSeconds(int jobs) {
    TModelManager& manager = TModelManager::GetSingleton();
    manager.SetJobs(jobs);
    std::filesystem::remove_all(manager.ProjectDirectory(ProjectID, false));
    std::filesystem::remove_all(manager.ProjectsDirectory());
    std::filesystem::create_directories(manager.ProjectsDirectory());
    TdcProjects projects(TDatabaseConnection::GetSingleton().Database());
    projects.SetFilter("PROJECTID=%d", {ProjectID});
    projects.Open();
    const auto start = std::chrono::steady_clock::now();
    const bool valid = manager.RunProject(&projects.Item());
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    if (!valid)
        throw std::runtime_error("an assessment of the benchmark project failed");
    return seconds.count();
}

void SequentialAgainstTwoJobs(benchmark::State& state, const std::string& settings) {
    StartServices({settings});
    TModelManager::GetSingleton().SetContinueOnError(true);
    const char* years = std::getenv("PARVELA_BENCH_MODEL_YEARS");
    const int modelYears = years && *years ? std::atoi(years) : 0;
    FillProject(TDatabaseConnection::GetSingleton().Database(), modelYears);
    double load[1] = {0};
    getloadavg(load, 1);
    double sequential = 0, twoJobs = 0;
    try {
        for (auto _ : state) {
            sequential += RunProjectSeconds(1);
            const double parallel = RunProjectSeconds(2);
            twoJobs += parallel;
            state.SetIterationTime(parallel);
        }
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
    StopServices();
    const double iterations = static_cast<double>(state.iterations());
    state.counters["sequential_s"] = sequential / iterations;
    state.counters["two_jobs_s"] = twoJobs / iterations;
    state.counters["speedup"] = twoJobs > 0 ? sequential / twoJobs : 0;
    state.counters["load_1min"] = load[0];
    state.counters["model_years"] = modelYears > 0 ? modelYears : 3;
}

// A child that computes for a fixed amount of work and ends.
pid_t StartBusyProcess() {
    const pid_t pid = fork();
    if (pid == 0) {
        volatile std::uint64_t sum = 0;
        for (std::uint64_t i = 0; i < 400'000'000; ++i)
            sum = sum + i;
        _exit(0);
    }
    if (pid < 0)
        throw std::runtime_error("fork failed");
    return pid;
}

// A child that runs /bin/true.
pid_t StartTrueProcess() {
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/true", "true", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("fork failed");
    return pid;
}

// `count` children made by `start`, `atOnce` at a time.
double ProcessesSeconds(pid_t (*start)(), int count, int atOnce) {
    const auto begin = std::chrono::steady_clock::now();
    for (int started = 0; started < count; started += atOnce) {
        std::vector<pid_t> children;
        for (int i = 0; i < atOnce; ++i)
            children.push_back(start());
        for (const pid_t child : children)
            waitpid(child, nullptr, 0);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - begin;
    return seconds.count();
}

void OneAgainstTwoAtOnce(benchmark::State& state, pid_t (*start)(), int count) {
    double sequential = 0, together = 0;
    for (auto _ : state) {
        sequential += ProcessesSeconds(start, count, 1);
        const double parallel = ProcessesSeconds(start, count, 2);
        together += parallel;
        state.SetIterationTime(parallel);
    }
    state.counters["sequential_s"] = sequential / static_cast<double>(state.iterations());
    state.counters["two_at_once_s"] = together / static_cast<double>(state.iterations());
    state.counters["speedup"] = together > 0 ? sequential / together : 0;
}

} // namespace
} // namespace parvela

int main(int argc, char** argv) {
    using namespace parvela;
    benchmark::Initialize(&argc, argv);
    bench::PrepareRunEnvironment(WorkDirectory(), DAXO_LIBRARY_PATH);
    // Each benchmark times runs of seconds: three iterations, timed by hand.
    const auto timedThrice = [](benchmark::internal::Benchmark* bench) {
        bench->Unit(benchmark::kSecond)->UseManualTime()->Iterations(3);
    };
    timedThrice(benchmark::RegisterBenchmark(
        "BM_MachineCeiling_TwoBusyProcesses",
        [](benchmark::State& state) { OneAgainstTwoAtOnce(state, StartBusyProcess, 2); }));
    timedThrice(benchmark::RegisterBenchmark(
        "BM_MachineCeiling_200ProcessStarts",
        [](benchmark::State& state) { OneAgainstTwoAtOnce(state, StartTrueProcess, 200); }));
    for (const auto& [engine, settings] : PrepareDatabases())
        timedThrice(benchmark::RegisterBenchmark(
            ("BM_ProjectOf24_SequentialAgainstTwoJobs/" + engine).c_str(),
            [settings = settings](benchmark::State& state) {
                SequentialAgainstTwoJobs(state, settings);
            }));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
