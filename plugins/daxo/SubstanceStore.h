#pragma once
// The stand-in's substance database: one SQLite file. Every read goes to the file, so that
// changes saved by the editor (or by another process) are seen at once.

#include "plugins/daxo/SubstanceData.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace daxo {

class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SubstanceStore {
public:
    // Opens the file, creating it with its tables when it does not exist; a new file is
    // filled with the example substances.
    explicit SubstanceStore(const std::string& path);
    ~SubstanceStore();
    SubstanceStore(const SubstanceStore&) = delete;
    SubstanceStore& operator=(const SubstanceStore&) = delete;

    const std::string& Path() const { return path_; }

    // The active substances (not the metabolites), in their stored order.
    std::vector<std::string> ActiveSubstanceGuids() const;
    std::optional<Substance> Load(const std::string& guid) const;
    // The direct metabolites of the parent formed in the compartment, in their stored order.
    std::vector<MetaboliteLink> Metabolites(const std::string& parentGuid, int compartment) const;

    SubstanceCollection LoadAll() const;
    // Replaces the whole content in one transaction.
    void SaveAll(const SubstanceCollection& collection);

private:
    void Execute(const char* sql);
    void CreateTables();
    Substance LoadRow(const std::string& guid, bool isMetabolite) const;

    std::string path_;
    sqlite3* db_ = nullptr;
};

// Makes `copy` a copy of the database `delivered` unless `copy` exists already; the copy
// appears whole or not at all. Without a delivered file nothing is copied, and the store made
// at `copy` starts with the example substances. Missing directories are created.
void SeedDatabase(const std::string& delivered, const std::string& copy);

} // namespace daxo
