#include "framework/TDACSaver.h"

#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "framework/TDACDatabase.h"
#include "framework/TDACFilter.h"
#include "platform/Exceptions.h"

#include <algorithm>

namespace parvela {

namespace {

constexpr const char* NullText = "NULL";

bool IsBlank(const std::string& text) {
    return TrimText(text).empty();
}

void AssertNotBlank(const std::string& text) {
    Assert(!IsBlank(text));
}

std::string JoinColumn(const TDACSaver::TColumnList& columns, bool names) {
    std::string text;
    for (const auto& [name, value] : columns) {
        if (!text.empty())
            text += ",";
        text += names ? name : value;
    }
    return text;
}

} // namespace

std::string FloatToSQL(double value) {
    return IsMissingReal(value) ? NullText : FloatToStrGeneral(value, 15);
}

std::string IntegerToSQL(std::int32_t value) {
    return IsMissingInteger(value) ? NullText : Format("%d", value);
}

std::string StringToSQL(const std::string& value) {
    return QuotedSQLText(value);
}

void TDACSaver::AddField(const std::string& name, std::string sqlText, bool changed) {
    CheckSingletonExists();
    AssertNotBlank(name);
    allColumns_.emplace_back(name, sqlText);
    if (changed)
        changedColumns_.emplace_back(name, std::move(sqlText));
}

void TDACSaver::AddFloatField(const std::string& name, double stored, double current) {
    AddField(name, FloatToSQL(current), stored != current);
}

void TDACSaver::AddIntegerField(const std::string& name, std::int32_t stored,
                                std::int32_t current) {
    AddField(name, IntegerToSQL(current), stored != current);
}

void TDACSaver::AddStringField(const std::string& name, const std::string& stored,
                               const std::string& current) {
    AddField(name, StringToSQL(current), stored != current);
}

void TDACSaver::AddBooleanField(const std::string& name, bool stored, bool current) {
    AddField(name, database_.BooleanToStr(current), stored != current);
}

void TDACSaver::AddDateTimeField(const std::string& name, TDateTime stored, TDateTime current) {
    std::string text = database_.DateTimeToSQL(current);
    AddField(name, IsBlank(text) ? NullText : text, stored != current);
}

void TDACSaver::MarkChanged(const std::string& name) {
    const auto named = [&](const auto& column) { return column.first == name; };
    if (std::any_of(changedColumns_.begin(), changedColumns_.end(), named))
        return;
    const auto column = std::find_if(allColumns_.begin(), allColumns_.end(), named);
    Assert(column != allColumns_.end(), Format("TDACSaver.MarkChanged: no column %s", name));
    changedColumns_.push_back(*column);
}

void TDACSaver::ClearFieldLists() {
    allColumns_.clear();
    changedColumns_.clear();
}

bool TDACSaver::RowExists(const std::string& table, const std::string& keyField,
                          const std::string& keyText) {
    CheckSingletonExists();
    const std::int64_t count =
        database_.SelectValue("COUNT(*)", table, Format("%s=%s", keyField, keyText)).AsInteger();
    if (count != 0 && count != 1)
        throw Exception("internal error");
    return count == 1;
}

void TDACSaver::ExecuteAndClear(const std::string& statement) {
    ClearFieldLists();
    database_.ExecSQL(statement);
}

void TDACSaver::InsertRowWithKey(const std::string& table, const std::string& keyField,
                                 const std::string& keyText) {
    CheckSingletonExists();
    AssertNotBlank(table);
    AssertNotBlank(keyField);
    AssertNotBlank(keyText);
    Assert(!allColumns_.empty());
    std::string statement = Format("INSERT INTO %s (%s", table, keyField);
    for (const auto& column : allColumns_)
        statement += Format(",%s", column.first);
    statement += Format(") VALUES(%s", keyText);
    for (const auto& column : allColumns_)
        statement += Format(",%s", column.second);
    ExecuteAndClear(statement + ")");
}

void TDACSaver::InsertRow(const std::string& table) {
    CheckSingletonExists();
    AssertNotBlank(table);
    Assert(!allColumns_.empty());
    ExecuteAndClear(Format("INSERT INTO %s (", table) + JoinColumn(allColumns_, true) +
                    ") VALUES(" + JoinColumn(allColumns_, false) + ")");
}

void TDACSaver::UpdateRow(const std::string& table, const std::string& keyField,
                          const std::string& keyText) {
    CheckSingletonExists();
    AssertNotBlank(table);
    AssertNotBlank(keyField);
    AssertNotBlank(keyText);
    Assert(HasChangedFields());
    Assert(RowExists(table, keyField, keyText));
    std::string statement = Format("UPDATE %s SET ", table);
    for (std::size_t i = 0; i < changedColumns_.size(); ++i) {
        if (i > 0)
            statement += ",";
        statement += Format("%s=%s", changedColumns_[i].first, changedColumns_[i].second);
    }
    ExecuteAndClear(statement + Format(" WHERE %s=%s", keyField, keyText));
}

void TDACSaver::DeleteRow(const std::string& table, const std::string& keyField,
                          const std::string& keyText) {
    CheckSingletonExists();
    AssertNotBlank(table);
    AssertNotBlank(keyField);
    AssertNotBlank(keyText);
    Assert(allColumns_.empty() && changedColumns_.empty());
    Assert(RowExists(table, keyField, keyText));
    database_.ExecSQL(Format("DELETE FROM %s WHERE %s=%s", table, keyField, keyText));
}

} // namespace parvela
