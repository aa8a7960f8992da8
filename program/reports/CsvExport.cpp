#include "program/reports/CsvExport.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/DateTime.h"
#include "framework/Enclosed.h"
#include "framework/Format.h"
#include "platform/Exceptions.h"
#include "program/reports/DailyOutput.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModel.h"
#include "program/system/TempDirectory.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>

namespace parvela {

namespace {

constexpr const char* CsvExtension = ".csv";

} // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    return Enclosed(text, '"', '"');
}

std::string CsvNumber(double value) {
    if (!std::isfinite(value))
        return "";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void WriteCsvFile(const std::string& path, const std::vector<TCsvRow>& rows) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const TCsvRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            file << (i ? "," : "") << CsvField(row[i]);
        file << "\r\n";
    }
    file.flush();
    if (!file)
        throw EOSError("Cannot write " + path + ": " + std::strerror(errno));
}

std::string CsvExportPath(const std::string& name) {
    return GetTempDirectory() + FittingFileStem(name, std::strlen(CsvExtension)) + CsvExtension;
}

std::string DailySeriesCsvPath(const TdciAssessments& assessment) {
    return CsvExportPath(FileNamePart(assessment.CAPTION()) + " - daily series");
}

void WriteDailySeriesCsv(const TdciAssessments& assessment, const std::string& path) {
    TCsvRow header = {"Date"};
    // Day -> the row's values, filled column by column; a day that one model lacks stays
    // empty in its columns.
    std::map<TDateTime, TCsvRow> days;
    const std::string runDirectory = ReportRunDirectory(assessment);
    for (const auto& model : TModelManager::GetSingleton().Models()) {
        const std::optional<TDailyOutput> output = ReadDailyOutput(
            DailyOutputPath(runDirectory, model->ModelName(), assessment.ASSESSMENTID()));
        if (!output)
            continue;
        const std::size_t first = header.size() - 1;
        for (const TDailyColumn& column : output->Columns)
            header.push_back(model->ModelName() + " " + column.Name + " (" + column.Unit + ")");
        for (std::size_t day = 0; day < output->Days.size(); ++day) {
            TCsvRow& row = days[output->Days[day]];
            row.resize(header.size() - 1);
            for (std::size_t c = 0; c < output->Columns.size(); ++c)
                row[first + c] = CsvNumber(output->Columns[c].Values[day]);
        }
    }
    if (header.size() == 1)
        throw Exception(Format("Assessment %s has no daily output of its models in %s: it was "
                               "not run, or its scenario does not switch the daily output on "
                               "(OptDailyOutput Yes).",
                               assessment.CAPTION(), runDirectory));
    std::vector<TCsvRow> rows = {header};
    for (auto& [day, values] : days) {
        values.resize(header.size() - 1);
        TCsvRow row = {DateToStr(day)};
        row.insert(row.end(), values.begin(), values.end());
        rows.push_back(std::move(row));
    }
    WriteCsvFile(path, rows);
}

} // namespace parvela
