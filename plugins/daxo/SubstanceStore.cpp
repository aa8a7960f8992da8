#include "plugins/daxo/SubstanceStore.h"

#include "plugins/daxo/ExampleSubstances.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace daxo {

namespace {

constexpr const char* SchemaSql = R"sql(
CREATE TABLE IF NOT EXISTS substances (
  guid TEXT PRIMARY KEY,
  is_metabolite INTEGER NOT NULL DEFAULT 0,
  position INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS attributes (
  guid TEXT NOT NULL REFERENCES substances(guid) ON DELETE CASCADE,
  name TEXT NOT NULL COLLATE NOCASE,
  value TEXT NOT NULL,
  position INTEGER NOT NULL,
  PRIMARY KEY (guid, name));
CREATE TABLE IF NOT EXISTS metabolites (
  parent_guid TEXT NOT NULL REFERENCES substances(guid) ON DELETE CASCADE,
  metabolite_guid TEXT NOT NULL REFERENCES substances(guid) ON DELETE CASCADE,
  compartment INTEGER NOT NULL,
  fraction TEXT NOT NULL,
  position INTEGER NOT NULL,
  PRIMARY KEY (parent_guid, metabolite_guid, compartment));
)sql";

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw DatabaseError(std::string("Substance database: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, const std::string& text) {
        Check(sqlite3_bind_text(stmt_, index, text.c_str(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Bind(int index, int value) {
        Check(sqlite3_bind_int(stmt_, index, value));
        return *this;
    }
    // True while there is a row.
    bool Step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            Check(rc);
        return false;
    }
    void Run() {
        Step();
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    std::string Text(int column) const {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text ? std::string(text, sqlite3_column_bytes(stmt_, column)) : std::string();
    }
    int Int(int column) const { return sqlite3_column_int(stmt_, column); }

private:
    void Check(int rc) const {
        if (rc != SQLITE_OK)
            throw DatabaseError(std::string("Substance database: ") + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace

SubstanceStore::SubstanceStore(const std::string& path) : path_(path) {
    std::error_code ignored;
    bool isNew = !std::filesystem::exists(path, ignored);
    int rc =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DatabaseError("Cannot open the substance database " + path + ": " + message);
    }
    try {
        sqlite3_busy_timeout(db_, 5000);
        Execute("PRAGMA foreign_keys = ON");
        CreateTables();
        if (isNew)
            SaveAll(ExampleSubstances());
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

SubstanceStore::~SubstanceStore() {
    sqlite3_close(db_);
}

void SubstanceStore::Execute(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown failure";
        sqlite3_free(error);
        throw DatabaseError("Substance database " + path_ + ": " + message);
    }
}

void SubstanceStore::CreateTables() {
    Execute(SchemaSql);
}

std::vector<std::string> SubstanceStore::ActiveSubstanceGuids() const {
    Statement query(db_, "SELECT guid FROM substances WHERE is_metabolite = 0 "
                         "ORDER BY position, guid");
    std::vector<std::string> guids;
    while (query.Step())
        guids.push_back(query.Text(0));
    return guids;
}

Substance SubstanceStore::LoadRow(const std::string& guid, bool isMetabolite) const {
    Substance substance;
    substance.guid = guid;
    substance.isMetabolite = isMetabolite;
    Statement attributes(db_, "SELECT name, value FROM attributes WHERE guid = ? "
                              "ORDER BY position, name");
    attributes.Bind(1, guid);
    while (attributes.Step())
        substance.attributes.push_back({attributes.Text(0), attributes.Text(1)});
    Statement links(db_, "SELECT metabolite_guid, compartment, fraction FROM metabolites "
                         "WHERE parent_guid = ? ORDER BY position, metabolite_guid");
    links.Bind(1, guid);
    while (links.Step())
        substance.metabolites.push_back({links.Text(0), links.Int(1), links.Text(2)});
    return substance;
}

std::optional<Substance> SubstanceStore::Load(const std::string& guid) const {
    Statement query(db_, "SELECT is_metabolite FROM substances WHERE guid = ?");
    query.Bind(1, guid);
    if (!query.Step())
        return std::nullopt;
    return LoadRow(guid, query.Int(0) != 0);
}

std::vector<MetaboliteLink> SubstanceStore::Metabolites(const std::string& parentGuid,
                                                        int compartment) const {
    Statement query(db_, "SELECT metabolite_guid, compartment, fraction FROM metabolites "
                         "WHERE parent_guid = ? AND compartment = ? "
                         "ORDER BY position, metabolite_guid");
    query.Bind(1, parentGuid).Bind(2, compartment);
    std::vector<MetaboliteLink> links;
    while (query.Step())
        links.push_back({query.Text(0), query.Int(1), query.Text(2)});
    return links;
}

SubstanceCollection SubstanceStore::LoadAll() const {
    Statement query(db_, "SELECT guid, is_metabolite FROM substances ORDER BY position, guid");
    SubstanceCollection collection;
    while (query.Step())
        collection.substances.push_back(LoadRow(query.Text(0), query.Int(1) != 0));
    return collection;
}

void SubstanceStore::SaveAll(const SubstanceCollection& collection) {
    Execute("BEGIN IMMEDIATE");
    try {
        Execute("DELETE FROM metabolites; DELETE FROM attributes; DELETE FROM substances;");
        Statement substance(db_, "INSERT INTO substances (guid, is_metabolite, position) "
                                 "VALUES (?, ?, ?)");
        Statement attribute(db_, "INSERT INTO attributes (guid, name, value, position) "
                                 "VALUES (?, ?, ?, ?)");
        Statement link(db_, "INSERT INTO metabolites (parent_guid, metabolite_guid, "
                            "compartment, fraction, position) VALUES (?, ?, ?, ?, ?)");
        int position = 0;
        for (const auto& s : collection.substances)
            substance.Bind(1, s.guid).Bind(2, s.isMetabolite ? 1 : 0).Bind(3, position++).Run();
        for (const auto& s : collection.substances) {
            int index = 0;
            for (const auto& a : s.attributes)
                attribute.Bind(1, s.guid).Bind(2, a.name).Bind(3, a.value).Bind(4, index++).Run();
            index = 0;
            for (const auto& m : s.metabolites)
                link.Bind(1, s.guid)
                    .Bind(2, m.metaboliteGuid)
                    .Bind(3, m.compartment)
                    .Bind(4, m.fraction)
                    .Bind(5, index++)
                    .Run();
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace daxo

namespace daxo {

void SeedDatabase(const std::string& delivered, const std::string& copy) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(copy, error))
        return;
    fs::create_directories(fs::path(copy).parent_path());
    if (!fs::is_regular_file(delivered, error))
        return;
    // Copied beside the target and renamed onto it, so that a second process starting at the
    // same moment never opens half a file.
    const std::string partial = copy + ".partial-" + std::to_string(::getpid());
    fs::copy_file(delivered, partial, fs::copy_options::overwrite_existing);
    fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    fs::rename(partial, copy, error);
    if (error) {
        fs::remove(partial);
        throw DatabaseError("Cannot make the substance database " + copy + ": " + error.message());
    }
}

} // namespace daxo
