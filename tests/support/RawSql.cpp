#include "tests/support/RawSql.h"

#include "framework/odbc/Connection.h"
#include "framework/odbc/ForwardQuery.h"

namespace parvela::test {

namespace {

odbc::ConnectionOptions OptionsFor(const std::string& connectionString) {
    odbc::ConnectionOptions options;
    options.Database = connectionString;
    return options;
}

} // namespace

void RunRawSQL(const std::string& connectionString, const std::string& sql) {
    odbc::Connection connection;
    connection.Configure(OptionsFor(connectionString));
    connection.Open();
    connection.ExecDirect(sql);
}

std::vector<TRow> QueryRows(const std::string& connectionString, const std::string& sql) {
    odbc::Connection connection;
    connection.Configure(OptionsFor(connectionString));
    connection.Open();
    odbc::ForwardQuery query(connection, nullptr);
    std::vector<TRow> rows;
    for (query.Open(sql); !query.Eof(); query.Next()) {
        TRow row;
        for (int column = 0; column < query.FieldCount(); ++column)
            row.push_back(query.Value(column));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> QueryColumnNames(const std::string& connectionString,
                                          const std::string& sql) {
    odbc::Connection connection;
    connection.Configure(OptionsFor(connectionString));
    connection.Open();
    odbc::ForwardQuery query(connection, nullptr);
    query.Open(sql);
    std::vector<std::string> names;
    for (int column = 0; column < query.FieldCount(); ++column)
        names.push_back(query.FieldName(column));
    return names;
}

} // namespace parvela::test
