#include "tests/support/TestDatabase.h"

#include "db/DatabaseCreator.h"

#include <atomic>
#include <cctype>
#include <filesystem>
#include <unistd.h>

namespace parvela::test {

namespace {

namespace fs = std::filesystem;

fs::path WorkDirectory() {
    fs::path dir = fs::path(PARVELA_TEST_WORK_DIR) / "databases";
    fs::create_directories(dir);
    return dir;
}

std::string ProcessTag() {
    return std::to_string(::getpid());
}

// One SQLite file with the schema per test process, copied for each test.
class SQLiteTemplate {
public:
    SQLiteTemplate() : path_(WorkDirectory() / ("template-" + ProcessTag() + ".sqlite")) {
        db::CreateSQLiteDatabaseFile(path_.string(), true);
    }
    ~SQLiteTemplate() {
        std::error_code error;
        fs::remove(path_, error);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

std::string CurrentTestLabel() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string label = info ? std::string(info->test_suite_name()) + "." + info->name() : "db";
    for (char& c : label)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_')
            c = '_';
    return label;
}

std::string NewSQLiteFile(Content content) {
    static std::atomic<int> counter{0};
    const fs::path file = WorkDirectory() / (CurrentTestLabel() + "-" + ProcessTag() + "-" +
                                             std::to_string(++counter) + ".sqlite");
    fs::remove(file);
    if (content == Content::Schema) {
        static SQLiteTemplate schemaTemplate;
        fs::copy_file(schemaTemplate.Path(), file);
    }
    // An empty database file is made by the driver at the first connection.
    return file.string();
}

std::unique_ptr<TDACDatabase> ConnectedDatabase(const std::string& connectionString) {
    auto database = std::make_unique<TDACDatabase>();
    database->SetODBCConnection(connectionString, "", "");
    database->SetConnected(true);
    database->SetTrueString("True");
    database->SetFalseString("False");
    return database;
}

} // namespace

std::string EngineLabel(Engine engine) {
    return engine == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

TestDatabase::TestDatabase(Engine engine, Content content) : engine_(engine) {
    if (engine == Engine::SQLite) {
        sqliteFile_ = NewSQLiteFile(content);
        connectionString_ = db::SQLiteConnectionString(sqliteFile_);
    } else {
        pgDatabase_ = CreatePgTestDatabase(content == Content::Schema);
        connectionString_ = pgDatabase_.ConnectionString;
    }
    database_ = ConnectedDatabase(connectionString_);
}

TestDatabase::~TestDatabase() {
    database_.reset();
    try {
        if (!pgDatabase_.Schema.empty())
            DropPgTestDatabase(pgDatabase_);
    } catch (const std::exception&) {
        // the server goes away with the test run anyway
    }
    if (!sqliteFile_.empty()) {
        std::error_code error;
        fs::remove(sqliteFile_, error);
    }
}

std::unique_ptr<TDACDatabase> TestDatabase::Connect() const {
    return ConnectedDatabase(connectionString_);
}

void TestDatabase::RunRawSQL(const std::string& sql) const {
    test::RunRawSQL(connectionString_, sql);
}

std::vector<TRow> TestDatabase::QueryRows(const std::string& sql) const {
    return test::QueryRows(connectionString_, sql);
}

void DatabaseTest::SetUp() {
    database_ = std::make_unique<TestDatabase>(GetParam(), DatabaseContent());
}

void DatabaseTest::TearDown() {
    database_.reset();
}

std::string EngineParamName(const ::testing::TestParamInfo<Engine>& info) {
    return EngineLabel(info.param);
}

} // namespace parvela::test
