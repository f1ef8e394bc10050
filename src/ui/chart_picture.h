// Filling a chart with one view of the results, and rendering a chart picture without a
// window (for rez-report): the same code the main window uses.
#pragma once

#include "bar_chart.h"
#include "chart_views.h"
#include "group_results.h"

#include <QImage>

namespace rez {

// Puts one view on a chart: its three series, its foot line and its bottom axis title.
void ShowChartView(BarChart& chart, const ChartView& view);

// The scale chart (or the phase and factor chart) of `results` in view 4, as the main window
// shows it straight after a Group run.
QImage RenderReportChart(const GroupResults& results, bool scaleChart);

} // namespace rez
