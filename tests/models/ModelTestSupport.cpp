#include "tests/models/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
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
