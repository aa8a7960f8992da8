// Test support for the model programs: the assessments whose inputs the program's writers
// write (ProgramInputs.h), runs of the real programs and readers of their result files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace parvela::models::test {

using Attributes = std::map<std::string, std::string>;
using Lines = std::vector<std::string>;

// The plug-in's attribute lists of a substance and of one metabolite M1 formed from it.
Attributes ParentAttributes();
Attributes MetaboliteAttributes();

struct ApplicationRow {
    int day;
    int month;
    std::string code;
    double dosage;     // kg.ha-1
    double parameter;  // parameter, or interception fraction for AppCrpUsr
    double sprayDrift; // percent
};

struct Assessment {
    std::string scenario = "Testfield";
    int startYear = 1990;
    int endYear = 1991;
    std::string scheme = "Two sprays";
    std::vector<ApplicationRow> applications = {{5, 5, "AppCrpUsr", 1.0, 0.5, 0.2},
                                                {1, 6, "AppCrpUsr", 1.0, 0.5, 0.2}};
    Attributes parent = ParentAttributes();
    std::vector<Attributes> metabolites = {MetaboliteAttributes()};
};

// Templates of a test field; the delivered scenarios have their own.
Lines TestGlidarTemplate();
Lines TestMundreTemplate();

Lines SplitText(const std::string& text);
void WriteLines(const std::filesystem::path& path, const Lines& lines);
Lines ReadFileLines(const std::filesystem::path& path);
std::string ReadFileText(const std::filesystem::path& path);

// Daily files of a test field over the given years: weather, ponding (flooded from May to
// August with overflow after rain) and rain.
Lines TestMeteo(int firstYear, int lastYear);
Lines TestPonding(int firstYear, int lastYear);
Lines TestRain(int firstYear, int lastYear);

// Replaces the first line that holds the text, or removes it; a test fault when none does.
void Replace(Lines& lines, const std::string& containing, const std::string& by);
void Remove(Lines& lines, const std::string& containing);

// A fresh, empty directory for one test.
std::filesystem::path FreshDirectory(const std::string& name);

// Runs a program with the given arguments and working directory; returns its exit code.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& workingDirectory);
std::filesystem::path Glidar();
std::filesystem::path Mundre();

// A GLIDAR model directory with the input file ID.gld and its companion files.
void PrepareGlidarRun(const std::filesystem::path& directory, const std::string& id,
                      const Lines& input, const Assessment& assessment);
void PrepareMundreRun(const std::filesystem::path& directory, const std::string& id,
                      const Lines& input, const Assessment& assessment);

// The report block between the markers, both included (empty when there is none).
Lines ReportBlock(const std::filesystem::path& summary, const std::string& startMarker,
                  const std::string& endMarker);
// The words of the block row that begins with the given word.
std::vector<std::string> RowOf(const Lines& block, const std::string& firstWord);
// The value of a MUNDRE report line that begins with the given text.
double MundreValue(const Lines& block, const std::string& quantity);
double Number(const std::string& text);

} // namespace parvela::models::test
