#pragma once
// The charts of the summary report, drawn from the models' daily output: GLIDAR's paddy-water
// concentrations of the substance and its metabolites; MUNDRE's pond-water concentration with
// its global maximum and its highest 21-day time-weighted average, and the sediment content.

#include "program/reports/DailyOutput.h"

#include <cstddef>
#include <string>
#include <vector>

namespace parvela {

// The run of `window` consecutive values (all of them when there are fewer) with the highest
// mean (the first of equal ones). A run that holds a value that is not a finite number has no
// mean: it is left out and counted.
struct TMovingAverage {
    bool Found = false; // false when no run is free of such values
    std::size_t First = 0;
    std::size_t Last = 0;
    double Mean = 0;
    std::size_t LeftOutRuns = 0;
};
TMovingAverage HighestMovingAverage(const std::vector<double>& values, std::size_t window);

// The SVG lines of the charts; raise EConvertError when the daily output lacks the columns.
std::vector<std::string> PaddyWaterChart(const TDailyOutput& output);
std::vector<std::string> PondChart(const TDailyOutput& output);

} // namespace parvela
