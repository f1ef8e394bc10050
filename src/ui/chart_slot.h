// The widget type of the two charts and the one function that creates them. Until the chart
// component is wired in they are plain framed placeholders; swapping in the real chart means
// changing this alias and MakeChartWidget only.
#pragma once

#include <QFrame>

namespace rez {

using ChartWidget = QFrame;

// A chart named `name`, owned by `parent`; the caller places it.
ChartWidget* MakeChartWidget(QWidget* parent, const QString& name);

} // namespace rez
