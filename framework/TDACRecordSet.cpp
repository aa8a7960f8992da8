#include "framework/TDACRecordSet.h"

#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "framework/TDACFilter.h"
#include "platform/Exceptions.h"

namespace parvela {

namespace {

bool IsComposedName(const std::string& name) {
    return name.find_first_of("()-+*/ ") != std::string::npos;
}

} // namespace

TDACDatabase& TDACRecordSet::CheckedDatabase(const char* className, TDACDatabase* database) {
    if (!database)
        throw Exception(Format("%s.Create: Nil database object", className));
    if (!database->Connected())
        throw Exception(Format("%s.Create: Database not connected", className));
    return *database;
}

TDACRecordSet::TDACRecordSet(const char* className, TDACRecordSetDefs& definitions,
                             TDACDatabase* database, bool inMemoryCopy,
                             const std::vector<std::string>& columns)
    : database_(CheckedDatabase(className, database)), definitions_(definitions),
      inMemoryCopy_(inMemoryCopy) {
    BuildGenerator(SelectedColumns(className, columns));
    query_ = database_.CreateQuery();
}

TDACRecordSet::~TDACRecordSet() {
    if (query_ && query_->IsOpen())
        query_->Close();
}

std::vector<int> TDACRecordSet::SelectedColumns(const char* className,
                                                const std::vector<std::string>& columns) const {
    std::vector<int> selected;
    if (columns.size() == 1 && columns.front() == "*") {
        for (int i = 0; i < definitions_.FieldCount(); ++i)
            selected.push_back(i);
        return selected;
    }
    for (const std::string& column : columns) {
        const std::string name = AsciiUpperCase(column);
        if (IsComposedName(name))
            throw Exception(
                Format("%s.Create: Cannot create composed field \"%s\"", className, name));
        selected.push_back(definitions_.IndexOf(name));
    }
    return selected;
}

void TDACRecordSet::BuildGenerator(const std::vector<int>& selected) {
    for (int index : selected) {
        const std::string name = definitions_.FieldName(index);
        selectExpressions_.push_back(definitions_.IsExpression(index)
                                         ? definitions_.FieldExpression(index) + " AS " + name
                                         : name);
    }
    generator_.SelectFieldsAdd(selectExpressions_);
    generator_.FromSet(definitions_.FromTable());
    if (!TrimText(definitions_.FixedWhere()).empty())
        generator_.WhereSet(definitions_.FixedWhere());
    if (!TrimText(definitions_.FixedGroupBy()).empty())
        generator_.GroupByAdd({definitions_.FixedGroupBy()});
}

void TDACRecordSet::Open() {
    if (open_)
        Close();
    query_->Open(generator_.SQLText());
    hasRecords_ = !query_->Eof();
    open_ = true;
}

void TDACRecordSet::Close() {
    if (!query_->IsOpen())
        throw Exception(Format("%s.Close: Already closed", GetClassName()));
    query_->Close();
    open_ = false;
    hasRecords_ = false;
}

bool TDACRecordSet::Eof() const {
    if (!open_)
        throw Exception(Format("%s.Eof: Recordset not open", GetClassName()));
    return query_->Eof();
}

void TDACRecordSet::Next() {
    if (!open_)
        throw Exception(Format("%s.Next: Recordset not open", GetClassName()));
    query_->Next();
}

TDACField TDACRecordSet::Value(const std::string& columnName) const {
    if (!open_)
        throw Exception(Format("%s.Value: Recordset not open", GetClassName()));
    if (!hasRecords_)
        throw Exception(Format("%s.Value: No records", GetClassName()));
    // Past the last row there is nothing to read: empty values would pass for data.
    if (query_->Eof())
        throw Exception(Format("%s.Value: Past the last record", GetClassName()));
    return query_->FieldByName(columnName);
}

void TDACRecordSet::FilterAdd(const std::string& format, const TVarRecArray& arguments) {
    generator_.FilterAdd(format, arguments);
}

void TDACRecordSet::CheckOpen() const {
    // Every typed reader checks: the message is made only when it fails.
    if (!open_)
        Assert(false, Format("Error: Recordset %s must be open", GetClassName()));
}

TDACField TDACRecordSet::CheckedValue(const std::string& columnName) const {
    CheckOpen();
    return Value(columnName);
}

std::string TDACRecordSet::ReadString(const std::string& columnName) const {
    return CheckedValue(columnName).AsString();
}

std::int32_t TDACRecordSet::ReadInteger(const std::string& columnName) const {
    TDACField field = CheckedValue(columnName);
    return field.IsNull() ? MissingInteger : field.AsInteger();
}

std::int32_t TDACRecordSet::ReadIntegerNullAsZero(const std::string& columnName) const {
    TDACField field = CheckedValue(columnName);
    return field.IsNull() ? 0 : field.AsInteger();
}

double TDACRecordSet::ReadFloat(const std::string& columnName) const {
    TDACField field = CheckedValue(columnName);
    return field.IsNull() ? MissingReal : field.AsFloat();
}

TDateTime TDACRecordSet::ReadDateTime(const std::string& columnName) const {
    TDACField field = CheckedValue(columnName);
    return field.IsNull() ? MissingReal : field.AsDateTime();
}

bool TDACRecordSet::ReadTextBoolean(const std::string& columnName) const {
    return database_.StrToBoolean(CheckedValue(columnName).AsString());
}

bool TDACRecordSet::ReadBoolean(const std::string& columnName) const {
    return CheckedValue(columnName).AsBoolean();
}

} // namespace parvela
