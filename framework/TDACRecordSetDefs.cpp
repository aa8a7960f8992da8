#include "framework/TDACRecordSetDefs.h"

#include "framework/Format.h"
#include "framework/TDACFilter.h"
#include "platform/Exceptions.h"

namespace parvela {

const char* FieldTypeName(TFieldType type) {
    switch (type) {
    case ftString:
        return "ftString";
    case ftInteger:
        return "ftInteger";
    case ftBoolean:
        return "ftBoolean";
    case ftFloat:
        return "ftFloat";
    case ftDateTime:
        return "ftDateTime";
    default:
        return "ftUnknown";
    }
}

void TDACRecordSetDefs::Add(const std::string& name, TFieldType fieldType, TDACFieldOrigin origin) {
    const std::string trimmed = TrimText(name);
    Assert(!trimmed.empty(), "TRecordSetDefs.Add: Empty fieldname");
    Assert(origin != TDACFieldOrigin::foExpression,
           "TRecordSetDefs.Add: Field Expression cannot be defined with Add method, use "
           "AddFieldExpression.");
    columns_.push_back({AsciiUpperCase(trimmed), "", false, fieldType, origin});
}

void TDACRecordSetDefs::AddExpressionField(const std::string& name, TFieldType fieldType,
                                           const std::string& expression) {
    const std::string trimmed = TrimText(name);
    Assert(!trimmed.empty(), "TDACRecordSetDefs.AddExpressionField: Empty fieldname");
    Assert(!TrimText(expression).empty(),
           "TDACRecordSetDefs.AddExpressionField: Empty field expression");
    columns_.push_back(
        {AsciiUpperCase(trimmed), expression, true, fieldType, TDACFieldOrigin::foExpression});
}

std::string TDACRecordSetDefs::FieldName(int index) const {
    return ColumnAt(index).name;
}

std::string TDACRecordSetDefs::FieldExpression(int index) const {
    return ColumnAt(index).expression;
}

bool TDACRecordSetDefs::IsExpression(int index) const {
    return ColumnAt(index).isExpression;
}

TFieldType TDACRecordSetDefs::FieldType(int index) const {
    return ColumnAt(index).fieldType;
}

TDACFieldOrigin TDACRecordSetDefs::FieldOrigin(int index) const {
    return ColumnAt(index).origin;
}

int TDACRecordSetDefs::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (SameTextIgnoringCase(columns_[i].name, name))
            return static_cast<int>(i);
    throw Exception(Format("TRecordSetDefs.IndexOf: Field \"%s\" not found", name));
}

int TDACRecordSetDefs::IndexOf(int index) const {
    if (index < 0 || index >= FieldCount())
        throw Exception(Format("TRecordSetDefs.IndexOf: Field \"%d\" not found", index));
    return index;
}

} // namespace parvela
