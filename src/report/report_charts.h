// The report's charts: flat bars, drawn as vector graphics from the values the page shows.
#pragma once

#include "report_canvas.h"
#include "report_numbers.h"

#include <optional>
#include <string>
#include <vector>

namespace rez {

// Colours of the report, shared by the charts and the tables.
inline const QColor SelfColour(70, 70, 70);
inline const QColor OthersColour(150, 180, 210);
inline const QColor HigherColour(210, 0, 0); // a gap above zero
inline const QColor LowerColour(0, 0, 210);  // a gap below zero
inline const QColor GridColour(215, 215, 215);
inline const QColor MutedTextColour(90, 90, 90);

// One chart's data: a label and displayed values per category (scales, or phases and
// factors), in tenths.
struct ChartSeries {
    std::vector<std::string> Labels;
    std::optional<std::vector<Tenths>> Self;
    std::optional<std::vector<Tenths>> Others;
    std::string SelfLegend;
    std::string OthersLegend;
};

// Self and Others side by side per category on the 0 to 7 scale of the answers; a missing
// series leaves its bars out. `box` is in points.
void DrawProfileChart(QPainter& painter, const ReportCanvas& canvas, const QRectF& box,
                      const ChartSeries& series, bool valueLabels, char decimalSeparator);

// Self - Others per category around zero: red above, blue below, each bar with its value;
// dashed lines mark +T and -T.
void DrawGapChart(QPainter& painter, const ReportCanvas& canvas, const QRectF& box,
                  const std::vector<std::string>& labels, const std::vector<Tenths>& gaps,
                  Tenths thresholdTenths, char decimalSeparator);

} // namespace rez
