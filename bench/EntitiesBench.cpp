// The whole-database walks over a generated SQLite database of 1,000 projects with 20
// assessments each and 50 schemes, and the loading of all 20,000 assessments through the
// list compared with a plain loop over the same query.

#include "UnitsFromGenerator/TdcAssessments.h"
#include "db/DatabaseCreator.h"
#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "framework/TDACDatabase.h"
#include "framework/TDACSaver.h"
#include "program/SchemeUsage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace parvela {
namespace {

constexpr int ProjectCount = 1000;
constexpr int AssessmentsPerProject = 20;
constexpr int SchemeCount = 50;
// Schemes 1..SchemeCount-1 are used; the last one is not.
constexpr int UnusedScheme = SchemeCount;

void FillDatabase(TDACDatabase& db) {
    db.StartTransaction(TIsolationLevel::ReadCommitted);
    for (int scheme = 1; scheme <= SchemeCount; ++scheme)
        db.ExecSQL(Format("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, "
                          "DESCRIPTION, LOCKED) VALUES (%d, 'Scheme %d', '', FALSE)",
                          scheme, scheme));
    int key = 0;
    for (int project = 1; project <= ProjectCount; ++project) {
        db.ExecSQL(Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, CREATIONDATE, "
                          "MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES (%d, 'Project %d', "
                          "'', '2024-01-01 10:00:00', '2024-01-02 10:00:00', FALSE, '', FALSE)",
                          project, project));
        for (int i = 0; i < AssessmentsPerProject; ++i) {
            ++key;
            const int scheme = 1 + key % (SchemeCount - 1);
            db.ExecSQL(Format(
                "INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, PROJECTID, "
                "SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, SUBSTANCECHECKSUM, "
                "SELECTEDFOREXECUTION, ERRORMESSAGE, ASSESSMENTREPORT, VALIDRESULTS, "
                "CREATIONDATE, MODIFICATIONDATE, COMMENT) VALUES (%d, 'Assessment %d', "
                "'A description', %d, 1, '{5A3B2C1D-0000-4000-8000-%.12d}', %d, 'CHK%d', %s, '', "
                "'GLIDAR summary@line two@line three', %s, '2024-02-01 08:00:00', "
                "'2024-02-02 09:30:00', '')",
                key, key, project, key, scheme, key, key % 3 == 0 ? "TRUE" : "FALSE",
                key % 2 == 0 ? "TRUE" : "FALSE"));
        }
    }
    db.Commit();
}

// One database for the whole run, made on first use.
class BenchDatabase {
public:
    static BenchDatabase& Get() {
        static BenchDatabase instance;
        return instance;
    }
    TDACDatabase& Db() { return *database_; }

private:
    BenchDatabase() {
        const auto dir = std::filesystem::path(PARVELA_BENCH_WORK_DIR);
        std::filesystem::create_directories(dir);
        const std::string file = (dir / "entities-bench.sqlite").string();
        db::CreateSQLiteDatabaseFile(file, true);
        database_ = std::make_unique<TDACDatabase>();
        database_->SetODBCConnection(db::SQLiteConnectionString(file), "", "");
        database_->SetConnected(true);
        database_->SetTrueString("True");
        database_->SetFalseString("False");
        FillDatabase(*database_);
        TDACSaver::CreateSingleton(*database_);
    }
    std::unique_ptr<TDACDatabase> database_;
};

void BM_IsApplicationSchemeUsed_UnusedScheme(benchmark::State& state) {
    TDACDatabase& db = BenchDatabase::Get().Db();
    for (auto _ : state) {
        const bool used = IsApplicationSchemeUsed(db, UnusedScheme);
        benchmark::DoNotOptimize(used);
        if (used)
            state.SkipWithError("the unused scheme is used");
    }
}
BENCHMARK(BM_IsApplicationSchemeUsed_UnusedScheme)->Unit(benchmark::kMillisecond);

void BM_ClassifySchemeUsage(benchmark::State& state) {
    TDACDatabase& db = BenchDatabase::Get().Db();
    for (auto _ : state) {
        const int usage = ClassifySchemeUsage(db, 7, 6);
        benchmark::DoNotOptimize(usage);
        if (usage != 3)
            state.SkipWithError("scheme 7 should be shared with valid results");
    }
}
BENCHMARK(BM_ClassifySchemeUsage)->Unit(benchmark::kMillisecond);

void BM_TdcAssessmentsOpen_AllRows(benchmark::State& state) {
    TDACDatabase& db = BenchDatabase::Get().Db();
    TdcAssessments list(db);
    for (auto _ : state) {
        list.Open();
        if (list.Count() != ProjectCount * AssessmentsPerProject)
            state.SkipWithError("wrong number of assessments");
        benchmark::DoNotOptimize(list.Item().ASSESSMENTID());
    }
    list.Close();
}
BENCHMARK(BM_TdcAssessmentsOpen_AllRows)->Unit(benchmark::kMillisecond);

// The same statement, every column read by name with the same conversions, no items.
void BM_PlainQueryLoop_AllRows(benchmark::State& state) {
    TDACDatabase& db = BenchDatabase::Get().Db();
    const std::string sql = TrsAssessments(&db).SQLText();
    const auto& defs = TrsdAssessments::GetSingleton();
    std::vector<std::string> names;
    for (int i = 0; i < defs.FieldCount(); ++i)
        names.push_back(defs.FieldName(i));
    for (auto _ : state) {
        std::unique_ptr<TDACQuery> query = db.CreateQuery();
        query->Open(sql);
        long long rows = 0;
        double sink = 0;
        while (!query->Eof()) {
            for (int i = 0; i < defs.FieldCount(); ++i) {
                const TDACField field = query->FieldByName(names[static_cast<std::size_t>(i)]);
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
            ++rows;
            query->Next();
        }
        query->Close();
        benchmark::DoNotOptimize(sink);
        if (rows != ProjectCount * AssessmentsPerProject)
            state.SkipWithError("wrong number of rows");
    }
}
BENCHMARK(BM_PlainQueryLoop_AllRows)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace parvela

BENCHMARK_MAIN();
