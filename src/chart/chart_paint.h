// The one drawing routine of the bar chart: the widget's paint event, the picture for the GIF
// export and the tests all go through it, so they show the same pixels.
#pragma once

#include "chart_state.h"

#include <QFont>
#include <QSize>
#include <QString>

class QPainter;

namespace rez {

// Draws the whole chart into the rectangle (0, 0, size) of the painter's device, without
// antialiasing of shapes or text. Nothing is drawn outside that rectangle; the painter's
// state is left as it was found.
void PaintBarChart(QPainter& painter, const BarChartState& state, QSize size);

// Chart texts are never drawn smaller than this, in pixels.
inline constexpr int MinTextPixelSize = 8;

// A line of text as it is drawn in a space `width` pixels wide.
struct FittedLine {
    QFont font;
    QString text;
};

// `text` in `font` when it fits `width`; else in the same font one pixel smaller at a time,
// down to MinTextPixelSize, until it fits; a line that does not fit even then loses its middle
// to an ellipsis at that size, so its beginning and its end stay readable.
FittedLine FitLine(const QString& text, const QFont& font, int width);

// The shades of a bar's top (lit) and side (shaded) faces; the front face has the bar's own
// colour.
QColor TopFaceColor(const QColor& color);
QColor SideFaceColor(const QColor& color);

} // namespace rez
