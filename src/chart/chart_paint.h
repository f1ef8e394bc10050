// The one drawing routine of the bar chart: the widget's paint event, the picture for the GIF
// export and the tests all go through it, so they show the same pixels.
#pragma once

#include "chart_state.h"

#include <QSize>

class QPainter;

namespace rez {

// Draws the whole chart into the rectangle (0, 0, size) of the painter's device, without
// antialiasing of shapes or text. Nothing is drawn outside that rectangle; the painter's
// state is left as it was found.
void PaintBarChart(QPainter& painter, const BarChartState& state, QSize size);

// The shades of a bar's top (lit) and side (shaded) faces; the front face has the bar's own
// colour.
QColor TopFaceColor(const QColor& color);
QColor SideFaceColor(const QColor& color);

} // namespace rez
