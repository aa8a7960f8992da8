// The model input format: keyword lines "value Keyword (unit) ! comment", tables
// "table [horizon] Name (unit)" ... "end_table", comment lines starting with "*".
#pragma once

#include "models/common/Dates.h"
#include "models/common/Issues.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace parvela::models {

struct KeywordLine {
    std::string keyword;
    std::string value;
    std::string unit;
    int line = 0;
};

struct TableRow {
    std::vector<std::string> words;
    int line = 0;
};

struct Table {
    std::string name;
    std::string unit;
    bool horizon = false;
    int line = 0;
    std::vector<TableRow> rows;
};

// Bounds of a number; a number outside them is reported.
struct Range {
    double low;
    double high;
    bool lowIncluded = true;
};
inline constexpr Range AnyNumber{-1e300, 1e300};
inline constexpr Range NonNegative{0, 1e300};
inline constexpr Range Positive{0, 1e300, false};
inline constexpr Range Fraction{0, 1};

class InputFile {
public:
    // Throws FileError when the file cannot be read; format faults go to issues.
    static InputFile Read(const std::filesystem::path& path, Issues& issues);
    static InputFile Parse(const std::string& fileName, const std::vector<std::string>& lines,
                           Issues& issues);

    const std::string& FileName() const { return fileName_; }
    // Keywords and table names are matched without regard to letter case.
    const KeywordLine* Find(const std::string& keyword) const;
    const Table* FindTable(const std::string& name) const;

    // The typed readers report a missing keyword or a bad value and then return nothing.
    std::optional<std::string> RequireText(const std::string& keyword, Issues& issues) const;
    std::optional<double> RequireNumber(const std::string& keyword, Range range,
                                        Issues& issues) const;
    std::optional<Day> RequireDate(const std::string& keyword, Issues& issues) const;
    // "Yes" or "No" (also "True" or "False"), any letter case.
    std::optional<bool> RequireYesNo(const std::string& keyword, Issues& issues) const;
    // The same for an option that may be left out.
    std::optional<bool> OptionalYesNo(const std::string& keyword, bool absent,
                                      Issues& issues) const;
    const Table* RequireTable(const std::string& name, Issues& issues) const;

    // A value of a table row or keyword line checked against a range; reports faults.
    std::optional<double> CheckNumber(const std::string& what, const std::string& text, int line,
                                      Range range, Issues& issues) const;

private:
    void AddKeyword(KeywordLine keyword, Issues& issues);
    void AddTable(Table table, Issues& issues);

    std::string fileName_;
    std::map<std::string, KeywordLine> keywords_;
    std::map<std::string, Table> tables_;
};

} // namespace parvela::models
