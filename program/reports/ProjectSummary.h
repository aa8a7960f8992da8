#pragma once
// The summary page of a project: one row per assessment with its scenario, substance, scheme,
// validity and the figures of its report blocks, sortable by column in the browser without a
// network connection.

#include <string>

namespace parvela {

class TdciProjects;

// Writes "Project summary - " + caption + ".htm" into the temporary directory and returns its
// path; it is not opened.
std::string WriteProjectSummaryFile(const TdciProjects& project);
// Writes the page and opens it with the desktop's default program.
void WriteProjectSummary(const TdciProjects& project);

// The summary as CSV (CsvExport.h): a header row with the page's column headings, then one
// row per assessment by key; the figures at full precision.
void WriteProjectSummaryCsv(const TdciProjects& project, const std::string& path);
// Where the batch front end writes it: "Project summary - " + caption + ".csv" in the
// temporary directory.
std::string ProjectSummaryCsvPath(const TdciProjects& project);

} // namespace parvela
