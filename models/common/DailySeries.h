// Daily data files (".met", ".pnd", ".rai", ".bfo", ".swe"): comment lines starting with "*"
// and one row per day, "dd-Mmm-yyyy" followed by a fixed number of values, without gaps.
#pragma once

#include "models/common/Dates.h"
#include "models/common/Issues.h"

#include <filesystem>
#include <string>
#include <vector>

namespace parvela::models {

class DailySeries {
public:
    // A missing file and format faults are reported; the series is then empty.
    static DailySeries Read(const std::filesystem::path& path, std::size_t columns, Issues& issues);
    DailySeries(std::string fileName, Day first) : fileName_(std::move(fileName)), first_(first) {}

    const std::string& FileName() const { return fileName_; }
    bool Empty() const { return rows_.empty(); }
    Day First() const { return first_; }
    Day Last() const { return first_ + static_cast<Day>(rows_.size()) - 1; }
    bool Covers(Day from, Day to) const { return !Empty() && first_ <= from && to <= Last(); }
    // Reports when the series does not hold every day from..to; returns whether it does.
    bool RequireCoverage(Day from, Day to, Issues& issues) const;

    const std::vector<double>& At(Day day) const { return rows_.at(day - first_); }
    void Append(std::vector<double> values) { rows_.push_back(std::move(values)); }

private:
    std::string fileName_;
    Day first_ = 0;
    std::vector<std::vector<double>> rows_;
};

// The weather file: date, minimum and maximum air temperature (C), global radiation
// (MJ.m-2.d-1) and rain (mm.d-1).
enum MeteoColumn { TemMin = 0, TemMax = 1, Radiation = 2, Rain = 3, MeteoColumns = 4 };
DailySeries ReadMeteo(const std::filesystem::path& path, Issues& issues);
double MeanTemperature(const DailySeries& meteo, Day day);

} // namespace parvela::models
