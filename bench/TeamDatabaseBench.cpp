// The steps that grow with a team's database (bench/TeamDatabase.h), measured on SQLite, on
// PostgreSQL (the throw-away test server named by PARVELA_BENCH_PG_INFO) and on the same
// PostgreSQL database behind a relay that adds 1 ms of round-trip latency: the substance
// change check, the three scheme-usage operations, the main window's first activation and the
// opening of the projects and application-schemes windows. Each reports its statements per
// call; the summary at the end gives every step as a ratio to a plain ODBC read of the
// ASSESSMENTS table on the same engine, measured in the same run.

#include "UnitsFromGenerator/TdcAssessments.h"
#include "bench/BenchEnvironment.h"
#include "bench/LatencyProxy.h"
#include "bench/TeamDatabase.h"
#include "db/DatabaseCreator.h"
#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "framework/TDACDatabase.h"
#include "platform/Registry.h"
#include "platform/ScriptedDialogs.h"
#include "program/checks/SchemeUsage.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/runs/TModelManager.h"
#include "program/startup/Services.h"
#include "program/system/RegistryValues.h"
#include "ui/TDACGrid.h"
#include "ui/TfrmApplicationSchemes.h"
#include "ui/TfrmAssessments.h"
#include "ui/TfrmProjects.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

namespace parvela::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Substances of the plug-in beside its examples: a team's catalogue.
constexpr int ExtraSubstances = 188;
const char* const PlainReadStep = "PlainReadAssessments";

struct TEngine {
    std::string Label;
    std::string SettingsFile;
};

std::string WorkDirectory() {
    return (fs::path(PARVELA_BENCH_WORK_DIR) / "team").string();
}

// The scripted dialogs in force during the measurements: a step that shows a box failed.
TScriptedDialogs& BenchDialogs() {
    static TScriptedDialogs dialogs;
    return dialogs;
}

// The program's services on one engine's database at a time.
class TServicesOn {
public:
    static void Activate(const TEngine& engine) {
        if (active_ == engine.Label)
            return;
        Deactivate();
        StartServices({engine.SettingsFile});
        active_ = engine.Label;
    }
    static void Deactivate() {
        StopServices();
        active_.clear();
    }
    static TDACDatabase& Database() { return TDatabaseConnection::GetSingleton().Database(); }

private:
    static inline std::string active_;
};

std::size_t CountStatements(const std::function<void()>& call) {
    std::vector<std::string> log;
    TServicesOn::Database().SetStatementLog(&log);
    try {
        call();
    } catch (...) {
        TServicesOn::Database().SetStatementLog(nullptr);
        throw;
    }
    TServicesOn::Database().SetStatementLog(nullptr);
    return log.size();
}

// A step that shows a box (an error, a warning, a message of the substance check) failed.
class TNoBoxes {
public:
    TNoBoxes() : shownBefore_(BenchDialogs().Boxes().size()) {}
    void Check(benchmark::State& state) const {
        if (BenchDialogs().Boxes().size() > shownBefore_)
            state.SkipWithError(
                ("a box was shown: " + BenchDialogs().Texts()[shownBefore_]).c_str());
    }

private:
    std::size_t shownBefore_;
};

// ---- the steps ---------------------------------------------------------------------------

// The list's statement, every column read by name with the list's conversions, no items.
void PlainReadAssessments(TDACDatabase& db) {
    const std::string sql = TrsAssessments(&db).SQLText();
    const auto& defs = TrsdAssessments::GetSingleton();
    std::unique_ptr<TDACQuery> query = db.OpenQuery(sql);
    double sink = 0;
    int rows = 0;
    for (; !query->Eof(); query->Next(), ++rows)
        for (int i = 0; i < defs.FieldCount(); ++i) {
            const TDACField field = query->FieldByName(defs.FieldName(i));
            switch (defs.FieldType(i)) {
            case ftInteger:
                sink += field.IsNull() ? MissingInteger : field.AsInteger();
                break;
            case ftFloat:
            case ftDateTime:
                sink += field.IsNull() ? MissingReal : field.AsFloat();
                break;
            case ftBoolean:
                sink += field.AsBoolean();
                break;
            default:
                sink += static_cast<double>(field.AsString().size());
            }
        }
    benchmark::DoNotOptimize(sink);
    if (rows != AssessmentCount)
        throw std::runtime_error("wrong number of assessments");
}

// A step timed as a whole, with its statements counted on a first call.
void TimeCall(benchmark::State& state, const TEngine& engine,
              const std::function<void(TDACDatabase&)>& call) {
    TServicesOn::Activate(engine);
    TDACDatabase& db = TServicesOn::Database();
    const TNoBoxes noBoxes;
    state.counters["statements"] = static_cast<double>(CountStatements([&] { call(db); }));
    for (auto _ : state)
        call(db);
    noBoxes.Check(state);
}

void CheckValue(bool ok, const char* what) {
    if (!ok)
        throw std::runtime_error(what);
}

// One assessment with valid results is invalidated per call; it gets them back in between.
void InvalidateOwnScheme(benchmark::State& state, const TEngine& engine) {
    TServicesOn::Activate(engine);
    TDACDatabase& db = TServicesOn::Database();
    const std::string restore = Format(
        "UPDATE ASSESSMENTS SET VALIDRESULTS=TRUE WHERE ASSESSMENTID=%d", OwnSchemeAssessment);
    const auto stillValid = [&db] {
        return db.SelectValue("COUNT(*)", "ASSESSMENTS",
                              Format("ASSESSMENTID=%d AND VALIDRESULTS=TRUE", OwnSchemeAssessment))
                   .AsInteger() == 1;
    };
    state.counters["statements"] =
        static_cast<double>(CountStatements([&] { InvalidateSchemeResults(db, OwnScheme); }));
    for (auto _ : state) {
        db.ExecSQL(restore);
        const auto start = Clock::now();
        InvalidateSchemeResults(db, OwnScheme);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    CheckValue(!stillValid(), "the assessment kept its results");
    db.ExecSQL(restore);
}

// For comparison: the framework's save of one changed assessment, which every invalidation
// and every edit in the windows costs.
void SaveOneAssessment(benchmark::State& state, const TEngine& engine) {
    TServicesOn::Activate(engine);
    TdcAssessments assessments(TServicesOn::Database());
    assessments.SetFilter("ASSESSMENTID=%d", {OwnSchemeAssessment});
    assessments.Open();
    TdciAssessments& assessment = assessments.Item();
    const auto toggleAndSave = [&assessment] {
        assessment.SetSELECTEDFOREXECUTION(!assessment.SELECTEDFOREXECUTION());
        assessment.Save();
    };
    state.counters["statements"] = static_cast<double>(CountStatements(toggleAndSave));
    for (auto _ : state)
        toggleAndSave();
    assessments.Close();
}

// Times the first showing of a window (its first activation); returns its statements.
std::size_t TimeShow(benchmark::State& state, QWidget& window) {
    std::vector<std::string> log;
    TServicesOn::Database().SetStatementLog(&log);
    const auto start = Clock::now();
    window.show();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    TServicesOn::Database().SetStatementLog(nullptr);
    return log.size();
}

// The window is made untimed; its first showing is timed.
template <class Window, class Make> void TimeFirstShow(benchmark::State& state, Make make) {
    std::size_t statements = 0;
    const TNoBoxes noBoxes;
    for (auto _ : state) {
        std::unique_ptr<Window> window = make();
        statements = TimeShow(state, *window);
        window->hide();
    }
    state.counters["statements"] = static_cast<double>(statements);
    noBoxes.Check(state);
}

void MainWindowFirstActivation(benchmark::State& state, const TEngine& engine) {
    // The main window starts and stops the services itself.
    TServicesOn::Deactivate();
    std::size_t statements = 0;
    const TNoBoxes noBoxes;
    for (auto _ : state) {
        WriteRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject", LastProject);
        auto window = std::make_unique<TfrmAssessments>(TServiceStartOptions{engine.SettingsFile});
        auto projects = std::make_unique<TfrmProjects>(window.get());
        window->SetProjectsWindow(projects.get());
        statements = TimeShow(state, *window);
        if (window->Assessments().Count() != AssessmentsPerProject) {
            state.SkipWithError("the last project's assessments are not shown");
            break;
        }
        projects.reset();
        window.reset();
    }
    state.counters["statements"] = static_cast<double>(statements);
    noBoxes.Check(state);
}

void ProjectsWindowOpen(benchmark::State& state, const TEngine& engine) {
    TServicesOn::Activate(engine);
    TimeFirstShow<TfrmProjects>(state, [] {
        auto window = std::make_unique<TfrmProjects>();
        window->SetItemIDToSelect(std::to_string(LastProject));
        return window;
    });
}

std::unique_ptr<TfrmApplicationSchemes> SchemesWindow() {
    auto window = std::make_unique<TfrmApplicationSchemes>();
    window->SetAssessmentID(SharedSchemeAssessment);
    window->SetItemIDToSelect(std::to_string(SharedScheme));
    return window;
}

void SchemesWindowOpen(benchmark::State& state, const TEngine& engine) {
    TServicesOn::Activate(engine);
    TimeFirstShow<TfrmApplicationSchemes>(state, SchemesWindow);
}

// A click on another scheme: its applications are loaded and its delete guard is asked.
void SchemesWindowSelectScheme(benchmark::State& state, const TEngine& engine) {
    TServicesOn::Activate(engine);
    const TNoBoxes noBoxes;
    std::unique_ptr<TfrmApplicationSchemes> window = SchemesWindow();
    window->show();
    auto* grid = window->findChild<TDACGrid*>("grdApplicationSchemes");
    int row = 1;
    const auto next = [&] {
        row = row % (grid->RowCount() - 1) + 1;
        if (!grid->SetRow(row))
            throw std::runtime_error("the scheme row was not selected");
    };
    state.counters["statements"] = static_cast<double>(CountStatements(next));
    for (auto _ : state)
        next();
    noBoxes.Check(state);
}

// ---- registration and summary ------------------------------------------------------------

void Register(const TEngine& engine, const std::string& step,
              std::function<void(benchmark::State&, const TEngine&)> run, bool manualTime) {
    auto* bench = benchmark::RegisterBenchmark((engine.Label + "/" + step).c_str(),
                                               [engine, run](benchmark::State& state) {
                                                   try {
                                                       run(state, engine);
                                                   } catch (const std::exception& failure) {
                                                       state.SkipWithError(failure.what());
                                                   }
                                               });
    bench->Unit(benchmark::kMillisecond);
    if (manualTime)
        bench->UseManualTime();
}

void RegisterCall(const TEngine& engine, const std::string& step,
                  std::function<void(TDACDatabase&)> call) {
    Register(
        engine, step,
        [call](benchmark::State& state, const TEngine& e) { TimeCall(state, e, call); }, false);
}

void RegisterSteps(const TEngine& engine) {
    RegisterCall(engine, PlainReadStep, PlainReadAssessments);
    RegisterCall(engine, "CheckSubstances", [](TDACDatabase& db) { CheckSubstances(db); });
    RegisterCall(engine, "IsApplicationSchemeUsed", [](TDACDatabase& db) {
        CheckValue(!IsApplicationSchemeUsed(db, UnusedScheme), "the unused scheme is used");
    });
    RegisterCall(engine, "ClassifySchemeUsage", [](TDACDatabase& db) {
        CheckValue(ClassifySchemeUsage(db, SharedScheme, SharedSchemeAssessment) ==
                       TSchemeUsage::SharedWithResults,
                   "the shared scheme is not class 3");
    });
    Register(engine, "InvalidateSchemeResults", InvalidateOwnScheme, true);
    Register(engine, "SaveOneAssessment", SaveOneAssessment, false);
    Register(engine, "MainWindowFirstActivation", MainWindowFirstActivation, true);
    Register(engine, "ProjectsWindowOpen", ProjectsWindowOpen, true);
    Register(engine, "SchemesWindowOpen", SchemesWindowOpen, true);
    Register(engine, "SchemesWindowSelectScheme", SchemesWindowSelectScheme, false);
}

// The console output, and at the end each step in ms and as a ratio to the plain read; with
// repetitions the medians.
class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median))
                continue;
            const std::string& name = run.run_name.function_name;
            const std::size_t slash = name.find('/');
            TResult& result = results_[name.substr(0, slash)][name.substr(slash + 1)];
            if (result.median && !median)
                continue;
            result.median = median;
            result.ms = run.GetAdjustedRealTime();
            const auto statements = run.counters.find("statements");
            if (statements != run.counters.end())
                result.statements = statements->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-16s %-28s %10s %9s %11s\n", "engine", "step", "ms", "x plain",
                    "statements");
        for (const auto& [engine, steps] : results_) {
            const auto plain = steps.find(PlainReadStep);
            for (const auto& [step, result] : steps)
                std::printf("%-16s %-28s %10.2f %9.2f %11.0f\n", engine.c_str(), step.c_str(),
                            result.ms, plain == steps.end() ? 0.0 : result.ms / plain->second.ms,
                            result.statements);
        }
    }

private:
    struct TResult {
        double ms = 0;
        double statements = 0;
        bool median = false;
    };
    std::map<std::string, std::map<std::string, TResult>> results_;
};

// ---- the databases -----------------------------------------------------------------------

void AddExtraSubstances(const std::string& daxoDatabase) {
    sqlite3* db = nullptr;
    std::string sql = "BEGIN;";
    for (int i = 0; i < ExtraSubstances; ++i) {
        const std::string guid = Format("{7EA40000-0000-4000-8000-%.12d}", i);
        sql += Format("INSERT OR IGNORE INTO substances (guid, is_metabolite, position) VALUES "
                      "('%s', 0, %d);",
                      guid, 1000 + i);
        sql += Format("INSERT OR IGNORE INTO attributes (guid, name, value, position) VALUES "
                      "('%s', 'SubstanceCode', 'TEAM%d', 0), ('%s', 'DT50Ref', '%d.5', 1);",
                      guid, i, guid, 10 + i);
    }
    sql += "COMMIT;";
    const bool ok = sqlite3_open(daxoDatabase.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok)
        throw std::runtime_error("cannot add substances to " + daxoDatabase);
}

std::vector<TSubstance> PluginSubstances() {
    std::unique_ptr<TDAXOGUIDList> list;
    TDAXOInterface::GetSingleton().GetSubstancesGUIDList(false, false, list);
    std::vector<TSubstance> substances;
    for (const TDAXOGUIDEntry& entry : *list)
        substances.push_back(
            {entry.GUID, TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(entry.GUID)});
    return substances;
}

void SetEnvironment(const std::string& work) {
    PrepareRunEnvironment(work, DAXO_LIBRARY_PATH);
    fs::create_directories(work + "/tmp");
    // The main window writes its icon into the current directory.
    fs::current_path(work);
    // The program's first choice of a temporary directory.
    setenv("TMPDIR", (work + "/tmp/").c_str(), 1);
}

// The engines with their databases made; PostgreSQL only when a server is named.
std::vector<TEngine> PrepareEngines(std::unique_ptr<TLatencyProxy>& proxy) {
    const std::string work = WorkDirectory();
    SetEnvironment(work);
    std::vector<TEngine> engines;
    std::vector<db::Engine> kinds;

    const std::string sqliteFile = work + "/team.sqlite";
    db::CreateSQLiteDatabaseFile(sqliteFile, true, true);
    engines.push_back({"SQLite", work + "/sqlite.ini"});
    kinds.push_back(db::Engine::SQLite);
    WriteSettingsFile(engines.back().SettingsFile, db::SQLiteConnectionString(sqliteFile));

    if (const auto pgConnection = FreshTestServerDatabase("parvela_bench")) {
        const std::string port = *TestServerValue("port");
        engines.push_back({"PostgreSQL", work + "/postgresql.ini"});
        kinds.push_back(db::Engine::PostgreSQL);
        WriteSettingsFile(engines.back().SettingsFile, *pgConnection);

        proxy = std::make_unique<TLatencyProxy>(std::stoi(port), std::chrono::milliseconds(1));
        std::string relayed = *pgConnection;
        relayed.replace(relayed.find("Port=" + port), 5 + port.size(),
                        "Port=" + std::to_string(proxy->Port()));
        engines.push_back({"PostgreSQL+1ms", work + "/postgresql-1ms.ini"});
        WriteSettingsFile(engines.back().SettingsFile, relayed);
    }

    TServicesOn::Activate(engines.front());
    PluginSubstances(); // makes the plug-in's database with its examples
    AddExtraSubstances(work + "/daxo.sqlite");
    const std::vector<TSubstance> substances = PluginSubstances();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        TServicesOn::Activate(engines[i]);
        FillTeamDatabase(TServicesOn::Database(), substances);
        if (kinds[i] == db::Engine::PostgreSQL)
            TServicesOn::Database().ExecSQL("ANALYZE");
    }
    return engines;
}

} // namespace
} // namespace parvela::bench

// The offscreen platform's notes on every window shown would drown the results.
static void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context,
                                const QString& text) {
    if (text.contains("propagateSizeHints"))
        return;
    qt_message_output(type, context, text);
}

int main(int argc, char** argv) {
    using namespace parvela;
    benchmark::Initialize(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(QuietOffscreenNotes);
    QApplication application(argc, argv);
    TScopedDialogs dialogs(bench::BenchDialogs());
    std::unique_ptr<bench::TLatencyProxy> proxy;
    try {
        for (const bench::TEngine& engine : bench::PrepareEngines(proxy))
            bench::RegisterSteps(engine);
    } catch (const std::exception& failure) {
        std::cerr << "team database bench: " << failure.what() << "\n";
        return 1;
    }
    bench::TSummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::TServicesOn::Deactivate();
    benchmark::Shutdown();
    return 0;
}
