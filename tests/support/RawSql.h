#pragma once
// SQL run on a connection of its own, behind the back of the program's database object:
// for tests that prepare rows the program would never write (NULLs, orphans) or that check
// what really is in the database.

#include "framework/Variant.h"

#include <string>
#include <vector>

namespace parvela::test {

using TRow = std::vector<TVariant>;

void RunRawSQL(const std::string& connectionString, const std::string& sql);
// Every row of a query, each with its columns in the order of the select list.
std::vector<TRow> QueryRows(const std::string& connectionString, const std::string& sql);
// The column names of a query's result, as the driver reports them.
std::vector<std::string> QueryColumnNames(const std::string& connectionString,
                                          const std::string& sql);

} // namespace parvela::test
