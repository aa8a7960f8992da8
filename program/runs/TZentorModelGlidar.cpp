#include "program/runs/TZentorModelGlidar.h"

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplicationTypes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "platform/Exceptions.h"
#include "platform/UiHooks.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/system/DayMonth.h"
#include "program/system/FileDigest.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>
#include <sys/stat.h>

namespace parvela {

namespace {

constexpr int RequiredSorptionOption = 3;
// A cache file's name: the scenario's caption, a key of 16 hexadecimal digits, ".bfo" or
// ".swe", and for the file of its digest DigestSuffix.
constexpr std::size_t CacheKeyDigits = 16;
constexpr std::size_t CacheExtensionBytes = 4;
constexpr std::string_view DigestSuffix = ".sha256";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "%-16s <Name>_<code> <unit>" filled with the attribute's value.
struct TParameterLine {
    const char* Format; // empty: an empty line
    const char* Attribute;
};

void WriteParameterLines(const TDAXOAttributeList& compound,
                         std::initializer_list<TParameterLine> parameters, TTextLines& output) {
    const std::string code = compound.Value("SubstanceCode");
    for (const TParameterLine& parameter : parameters) {
        if (!*parameter.Format)
            output.emplace_back();
        else
            output.push_back(Format(parameter.Format, compound.Value(parameter.Attribute), code));
    }
}

std::string CanopyOptionText(int option) {
    switch (option) {
    case 1:
        return "Lumped";
    case 2:
        return "Specified";
    case 3:
        return "Calculated";
    default:
        return {};
    }
}

} // namespace

TZentorModelGlidar::TZentorModelGlidar(std::string modelDirectory)
    : TZentorModel(std::move(modelDirectory)) {
    SetModelNames();
}

void TZentorModelGlidar::SetModelNames() {
    SetNames("GLIDAR", "glidarmodel", "glidar.ok", "GLIDAR REPORT", "End of GLIDAR REPORT", ".gld");
}

bool TZentorModelGlidar::WriteInputFiles() {
    meteoStation_.clear();
    const auto scenarios = OpenScenario();
    if (scenarios->Count() == 0) {
        SetErrorMessage("scenario not found");
        return false;
    }
    const TdciScenarios& scenario = scenarios->Item();
    CheckInputValues(scenario);
    meteoStation_ = StationName(scenario.CAPTION());
    TTextLines output;
    WriteTemplateLines(scenario, SplitTextLines(scenario.GLIDAR_data()), output);
    const std::string inputFile = InputFilePath();
    SaveTextLines(inputFile, output);
    Assessment()->SetInputFileName(inputFile);
    SaveTextLines(RunModelFile(FileNamePart(Trim(meteoStation_)) + ".met"),
                  SplitTextLines(scenario.GLIDAR_meteo()));
    SaveTextLines(RunModelFile(FileNamePart(meteoStation_) + ".pnd"),
                  SplitTextLines(scenario.GLIDAR_pond()));
    scenarioCacheStem_ = ScenarioCacheStem(scenario);
    takenFromCache_.clear();
    if (PreloadScenarioFile(".bfo"))
        PreloadScenarioFile(".swe");
    return true;
}

void TZentorModelGlidar::WriteTemplateLines(const TdciScenarios& scenario,
                                            const TTextLines& templateLines, TTextLines& output) {
    for (std::size_t i = 0; i < templateLines.size(); ++i) {
        const std::string& line = templateLines[i];
        if (Contains(line, "@START")) {
            output.push_back("01-Jan-" + std::to_string(scenario.STARTYEAR()) + "       TimStart");
        } else if (Contains(line, "@STOP")) {
            output.push_back("31-Dec-" + std::to_string(scenario.ENDYEAR()) + "       TimEnd");
        } else if (Contains(line, "@APPLICATIONSCHEME")) {
            output.push_back(ApplicationSchemeLine());
        } else if (Contains(line, "@APPLICATIONSTABLE")) {
            WriteApplicationsTable(output);
        } else if (Contains(line, "@SUBSTANCE")) {
            const std::string* lineA =
                i + 1 < templateLines.size() ? &templateLines[i + 1] : nullptr;
            const std::string* lineB =
                i + 2 < templateLines.size() ? &templateLines[i + 2] : nullptr;
            WriteSubstanceSection(lineA, lineB, output);
            i += 2;
        } else if (Contains(line, "@METEO")) {
            output.push_back(meteoStation_ + " MeteoStation");
        } else if (Contains(line, "@PONDINGDEPTHFILE")) {
            output.push_back(meteoStation_ + " PondingDepthFile");
        } else {
            output.push_back(line);
        }
    }
}

void TZentorModelGlidar::WriteApplicationsTable(TTextLines& output) {
    std::map<std::int32_t, std::string> codes;
    TdcApplicationTypes types(Database());
    types.Open();
    for (types.First(); !types.Eof(); types.Next())
        codes[types.Item().APPLICATIONTYPEID()] = types.Item().GLIDARCODE();

    output.push_back("table Applications");
    const auto schemes = OpenApplicationScheme();
    if (schemes->Count() > 0) {
        TdcApplications& applications = SortedApplications(*schemes);
        for (applications.First(); !applications.Eof(); applications.Next()) {
            const TdciApplications& application = applications.Item();
            const auto code = codes.find(application.APPLICATIONTYPEID());
            output.push_back(ApplicationRow(
                application.APPLICATIONDATE(), code == codes.end() ? std::string() : code->second,
                application.DOSAGE(), application.APPLICATIONPARAMETER()));
        }
    }
    output.push_back("end_table");
}

std::string TZentorModelGlidar::ApplicationRow(TDateTime date, const std::string& code,
                                               double dosage, double parameter) {
    std::string row = Format("%-13s %9s %9.4f", FormatDayMonth(date), code, dosage);
    if (code == "AppSolTil" || code == "AppSolInj")
        row += Format("%9f", parameter);
    else if (code == "AppCrpUsr")
        row += Format("%9f", InterceptionFraction(Assessment()->SCENARIOID(), date));
    return row;
}

double TZentorModelGlidar::InterceptionFraction(int scenarioID, TDateTime date) {
    Assert(Assessment() != nullptr, "InterceptionFraction: no assessment, no database");
    const std::string sql = Format("Select %s from %s where %s order by InterceptionID", "*",
                                   "Interceptions", Format("scenarioID = %d", scenarioID));
    const auto query = Database().OpenQuery(sql);
    const int year = DecodeDateTime(date).Year;
    const TDateTime day = DayNumber(date);
    for (; !query->Eof(); query->Next()) {
        const TDateTime end = EncodeDate(year, query->FieldByName("EndMonth").AsInteger(),
                                         query->FieldByName("EndDay").AsInteger());
        if (day > end)
            continue;
        const TDateTime begin = EncodeDate(year, query->FieldByName("BeginMonth").AsInteger(),
                                           query->FieldByName("BeginDay").AsInteger());
        if (day >= begin)
            return query->FieldByName("InterceptionFraction").AsFloat();
    }
    return 0;
}

void TZentorModelGlidar::WriteSubstanceSection(const std::string* lineA, const std::string* lineB,
                                               TTextLines& output) {
    const std::string guid = Assessment()->SUBSTANCEGUID();
    std::unique_ptr<TDAXOAttributeList> substance;
    TDAXOInterface::GetSingleton().GetSubstanceInfoListByGUID(guid, false, substance);
    if (!substance || substance->Empty())
        return;
    const std::string code = substance->Value("SubstanceCode");
    TDAXOGUIDList compounds;
    compounds.Add(guid, std::move(substance));
    TTextLines formationLines;
    CollectMetabolites(guid, code, formationLines, compounds, DAXOSoilCompartment);

    output.push_back(code + " SubstanceName");
    output.push_back("table compounds");
    for (const TDAXOGUIDEntry& compound : compounds)
        output.push_back(compound.Attributes->Value("SubstanceCode"));
    output.push_back("end_table");
    output.emplace_back();
    output.push_back("table FraPrtDau (mol.mol-1)");
    output.insert(output.end(), formationLines.begin(), formationLines.end());
    output.push_back("end_table");
    output.emplace_back();
    for (const TDAXOGUIDEntry& compound : compounds)
        WriteTransformationBlock(*compound.Attributes, output);
    WriteHorizonTable("table horizon FacZTra (-)", compounds,
                      {"1.0", "1.0", "0.5", "0.5", "0.5", "0.0", "0.0"}, output);
    if (lineA)
        output.push_back(*lineA);
    WriteHorizonTable("table horizon FacZSor (-)", compounds,
                      {"-99", "-99", "-99", "-99", "-99", "-99"}, output);
    for (const TDAXOGUIDEntry& compound : compounds)
        WriteSorptionAndCropBlock(*compound.Attributes, output);
    if (lineB)
        output.push_back(*lineB);
}

void TZentorModelGlidar::WriteHorizonTable(const std::string& header,
                                           const TDAXOGUIDList& compounds,
                                           const std::vector<std::string>& rowValues,
                                           TTextLines& output) {
    output.push_back(header);
    std::string codes = "hor";
    for (const TDAXOGUIDEntry& compound : compounds)
        codes += " " + compound.Attributes->Value("SubstanceCode");
    output.push_back(codes);
    for (std::size_t row = 0; row < rowValues.size(); ++row) {
        std::string line = std::to_string(row + 1);
        for (std::size_t i = 0; i < compounds.Count(); ++i)
            line += " " + rowValues[row];
        output.push_back(line);
    }
    output.push_back("end_table");
    output.emplace_back();
}

void TZentorModelGlidar::WriteTransformationBlock(const TDAXOAttributeList& compound,
                                                  TTextLines& output) {
    const std::string code = compound.Value("SubstanceCode");
    output.push_back("EqlDom_Input     OptDT50_" + code);
    output.push_back(Format("%-16s MolMas_%s (g.mol-1)", compound.Value("MolMass"), code));
    output.push_back((UpperCase(compound.Value("OptCntLiqTraRef")) == TrueText
                          ? "OptimumConditions OptCntLiqTraRef_"
                          : "NonOptimumConditions OptCntLiqTraRef_") +
                     code);
    WriteParameterLines(compound,
                        {{"%-16s DT50Ref_%s (d)", "DT50Ref"},
                         {"%-16s TemRefTra_%s (C)", "TemRefTra"},
                         {"%-16s ExpLiqTra_%s (-)", "ExpLiqTra"},
                         {"%-16s CntLiqTraRef_%s (kg.kg-1)", "CntLiqTraRef"},
                         {"%-16s MolEntTra_%s (kJ.mol-1)", "MolEntTra"},
                         {"", ""}},
                        output);
}

void TZentorModelGlidar::WriteSorptionAndCropBlock(const TDAXOAttributeList& compound,
                                                   TTextLines& output) {
    const std::string code = compound.Value("SubstanceCode");
    WriteParameterLines(
        compound,
        {{"%-16s MolEntSor_%s (kJ.mol-1)", "MolEntSor"}, {"%-16s TemRefSor_%s (C)", "TemRefSor"}},
        output);
    if (StrToInt(compound.Value("OptCofFreCode")) != RequiredSorptionOption)
        throw Exception("Invalid option for OptCofFre");
    output.push_back(Format("%-16s OptCofFre_%s", "pH-independent", code));
    WriteParameterLines(compound,
                        {{"%-16s KomEql_%s (L.kg-1)", "KomEql"},
                         {"%-16s KomEqlMax_%s (L.kg-1)", "KomEql"},
                         {"%-16s ConLiqRef_%s (mg.L-1)", "ConLiqRef"},
                         {"", ""},
                         {"%-16s ExpFre_%s (-)", "ExpFre"},
                         {"%-16s PreVapRef_%s (Pa)", "PreVapRef"},
                         {"%-16s TemRefVap_%s (C)", "TemRefVap"},
                         {"%-16s SlbWatRef_%s (mg.L-1)", "SlbWatRef"},
                         {"%-16s TemRefSlb_%s (C)", "TemRefSlb"},
                         {"%-16s MolEntSlb_%s (kJ.mol-1)", "MolEntSlb"},
                         {"%-16s MolEntVap_%s (kJ.mol-1)", "MolEntVap"},
                         {"", ""},
                         {"%-16s CofDesRat_%s (d-1)", "CofDesRat"},
                         {"%-16s FacSorNeqEql_%s (-)", "FacSorNeqEql"},
                         {"", ""},
                         {"%-16s FacUpt_%s (-)", "FacUpt"},
                         {"", ""}},
                        output);
    const std::string canopyOption = CanopyOptionText(StrToInt(compound.Value("OptDspCrp")));
    if (!canopyOption.empty())
        output.push_back(Format("%-16s OptDspCrp_%s", canopyOption, code));
    WriteParameterLines(compound,
                        {{"%-16s DT50DspCrp_%s (d)", "DT50DspCrp"},
                         {"%-16s DT50PenCrp_%s (d)", "DT50PenCrp"},
                         {"%-16s DT50VolCrp_%s (d)", "DT50VolCrp"},
                         {"%-16s DT50TraCrp_%s (d)", "DT50TraCrp"},
                         {"%-16s FacWasCrp_%s (m-1)", "FacWasCrp"},
                         {"", ""},
                         {"%-16s TemRefDif_%s (C)", "TemRefDif"},
                         {"%-16s CofDifWatRef_%s (m2.d-1)", "CofDifWatRef"},
                         {"%-16s CofDifAirRef_%s (m2.d-1)", "CofDifAirRef"},
                         {"", ""},
                         {"%-16s DT50AnaRef_%s (d)", "DT50AnaRef"},
                         {"%-16s DT50WatLayRef_%s (d)", "DT50WatLayRef"},
                         {"%-16s TemRefTraAna_%s (C)", "TemRefTraAna"},
                         {"%-16s MolEntTraAna_%s (kJ.mol-1)", "MolEntTraAna"},
                         {"", ""}},
                        output);
}

std::string TZentorModelGlidar::ScenarioCacheStem(const TdciScenarios& scenario) const {
    // What GLIDAR makes the two files from: the scenario's period, template, weather and
    // ponding, and the model program itself.
    struct stat program {};
    ::stat((ModelDirectory() + ExecutableName()).c_str(), &program);
    const std::string source =
        Format("%d\x1F%d\x1F", scenario.STARTYEAR(), scenario.ENDYEAR()) + scenario.GLIDAR_data() +
        "\x1F" + scenario.GLIDAR_meteo() + "\x1F" + scenario.GLIDAR_pond() + "\x1F" +
        ModelDirectory() + ExecutableName() + "\x1F" + std::to_string(program.st_size) + "\x1F" +
        std::to_string(program.st_mtim.tv_sec) + "." + std::to_string(program.st_mtim.tv_nsec);
    return FittingFileStem(FileNamePart(scenario.CAPTION()) + "." +
                               TextSha256(source).substr(0, CacheKeyDigits),
                           CacheExtensionBytes + DigestSuffix.size());
}

std::string TZentorModelGlidar::CacheFile(const std::string& extension) const {
    return scenarioCacheDirectory_ + scenarioCacheStem_ + extension;
}

bool TZentorModelGlidar::CacheFileIntact(const std::string& path) {
    const std::string digestFile = path + std::string(DigestSuffix);
    if (!FileExists(path) || !FileExists(digestFile))
        return false;
    const TTextLines digest = LoadTextLines(digestFile);
    try {
        return digest.size() == 1 && digest[0] == FileSha256(path);
    } catch (const EOSError&) {
        return false; // unreadable: written again by the next run
    }
}

bool TZentorModelGlidar::PreloadScenarioFile(const std::string& extension) {
    const std::string target = RunModelFile(FileNamePart(meteoStation_ + extension));
    const std::string cached = CacheFile(extension);
    if (!scenarioCacheDirectory_.empty() && !FileExists(target) && CacheFileIntact(cached)) {
        TWaitCursor busy;
        CopyTextFile(cached, target);
        takenFromCache_.insert(extension);
    }
    return FileExists(target);
}

void TZentorModelGlidar::SaveScenarioFile(const std::string& extension) {
    const std::string source = RunModelFile(FileNamePart(meteoStation_ + extension));
    const std::string cached = CacheFile(extension);
    // A file taken from the cache was found intact there a moment ago.
    if (scenarioCacheDirectory_.empty() || takenFromCache_.count(extension) ||
        !FileExists(source) || CacheFileIntact(cached))
        return;
    // A torn or altered file is replaced whole; the digest beside it follows, so a reader
    // between the two sees a digest that does not match and takes nothing.
    if (!CopyTextFileOnce(source, cached))
        ReplaceFileWhole(cached, [&](const std::string& file) { CopyTextFile(source, file); });
    const std::string digest = FileSha256(cached);
    ReplaceFileWhole(cached + std::string(DigestSuffix),
                     [&](const std::string& file) { SaveTextLines(file, {digest}); });
}

bool TZentorModelGlidar::PrepareRun() {
    WriteRunScript({});
    return true;
}

bool TZentorModelGlidar::FinishRun(int exitCode) {
    if (exitCode != 0)
        return false;
    const bool ok = CheckRun();
    // The ".bfo" last: a cache that holds it holds the ".swe" too.
    SaveScenarioFile(".swe");
    SaveScenarioFile(".bfo");
    return ok;
}

bool TZentorModelGlidar::CheckRun() {
    ReadErrorFile();
    ReadSummary();
    return RunConfirmed();
}

void TZentorModelGlidar::ReadSummary() {
    ReadSummaryBlock();
}

void TZentorModelGlidar::ShowResults(TdciAssessments* assessment, TTextLines& lines) {
    TZentorModel::ShowResults(assessment, lines);
    if (assessment && !assessment->ERRORMESSAGE().empty())
        lines.push_back(assessment->ERRORMESSAGE());
}

} // namespace parvela
