// The widget type of the two charts and the one function that creates them.
#pragma once

#include "bar_chart.h"

namespace rez {

using ChartWidget = BarChart;

// A chart named `name`, owned by `parent`, with the settings of the scale chart or of the
// phase and factor chart; the caller places it.
ChartWidget* MakeChartWidget(QWidget* parent, const QString& name, bool scaleChart);

} // namespace rez
