// The summary report of real runs of the model programs with their daily output: the charts
// after each model's block, read back with an XML parser and compared with the figures of
// the blocks; the run's input files with their hashes; the project summary.

#include "tests/modelruns/ModelRunTest.h"

#include "program/plugin/DAXOTextList.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/DailyOutput.h"
#include "program/reports/ProjectSummary.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/TModelManager.h"
#include "tests/support/SvgCharts.h"

#include <gmock/gmock.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

namespace parvela::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr int ProjectID = 80;
const std::string StoredFilesHeading =
    "<P class=\"FontTitle2\">The stored files no longer match the results of this report</P>";

// A figure of a model's block: the number as printed and what follows it on the line.
struct TBlockFigure {
    double Value = 0;
    double Resolution = 0; // half a unit of the last printed digit
    std::vector<std::string> Rest;
};

TBlockFigure FigureOf(const std::string& text, std::vector<std::string> rest = {}) {
    const std::size_t point = text.find('.');
    const int decimals = point == std::string::npos ? 0 : int(text.size() - point - 1);
    return {std::stod(text), 0.5 * std::pow(10.0, -decimals), std::move(rest)};
}

std::vector<std::string> WordsOf(const std::string& line) {
    return SplitWords(line);
}

// The stored report's lines without their line breaks.
std::vector<std::string> ReportLines(const std::string& report) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : report + "@")
        if (c == '@') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r' && c != '\n')
            line += c;
    return lines;
}

// GLIDAR's compound rows: code -> maximum concentration, its date.
std::map<std::string, TBlockFigure> GlidarMaxima(const std::string& report) {
    std::map<std::string, TBlockFigure> maxima;
    bool inTable = false;
    for (const std::string& line : ReportLines(report)) {
        const std::vector<std::string> words = WordsOf(line);
        if (line == "End of GLIDAR REPORT")
            break;
        if (inTable && words.size() > 2 && words[0].front() != '(')
            maxima[words[0]] = FigureOf(words[1], {words[2]});
        inTable = inTable || (!words.empty() && words[0] == "Compound");
    }
    return maxima;
}

// A MUNDRE line "label   value  unit  [date]".
TBlockFigure MundreFigure(const std::string& report, const std::string& label) {
    for (const std::string& line : ReportLines(report))
        if (line.rfind(label, 0) == 0) {
            std::vector<std::string> words = WordsOf(line.substr(label.size()));
            return FigureOf(words.at(0), {words.begin() + 1, words.end()});
        }
    ADD_FAILURE() << "no line " << label;
    return {};
}

// "20-Jul-2001" as the charts write dates.
std::string ChartDate(const std::string& modelDate) {
    static const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const int month = static_cast<int>(months.find(modelDate.substr(3, 3)) / 3 + 1);
    char text[16];
    std::snprintf(text, sizeof text, "%s-%02d-%s", modelDate.substr(7, 4).c_str(), month,
                  modelDate.substr(0, 2).c_str());
    return text;
}

// The number that follows `before` in the text.
double NumberAfter(const std::string& text, const std::string& before) {
    const std::size_t at = text.find(before);
    EXPECT_NE(at, std::string::npos) << before << " in " << text;
    return at == std::string::npos ? NAN : std::stod(text.substr(at + before.size()));
}

class ReportChartsTest : public ModelRunTest {
protected:
    void SetUp() override {
        ModelRunTest::SetUp();
        LoadDeliveredScenarios();
        AddProject(ProjectID, "Charted");
    }

    // Runs the marked assessments of the project; the report of `id` afterwards.
    std::string RunAndReport(int id) {
        EXPECT_TRUE(TModelManager::GetSingleton().RunProject(&Project(ProjectID)))
            << StoredResults(id).ErrorMessage;
        return ReadWholeFile(WriteSummaryReportFile(OpenAssessment(id)));
    }

    std::string RunDirectory(int id) {
        return TModelManager::GetSingleton().ProjectDirectory(ProjectID, true) +
               std::to_string(id) + "/";
    }

    // The lines under the report's heading that says where the stored files no longer match
    // its results; none when it has no such heading.
    std::vector<std::string> Mismatches(int id) {
        const std::string page = ReadWholeFile(WriteSummaryReportFile(OpenAssessment(id)));
        const std::size_t at = page.find(StoredFilesHeading);
        std::vector<std::string> lines;
        if (at == std::string::npos)
            return lines;
        std::istringstream section(page.substr(at + StoredFilesHeading.size() + 2));
        for (std::string line; std::getline(section, line) && line != "<BR>\r";)
            lines.push_back(line);
        return lines;
    }
};

TEST_P(ReportChartsTest, ChartsFollowTheirBlocksAndPlotTheBlocksFigures) {
    AddAssessment(1, ProjectID, JinhuaScenarioID, AlphaGuid, DeliveredSchemeID, true, "Alpha");
    const std::string page = RunAndReport(1);
    const std::string report = StoredResults(1).AssessmentReport;
    for (const char* model : {"GLIDAR", "MUNDRE"})
        EXPECT_THAT(page, HasSubstr(std::string("End&nbsp;of&nbsp;") + model +
                                    "&nbsp;REPORT<BR>\r\n<DIV>\r\n<svg xmlns=\"http://www.w3.org/"
                                    "2000/svg\" id=\"chart-" +
                                    model + "\""));
    std::string errors;
    const std::vector<TSvgChart> charts = ReadSvgCharts(page, errors);
    ASSERT_EQ(charts.size(), 2u) << errors;
    EXPECT_EQ(errors, "");

    // GLIDAR: every compound's line reaches the maximum of the block, on its date.
    ASSERT_EQ(charts[0].Id, "chart-GLIDAR");
    ASSERT_EQ(charts[0].Panels.size(), 1u);
    const TSvgPanel& paddy = charts[0].Panels[0];
    const auto maxima = GlidarMaxima(report);
    ASSERT_EQ(maxima.size(), 4u) << "ALPHA and its three metabolites";
    ASSERT_EQ(paddy.Series.size(), maxima.size());
    EXPECT_EQ(paddy.DateTicks.front(), "2000-01-01");
    const double paddyAxis = paddy.ValueTicks.back().X;
    for (std::size_t s = 0; s < paddy.Series.size(); ++s) {
        const TSvgSeries& series = paddy.Series[s];
        ASSERT_EQ(maxima.count(series.Label), 1u) << series.Label;
        const TBlockFigure& figure = maxima.at(series.Label);
        EXPECT_EQ(series.Points.size(), 1096u) << "every day of 2000 to 2002";
        EXPECT_NEAR(paddy.PlottedMaximum(series), figure.Value, 1e-4 * paddyAxis) << series.Label;
        const std::string& legend = paddy.Legend.at(s);
        EXPECT_NEAR(NumberAfter(legend, series.Label + ", maximum "), figure.Value,
                    figure.Resolution + 1e-5 * figure.Value)
            << legend;
        EXPECT_THAT(legend, HasSubstr(" ug.L-1 on " + ChartDate(figure.Rest.at(0))));
    }

    // MUNDRE: the global maximum, the highest 21-day TWA and the sediment's maximum.
    ASSERT_EQ(charts[1].Id, "chart-MUNDRE");
    ASSERT_EQ(charts[1].Panels.size(), 2u);
    const TSvgPanel& water = charts[1].Panels[0];
    const TSvgPanel& sediment = charts[1].Panels[1];
    const TBlockFigure peak = MundreFigure(report, "Global maximum concentration in water");
    const TBlockFigure twa = MundreFigure(report, "Maximum 21-day TWA concentration in water");
    const TBlockFigure inSediment = MundreFigure(report, "Maximum content in sediment");
    ASSERT_EQ(water.Series.size(), 1u);
    const double waterAxis = water.ValueTicks.back().X;
    EXPECT_NEAR(water.PlottedMaximum(water.Series[0]), peak.Value, 1e-4 * waterAxis);
    ASSERT_EQ(water.Maxima.size(), 1u);
    EXPECT_NEAR(water.ValueAt(water.Maxima[0].Y), peak.Value, 1e-4 * waterAxis);
    ASSERT_EQ(water.Legend.size(), 2u);
    EXPECT_NEAR(NumberAfter(water.Legend[0], "Pond water, global maximum "), peak.Value,
                peak.Resolution + 1e-5 * peak.Value);
    EXPECT_THAT(water.Legend[0], HasSubstr("ug.L-1 on " + ChartDate(peak.Rest.at(1))));
    ASSERT_EQ(water.SpanEnds.size(), 2u);
    EXPECT_NEAR(water.ValueAt(water.SpanEnds[0].Y), twa.Value, 1e-4 * waterAxis);
    EXPECT_NEAR(NumberAfter(water.Legend[1], "Highest 21-day TWA "), twa.Value,
                twa.Resolution + 1e-5 * twa.Value);
    ASSERT_EQ(sediment.Series.size(), 1u);
    EXPECT_EQ(sediment.Title, "MUNDRE: content in the sediment");
    EXPECT_NEAR(sediment.PlottedMaximum(sediment.Series[0]), inSediment.Value,
                1e-4 * sediment.ValueTicks.back().X);
}

TEST_P(ReportChartsTest, TheRunRecordIsShownAndTheStoredFilesAreCheckedAgainstIt) {
    AddAssessment(8, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Recorded");
    const std::string page = RunAndReport(8);
    EXPECT_THAT(page, Not(HasSubstr(StoredFilesHeading))) << "a fresh run matches";
    EXPECT_THAT(page, Not(HasSubstr("Run input files"))) << "the record lists them";
    const std::size_t record = page.find("<P class=\"FontTitle2\">Run record</P>");
    ASSERT_NE(record, std::string::npos);
    EXPECT_GT(record, page.find("<P class=\"FontTitle2\">Inputs</P>")) << "after the inputs";
    // Every file of the models' directories, with its kind, size and SHA-256 as the run
    // recorded them: those of the files.
    const std::regex row("<TR><TD class=\"TableFirstCell\">([^<]*)</TD><TD>(input|output)</TD>"
                         "<TD>([0-9]+)</TD><TD>([0-9a-f]{64})</TD></TR>");
    std::map<std::string, std::vector<std::string>> rows;
    for (std::sregex_iterator it(page.begin() + record, page.end(), row), end; it != end; ++it)
        rows[(*it)[1]] = {(*it)[2], (*it)[3], (*it)[4]};
    std::set<std::string> files;
    for (const auto& model : {"GLIDAR", "MUNDRE"})
        for (const auto& file : fs::directory_iterator(RunDirectory(8) + model))
            files.insert(model + ("/" + file.path().filename().string()));
    std::set<std::string> listed;
    for (const auto& [name, cells] : rows) {
        listed.insert(name);
        EXPECT_EQ(cells[1], std::to_string(fs::file_size(RunDirectory(8) + name))) << name;
        EXPECT_EQ(cells[2], Sha256Sum(RunDirectory(8) + name)) << name;
    }
    EXPECT_EQ(listed, files);
    EXPECT_EQ(rows["GLIDAR/8.gld"].at(0), "input");
    EXPECT_EQ(rows["GLIDAR/8.sum"].at(0), "output");
    EXPECT_EQ(rows["MUNDRE/8.e2m"].at(0), "input") << "put in place for MUNDRE by its script";

    // "Input files" writes the same input files again: they still match.
    ASSERT_TRUE(TModelManager::GetSingleton().WriteInputFilesOnly(&OpenAssessment(8)));
    EXPECT_THAT(Mismatches(8), ::testing::IsEmpty());
    // Each changed, missing or extra file is named; so is a record of other substance data.
    std::ofstream(RunDirectory(8) + "GLIDAR/8.sum", std::ios::app) << "edited\r\n";
    fs::remove(RunDirectory(8) + "MUNDRE/mundre.ok");
    std::ofstream(RunDirectory(8) + "MUNDRE/extra.txt") << "extra";
    RunRawSQL("UPDATE ASSESSMENTS SET SUBSTANCECHECKSUM = 'other' WHERE ASSESSMENTID = 8");
    // A line of the page begins with the text, its blanks written as the page writes them.
    const auto starting = [](std::string text) {
        for (std::size_t at; (at = text.find(' ')) != std::string::npos;)
            text.replace(at, 1, "&nbsp;");
        return ::testing::StartsWith(text);
    };
    EXPECT_THAT(
        Mismatches(8),
        ElementsAre(starting("The run record names the substance checksum"),
                    starting("GLIDAR/8.sum differs from the run record: " +
                             std::to_string(fs::file_size(RunDirectory(8) + "GLIDAR/8.sum")) +
                             " bytes, SHA-256 " + Sha256Sum(RunDirectory(8) + "GLIDAR/8.sum") +
                             ", recorded " + rows["GLIDAR/8.sum"].at(1) + " bytes"),
                    starting("MUNDRE/extra.txt is not in the run record: 5 bytes"),
                    starting("MUNDRE/mundre.ok is missing: recorded 0 bytes")));
    fs::remove_all(RunDirectory(8));
    EXPECT_THAT(Mismatches(8), ElementsAre(starting("The run directory ")));
}

TEST_P(ReportChartsTest, WithoutARunRecordTheDirectorysInputFilesAreListed) {
    AddAssessment(2, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, true, "Traced");
    RunRawSQL("UPDATE ASSESSMENTS SET SUBSTANCECHECKSUM = 'sum-of-eta' WHERE ASSESSMENTID = 2");
    const std::regex row("<TR><TD class=\"TableFirstCell\">([^<]*)</TD><TD align=\"right\">"
                         "([0-9]+)</TD><TD><TT>([0-9a-f]{64})</TT>([^<]*)</TD></TR>");
    auto rowsOf = [&](const std::string& page) {
        std::map<std::string, std::vector<std::string>> rows;
        for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it)
            rows[(*it)[1]] = {(*it)[2], (*it)[3], (*it)[4]};
        return rows;
    };
    // A run made before runs kept their record.
    EXPECT_TRUE(TModelManager::GetSingleton().RunProject(&Project(ProjectID)));
    ASSERT_TRUE(fs::remove(RunDirectory(2) + "run-record.json"));
    const std::string page = ReadWholeFile(WriteSummaryReportFile(OpenAssessment(2)));
    // The run stores the checksum of the substance data it ran with.
    EXPECT_THAT(page, HasSubstr("Substance&nbsp;checksum&nbsp;stored&nbsp;on&nbsp;the&nbsp;"
                                "assessment:&nbsp;" +
                                TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(EtaGuid) +
                                "<BR>"));
    EXPECT_THAT(page, Not(HasSubstr(StoredFilesHeading))) << "a fresh run matches";
    auto rows = rowsOf(page);
    std::vector<std::string> names;
    for (const auto& [name, cells] : rows)
        names.push_back(name);
    EXPECT_THAT(names,
                ::testing::ElementsAre("GLIDAR/2.gld", "GLIDAR/Jinhua.bfo", "GLIDAR/Jinhua.met",
                                       "GLIDAR/Jinhua.pnd", "GLIDAR/Jinhua.swe", "MUNDRE/2.e2m",
                                       "MUNDRE/2.mnd", "MUNDRE/Jinhua.met", "MUNDRE/Jinhua.rai"));
    for (const auto& [name, cells] : rows) {
        const std::string path = RunDirectory(2) + name;
        EXPECT_EQ(cells[0], std::to_string(fs::file_size(path))) << name;
        EXPECT_EQ(cells[1], Sha256Sum(path)) << name;
        EXPECT_EQ(cells[2], "") << name;
    }

    // "Input files" writes the input files again after the run (which lies two seconds back):
    // the list says so.
    for (const auto& file : fs::recursive_directory_iterator(RunDirectory(2)))
        if (file.is_regular_file())
            fs::last_write_time(file, file.last_write_time() - std::chrono::seconds(2));
    ASSERT_TRUE(TModelManager::GetSingleton().WriteInputFilesOnly(&OpenAssessment(2)));
    rows = rowsOf(ReadWholeFile(WriteSummaryReportFile(OpenAssessment(2))));
    EXPECT_EQ(rows["GLIDAR/2.gld"].at(2), " (written after the run)");
    EXPECT_EQ(rows["MUNDRE/2.mnd"].at(2), " (written after the run)");
    EXPECT_EQ(rows["GLIDAR/2.gld"].at(1), Sha256Sum(RunDirectory(2) + "GLIDAR/2.gld"));

    // The report says plainly where the stored files no longer match its results.
    auto writtenAfter = [](const std::string& name) {
        return name + "&nbsp;was&nbsp;written&nbsp;after&nbsp;the&nbsp;run.<BR>\r";
    };
    EXPECT_THAT(Mismatches(2), ::testing::IsSupersetOf(
                                   {writtenAfter("GLIDAR/2.gld"), writtenAfter("MUNDRE/2.mnd")}));
    EXPECT_THAT(Mismatches(2), Not(::testing::Contains(writtenAfter("MUNDRE/2.e2m"))))
        << "GLIDAR's hand-over is copied by the run only";
    fs::remove(RunDirectory(2) + "MUNDRE/mundre.ok");
    EXPECT_THAT(Mismatches(2), ::testing::Contains("MUNDRE/mundre.ok,&nbsp;on&nbsp;which&nbsp;the&"
                                                   "nbsp;stored&nbsp;results&nbsp;rest,&nbsp;is&"
                                                   "nbsp;missing.<BR>\r"));
    fs::remove_all(RunDirectory(2));
    EXPECT_THAT(Mismatches(2), ElementsAre("The&nbsp;run&nbsp;directory&nbsp;" +
                                           RunDirectory(2).substr(0, RunDirectory(2).size() - 1) +
                                           "&nbsp;no&nbsp;longer&nbsp;exists.<BR>\r"));
}

TEST_P(ReportChartsTest, TheInputsSectionShowsTheScenarioTheApplicationsAndTheSubstance) {
    AddAssessment(7, ProjectID, JinhuaScenarioID, AlphaGuid, DeliveredSchemeID, true, "Alpha");
    const std::string page = RunAndReport(7);
    const std::size_t inputs = page.find("<P class=\"FontTitle2\">Inputs</P>");
    ASSERT_NE(inputs, std::string::npos);
    const std::string section =
        page.substr(inputs, page.find("<P class=\"FontTitle2\">", inputs + 1) - inputs);
    EXPECT_THAT(section, HasSubstr("\r\nScenario:&nbsp;Jinhua,&nbsp;period&nbsp;2000-01-01&nbsp;"
                                   "to&nbsp;2002-12-31<BR>\r\n"));
    EXPECT_THAT(section, Not(HasSubstr("not&nbsp;valid"))) << "valid results";
    const std::regex row("<TR><TD class=\"TableFirstCell\">([^<]*)</TD>((<TD>[^<]*</TD>)*)</TR>");
    const std::regex cell("<TD>([^<]*)</TD>");
    std::vector<std::vector<std::string>> rows;
    for (std::sregex_iterator it(section.begin(), section.end(), row), end; it != end; ++it) {
        rows.push_back({(*it)[1]});
        const std::string rest = (*it)[2];
        for (std::sregex_iterator c(rest.begin(), rest.end(), cell); c != end; ++c)
            rows.back().push_back((*c)[1]);
    }
    // The delivered scheme's two sprays, then the substance's parameters as the plug-in gives
    // them.
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"2001-06-20", "Spray application on crop", "0.5",
                                                 "2", "0"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2001-07-20", "Spray application on crop", "0.5",
                                                 "2", "0"}));
    std::unique_ptr<TDAXOAttributeList> attributes;
    TDAXOInterface::GetSingleton().GetSubstanceInfoListByGUID(AlphaGuid, false, attributes);
    ASSERT_TRUE(attributes);
    ASSERT_GT(rows.size(), 4u);
    EXPECT_EQ(rows[2], (std::vector<std::string>{"SubstanceCode", "ALPHA", ""}));
    for (std::size_t r = 2; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 3u);
        EXPECT_EQ(rows[r][1], attributes->Value(rows[r][0])) << rows[r][0];
    }
    EXPECT_THAT(rows, ::testing::Contains(
                          std::vector<std::string>{"DT50Ref", attributes->Value("DT50Ref"), "d"}));

    // Results that are no longer valid: the section says that the inputs need not be the run's.
    RunRawSQL("UPDATE ASSESSMENTS SET VALIDRESULTS = FALSE WHERE ASSESSMENTID = 7");
    EXPECT_THAT(ReadWholeFile(WriteSummaryReportFile(OpenAssessment(7))),
                HasSubstr("The&nbsp;results&nbsp;are&nbsp;not&nbsp;valid:&nbsp;these&nbsp;are&nbsp;"
                          "the&nbsp;inputs&nbsp;as&nbsp;they&nbsp;are&nbsp;now"));
}

TEST_P(ReportChartsTest, TheProjectSummaryListsEveryAssessmentWithItsFigures) {
    AddAssessment(3, ProjectID, JinhuaScenarioID, AlphaGuid, DeliveredSchemeID, true, "Alpha");
    AddAssessment(4, ProjectID, 2, BetaGuid, DeliveredSchemeID, true, "Beta");
    AddAssessment(5, ProjectID, JinhuaScenarioID, GammaGuid, DeliveredSchemeID, true, "Gamma");
    AddAssessment(6, ProjectID, JinhuaScenarioID, EtaGuid, DeliveredSchemeID, false, "Never");
    TModelManager::GetSingleton().SetContinueOnError(true);
    EXPECT_FALSE(TModelManager::GetSingleton().RunProject(&Project(ProjectID))) << "Gamma fails";
    const std::string path = WriteProjectSummaryFile(Project(ProjectID));
    EXPECT_EQ(path, Environment().ReportDirectory() + "Project summary - Charted.htm");
    const std::string page = ReadWholeFile(path);

    auto figures = [&](int id) -> std::vector<std::string> {
        const std::string report = StoredResults(id).AssessmentReport;
        std::vector<std::string> texts;
        for (const std::string& line : ReportLines(report)) {
            const std::vector<std::string> words = WordsOf(line);
            if (words.size() > 1 && (words[0] == "ALPHA" || words[0] == "BETA"))
                texts.push_back(words[1]);
        }
        for (const char* label :
             {"Global maximum concentration in water", "Maximum 21-day TWA concentration in water"})
            for (const std::string& line : ReportLines(report))
                if (line.rfind(label, 0) == 0)
                    texts.push_back(WordsOf(line.substr(std::string(label).size())).at(0));
        return texts;
    };
    // BETA forms metabolites in the pond's water and sediment, which the models leave out.
    const std::vector<std::vector<std::string>> expected = {
        {"3", "Alpha", "Jinhua", "ALPHA", "Two crop sprays", "valid", ""},
        {"4", "Beta", "Nanchang", "BETA", "Two crop sprays", "valid", "metabolites not calculated"},
        {"5", "Gamma", "Jinhua", "GAMMA", "Two crop sprays",
         "[ERROR]Only the sorption on soil option &quot;Kom, pH-independent&quot; is available "
         "for Parvela. (substance: GAMMA)",
         "", "", "", ""},
        {"6", "Never", "Jinhua", "ETA", "Two crop sprays", "no valid results", "", "", "", ""}};
    const std::regex rowPattern("<TR>(<TD.*?)</TR>");
    const std::regex cellPattern("<TD[^>]*>([^<]*)</TD>");
    std::vector<std::vector<std::string>> rows;
    for (std::sregex_iterator it(page.begin(), page.end(), rowPattern), end; it != end; ++it) {
        const std::string row = (*it)[1];
        rows.emplace_back();
        for (std::sregex_iterator cell(row.begin(), row.end(), cellPattern); cell != end; ++cell)
            rows.back().push_back((*cell)[1]);
    }
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> want = expected[r];
        if (want.size() == 7) {
            const std::vector<std::string> numbers = figures(std::stoi(want[0]));
            ASSERT_EQ(numbers.size(), 3u) << want[1];
            want.insert(want.end(), numbers.begin(), numbers.end());
        }
        EXPECT_EQ(rows[r], want);
    }
    EXPECT_THAT(page, HasSubstr("<TD align=\"right\" data-sort=\"" + rows[0][7] + "\">"))
        << "numbers sort by their value";
    EXPECT_THAT(page, HasSubstr("<SCRIPT type=\"text/javascript\">"));
    EXPECT_EQ(page.find("src="), std::string::npos) << "nothing from the network";
}

PARVELA_INSTANTIATE_DATABASE_TEST(ReportChartsTest);

} // namespace
} // namespace parvela::test
