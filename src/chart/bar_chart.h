// A bar chart in a three-dimensional orthogonal look: three bar series, each point with its
// own colour, each series in its own depth row (series 0 in front), sharing the category
// positions. Title and foot lines, a left axis with a fixed range, a bottom axis labelled by
// the points. No legend, no zoom, no panning.
//
// A plain value, no widget: it draws into any QPainter and renders into a QImage under a
// QGuiApplication, on any thread (each thread its own chart). A widget that shows it repaints
// after changing it.
#pragma once

#include "chart_state.h"

#include <QImage>
#include <QSize>

class QPainter;

namespace rez {

class BarChart {
public:
    BarChart();

    // The picture's size in pixels; the layout, the hit test and render() follow it.
    QSize size() const { return size_; }
    void setSize(QSize size) { size_ = size; }
    int width() const { return size_.width(); }
    int height() const { return size_.height(); }

    // Series 0 to ChartSeriesCount - 1; calls with another series index do nothing.
    void clearSeries(int series);
    // The point takes the next index of its series: 0, 1, 2, ...
    void appendPoint(int series, double value, const QString& label, const QColor& color);
    int pointCount(int series) const;
    const QList<BarPoint>& points(int series) const;

    void clearTitle();
    void appendTitleLine(const QString& line);
    QStringList titleLines() const { return state_.title.lines; }
    void setTitleFont(const QFont& font);
    void setTitleColor(const QColor& color);

    void clearFoot();
    void appendFootLine(const QString& line);
    QStringList footLines() const { return state_.foot.lines; }
    void setFootFont(const QFont& font);
    void setFootColor(const QColor& color);

    void setLeftAxisRange(double minimum, double maximum);
    void setLeftAxisLabelFormat(const QString& format);
    void setLeftAxisTitle(const QString& text);
    void setLeftAxisTitleFont(const QFont& font);
    void setLeftAxisTitleColor(const QColor& color);
    void setBottomAxisTitle(const QString& text);
    QString bottomAxisTitle() const { return state_.bottomAxisTitle.text; }
    void setBottomAxisTitleFont(const QFont& font);
    void setBottomAxisTitleColor(const QColor& color);
    void setAxisLabelFont(const QFont& font);
    void setAxisLabelColor(const QColor& color);

    void setBackgroundColor(const QColor& color);
    void setBackWallColor(const QColor& color);
    void setLeftWallColor(const QColor& color);
    void setBottomWallColor(const QColor& color);
    void setFrame(ChartFrame frame);
    // Left and right in percent of the width, top and bottom in percent of the height.
    void setMarginsPercent(const QMargins& margins);
    void setDepthPercent(double percent);

    // Every setting, for reading back.
    const BarChartState& state() const { return state_; }

    // Front plane of the plot, bounded by the axes, in chart coordinates; empty when the
    // chart is too small to hold a plot.
    QRect plotRect() const;
    // Centre column of a point's category on the front plane; -1 for an index without points.
    int pointX(int index) const;
    // The pixels of a point's front face, the face drawn in its exact colour; empty for a bar
    // of height zero or a point that does not exist.
    QRect barFrontRect(int series, int index) const;
    // The point of `series` whose drawn bar (front, top or side face) covers `position`, or -1.
    int barIndexAt(int series, QPoint position) const;

    // Draws the chart at its size into any painter, from the painter's origin.
    void paint(QPainter& painter) const;
    // The chart as the screen shows it: its size, device pixel ratio 1, RGB32.
    QImage render() const;

private:
    QList<BarPoint>* series(int index);

    BarChartState state_;
    QSize size_;
};

} // namespace rez
