#include "program/reports/ProjectSummary.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/Format.h"
#include "program/connection/ProgramIdentity.h"
#include "program/plugin/DAXOTextList.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/CsvExport.h"
#include "program/reports/ReportFigures.h"
#include "program/reports/SummaryReport.h"
#include "program/reports/TCordessaReport.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModel.h"

#include <memory>
#include <optional>
#include <vector>

namespace parvela {

namespace {

// The columns of the page's table and of the CSV file.
const char* const ColumnHeadings[] = {"ID",
                                      "Caption",
                                      "Scenario",
                                      "Substance",
                                      "Application scheme",
                                      "Results",
                                      "Metabolites",
                                      "Max. paddy water (ug.L-1)",
                                      "Pond global max. (ug.L-1)",
                                      "Pond 21-day TWA (ug.L-1)"};

// Sorts the rows by the column whose heading is clicked, a second click the other way round.
// Cells with a data-sort attribute sort as numbers, empty ones last; the others as text.
const char* const SortScript[] = {
    "<SCRIPT type=\"text/javascript\">",
    "(function () {",
    "  var table = document.getElementById(\"ProjectSummary\");",
    "  var body = table.tBodies[0], headings = table.tHead.rows[0].cells;",
    "  var column = -1, direction = 1;",
    "  function key(row) {",
    "    var cell = row.cells[column], number = cell.getAttribute(\"data-sort\");",
    "    if (number === null) return cell.textContent.toLowerCase();",
    "    return number === \"\" ? null : parseFloat(number);",
    "  }",
    "  function compare(a, b) {",
    "    var x = key(a), y = key(b);",
    "    if (x === null || y === null) return (x === null) - (y === null);",
    "    return (x < y ? -1 : x > y ? 1 : 0) * direction;",
    "  }",
    "  function sortBy(index) {",
    "    direction = index === column ? -direction : 1;",
    "    column = index;",
    "    var rows = Array.prototype.slice.call(body.rows).sort(compare);",
    "    for (var r = 0; r < rows.length; r++) body.appendChild(rows[r]);",
    "    for (var h = 0; h < headings.length; h++) headings[h].removeAttribute(\"aria-sort\");",
    "    headings[index].setAttribute(\"aria-sort\", direction > 0 ? \"ascending\" : "
    "\"descending\");",
    "  }",
    "  for (var i = 0; i < headings.length; i++) {",
    "    headings[i].title = \"Sort by this column\";",
    "    headings[i].style.cursor = \"pointer\";",
    "    headings[i].onclick = sortBy.bind(null, i);",
    "  }",
    "})();",
    "</SCRIPT>",
};

// The sorted column's heading shows the direction.
const char* const ArrowStyle =
    "<STYLE type=\"text/css\">#ProjectSummary TH[aria-sort=ascending]::after {content: \" "
    "\\25B2\"} #ProjectSummary TH[aria-sort=descending]::after {content: \" \\25BC\"}</STYLE>";

std::string Cell(const std::string& text) {
    return "<TD>" + TCordessaReport::EscapeHtml(text) + "</TD>";
}

// A number cell: the value as printed, sorted by its value; empty without one.
std::string FigureCell(const std::optional<TReportFigure>& figure) {
    const std::string text = figure ? TCordessaReport::EscapeHtml(figure->Text) : "";
    return "<TD align=\"right\" data-sort=\"" + text + "\">" + text + "</TD>";
}

std::string ScenarioCaption(TdcScenarios& scenarios, int id) {
    return scenarios.LocateByItemID(std::to_string(id), false) ? scenarios.Item().CAPTION() : "";
}

std::string SchemeCaption(TdcApplicationSchemes& schemes, int id) {
    return schemes.LocateByItemID(std::to_string(id), false) ? schemes.Item().CAPTION() : "";
}

// Empty when the plug-in does not hold the substance.
std::string SubstanceCode(const std::string& guid) {
    std::unique_ptr<TDAXOAttributeList> attributes;
    TDAXOInterface::GetSingleton().GetSubstanceInfoListByGUID(guid, false, attributes);
    return attributes ? attributes->Value("SubstanceCode") : "";
}

std::string ResultsText(const TdciAssessments& assessment) {
    const std::string& message = assessment.ERRORMESSAGE();
    if (assessment.VALIDRESULTS())
        return message.empty() ? "valid" : "valid; " + message;
    return message.empty() ? "no valid results" : message;
}

// One assessment's row of the summary.
struct TSummaryRow {
    int ID = 0;
    std::vector<std::string> Texts; // caption to metabolites
    TReportFigures Figures;
};

// Sort index of ASSESSMENTID in the assessments list.
constexpr int AssessmentKeyField = 0;

TSummaryRow SummaryRow(const TdciAssessments& assessment, TdcScenarios& scenarios,
                       TdcApplicationSchemes& schemes) {
    TSummaryRow row;
    row.ID = assessment.ASSESSMENTID();
    const bool leftOut = TModelManager::GetSingleton().MetabolitesLeftOut(assessment);
    row.Texts = {assessment.CAPTION(),
                 ScenarioCaption(scenarios, assessment.SCENARIOID()),
                 SubstanceCode(assessment.SUBSTANCEGUID()),
                 SchemeCaption(schemes, assessment.APPLICATIONSCHEMEID()),
                 ResultsText(assessment),
                 leftOut ? MetabolitesNotCalculated : ""};
    // Figures of results that are no longer valid would pass for the current ones.
    if (assessment.VALIDRESULTS())
        row.Figures = ReadReportFigures(assessment.ASSESSMENTREPORT());
    return row;
}

// The rows of the project's assessments, by key: the rows' order on the server changes with
// every save.
std::vector<TSummaryRow> SummaryRows(const TdciProjects& project) {
    TDACDatabase& database = project.OwnerList()->Database();
    TdcAssessments assessments(database);
    assessments.SetFilter("PROJECTID=%d", {project.PROJECTID()});
    assessments.Open();
    assessments.SortOnField(AssessmentKeyField, true);
    TdcScenarios scenarios(database);
    scenarios.Open();
    TdcApplicationSchemes schemes(database);
    schemes.Open();
    std::vector<TSummaryRow> rows;
    for (assessments.First(); !assessments.Eof(); assessments.Next())
        rows.push_back(SummaryRow(assessments.Item(), scenarios, schemes));
    return rows;
}

std::vector<const std::optional<TReportFigure>*> FiguresOf(const TSummaryRow& row) {
    return {&row.Figures.PaddyWaterMaximum, &row.Figures.PondMaximum, &row.Figures.PondTwa21};
}

std::string TableHead() {
    std::string head = "<THEAD><TR class=\"TableHeaderRow\">";
    for (const char* heading : ColumnHeadings)
        head += "<TH>" + TCordessaReport::EscapeHtml(heading) + "</TH>";
    return head + "</TR></THEAD>";
}

std::string TableRow(const TSummaryRow& row) {
    const std::string id = std::to_string(row.ID);
    std::string html = "<TR><TD align=\"right\" data-sort=\"" + id + "\">" + id + "</TD>";
    for (const std::string& text : row.Texts)
        html += Cell(text);
    for (const std::optional<TReportFigure>* figure : FiguresOf(row))
        html += FigureCell(*figure);
    return html + "</TR>";
}

std::unique_ptr<TCordessaReport> BuildProjectSummary(const TdciProjects& project) {
    auto report =
        std::make_unique<TCordessaReport>("Project summary - " + FileNamePart(project.CAPTION()),
                                          ProgramTitle() + " - project summary");
    report->AddTitle1(Format("Project summary: %s", ProgramTitle()));
    AddReportHeaderLines(*report);
    report->AddLine(Format("Project: %s, %s", project.CAPTION(), project.DESCRIPTION()));
    report->AddLine("");

    const std::vector<TSummaryRow> rows = SummaryRows(project);
    report->AddHtml(ArrowStyle);
    report->AddHtml("<TABLE id=\"ProjectSummary\" class=\"Table\" border=\"1\" cellspacing=\"0\" "
                    "cellpadding=\"3\">");
    report->AddHtml(TableHead());
    report->AddHtml("<TBODY>");
    for (const TSummaryRow& row : rows)
        report->AddHtml(TableRow(row));
    report->AddHtml("</TBODY>");
    report->AddHtml("</TABLE>");
    report->AddLine("");
    report->AddLine(Format("%d assessments. Click a column heading to sort the rows by it.",
                           static_cast<int>(rows.size())));
    for (const char* line : SortScript)
        report->AddHtml(line);
    report->FinishReport();
    return report;
}

} // namespace

std::string WriteProjectSummaryFile(const TdciProjects& project) {
    return BuildProjectSummary(project)->ReportPath();
}

void WriteProjectSummary(const TdciProjects& project) {
    BuildProjectSummary(project)->OpenReport();
}

void WriteProjectSummaryCsv(const TdciProjects& project, const std::string& path) {
    std::vector<TCsvRow> rows = {TCsvRow(std::begin(ColumnHeadings), std::end(ColumnHeadings))};
    for (const TSummaryRow& summary : SummaryRows(project)) {
        TCsvRow row = {std::to_string(summary.ID)};
        row.insert(row.end(), summary.Texts.begin(), summary.Texts.end());
        for (const std::optional<TReportFigure>* figure : FiguresOf(summary))
            row.push_back(*figure ? CsvNumber((*figure)->Value) : "");
        rows.push_back(std::move(row));
    }
    WriteCsvFile(path, rows);
}

std::string ProjectSummaryCsvPath(const TdciProjects& project) {
    return CsvExportPath("Project summary - " + FileNamePart(project.CAPTION()));
}

} // namespace parvela
