#include "ProjectSummary.h"

#include "DAXOTextList.h"
#include "ProgramIdentity.h"
#include "ReportFigures.h"
#include "SummaryReport.h"
#include "TCordessaReport.h"
#include "TDAXOInterface.h"
#include "TZentorModel.h"
#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/Format.h"

#include <memory>
#include <optional>

namespace parvela {

namespace {

const char* const TableHead =
    "<THEAD><TR class=\"TableHeaderRow\"><TH>ID</TH><TH>Caption</TH><TH>Scenario</TH>"
    "<TH>Substance</TH><TH>Application scheme</TH><TH>Results</TH>"
    "<TH>Max. paddy water (ug.L-1)</TH><TH>Pond global max. (ug.L-1)</TH>"
    "<TH>Pond 21-day TWA (ug.L-1)</TH></TR></THEAD>";

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

// Sort index of ASSESSMENTID in the assessments list.
constexpr int AssessmentKeyField = 0;

std::string AssessmentRow(const TdciAssessments& assessment, TdcScenarios& scenarios,
                          TdcApplicationSchemes& schemes) {
    // Figures of results that are no longer valid would pass for the current ones.
    const TReportFigures figures = assessment.VALIDRESULTS()
                                       ? ReadReportFigures(assessment.ASSESSMENTREPORT())
                                       : TReportFigures();
    const std::string id = std::to_string(assessment.ASSESSMENTID());
    return "<TR><TD align=\"right\" data-sort=\"" + id + "\">" + id + "</TD>" +
           Cell(assessment.CAPTION()) + Cell(ScenarioCaption(scenarios, assessment.SCENARIOID())) +
           Cell(SubstanceCode(assessment.SUBSTANCEGUID())) +
           Cell(SchemeCaption(schemes, assessment.APPLICATIONSCHEMEID())) +
           Cell(ResultsText(assessment)) + FigureCell(figures.PaddyWaterMaximum) +
           FigureCell(figures.PondMaximum) + FigureCell(figures.PondTwa21) + "</TR>";
}

std::unique_ptr<TCordessaReport> BuildProjectSummary(const TdciProjects& project) {
    TDACDatabase& database = project.OwnerList()->Database();
    auto report =
        std::make_unique<TCordessaReport>("Project summary - " + FileNamePart(project.CAPTION()),
                                          ProgramTitle() + " - project summary");
    report->AddTitle1(Format("Project summary: %s", ProgramTitle()));
    AddReportHeaderLines(*report);
    report->AddLine(Format("Project: %s, %s", project.CAPTION(), project.DESCRIPTION()));
    report->AddLine("");

    TdcAssessments assessments(database);
    assessments.SetFilter("PROJECTID=%d", {project.PROJECTID()});
    assessments.Open();
    // By key: the rows' order on the server changes with every save.
    assessments.SortOnField(AssessmentKeyField, true);
    TdcScenarios scenarios(database);
    scenarios.Open();
    TdcApplicationSchemes schemes(database);
    schemes.Open();
    report->AddHtml(ArrowStyle);
    report->AddHtml("<TABLE id=\"ProjectSummary\" class=\"Table\" border=\"1\" cellspacing=\"0\" "
                    "cellpadding=\"3\">");
    report->AddHtml(TableHead);
    report->AddHtml("<TBODY>");
    for (assessments.First(); !assessments.Eof(); assessments.Next())
        report->AddHtml(AssessmentRow(assessments.Item(), scenarios, schemes));
    report->AddHtml("</TBODY>");
    report->AddHtml("</TABLE>");
    report->AddLine("");
    report->AddLine(Format("%d assessments. Click a column heading to sort the rows by it.",
                           assessments.Count()));
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

} // namespace parvela
