#pragma once
// Turns the columns of one item into one INSERT, UPDATE or DELETE and runs it. The item's
// PrepareSave clears the lists and hands over every written column; the statement operation
// builds the statement, empties the lists and executes it. No transaction is opened.

#include "framework/DateTime.h"
#include "framework/Singleton.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace parvela {

class TDACDatabase;

class TDACSaver : public TSingleton<TDACSaver> {
public:
    static constexpr const char* ClassName = "TDACSaver";
    using TColumnList = std::vector<std::pair<std::string, std::string>>;

    // Column hand-over: name, stored value, current value. The current value is rendered
    // as SQL text; the stored value only decides whether the column changed.
    void AddFloatField(const std::string& name, double stored, double current);
    void AddIntegerField(const std::string& name, std::int32_t stored, std::int32_t current);
    void AddStringField(const std::string& name, const std::string& stored,
                        const std::string& current);
    void AddBooleanField(const std::string& name, bool stored, bool current);
    void AddDateTimeField(const std::string& name, TDateTime stored, TDateTime current);

    // Hands the column over as changed whatever its stored value said, so that its current
    // value is written: the stored value may be a stale copy of what another program wrote.
    void MarkChanged(const std::string& name);
    void ClearFieldLists();
    bool HasChangedFields() const { return !changedColumns_.empty(); }
    bool RowExists(const std::string& table, const std::string& keyField,
                   const std::string& keyText);

    void InsertRowWithKey(const std::string& table, const std::string& keyField,
                          const std::string& keyText);
    void InsertRow(const std::string& table);
    void UpdateRow(const std::string& table, const std::string& keyField,
                   const std::string& keyText);
    void DeleteRow(const std::string& table, const std::string& keyField,
                   const std::string& keyText);

    const TColumnList& AllColumns() const { return allColumns_; }
    const TColumnList& ChangedColumns() const { return changedColumns_; }
    TDACDatabase& Database() const { return database_; }

private:
    friend class TSingleton<TDACSaver>;
    explicit TDACSaver(TDACDatabase& database) : database_(database) {}

    void AddField(const std::string& name, std::string sqlText, bool changed);
    void ExecuteAndClear(const std::string& statement);

    TDACDatabase& database_;
    TColumnList allColumns_;
    TColumnList changedColumns_;
};

// SQL texts of values, as the saver writes them.
std::string FloatToSQL(double value);
std::string IntegerToSQL(std::int32_t value);
std::string StringToSQL(const std::string& value);

} // namespace parvela
