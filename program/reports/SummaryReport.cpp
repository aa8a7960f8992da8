#include "program/reports/SummaryReport.h"

#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/TVersionInfo.h"
#include "platform/Exceptions.h"
#include "program/connection/ProgramIdentity.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/DailyOutput.h"
#include "program/reports/ReportCharts.h"
#include "program/reports/ReportInputs.h"
#include "program/reports/RunProvenance.h"
#include "program/reports/TCordessaReport.h"
#include "program/runs/RunRecord.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModel.h"
#include "program/runs/TZentorModelMundre.h"

#include <memory>
#include <optional>

namespace parvela {

namespace {

constexpr int VersionParts = 2;
const char* const MetabolitesLeftOutText =
    "the metabolites that the substance forms in the water and sediment of the pond and in the "
    "paddy water are left out by policy (the substance check's warning)";

// A model's chart, added after the line that ends the model's report block.
struct TModelChart {
    std::string EndMarker;
    std::vector<std::string> Lines;
};

// The charts of the models that left daily output in the run directory. Daily output that
// cannot be drawn gives a line that says why in place of the chart.
std::vector<TModelChart> DailyOutputCharts(const std::string& runDirectory, int assessmentID) {
    std::vector<TModelChart> charts;
    if (runDirectory.empty() || !TModelManager::SingletonExists())
        return charts;
    const TModelManager& manager = TModelManager::GetSingleton();
    for (const auto& model : manager.Models()) {
        const std::string path = DailyOutputPath(runDirectory, model->ModelName(), assessmentID);
        try {
            const std::optional<TDailyOutput> output = ReadDailyOutput(path);
            if (!output)
                continue;
            charts.push_back({model->ReportEndMarker(), model.get() == &manager.Mundre()
                                                            ? PondChart(*output)
                                                            : PaddyWaterChart(*output)});
        } catch (const EConvertError& fault) {
            charts.push_back(
                {model->ReportEndMarker(),
                 {TCordessaReport::ToHtmlLine("The daily output of " + model->ModelName() +
                                              " cannot be drawn: " + fault.Message())}});
        }
    }
    return charts;
}

void AddChartAfterBlock(const std::string& line, std::vector<TModelChart>& charts,
                        TCordessaReport& report) {
    for (TModelChart& chart : charts)
        if (!chart.Lines.empty() && Contains(line, chart.EndMarker)) {
            report.AddHtml("<DIV>");
            for (const std::string& chartLine : chart.Lines)
                report.AddHtml(chartLine);
            report.AddHtml("</DIV>");
            chart.Lines.clear();
        }
}

// The run's input files with their size and SHA-256, and the substance checksum.
void AddProvenance(const TdciAssessments& assessment, const std::vector<TRunInputFile>& files,
                   TCordessaReport& report) {
    using Escape = TCordessaReport;
    report.AddHtml("<P class=\"FontTitle2\">Run input files</P>");
    report.AddHtml("<TABLE class=\"Table\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    report.AddHtml("<TR class=\"TableHeaderRow\"><TD>File</TD><TD>Size (bytes)</TD>"
                   "<TD>SHA-256</TD></TR>");
    for (const TRunInputFile& file : files)
        report.AddHtml("<TR><TD class=\"TableFirstCell\">" + Escape::EscapeHtml(file.Name) +
                       "</TD><TD align=\"right\">" + std::to_string(file.Size) + "</TD><TD><TT>" +
                       file.Sha256 + "</TT>" +
                       (file.WrittenAfterRun ? " (written after the run)" : "") + "</TD></TR>");
    report.AddHtml("</TABLE>");
    report.AddLine("");
    AddStoredChecksumLine(assessment, report);
}

// The run record of the run directory; none for a run made before runs kept one, and none,
// with the reason in `fault`, for one that cannot be read.
std::optional<TRunRecord> StoredRunRecord(const std::string& runDirectory, std::string& fault) {
    if (runDirectory.empty())
        return std::nullopt;
    try {
        return ReadRunRecord(runDirectory);
    } catch (const Exception& e) {
        fault = e.Message();
        return std::nullopt;
    }
}

std::unique_ptr<TCordessaReport> BuildSummaryReport(const TdciAssessments& assessment) {
    auto report = std::make_unique<TCordessaReport>(FileNamePart(assessment.CAPTION()),
                                                    ProgramTitle() + " - report");
    report->AddTitle1(Format("Summary report: %s", ProgramTitle()));
    const bool showsBlocks = assessment.ERRORMESSAGE().empty();
    // Said first: the figures below hold no metabolites of the pond and the paddy water.
    if (showsBlocks && TModelManager::SingletonExists() &&
        TModelManager::GetSingleton().MetabolitesLeftOut(assessment))
        report->AddHtml(
            "<P class=\"FontTitle2\">" +
            TCordessaReport::EscapeHtml(
                Format("Valid results, %s: %s", MetabolitesNotCalculated, MetabolitesLeftOutText)) +
            "</P>");
    AddReportHeaderLines(*report);
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

    // The model blocks, and after them what was run: the charts and input files that the run
    // directory holds, whether it still matches the results, and the inputs.
    const bool showsRun =
        showsBlocks && !assessment.ASSESSMENTREPORT().empty() && TModelManager::SingletonExists();
    const std::string runDirectory = showsBlocks ? ReportRunDirectory(assessment) : "";
    std::vector<TModelChart> charts = DailyOutputCharts(runDirectory, assessment.ASSESSMENTID());
    const std::string& text =
        showsBlocks ? assessment.ASSESSMENTREPORT() : assessment.ERRORMESSAGE();
    for (const std::string& line : SplitReportText(text)) {
        report->AddLine(line);
        AddChartAfterBlock(line, charts, *report);
    }
    // A run that kept a run record is told by it; one made before runs kept records by the
    // files its directory holds now.
    std::string recordFault;
    const std::optional<TRunRecord> record =
        showsRun || !charts.empty() ? StoredRunRecord(runDirectory, recordFault) : std::nullopt;
    std::vector<TRunInputFile> files;
    if (!record && (showsRun || !charts.empty()))
        files = RunInputFiles(runDirectory, assessment.ASSESSMENTID());
    if (!record && !charts.empty())
        AddProvenance(assessment, files, *report);
    if (showsRun) {
        std::vector<std::string> mismatches;
        if (!recordFault.empty())
            mismatches.push_back(recordFault);
        for (const std::string& mismatch :
             record ? RecordMismatches(assessment, runDirectory, *record)
                    : StoredFileMismatches(assessment, runDirectory, files))
            mismatches.push_back(mismatch);
        AddStoredFilesSection(mismatches, *report);
        AddInputsSection(assessment, *report);
        if (record)
            AddRunRecordSection(assessment, *record, *report);
    }
    report->FinishReport();
    return report;
}

} // namespace

std::string ReportRunDirectory(const TdciAssessments& assessment) {
    if (!HasProjectDirectoryProvider())
        return "";
    return ProjectDirectory(assessment.PROJECTID(), true) +
           std::to_string(assessment.ASSESSMENTID());
}

void AddReportHeaderLines(TCordessaReport& report) {
    report.AddLine(
        Format("Parvela version   : %s", TVersionInfo::GetSingleton().VersionText(VersionParts)));
    report.AddLine(Format("DAXO version       : %s", TDAXOInterface::Version()));
    report.AddLine(Format("Report generated on: %s", DateTimeToStr(Now())));
    report.AddLine("");
}

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
