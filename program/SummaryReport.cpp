#include "SummaryReport.h"

#include "ProgramIdentity.h"
#include "TCordessaReport.h"
#include "TDAXOInterface.h"
#include "TZentorModel.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/TVersionInfo.h"

#include <memory>

namespace parvela {

namespace {

constexpr int VersionParts = 2;

std::unique_ptr<TCordessaReport> BuildSummaryReport(const TdciAssessments& assessment) {
    auto report = std::make_unique<TCordessaReport>(FileNamePart(assessment.CAPTION()),
                                                    ProgramTitle() + " - report");
    report->AddTitle1(Format("Summary report: %s", ProgramTitle()));
    report->AddLine(
        Format("Parvela version   : %s", TVersionInfo::GetSingleton().VersionText(VersionParts)));
    report->AddLine(Format("DAXO version       : %s", TDAXOInterface::Version()));
    report->AddLine(Format("Report generated on: %s", DateTimeToStr(Now())));
    report->AddLine("");
    report->AddLine(Format("Assessment: %s, %s", assessment.CAPTION(), assessment.DESCRIPTION()));

    TdcScenarios scenarios(assessment.OwnerList()->Database());
    scenarios.SetFilter("SCENARIOID=%d", {assessment.SCENARIOID()});
    scenarios.Open();
    if (scenarios.Count() > 0)
        report->AddLine(Format("Scenario  : %s, %s", scenarios.Item().CAPTION(),
                               scenarios.Item().DESCRIPTION()));
    else
        report->AddLine("Scenario  : scenario not found");
    report->AddLine("");

    const std::string& text = assessment.ERRORMESSAGE().empty() ? assessment.ASSESSMENTREPORT()
                                                                : assessment.ERRORMESSAGE();
    for (const std::string& line : SplitReportText(text))
        report->AddLine(line);
    report->FinishReport();
    return report;
}

} // namespace

std::vector<std::string> SplitReportText(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string WriteSummaryReportFile(const TdciAssessments& assessment) {
    return BuildSummaryReport(assessment)->ReportPath();
}

bool WriteSummaryReport(const TdciAssessments& assessment) {
    BuildSummaryReport(assessment)->OpenReport();
    return true;
}

} // namespace parvela
