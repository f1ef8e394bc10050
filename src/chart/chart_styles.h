// The settings of the two profile charts: the scale chart over the 23 scales and the phase
// and factor chart over the six phases and two factors. The main window fills the points.
#pragma once

#include <QString>
#include <QStringList>

namespace rez {

class BarChart;

// The charts' own titles, which the bar readout puts back over empty plot area.
QString ScaleChartTitle();
QString FactorChartTitle();

// Tick texts of the categories, in point order: the scale letters "A" to "W"; the phase and
// factor labels "Ф.1" to "Ф.6", "F.1", "F.2".
QStringList ScaleChartLabels();
QStringList FactorChartLabels();

// Titles, fonts, colours, axes, walls, frame, margins and the fixed size (1019 x 261 and
// 415 x 257 pixels). Points, foot lines and the bottom axis title are left to the views.
void ConfigureScaleChart(BarChart& chart);
void ConfigureFactorChart(BarChart& chart);

} // namespace rez
