#pragma once
// The report's inline SVG charts read back with an XML parser (libxml2): what each panel
// plots, in the units of its axes.

#include <string>
#include <vector>

namespace parvela::test {

struct TSvgPoint {
    double X = 0;
    double Y = 0;
};

struct TSvgSeries {
    std::string Label;
    std::vector<TSvgPoint> Points; // of all its polylines
    std::size_t Runs = 1;          // polylines: the line is cut where values are missing
};

struct TSvgPanel {
    std::string Title;
    std::vector<TSvgPoint> ValueTicks; // Y: the tick's position, X: its labelled value
    std::vector<std::string> DateTicks;
    std::vector<TSvgSeries> Series;
    std::vector<TSvgPoint> Maxima;   // the circles' centres
    std::vector<TSvgPoint> SpanEnds; // per bar: (x1, y), (x2, y)
    std::vector<std::string> Legend;
    std::vector<std::string> Notes;

    // The value at a vertical position, from the first and last labelled ticks.
    double ValueAt(double y) const;
    // The highest value that a series' line reaches.
    double PlottedMaximum(const TSvgSeries& series) const;
};

struct TSvgChart {
    std::string Id;
    std::vector<TSvgPanel> Panels;
};

// Every <svg>...</svg> of the page (ISO-8859-1) parsed as a document of its own. `errors`
// gets the parser's complaints; a chart that is not well-formed is left out.
std::vector<TSvgChart> ReadSvgCharts(const std::string& page, std::string& errors);

} // namespace parvela::test
