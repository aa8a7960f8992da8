#include "tests/support/SvgCharts.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace parvela::test {

namespace {

std::string Attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

double Number(xmlNode* node, const char* name) {
    return std::strtod(Attribute(node, name).c_str(), nullptr);
}

std::string Content(xmlNode* node) {
    xmlChar* value = xmlNodeGetContent(node);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

bool Is(xmlNode* node, const char* element, const char* cssClass) {
    return node->type == XML_ELEMENT_NODE &&
           std::string(reinterpret_cast<const char*>(node->name)) == element &&
           Attribute(node, "class") == cssClass;
}

xmlNode* FirstChild(xmlNode* node, const char* element) {
    for (xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE &&
            std::string(reinterpret_cast<const char*>(child->name)) == element)
            return child;
    return nullptr;
}

xmlNode* LastElementBefore(xmlNode* node) {
    for (xmlNode* before = node->prev; before; before = before->prev)
        if (before->type == XML_ELEMENT_NODE)
            return before;
    return nullptr;
}

std::vector<TSvgPoint> Points(const std::string& text) {
    std::vector<TSvgPoint> points;
    std::istringstream stream(text);
    for (std::string pair; stream >> pair;) {
        const std::size_t comma = pair.find(',');
        points.push_back({std::strtod(pair.substr(0, comma).c_str(), nullptr),
                          std::strtod(pair.substr(comma + 1).c_str(), nullptr)});
    }
    return points;
}

TSvgPanel Panel(xmlNode* group) {
    TSvgPanel panel;
    for (xmlNode* node = group->children; node; node = node->next) {
        if (Is(node, "text", "panel-title"))
            panel.Title = Content(node);
        else if (Is(node, "g", "value-tick"))
            panel.ValueTicks.push_back(
                {std::strtod(Content(FirstChild(node, "text")).c_str(), nullptr),
                 Number(FirstChild(node, "line"), "y1")});
        else if (Is(node, "g", "date-tick"))
            panel.DateTicks.push_back(Content(FirstChild(node, "text")));
        else if (Is(node, "polyline", "series")) {
            // The polylines of one series follow each other under the same title.
            const std::string label = Content(FirstChild(node, "title"));
            const std::vector<TSvgPoint> points = Points(Attribute(node, "points"));
            xmlNode* before = LastElementBefore(node);
            if (!panel.Series.empty() && panel.Series.back().Label == label && before &&
                Is(before, "polyline", "series")) {
                panel.Series.back().Points.insert(panel.Series.back().Points.end(), points.begin(),
                                                  points.end());
                ++panel.Series.back().Runs;
            } else {
                panel.Series.push_back({label, points, 1});
            }
        } else if (Is(node, "text", "note"))
            panel.Notes.push_back(Content(node));
        else if (Is(node, "circle", "maximum"))
            panel.Maxima.push_back({Number(node, "cx"), Number(node, "cy")});
        else if (Is(node, "line", "span")) {
            panel.SpanEnds.push_back({Number(node, "x1"), Number(node, "y1")});
            panel.SpanEnds.push_back({Number(node, "x2"), Number(node, "y2")});
        } else if (Is(node, "g", "legend"))
            panel.Legend.push_back(Content(node));
    }
    return panel;
}

void CollectErrors(void* context, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    *static_cast<std::string*>(context) += buffer;
}

} // namespace

double TSvgPanel::ValueAt(double y) const {
    if (ValueTicks.size() < 2)
        return 0;
    const TSvgPoint& low = ValueTicks.front();
    const TSvgPoint& high = ValueTicks.back();
    return low.X + (y - low.Y) / (high.Y - low.Y) * (high.X - low.X);
}

double TSvgPanel::PlottedMaximum(const TSvgSeries& series) const {
    double top = series.Points.empty() ? 0 : series.Points.front().Y;
    for (const TSvgPoint& point : series.Points)
        top = std::min(top, point.Y); // the y axis points down
    return ValueAt(top);
}

std::vector<TSvgChart> ReadSvgCharts(const std::string& page, std::string& errors) {
    std::vector<TSvgChart> charts;
    xmlSetGenericErrorFunc(&errors, CollectErrors);
    for (std::size_t start = page.find("<svg"); start != std::string::npos;
         start = page.find("<svg", start + 1)) {
        const std::size_t end = page.find("</svg>", start);
        if (end == std::string::npos) {
            errors += "an <svg> without its end";
            break;
        }
        const std::string text = page.substr(start, end + 6 - start);
        xmlDoc* document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "chart.svg",
                                         "ISO-8859-1", XML_PARSE_NONET);
        if (!document)
            continue;
        TSvgChart chart;
        xmlNode* root = xmlDocGetRootElement(document);
        chart.Id = Attribute(root, "id");
        for (xmlNode* node = root->children; node; node = node->next)
            if (Is(node, "g", "panel"))
                chart.Panels.push_back(Panel(node));
        charts.push_back(std::move(chart));
        xmlFreeDoc(document);
    }
    xmlSetGenericErrorFunc(nullptr, nullptr);
    return charts;
}

} // namespace parvela::test
