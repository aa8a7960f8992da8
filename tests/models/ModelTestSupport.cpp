#include "tests/models/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace parvela::models::test {

namespace {

const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Get(const Attributes& attributes, const std::string& name) {
    const auto found = attributes.find(name);
    return found == attributes.end() ? "" : found->second;
}

bool Contains(const std::string& line, const std::string& text) {
    return line.find(text) != std::string::npos;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

std::string DayMonth(int day, int month) {
    return Fmt("%.2d-%s", day, Months[month - 1]);
}

// Calls the function with year, month, day and day of year for every day of the years.
template <typename Function> void ForEachDay(int firstYear, int lastYear, Function function) {
    for (int year = firstYear; year <= lastYear; ++year) {
        int dayOfYear = 0;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(year, month); ++day)
                function(year, month, day, ++dayOfYear);
    }
}

std::string Date(int year, int month, int day) {
    return DayMonth(day, month) + Fmt("-%d", year);
}

// The rules of the GLIDAR writer's substance section.
void AddTransformationBlock(Lines& out, const Attributes& a) {
    const std::string code = Get(a, "SubstanceCode");
    const char* c = code.c_str();
    out.push_back("EqlDom_Input     OptDT50_" + code);
    out.push_back(Fmt("%-16s MolMas_%s (g.mol-1)", Get(a, "MolMass").c_str(), c));
    std::string option = Get(a, "OptCntLiqTraRef");
    for (char& ch : option)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    out.push_back((option == "TRUE" ? "OptimumConditions" : "NonOptimumConditions") +
                  std::string(" OptCntLiqTraRef_") + code);
    for (const auto& [name, unit] :
         std::vector<std::pair<std::string, std::string>>{{"DT50Ref", "d"},
                                                          {"TemRefTra", "C"},
                                                          {"ExpLiqTra", "-"},
                                                          {"CntLiqTraRef", "kg.kg-1"},
                                                          {"MolEntTra", "kJ.mol-1"}})
        out.push_back(Fmt("%-16s %s_%s (%s)", Get(a, name).c_str(), name.c_str(), c, unit.c_str()));
    out.push_back("");
}

void AddParameterLines(Lines& out, const Attributes& a,
                       const std::vector<std::pair<std::string, std::string>>& parameters) {
    const std::string code = Get(a, "SubstanceCode");
    for (const auto& [name, unit] : parameters) {
        if (name.empty())
            out.push_back("");
        else
            out.push_back(Fmt("%-16s %s_%s (%s)", Get(a, name).c_str(), name.c_str(), code.c_str(),
                              unit.c_str()));
    }
}

void AddSorptionAndCropBlock(Lines& out, const Attributes& a) {
    const std::string code = Get(a, "SubstanceCode");
    const char* c = code.c_str();
    AddParameterLines(out, a, {{"MolEntSor", "kJ.mol-1"}, {"TemRefSor", "C"}});
    if (std::stoi(Get(a, "OptCofFreCode")) != 3)
        throw std::runtime_error("Invalid option for OptCofFre");
    out.push_back(Fmt("%-16s OptCofFre_%s", "pH-independent", c));
    out.push_back(Fmt("%-16s KomEql_%s (L.kg-1)", Get(a, "KomEql").c_str(), c));
    out.push_back(Fmt("%-16s KomEqlMax_%s (L.kg-1)", Get(a, "KomEql").c_str(), c));
    AddParameterLines(out, a,
                      {{"ConLiqRef", "mg.L-1"},
                       {"", ""},
                       {"ExpFre", "-"},
                       {"PreVapRef", "Pa"},
                       {"TemRefVap", "C"},
                       {"SlbWatRef", "mg.L-1"},
                       {"TemRefSlb", "C"},
                       {"MolEntSlb", "kJ.mol-1"},
                       {"MolEntVap", "kJ.mol-1"},
                       {"", ""},
                       {"CofDesRat", "d-1"},
                       {"FacSorNeqEql", "-"},
                       {"", ""},
                       {"FacUpt", "-"},
                       {"", ""}});
    const int dsp = std::stoi(Get(a, "OptDspCrp"));
    const char* const options[] = {"Lumped", "Specified", "Calculated"};
    if (dsp >= 1 && dsp <= 3)
        out.push_back(Fmt("%-16s OptDspCrp_%s", options[dsp - 1], c));
    AddParameterLines(out, a,
                      {{"DT50DspCrp", "d"},
                       {"DT50PenCrp", "d"},
                       {"DT50VolCrp", "d"},
                       {"DT50TraCrp", "d"},
                       {"FacWasCrp", "m-1"},
                       {"", ""},
                       {"TemRefDif", "C"},
                       {"CofDifWatRef", "m2.d-1"},
                       {"CofDifAirRef", "m2.d-1"},
                       {"", ""},
                       {"DT50AnaRef", "d"},
                       {"DT50WatLayRef", "d"},
                       {"TemRefTraAna", "C"},
                       {"MolEntTraAna", "kJ.mol-1"},
                       {"", ""}});
}

Lines GlidarSubstanceSection(const Assessment& s, const std::string& lineA,
                             const std::string& lineB) {
    std::vector<const Attributes*> compounds = {&s.parent};
    for (const Attributes& m : s.metabolites)
        compounds.push_back(&m);
    const std::string parentCode = Get(s.parent, "SubstanceCode");
    Lines out;
    out.push_back(parentCode + " SubstanceName");
    out.push_back("table compounds");
    for (const Attributes* a : compounds)
        out.push_back(Get(*a, "SubstanceCode"));
    out.push_back("end_table");
    out.push_back("");
    out.push_back("table FraPrtDau (mol.mol-1)");
    for (const Attributes& m : s.metabolites)
        out.push_back(Fmt("%s %s -> %s", Get(m, "FraPrtDau").c_str(), parentCode.c_str(),
                          Get(m, "SubstanceCode").c_str()));
    out.push_back("end_table");
    out.push_back("");
    for (const Attributes* a : compounds)
        AddTransformationBlock(out, *a);
    std::string header = "hor";
    for (const Attributes* a : compounds)
        header += " " + Get(*a, "SubstanceCode");
    const auto horizonRows = [&](int rows, const std::vector<std::string>& values) {
        for (int r = 1; r <= rows; ++r) {
            std::string row = std::to_string(r);
            for (std::size_t i = 0; i < compounds.size(); ++i)
                row += values[static_cast<std::size_t>(r - 1)];
            out.push_back(row);
        }
    };
    out.push_back("table horizon FacZTra (-)");
    out.push_back(header);
    horizonRows(7, {" 1.0", " 1.0", " 0.5", " 0.5", " 0.5", " 0.0", " 0.0"});
    out.push_back("end_table");
    out.push_back("");
    out.push_back(lineA);
    out.push_back("table horizon FacZSor (-)");
    out.push_back(header);
    horizonRows(6, {" -99", " -99", " -99", " -99", " -99", " -99"});
    out.push_back("end_table");
    out.push_back("");
    for (const Attributes* a : compounds)
        AddSorptionAndCropBlock(out, *a);
    out.push_back(lineB);
    return out;
}

Lines GlidarApplicationsTable(const Assessment& s) {
    Lines out = {"table Applications"};
    for (const ApplicationRow& a : s.applications) {
        std::string line =
            Fmt("%-13s %9s %9.4f", DayMonth(a.day, a.month).c_str(), a.code.c_str(), a.dosage);
        if (a.code == "AppSolTil" || a.code == "AppSolInj" || a.code == "AppCrpUsr")
            line += Fmt("%9.2f", a.parameter);
        out.push_back(line);
    }
    out.push_back("end_table");
    return out;
}

Lines MundreLoadingsTable(const Assessment& s, std::string rowFormat) {
    const std::size_t colon = rowFormat.find(':');
    if (colon != std::string::npos)
        rowFormat = rowFormat.substr(colon + 1);
    Lines out = {"table Loadings"};
    for (int year = s.startYear; year <= s.endYear; ++year)
        for (const ApplicationRow& a : s.applications) {
            std::string row = rowFormat;
            row.replace(row.find("@APPDATE"), 8, DayMonth(a.day, a.month) + Fmt("-%d", year));
            row.replace(row.find("@DOSAGE"), 7, Fmt("%.2f", a.dosage * a.sprayDrift));
            out.push_back(row);
        }
    out.push_back("end_table");
    return out;
}

bool FindOverrideLine(const std::string& keyword, const std::string& code,
                      const Lines& substanceLines, Lines& out) {
    for (const std::string& line : substanceLines)
        if (Contains(line, keyword + "_")) {
            std::string replaced = line;
            const std::size_t at = replaced.find('@');
            if (at != std::string::npos)
                replaced.replace(at, 1, code);
            out.push_back(replaced);
            return true;
        }
    return false;
}

Lines MundreSubstanceSection(const Assessment& s, const Lines& substanceLines) {
    const Attributes& a = s.parent;
    const std::string code = Get(a, "SubstanceCode");
    Lines out;
    out.push_back(Fmt("%-18s SubstanceName", code.c_str()));
    out.push_back("table compounds");
    out.push_back(code);
    out.push_back("end_table");
    out.push_back("");
    out.push_back("table FraPrtDauWat (mol.mol-1)");
    out.push_back("end_table");
    out.push_back("");
    out.push_back("table FraPrtDauSed (mol.mol-1)");
    out.push_back("end_table");
    out.push_back("");
    out.push_back(Fmt("*--------------- Parent: %s ---------------", code.c_str()));
    struct Parameter {
        const char* keyword;
        const char* format;
        const char* attribute;
    };
    const std::vector<Parameter> parameters = {
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
        {"CofSorMph", "%-18s CofSorMph_%s (L.kg-1)       ! DAXO attribute name: KSorMph",
         "KSorMph"},
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
    for (const Parameter& p : parameters) {
        if (*p.keyword == '\0') {
            out.push_back("");
            continue;
        }
        if (!FindOverrideLine(p.keyword, code, substanceLines, out)) {
            char buffer[512];
            std::snprintf(buffer, sizeof buffer, p.format, Get(a, p.attribute).c_str(),
                          code.c_str());
            out.push_back(buffer);
        }
    }
    return out;
}

} // namespace

Attributes ParentAttributes() {
    return {{"SubstanceCode", "ABC"},
            {"MolMass", "300.0"},
            {"DT50Ref", "10"},
            {"TemRefTra", "20"},
            {"ExpLiqTra", "0.7"},
            {"CntLiqTraRef", "1.0"},
            {"MolEntTra", "65.4"},
            {"OptCntLiqTraRef", "True"},
            {"MolEntSor", "0.0"},
            {"TemRefSor", "20"},
            {"OptCofFreCode", "3"},
            {"KomEql", "50"},
            {"ConLiqRef", "1.0"},
            {"ExpFre", "0.9"},
            {"PreVapRef", "1E-05"},
            {"TemRefVap", "20"},
            {"SlbWatRef", "100"},
            {"TemRefSlb", "20"},
            {"MolEntSlb", "27"},
            {"MolEntVap", "95"},
            {"CofDesRat", "0"},
            {"FacSorNeqEql", "0"},
            {"FacUpt", "0.5"},
            {"OptDspCrp", "1"},
            {"DT50DspCrp", "10"},
            {"DT50PenCrp", "1000000"},
            {"DT50VolCrp", "1000000"},
            {"DT50TraCrp", "1000000"},
            {"FacWasCrp", "0.0001"},
            {"TemRefDif", "20"},
            {"CofDifWatRef", "4.3E-05"},
            {"CofDifAirRef", "0.43"},
            {"DT50AnaRef", "1000"},
            {"DT50WatLayRef", "1000"},
            {"TemRefTraAna", "20"},
            {"MolEntTraAna", "65.4"},
            {"DT50WatRef", "5"},
            {"TemRefTraWat", "20"},
            {"MolEntTraWat", "65.4"},
            {"DT50SedRef", "30"},
            {"TemRefSed", "20"},
            {"MolEntTraSed", "65.4"},
            {"KomSed", "50"},
            {"ConLiqRefSed", "1.0"},
            {"ExpFreSed", "0.9"},
            {"KomSus", "50"},
            {"ConLiqRefSus", "1.0"},
            {"ExpFreSus", "0.9"},
            {"KSorMph", "0"}};
}

Attributes MetaboliteAttributes() {
    Attributes m = ParentAttributes();
    m["SubstanceCode"] = "M1";
    m["MolMass"] = "150.0";
    m["DT50Ref"] = "40";
    m["KomEql"] = "10";
    m["FraPrtDau"] = "0.5";
    m["OptCntLiqTraRef"] = "False";
    m["OptDspCrp"] = "4";
    return m;
}

Lines ExpandGlidarTemplate(const Lines& t, const Assessment& s) {
    Lines out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const std::string& line = t[i];
        if (Contains(line, "@START"))
            out.push_back(Fmt("01-Jan-%d       TimStart", s.startYear));
        else if (Contains(line, "@STOP"))
            out.push_back(Fmt("31-Dec-%d       TimEnd", s.endYear));
        else if (Contains(line, "@APPLICATIONSCHEME"))
            out.push_back(s.scheme + " ApplicationScheme");
        else if (Contains(line, "@APPLICATIONSTABLE")) {
            const Lines table = GlidarApplicationsTable(s);
            out.insert(out.end(), table.begin(), table.end());
        } else if (Contains(line, "@SUBSTANCE")) {
            const Lines section = GlidarSubstanceSection(s, t.at(i + 1), t.at(i + 2));
            out.insert(out.end(), section.begin(), section.end());
            i += 2;
        } else if (Contains(line, "@METEO"))
            out.push_back(s.scenario + " MeteoStation");
        else if (Contains(line, "@PONDINGDEPTHFILE"))
            out.push_back(s.scenario + " PondingDepthFile");
        else
            out.push_back(line);
    }
    return out;
}

Lines ExpandMundreTemplate(const Lines& t, const Assessment& s) {
    Lines out;
    Lines substanceLines;
    bool inside = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const std::string& line = t[i];
        if (Contains(line, "@START"))
            out.push_back(Fmt("01-Jan-%d        TimStart", s.startYear));
        else if (Contains(line, "@STOP"))
            out.push_back(Fmt("31-Dec-%d        TimEnd", s.endYear));
        else if (Contains(line, "@APPLICATIONSCHEME"))
            out.push_back(s.scheme + " ApplicationScheme");
        else if (Contains(line, "@APPLICATIONSTABLE")) {
            const Lines table = MundreLoadingsTable(s, t.at(i + 1));
            out.insert(out.end(), table.begin(), table.end());
        } else if (Contains(line, "@APPDATE")) {
        } else if (Contains(line, "@END_SUBSTANCE")) {
            inside = false;
            const Lines section = MundreSubstanceSection(s, substanceLines);
            out.insert(out.end(), section.begin(), section.end());
        } else if (inside)
            substanceLines.push_back(line);
        else if (Contains(line, "@SUBSTANCE"))
            inside = true;
        else if (Contains(line, "@METEO"))
            out.push_back(s.scenario + " MeteoStation");
        else
            out.push_back(line);
    }
    return out;
}

Lines TestGlidarTemplate() {
    return SplitText(R"(* GLIDAR input of a test field
@START
@STOP
@APPLICATIONSCHEME
@APPLICATIONSTABLE
@SUBSTANCE
* line A of the template
* line B of the template
@METEO
@PONDINGDEPTHFILE
0.03      CntOm (kg.kg-1)
1.2       RhoSol (kg.L-1)
0.55      ThetaSat (m3.m-3)
0.40      ThetaFc (m3.m-3)
0.05      ThiTopSol (m)
3.0       FlvPerPnd (mm.d-1)
0.01      CofMasTraWatSol (m.d-1)
2.0       TimConTemSol (d)
1.0       DepPndMin (mm)
Yes       OptDailyOutput)");
}

Lines TestMundreTemplate() {
    return SplitText(R"(* MUNDRE input of a test pond
@START
@STOP
@APPLICATIONSCHEME
@APPLICATIONSTABLE
Row format: @APPDATE @DOSAGE
@SUBSTANCE
0.0       CofSorMph_@ (L.kg-1)   ! no macrophytes
a line without any keyword
@END_SUBSTANCE
@METEO
1000.0    VolWat (m3)
1.0       DepWat (m)
10000.0   AreaFieldDrained (m2)
20.0      FlwBas (m3.d-1)
0.05      ThiSed (m)
0.8       RhoSed (kg.L-1)
0.6       ThetaSed (m3.m-3)
0.09      CntOmSed (kg.kg-1)
0.01      CofMasTraSed (m.d-1)
Yes       OptDailyOutput)");
}

Lines SplitText(const std::string& text) {
    Lines lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void WriteLines(const std::filesystem::path& path, const Lines& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines)
        out << line << "\r\n";
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Lines ReadFileLines(const std::filesystem::path& path) {
    return SplitText(ReadFileText(path));
}

Lines TestMeteo(int firstYear, int lastYear) {
    Lines lines = {"* test weather", "* Date TemMin TemMax Rad Rain"};
    ForEachDay(firstYear, lastYear, [&](int y, int m, int d, int doy) {
        const double mean = 17 - 11 * std::cos(2 * M_PI * (doy - 15) / 365.0);
        const double rain = doy % 5 == 0 ? 12.0 : 0.0;
        lines.push_back(Fmt("%s %6.1f %6.1f %6.2f %6.1f", Date(y, m, d).c_str(), mean - 4, mean + 4,
                            15.0, rain));
    });
    return lines;
}

Lines TestPonding(int firstYear, int lastYear) {
    Lines lines = {"* test ponding", "* Date DepPnd FlvOut"};
    ForEachDay(firstYear, lastYear, [&](int y, int m, int d, int doy) {
        const bool flooded = m >= 5 && m <= 8;
        const double outflow = flooded && doy % 5 == 0 ? 8.0 : 0.0;
        lines.push_back(
            Fmt("%s %6.1f %6.1f", Date(y, m, d).c_str(), flooded ? 50.0 : 0.0, outflow));
    });
    return lines;
}

Lines TestRain(int firstYear, int lastYear) {
    Lines lines = {"* test rain"};
    ForEachDay(firstYear, lastYear, [&](int y, int m, int d, int doy) {
        lines.push_back(Fmt("%s %6.1f", Date(y, m, d).c_str(), doy % 5 == 0 ? 12.0 : 0.0));
    });
    return lines;
}

void Replace(Lines& lines, const std::string& containing, const std::string& by) {
    for (std::string& line : lines)
        if (Contains(line, containing)) {
            line = by;
            return;
        }
    ADD_FAILURE() << "no line holds " << containing;
}

void Remove(Lines& lines, const std::string& containing) {
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&](const std::string& l) { return Contains(l, containing); });
    if (found == lines.end())
        ADD_FAILURE() << "no line holds " << containing;
    else
        lines.erase(found);
}

std::filesystem::path FreshDirectory(const std::string& name) {
    const std::filesystem::path directory =
        std::filesystem::path(PARVELA_TEST_WORK_DIR) / "models" / name;
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    return directory;
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& workingDirectory) {
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        if (chdir(workingDirectory.c_str()) != 0)
            _exit(126);
        std::vector<char*> argv;
        std::string name = program.string();
        argv.push_back(name.data());
        std::vector<std::string> copies = arguments;
        for (std::string& argument : copies)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(name.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        throw std::runtime_error("waitpid failed");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::filesystem::path Glidar() {
    return std::filesystem::path(PARVELA_BIN_DIR) / "models" / "glidarmodel";
}

std::filesystem::path Mundre() {
    return std::filesystem::path(PARVELA_BIN_DIR) / "models" / "Mundremodel";
}

void PrepareGlidarRun(const std::filesystem::path& directory, const std::string& id,
                      const Lines& input, const Assessment& s) {
    WriteLines(directory / (id + ".gld"), input);
    WriteLines(directory / (s.scenario + ".met"), TestMeteo(s.startYear, s.endYear));
    WriteLines(directory / (s.scenario + ".pnd"), TestPonding(s.startYear, s.endYear));
}

void PrepareMundreRun(const std::filesystem::path& directory, const std::string& id,
                      const Lines& input, const Assessment& s) {
    WriteLines(directory / (id + ".mnd"), input);
    WriteLines(directory / (s.scenario + ".met"), TestMeteo(s.startYear, s.endYear));
    WriteLines(directory / (s.scenario + ".rai"), TestRain(s.startYear, s.endYear));
}

Lines ReportBlock(const std::filesystem::path& summary, const std::string& startMarker,
                  const std::string& endMarker) {
    Lines block;
    bool inside = false;
    for (const std::string& line : ReadFileLines(summary)) {
        if (Contains(line, endMarker)) {
            if (inside)
                block.push_back(line);
            inside = false;
            continue;
        }
        if (Contains(line, startMarker))
            inside = true;
        if (inside)
            block.push_back(line);
    }
    return block;
}

std::vector<std::string> RowOf(const Lines& block, const std::string& firstWord) {
    for (const std::string& line : block) {
        std::istringstream words(line);
        std::vector<std::string> row;
        for (std::string word; words >> word;)
            row.push_back(word);
        if (!row.empty() && row.front() == firstWord)
            return row;
    }
    return {};
}

double MundreValue(const Lines& block, const std::string& quantity) {
    for (const std::string& line : block)
        if (line.rfind(quantity, 0) == 0) {
            std::istringstream rest(line.substr(quantity.size()));
            std::string value;
            rest >> value;
            return Number(value);
        }
    ADD_FAILURE() << "no report line " << quantity;
    return std::nan("");
}

double Number(const std::string& text) {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size())
        throw std::runtime_error("not a number: " + text);
    return value;
}

} // namespace parvela::models::test
