#include "framework/TDACSQLGenerator.h"

#include "platform/Exceptions.h"

namespace parvela {

namespace {

void AppendFields(std::vector<std::string>& target, const std::vector<std::string>& fields,
                  const char* operation) {
    for (const std::string& field : fields) {
        if (field.empty())
            throw Exception(std::string("TDACSQLGenerator.") + operation + ": Empty field.");
        target.push_back(field);
    }
}

std::string JoinWithComma(const std::vector<std::string>& fields) {
    std::string text;
    for (const std::string& field : fields) {
        if (!text.empty())
            text += ",";
        text += field;
    }
    return text;
}

} // namespace

std::string JoinLinesCRLF(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

void TDACSQLGenerator::SelectFieldsAdd(const std::vector<std::string>& fields) {
    AppendFields(selectFields_, fields, "SelectFieldsAdd");
}

void TDACSQLGenerator::FromSet(const std::string& from) {
    if (from.empty())
        throw Exception("TDACSQLGenerator.FromSet: No SQL FROM string given.");
    from_ = from;
}

void TDACSQLGenerator::WhereSet(const std::string& where) {
    if (where.empty())
        throw Exception("TDACSQLGenerator.WhereSet: No SQL WHERE string given.");
    where_ = where;
}

void TDACSQLGenerator::FilterAdd(const std::string& format, const TVarRecArray& arguments) {
    filter_.FilterAdd(format, arguments);
}

void TDACSQLGenerator::GroupByAdd(const std::vector<std::string>& fields) {
    AppendFields(groupFields_, fields, "GroupByAdd");
}

void TDACSQLGenerator::OrderByAdd(const std::vector<std::string>& fields) {
    AppendFields(orderFields_, fields, "OrderByAdd");
}

std::vector<std::string> TDACSQLGenerator::SQLStrings() const {
    Assert(!selectFields_.empty(), "TDACSQLGenerator.SQLStrings: No fields selected.");
    std::vector<std::string> lines;
    const std::size_t last = selectFields_.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        std::string line = i == 0 ? "SELECT " + selectFields_[i] : selectFields_[i];
        if (i < last)
            line += ",";
        lines.push_back(line);
    }
    lines.push_back("FROM " + from_);
    if (!where_.empty())
        lines.push_back("WHERE " + where_);
    const std::string filterText = filter_.FilterText();
    if (!filterText.empty())
        lines.push_back((where_.empty() ? "WHERE " : "AND ") + filterText);
    if (!groupFields_.empty())
        lines.push_back("GROUP BY " + JoinWithComma(groupFields_));
    if (!orderFields_.empty())
        lines.push_back("ORDER BY " + JoinWithComma(orderFields_));
    return lines;
}

std::string TDACSQLGenerator::SQLText() const {
    return JoinLinesCRLF(SQLStrings());
}

} // namespace parvela
