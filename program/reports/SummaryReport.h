#pragma once
// The summary report of one assessment: which program and plug-in versions made it, which
// assessment and scenario it is about, and then the error message or the models' report
// blocks.

#include <string>
#include <vector>

namespace parvela {

class TCordessaReport;
class TdciAssessments;

// Writes the page into the temporary directory and returns its path; it is not opened.
std::string WriteSummaryReportFile(const TdciAssessments& assessment);
// Writes the page and opens it with the desktop's default program; always true.
bool WriteSummaryReport(const TdciAssessments& assessment);

// The assessment's run directory; empty without the model manager's layout.
std::string ReportRunDirectory(const TdciAssessments& assessment);

// The versions of the program and the plug-in, the moment of writing and an empty line.
void AddReportHeaderLines(TCordessaReport& report);

// The report text cut at every "@": the text before the first one, each text between two,
// and a non-empty rest.
std::vector<std::string> SplitReportText(const std::string& text);

} // namespace parvela
