#include "framework/odbc/ForwardQuery.h"

#include "framework/Format.h"
#include "framework/odbc/AsciiText.h"
#include "framework/odbc/Connection.h"
#include "platform/Exceptions.h"

namespace parvela::odbc {

namespace {} // namespace

ForwardQuery::ForwardQuery(Connection& connection, StatementObserver onExecute)
    : connection_(connection), onExecute_(std::move(onExecute)) {}

void ForwardQuery::Open(const std::string& sql) {
    Close();
    if (onExecute_)
        onExecute_(sql);
    auto statement = std::make_unique<Statement>(connection_);
    statement->ExecDirect(sql);
    columns_ = statement->Columns();
    statement_ = std::move(statement);
    open_ = true;
    eof_ = false;
    try {
        FetchRow();
    } catch (...) {
        Close();
        throw;
    }
}

void ForwardQuery::Close() {
    statement_.reset();
    columns_.clear();
    row_.clear();
    open_ = false;
    eof_ = true;
}

void ForwardQuery::Next() {
    if (!open_ || eof_)
        return;
    FetchRow();
}

void ForwardQuery::FetchRow() {
    row_.clear();
    if (columns_.empty() || !statement_->Fetch()) {
        // Past the last row the statement is released at once: an open SQLite cursor would
        // keep the database locked.
        statement_.reset();
        eof_ = true;
        return;
    }
    row_.reserve(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i)
        row_.push_back(statement_->Value(static_cast<SQLUSMALLINT>(i + 1), columns_[i].Kind));
}

int ForwardQuery::FieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (EqualsIgnoringCase(columns_[i].Name, name))
            return static_cast<int>(i);
    throw EDatabaseError(Format("Field '%s' not found", name));
}

TDACField ForwardQuery::FieldByName(const std::string& name) const {
    const int index = FieldIndex(name);
    // Without a current row every column reads as null.
    if (eof_)
        return TDACField(TVariant());
    return TDACField(row_[static_cast<std::size_t>(index)]);
}

void ForwardQuery::CheckIndex(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError(Format("Field index %d out of range", index));
}

std::string ForwardQuery::FieldName(int index) const {
    CheckIndex(index);
    return columns_[static_cast<std::size_t>(index)].Name;
}

TVariant ForwardQuery::Value(int index) const {
    CheckIndex(index);
    return eof_ ? TVariant() : row_[static_cast<std::size_t>(index)];
}

} // namespace parvela::odbc
