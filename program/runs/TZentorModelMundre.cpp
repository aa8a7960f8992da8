#include "program/runs/TZentorModelMundre.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/Format.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/system/DayMonth.h"

#include <cctype>

namespace parvela {

namespace {

struct TParameter {
    const char* Keyword; // empty: an empty line
    const char* Format;
    const char* Attribute;
};

const TParameter Parameters[] = {
    {"MolMas", "%-18s MolMas_%s (g.mol-1)", "MolMass"},
    {"DT50Ref", "%-18s DT50Ref_%s (d)              ! DAXO attribute name: DT50WatRef",
     "DT50WatRef"},
    {"TemRefTra", "%-18s TemRefTra_%s (C)            ! DAXO attribute name: TemRefTraWat",
     "TemRefTraWat"},
    {"MolEntTra", "%-18s MolEntTra_%s (kJ.mol-1)     ! DAXO attribute name: MolEntTraWat",
     "MolEntTraWat"},
    {"DT50SedRef", "%-18s DT50SedRef_%s (d)", "DT50SedRef"},
    {"TemRefSed", "%-18s TemRefSed_%s (C)", "TemRefSed"},
    {"MolEntTraSed", "%-18s MolEntTraSed_%s (kJ.mol-1)", "MolEntTraSed"},
    {"", "", ""},
    {"KomSed", "%-18s KomSed_%s (L.kg-1)", "KomSed"},
    {"ConLiqRefSed", "%-18s ConLiqRefSed_%s (mg.L-1)", "ConLiqRefSed"},
    {"ExpFreSed", "%-18s ExpFreSed_%s (-)", "ExpFreSed"},
    {"KomSusSol", "%-18s KomSusSol_%s (L.kg-1)       ! DAXO attribute name: KomSus", "KomSus"},
    {"ConLiqRefSusSol", "%-18s ConLiqRefSusSol_%s (mg.L-1) ! DAXO attribute name: ConLiqRefSus",
     "ConLiqRefSus"},
    {"ExpFreSusSol", "%-18s ExpFreSusSol_%s (-)         ! DAXO attribute name: ExpFreSus",
     "ExpFreSus"},
    {"CofSorMph", "%-18s CofSorMph_%s (L.kg-1)       ! DAXO attribute name: KSorMph", "KSorMph"},
    {"", "", ""},
    {"PreVapRef", "%-18s PreVapRef_%s (Pa)", "PreVapRef"},
    {"TemRefVap", "%-18s TemRefVap_%s (C)", "TemRefVap"},
    {"MolEntVap", "%-18s MolEntVap_%s (kJ.mol-1)", "MolEntVap"},
    {"", "", ""},
    {"SlbWatRef", "%-18s SlbWatRef_%s (mg.L-1)", "SlbWatRef"},
    {"TemRefSlb", "%-18s TemRefSlb_%s (C)", "TemRefSlb"},
    {"MolEntSlb", "%-18s MolEntSlb_%s (kJ.mol-1)", "MolEntSlb"},
    {"CofDifWatRef", "%-18s CofDifWatRef_%s (m2.d-1)", "CofDifWatRef"},
    {"", "", ""},
};

// Every occurrence of `from`, compared without regard to letter case, replaced by `to`.
std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& from,
                                   const std::string& to) {
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string lowerText = lower(text);
    const std::string lowerFrom = lower(from);
    std::string result;
    std::size_t at = 0;
    for (std::size_t found = lowerText.find(lowerFrom); found != std::string::npos;
         found = lowerText.find(lowerFrom, at)) {
        result += text.substr(at, found - at) + to;
        at = found + from.size();
    }
    return result + text.substr(at);
}

// The row format of the loadings: the commentary up to the first ":" removed, the date and
// the loading as format conversions.
std::string LoadingsRowFormat(const std::string& line) {
    const std::size_t colon = line.find(':');
    const std::string format = colon == std::string::npos ? line : line.substr(colon + 1);
    return ReplaceAllIgnoringCase(ReplaceAllIgnoringCase(format, "@APPDATE", "%s"), "@DOSAGE",
                                  "%f");
}

} // namespace

TZentorModelMundre::TZentorModelMundre(std::string modelDirectory)
    : TZentorModel(std::move(modelDirectory)) {
    SetModelNames();
}

void TZentorModelMundre::SetModelNames() {
    SetNames("MUNDRE", "Mundremodel", "mundre.ok", "MUNDRE REPORT", "End of MUNDRE REPORT", ".mnd");
}

bool TZentorModelMundre::WriteInputFiles() {
    const auto scenarios = OpenScenario();
    if (scenarios->Count() == 0) {
        SetErrorMessage("scenario not found");
        return false;
    }
    const TdciScenarios& scenario = scenarios->Item();
    CheckInputValues(scenario);
    TTextLines output;
    WriteTemplateLines(scenario, SplitTextLines(scenario.MUNDRE_data()), output);
    const std::string inputFile = InputFilePath();
    SaveTextLines(inputFile, output);
    Assessment()->SetInputFileName(inputFile);
    const std::string station = FileNamePart(StationName(scenario.CAPTION()));
    SaveTextLines(RunModelFile(station + ".met"), SplitTextLines(scenario.MUNDRE_meteo()));
    SaveTextLines(RunModelFile(station + ".rai"), SplitTextLines(scenario.MUNDRE_rain()));
    return true;
}

void TZentorModelMundre::WriteTemplateLines(const TdciScenarios& scenario,
                                            const TTextLines& templateLines, TTextLines& output) {
    TTextLines substanceTemplateLines;
    bool insideSubstance = false;
    for (std::size_t i = 0; i < templateLines.size(); ++i) {
        const std::string& line = templateLines[i];
        if (Contains(line, "@START")) {
            output.push_back("01-Jan-" + std::to_string(scenario.STARTYEAR()) + "        TimStart");
        } else if (Contains(line, "@STOP")) {
            output.push_back("31-Dec-" + std::to_string(scenario.ENDYEAR()) + "        TimEnd");
        } else if (Contains(line, "@APPLICATIONSCHEME")) {
            output.push_back(ApplicationSchemeLine());
        } else if (Contains(line, "@APPLICATIONSTABLE")) {
            // Without a following row format line there is nothing to fill: no rows. An
            // empty one gives empty rows.
            WriteLoadingsTable(
                scenario, i + 1 < templateLines.size() ? &templateLines[i + 1] : nullptr, output);
        } else if (Contains(line, "@APPDATE")) {
            // The row format of the loadings table, used above.
        } else if (Contains(line, "@END_SUBSTANCE")) {
            insideSubstance = false;
            WriteSubstanceSection(substanceTemplateLines, output);
        } else if (insideSubstance) {
            substanceTemplateLines.push_back(line);
        } else if (Contains(line, "@SUBSTANCE")) {
            insideSubstance = true;
        } else if (Contains(line, "@METEO")) {
            output.push_back(StationName(scenario.CAPTION()) + " MeteoStation");
        } else {
            output.push_back(line);
        }
    }
}

void TZentorModelMundre::WriteLoadingsTable(const TdciScenarios& scenario,
                                            const std::string* rowFormatLine, TTextLines& output) {
    output.push_back("table Loadings");
    const auto schemes = OpenApplicationScheme();
    if (schemes->Count() > 0 && rowFormatLine) {
        const std::string rowFormat = LoadingsRowFormat(*rowFormatLine);
        TdcApplications& applications = SortedApplications(*schemes);
        // Wide enough that the last year never overflows.
        const std::int64_t lastYear = scenario.ENDYEAR();
        for (std::int64_t year = scenario.STARTYEAR(); year <= lastYear; ++year) {
            for (applications.First(); !applications.Eof(); applications.Next()) {
                const TdciApplications& application = applications.Item();
                output.push_back(Format(rowFormat,
                                        FormatDayMonthPrefix(application.APPLICATIONDATE()) +
                                            std::to_string(year),
                                        application.DOSAGE() * application.SPRAYDRIFTPERC()));
            }
        }
    }
    output.push_back("end_table");
}

void TZentorModelMundre::WriteSubstanceSection(const TTextLines& substanceTemplateLines,
                                               TTextLines& output) {
    std::unique_ptr<TDAXOAttributeList> substance;
    TDAXOInterface::GetSingleton().GetSubstanceInfoListByGUID(Assessment()->SUBSTANCEGUID(), false,
                                                              substance);
    if (!substance || substance->Empty())
        return;
    const std::string code = substance->Value("SubstanceCode");
    output.push_back(Format("%-18s SubstanceName", code));
    output.push_back("table compounds");
    output.push_back(code);
    output.push_back("end_table");
    output.emplace_back();
    output.push_back("table FraPrtDauWat (mol.mol-1)");
    output.push_back("end_table");
    output.emplace_back();
    output.push_back("table FraPrtDauSed (mol.mol-1)");
    output.push_back("end_table");
    output.emplace_back();
    output.push_back(Format("*--------------- Parent: %s ---------------", code));
    for (const TParameter& parameter : Parameters) {
        if (!*parameter.Keyword)
            output.emplace_back();
        else if (!FindOverrideLine(parameter.Keyword, code, substanceTemplateLines, output))
            output.push_back(Format(parameter.Format, substance->Value(parameter.Attribute), code));
    }
}

bool TZentorModelMundre::FindOverrideLine(const std::string& keyword, const std::string& code,
                                          const TTextLines& templateLines, TTextLines& output) {
    for (const std::string& line : templateLines) {
        if (line.find(keyword + "_") == std::string::npos)
            continue;
        std::string overridden = line;
        const std::size_t at = overridden.find('@');
        if (at != std::string::npos)
            overridden.replace(at, 1, code);
        output.push_back(overridden);
        return true;
    }
    return false;
}

std::string TZentorModelMundre::HandOverSourceFile() const {
    return Assessment()->RunDirectory() + "/" + upstreamModelName_ + "/" +
           ChangeFileNameExtension(Assessment()->InputFileName(), ".e2m");
}

TTextLines TZentorModelMundre::RunScriptInputFiles() const {
    return {ChangeFileNameExtension(Assessment()->InputFileName(), ".e2m")};
}

bool TZentorModelMundre::PrepareRun() {
    const std::string source = HandOverSourceFile();
    if (!FileExists(source)) {
        SetErrorMessage(Format("File not found %s", source));
        SaveAssessment();
        return false;
    }
    const std::string target = RunModelFile(RunScriptInputFiles().front());
    WriteRunScript({"cp " + ShellQuote(source) + " " + ShellQuote(target)});
    return true;
}

bool TZentorModelMundre::FinishRun(int exitCode) {
    return exitCode == 0 && CheckRun();
}

bool TZentorModelMundre::CheckRun() {
    ReadSummary();
    ReadErrorFile();
    return RunConfirmed();
}

void TZentorModelMundre::ReadSummary() {
    ReadSummaryBlock();
}

void TZentorModelMundre::ShowResults(TdciAssessments* assessment, TTextLines& lines) {
    TZentorModel::ShowResults(assessment, lines);
    if (assessment && !assessment->ERRORMESSAGE().empty())
        lines.push_back(assessment->ERRORMESSAGE());
}

} // namespace parvela
