#pragma once
// Tables for spreadsheets: RFC 4180 (fields separated by commas, every line ended by CR LF, a
// field that holds a comma, a double quote or a line break enclosed in double quotes with
// its double quotes doubled), UTF-8, a header row first; numbers with "." at full precision.

#include <string>
#include <vector>

namespace parvela {

class TdciAssessments;

using TCsvRow = std::vector<std::string>;

// A field as written: quoted where it must be.
std::string CsvField(const std::string& text);
// The shortest text that reads back as the same double, "." whatever the locale; empty for a
// value that is not a finite number.
std::string CsvNumber(double value);
// Writes the rows, replacing an existing file; raises EOSError when it cannot be written.
void WriteCsvFile(const std::string& path, const std::vector<TCsvRow>& rows);
// `name` + ".csv" in the temporary directory, beside the report pages.
std::string CsvExportPath(const std::string& name);

// The daily output of both models: a row per day ("yyyy-mm-dd"), a column per value column
// of each model, headed with the model, the column's name and its unit ("GLIDAR DepPnd
// (mm)"). Raises an Exception when neither model left daily output.
void WriteDailySeriesCsv(const TdciAssessments& assessment, const std::string& path);
// Where the batch front end writes it: the caption + " - daily series.csv".
std::string DailySeriesCsvPath(const TdciAssessments& assessment);

} // namespace parvela
