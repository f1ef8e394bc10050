// Where everything of a bar chart lies for a given widget size: the plot, the depth of the
// three-dimensional view, the bars' faces, the ticks and the texts. Painting and the hit test
// both read this one geometry, so a bar is found exactly where it is drawn.
#pragma once

#include "chart_state.h"

#include <QList>
#include <QPoint>
#include <QPolygonF>
#include <QRect>
#include <QSize>
#include <QString>

namespace rez {

// The three visible faces of one bar, in widget pixels. The front face is a pixel rectangle
// (empty for a bar of zero height); the top and side faces are parallelograms whose corners
// lie on pixel edges, so a pixel belongs to them when its centre does.
struct BarFaces {
    QRect front;
    QPolygonF top;
    QPolygonF side;

    bool contains(QPoint pixel) const;
};

struct AxisTick {
    double value = 0.0;
    int y = 0; // pixel row on the front plane
    QString text;
};

struct ChartLayout {
    // Front plane of the plot, inside the axis lines: the left axis line is the column left of
    // it, the bottom axis line the row below it. Empty when the widget is too small for a plot.
    QRect plot;
    int depth = 0;    // the back wall lies `depth` pixels right of and above the front plane
    int rowStep = 0;  // depth taken by one series row
    int barDepth = 0; // depth of one bar, centred in its row
    int barWidth = 0; // width of a bar's front face
    int categoryCount = 0;
    double axisMinimum = 0.0; // the drawn range, sanitised
    double axisMaximum = 1.0;
    int tickLength = 4;

    QList<AxisTick> leftTicks;
    int leftLabelRight = 0; // tick texts of the left axis end at this column
    int bottomLabelTop = 0; // tick texts of the bottom axis start at this row
    QRect titleRect;        // title lines, centred in it
    QRect footRect;
    QRect leftTitleRect; // the left axis title, drawn turned by 90 degrees
    QRect bottomTitleRect;

    bool hasPlot() const { return !plot.isEmpty(); }
    // Pixel row of the bottom axis line, where values at the axis minimum stand.
    int baseline() const { return plot.bottom() + 1; }
    // Centre column of category `index` on the front plane.
    int categoryX(int index) const;
    // Height in pixels of a bar of `value`, the value clipped to the axis range (NaN counts as
    // the minimum).
    int valueHeight(double value) const;
    // Distance of a series' bars behind the front plane, in pixels.
    int seriesDepth(int series) const;
    BarFaces barFaces(int series, int index, double value) const;
};

ChartLayout ComputeChartLayout(const BarChartState& state, QSize size);

// `value` in a tick format such as "#0", "0.0" or "#0.##": digits after the point are kept up
// to the format's count, trailing zeros dropped down to the count of '0's.
QString FormatAxisValue(double value, const QString& format);

} // namespace rez
