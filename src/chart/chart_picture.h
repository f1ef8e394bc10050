// Filling a chart with one view of the results, and the chart pictures of the GIF export:
// the same code for the window, rez-report and worker threads.
#pragma once

#include "bar_chart.h"
#include "chart_views.h"
#include "group_results.h"

#include <QImage>

namespace rez {

// Puts one view on a chart: its three series, its foot line and its bottom axis title. The
// title stays as it is (the bar readout owns it).
void ShowChartView(BarChart& chart, const ChartView& view);

// The picture of the chart of `kind` in `view`, with the chart's own title. Needs a
// QGuiApplication; safe on any thread.
QImage RenderProfileChart(const GroupResults& results, ChartKind kind, View view);

// The scale chart (or the phase and factor chart) of `results` in the first view, as the
// main window shows it straight after a Group run.
QImage RenderReportChart(const GroupResults& results, bool scaleChart);

} // namespace rez
