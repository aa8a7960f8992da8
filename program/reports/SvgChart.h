#pragma once
// A line chart as an inline SVG image for the report pages: one or more panels stacked over
// the same dated time axis, each with its value axis, its lines and a legend below it. No
// script: the image prints and works without a network connection.

#include "framework/DateTime.h"

#include <cstddef>
#include <string>
#include <vector>

namespace parvela {

struct TChartSeries {
    std::string Label;
    std::vector<double> Values; // one per day of the chart
    // When given ("maximum"), the highest finite value is marked with a circle and named in the
    // legend with its value and date.
    std::string MaximumName;
};

// A horizontal bar at `Value` over the days First to Last (indexes), named in the legend.
struct TChartSpan {
    std::size_t First = 0;
    std::size_t Last = 0;
    double Value = 0;
    std::string Label;
};

struct TChartPanel {
    std::string Title;
    std::string ValueName; // "Concentration"
    std::string Unit;      // "ug.L-1"
    std::vector<TChartSeries> Series;
    std::vector<TChartSpan> Spans;
    // Lines below the legend (what could not be drawn).
    std::vector<std::string> Notes;
};

// The points of a line that a chart draws, as runs of indexes into the values: a value that
// is not a finite number is left out and cuts the line; within a run, of the points that
// fall into one pixel column (x rounded down) only the lowest (the first of equal ones) and
// the highest (the last of equal ones) are kept, in their order, so that every peak stays
// however long the series. A column of one or two points keeps them all.
std::vector<std::vector<std::size_t>> DrawnPoints(const std::vector<double>& x,
                                                  const std::vector<double>& values);

// The image, one element per line. `id` names the <svg> element; every text is escaped.
std::vector<std::string> SvgChart(const std::string& id, const std::string& title,
                                  const std::vector<TDateTime>& days,
                                  const std::vector<TChartPanel>& panels);

// A value as the charts write it: up to six significant digits.
std::string ChartNumber(double value);

} // namespace parvela
