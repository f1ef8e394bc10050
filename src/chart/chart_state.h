// Everything a bar chart shows, as plain data: the widget owns one, the painter and the
// geometry read it. Keeping it apart from the widget lets a picture be drawn from the data
// alone, at any size, into any paint device.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMargins>
#include <QString>
#include <QStringList>

#include <array>

namespace rez {

// Number of bar series of a chart. Series 0 stands in the front depth row, series 2 in the
// rear one; they share the category positions.
inline constexpr int ChartSeriesCount = 3;

struct BarPoint {
    double value = 0.0; // in axis units; clipped to the left axis range when drawn
    QString label;      // tick text of the point's category on the bottom axis
    QColor color;       // the front face's colour, exactly
};

// Lines of text drawn centred one below the other: the chart's title and foot.
struct ChartText {
    QStringList lines;
    QFont font;
    QColor color{Qt::black};
};

struct AxisTitle {
    QString text;
    QFont font;
    QColor color{Qt::black};
};

enum class ChartFrame { None, Lowered, Raised };

struct BarChartState {
    std::array<QList<BarPoint>, ChartSeriesCount> series;

    ChartText title;
    ChartText foot;
    AxisTitle leftAxisTitle;
    AxisTitle bottomAxisTitle;
    QFont axisLabelFont; // tick texts of both axes
    QColor axisLabelColor{Qt::black};

    // Fixed vertical range, never scaled to the data. An empty or non-finite range draws as
    // 0 to 1.
    double leftAxisMinimum = 0.0;
    double leftAxisMaximum = 7.0;
    // "#0" whole numbers, "0.0" one decimal, "#0.##" up to two decimals.
    QString leftAxisLabelFormat = QStringLiteral("#0");

    QColor backgroundColor{Qt::white};
    QColor backWallColor{Qt::white};
    QColor leftWallColor{Qt::white};
    QColor bottomWallColor{Qt::white};
    QColor wallEdgeColor{Qt::black};
    QColor gridColor{128, 128, 128};
    QColor axisColor{Qt::black};
    ChartFrame frame = ChartFrame::Lowered;

    // Space between the frame and the chart's contents, in percent of the widget's width
    // (left, right) and height (top, bottom).
    QMargins marginsPercent{1, 1, 1, 1};

    // Depth of the three-dimensional view in percent of the chart's inner height; 0 draws
    // a flat chart.
    double depthPercent = 15.0;
};

// Liberation Sans (Arial's metric twin; Arial where it is missing) at `pixelSize` pixels,
// without antialiasing so a chart picture keeps few colours, lightly hinted so the pixels are
// the same on every system.
QFont ChartFont(int pixelSize);

} // namespace rez
