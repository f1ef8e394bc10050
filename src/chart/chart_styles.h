// The settings of the two profile charts: the scale chart over the 23 scales and the phase
// and factor chart over the six phases and two factors. The views fill the points.
#pragma once

#include "bar_chart.h"
#include "chart_views.h"

#include <QSize>

namespace rez {

// The chart's picture size in pixels: 1019 x 261 for the scales, 415 x 257 for the phases and
// factors. The window shows the charts at this size and the GIF export writes it.
QSize ProfileChartSize(ChartKind kind);

// Title, fonts, colours, axes, walls, frame, margins and size of the chart of `kind`. Points,
// foot lines and the bottom axis title are left to the views.
void ConfigureProfileChart(BarChart& chart, ChartKind kind);

// A chart of `kind` with its settings and no points.
BarChart MakeProfileChart(ChartKind kind);

} // namespace rez
