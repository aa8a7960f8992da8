#pragma once
// A forward-only query: each row is read into memory when the cursor reaches it, so that
// columns can be read in any order and as often as wanted.

#include "framework/TDACDatabase.h"
#include "framework/odbc/Statement.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parvela::odbc {

class Connection;

class ForwardQuery final : public TDACQuery {
public:
    using StatementObserver = std::function<void(const std::string&)>;

    // `onExecute` sees every statement before it runs.
    ForwardQuery(Connection& connection, StatementObserver onExecute);

    void Open(const std::string& sql) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool Eof() const override { return eof_; }
    void Next() override;
    TDACField FieldByName(const std::string& name) const override;
    int FieldCount() const override { return static_cast<int>(columns_.size()); }
    std::string FieldName(int index) const override;
    // A column of the current row by position (from 0); null without a current row.
    TVariant Value(int index) const;

private:
    void FetchRow();
    int FieldIndex(const std::string& name) const;
    void CheckIndex(int index) const;

    Connection& connection_;
    StatementObserver onExecute_;
    std::unique_ptr<Statement> statement_;
    std::vector<ColumnInfo> columns_;
    std::vector<TVariant> row_;
    bool open_ = false;
    bool eof_ = true;
};

} // namespace parvela::odbc
