#include "program/reports/ReportInputs.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplicationTypes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "program/plugin/DAXOTextList.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/RunProvenance.h"
#include "program/reports/TCordessaReport.h"
#include "program/runs/RunFiles.h"
#include "program/runs/RunRecord.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModel.h"

#include <filesystem>
#include <memory>

namespace parvela {

namespace {

using TTableRow = std::vector<std::string>;

// The substance's attributes that the report shows, with their units: those that the
// substance check tests and those that the models' mass balances rest on.
struct TMainParameter {
    const char* Attribute;
    const char* Unit;
};
const TMainParameter MainParameters[] = {
    {"SubstanceCode", ""},   {"SubstanceName", ""},     {"MolMass", "g.mol-1"}, {"DT50Ref", "d"},
    {"TemRefTra", "C"},      {"MolEntTra", "kJ.mol-1"}, {"KomEql", "L.kg-1"},   {"DT50WatRef", "d"},
    {"DT50SedRef", "d"},     {"KomSed", "L.kg-1"},      {"OptCofFreCode", ""},  {"OptDspCrp", ""},
    {"OptCntLiqTraRef", ""},
};

// A table with a heading row; every text is escaped, the first column shaded.
void AddTable(const TTableRow& headings, const std::vector<TTableRow>& rows,
              TCordessaReport& report) {
    report.AddHtml("<TABLE class=\"Table\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    std::string head = "<TR class=\"TableHeaderRow\">";
    for (const std::string& heading : headings)
        head += "<TD>" + TCordessaReport::EscapeHtml(heading) + "</TD>";
    report.AddHtml(head + "</TR>");
    for (const TTableRow& row : rows) {
        std::string line = "<TR>";
        for (std::size_t i = 0; i < row.size(); ++i)
            line += std::string(i == 0 ? "<TD class=\"TableFirstCell\">" : "<TD>") +
                    TCordessaReport::EscapeHtml(row[i]) + "</TD>";
        report.AddHtml(line + "</TR>");
    }
    report.AddHtml("</TABLE>");
}

void AddHeading(const std::string& text, TCordessaReport& report) {
    report.AddHtml("<P class=\"FontTitle2\">" + TCordessaReport::EscapeHtml(text) + "</P>");
}

std::string Number(double value) {
    return FloatToStrGeneral(value);
}

void AddScenario(const TdciAssessments& assessment, TCordessaReport& report) {
    TdcScenarios scenarios(assessment.OwnerList()->Database());
    scenarios.SetFilter("SCENARIOID=%d", {assessment.SCENARIOID()});
    scenarios.Open();
    if (scenarios.Count() == 0) {
        report.AddLine("Scenario: scenario not found");
        return;
    }
    const TdciScenarios& scenario = scenarios.Item();
    // The models simulate from 1 January of the first year to 31 December of the last.
    report.AddLine(Format("Scenario: %s, period %s to %s", scenario.CAPTION(),
                          DateToStr(EncodeDate(scenario.STARTYEAR(), 1, 1)),
                          DateToStr(EncodeDate(scenario.ENDYEAR(), 12, 31))));
}

void AddApplications(const TdciAssessments& assessment, TCordessaReport& report) {
    TDACDatabase& database = assessment.OwnerList()->Database();
    TdcApplicationSchemes schemes(database);
    schemes.SetFilter("APPLICATIONSCHEMEID=%d", {assessment.APPLICATIONSCHEMEID()});
    schemes.Open();
    if (schemes.Count() == 0) {
        report.AddLine("Application scheme: scheme not found");
        return;
    }
    report.AddLine("Application scheme: " + schemes.Item().CAPTION() +
                   " (each application on its day and month of every simulated year)");
    TdcApplicationTypes types(database);
    types.Open();
    std::vector<TTableRow> rows;
    TdcApplications& applications = TZentorModel::SortedApplications(schemes);
    for (applications.First(); !applications.Eof(); applications.Next()) {
        const TdciApplications& application = applications.Item();
        const std::string type =
            types.LocateByItemID(std::to_string(application.APPLICATIONTYPEID()), false)
                ? types.Item().CAPTION()
                : std::to_string(application.APPLICATIONTYPEID());
        rows.push_back({DateToStr(application.APPLICATIONDATE()), type,
                        Number(application.DOSAGE()), Number(application.SPRAYDRIFTPERC()),
                        Number(application.APPLICATIONPARAMETER())});
    }
    AddTable({"Date", "Type", "Dosage (kg.ha-1)", "Spray drift (%)", "Parameter"}, rows, report);
}

void AddSubstance(const TdciAssessments& assessment, TCordessaReport& report) {
    std::unique_ptr<TDAXOAttributeList> attributes;
    TDAXOInterface::GetSingleton().GetSubstanceInfoListByGUID(assessment.SUBSTANCEGUID(), false,
                                                              attributes);
    if (!attributes || attributes->Empty()) {
        report.AddLine("Substance: " + assessment.SUBSTANCEGUID() + " not found in the plug-in");
        return;
    }
    report.AddLine(Format("Substance: %s, %s (%s)", attributes->Value("SubstanceCode"),
                          attributes->Value("SubstanceName"), assessment.SUBSTANCEGUID()));
    std::vector<TTableRow> rows;
    for (const TMainParameter& parameter : MainParameters)
        rows.push_back(
            {parameter.Attribute, attributes->Value(parameter.Attribute), parameter.Unit});
    AddTable({"Parameter", "Value", "Unit"}, rows, report);
}

// True when the stored report holds the model's block, read from its summary file.
bool HoldsBlockOf(const TdciAssessments& assessment, const TZentorModel& model) {
    return assessment.ASSESSMENTREPORT().find(model.ReportEndMarker()) != std::string::npos;
}

// The sentence for a run directory that is gone; empty while it exists.
std::string MissingRunDirectory(const std::string& runDirectory) {
    std::error_code error;
    if (runDirectory.empty() || !std::filesystem::is_directory(runDirectory, error))
        return "The run directory " + runDirectory + " no longer exists.";
    return {};
}

std::string OrNone(const std::string& text) {
    return text.empty() ? std::string("(none)") : text;
}

std::string ModelLine(const TRecordedModel& model) {
    const std::string version =
        model.Program.Version.empty() ? "no answer to --version" : model.Program.Version;
    return Format("%s, %s, SHA-256 %s, exit code %d, %s to %s", version, model.Program.Path,
                  OrNone(model.Program.Sha256), model.ExitCode, model.Start, OrNone(model.End));
}

std::vector<TTableRow> RecordFacts(const TRunRecord& record) {
    std::vector<TTableRow> rows{
        {"Program", Format("Parvela %s (build %s), %s", record.ProgramVersion, record.ProgramBuild,
                           record.Executable)},
        {"Plug-in", Format("%s, %s, SHA-256 %s", record.Plugin.Version, record.Plugin.Path,
                           OrNone(record.Plugin.Sha256))},
        {"Scenario", Format("%s (key %d), %d to %d", record.ScenarioCaption, record.ScenarioID,
                            record.FirstYear, record.LastYear)},
        {"Substance",
         Format("%s, checksum %s", record.SubstanceGuid, OrNone(record.SubstanceChecksum))},
        {"Run", Format("%s to %s, by %s on %s", record.Start, OrNone(record.End), record.User,
                       record.Host)}};
    for (const TRecordedModel& model : record.Models)
        rows.push_back({model.Name, ModelLine(model)});
    return rows;
}

std::vector<TTableRow> RecordFileRows(const TRunRecord& record) {
    std::vector<TTableRow> rows;
    for (const TRecordedModel& model : record.Models) {
        for (const TRecordedFile& file : model.Inputs)
            rows.push_back({file.Name, "input", std::to_string(file.Size), file.Sha256});
        for (const TRecordedFile& file : model.Outputs)
            rows.push_back({file.Name, "output", std::to_string(file.Size), file.Sha256});
    }
    return rows;
}

} // namespace

std::vector<std::string> StoredFileMismatches(const TdciAssessments& assessment,
                                              const std::string& runDirectory,
                                              const std::vector<TRunInputFile>& inputFiles) {
    if (const std::string gone = MissingRunDirectory(runDirectory); !gone.empty())
        return {gone};
    std::vector<std::string> mismatches;
    const std::string id = std::to_string(assessment.ASSESSMENTID());
    for (const auto& model : TModelManager::GetSingleton().Models()) {
        if (!HoldsBlockOf(assessment, *model))
            continue;
        for (const std::string& name : {id + ".sum", model->OkFlagFileName()})
            if (!FileExists(runDirectory + "/" + model->ModelName() + "/" + name))
                mismatches.push_back(model->ModelName() + "/" + name +
                                     ", on which the stored results rest, is missing.");
    }
    for (const TRunInputFile& file : inputFiles)
        if (file.WrittenAfterRun)
            mismatches.push_back(file.Name + " was written after the run.");
    return mismatches;
}

std::vector<std::string> RecordMismatches(const TdciAssessments& assessment,
                                          const std::string& runDirectory,
                                          const TRunRecord& record) {
    if (const std::string gone = MissingRunDirectory(runDirectory); !gone.empty())
        return {gone};
    std::vector<std::string> mismatches;
    if (record.SubstanceChecksum != assessment.SUBSTANCECHECKSUM())
        mismatches.push_back(Format("The run record names the substance checksum %s, the "
                                    "assessment holds %s: the record is not that of these results.",
                                    OrNone(record.SubstanceChecksum),
                                    OrNone(assessment.SUBSTANCECHECKSUM())));
    for (const TFileDifference& difference : StoredFileDifferences(record, runDirectory))
        mismatches.push_back(difference.Text());
    return mismatches;
}

void AddStoredFilesSection(const std::vector<std::string>& mismatches, TCordessaReport& report) {
    if (mismatches.empty())
        return;
    AddHeading("The stored files no longer match the results of this report", report);
    for (const std::string& mismatch : mismatches)
        report.AddLine(mismatch);
    report.AddLine("");
}

void AddInputsSection(const TdciAssessments& assessment, TCordessaReport& report) {
    AddHeading("Inputs", report);
    if (!assessment.VALIDRESULTS())
        report.AddLine("The results are not valid: these are the inputs as they are now, which "
                       "need not be those of the run.");
    AddScenario(assessment, report);
    report.AddLine("");
    AddApplications(assessment, report);
    report.AddLine("");
    AddSubstance(assessment, report);
    report.AddLine("");
}

void AddRunRecordSection(const TdciAssessments& assessment, const TRunRecord& record,
                         TCordessaReport& report) {
    AddHeading("Run record", report);
    report.AddLine(Format("As the run noted it in %s of its run directory.", RunRecordFileName));
    AddTable({"", "What ran"}, RecordFacts(record), report);
    report.AddLine("");
    AddTable({"File", "Kind", "Size (bytes)", "SHA-256"}, RecordFileRows(record), report);
    report.AddLine("");
    AddStoredChecksumLine(assessment, report);
}

void AddStoredChecksumLine(const TdciAssessments& assessment, TCordessaReport& report) {
    report.AddLine(Format("Substance checksum stored on the assessment: %s",
                          OrNone(assessment.SUBSTANCECHECKSUM())));
}

} // namespace parvela
