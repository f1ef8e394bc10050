#include "chart_layout.h"

#include <QFontMetrics>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rez {

namespace {

constexpr int kGap = 3;         // pixels between a text block and its neighbour
constexpr int kMaxTicks = 1000; // bounds the tick loop for any range and format
constexpr int kMaxDecimals = 15;

// Share of a category's width that the bars of its three rows may cover together, and the
// largest depth, as a share of a category's width, that still keeps the rows of one category
// clear of the next category.
constexpr double kClusterShare = 0.85;
constexpr double kMaxDepthShare = 0.6;

int Percent(int length, int percent) {
    return (length * std::clamp(percent, 0, 45) + 50) / 100;
}

int LineHeight(const QFont& font) {
    return QFontMetrics(font).height();
}

int BlockHeight(const ChartText& text) {
    return static_cast<int>(text.lines.size()) * LineHeight(text.font);
}

struct DecimalCounts {
    int most = 0;  // digits after the point at most ('0' and '#')
    int least = 0; // digits after the point always shown ('0')
};

DecimalCounts CountDecimals(const QString& format) {
    DecimalCounts counts;
    const qsizetype point = format.indexOf(u'.');
    if (point < 0)
        return counts;
    for (qsizetype i = point + 1; i < format.size(); ++i) {
        if (format[i] == u'0') {
            ++counts.most;
            ++counts.least;
        } else if (format[i] == u'#') {
            ++counts.most;
        }
    }
    counts.most = std::min(counts.most, kMaxDecimals);
    counts.least = std::min(counts.least, counts.most);
    return counts;
}

// Tick values from `low` to `high` on a 1-2-5 step whose spacing on `pixels` rows is at least
// `minSpacing`, never finer than the format can tell apart.
QList<double> TickValues(double low, double high, int pixels, int minSpacing, int maxDecimals) {
    QList<double> ticks;
    if (pixels <= 0)
        return ticks;
    const double wanted = (high - low) / pixels * std::max(minSpacing, 1);
    double step = std::pow(10.0, -maxDecimals);
    if (std::isfinite(wanted) && wanted > step) {
        const double magnitude = std::pow(10.0, std::floor(std::log10(wanted)));
        step = 10.0 * magnitude;
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m * magnitude >= wanted) {
                step = m * magnitude;
                break;
            }
        }
    }
    if (!std::isfinite(step) || step <= 0.0)
        return ticks;
    const double first = std::ceil(low / step) * step;
    for (int j = 0; j < kMaxTicks; ++j) {
        const double value = first + j * step;
        if (!std::isfinite(value) || value > high + step * 1e-9)
            break;
        ticks.append(std::abs(value) < step * 1e-9 ? 0.0 : value);
    }
    return ticks;
}

int MaxLabelWidth(const QList<double>& values, const BarChartState& state) {
    const QFontMetrics metrics(state.axisLabelFont);
    int width = 0;
    for (const double value : values)
        width = std::max(
            width, metrics.horizontalAdvance(FormatAxisValue(value, state.leftAxisLabelFormat)));
    return width;
}

} // namespace

bool BarFaces::contains(QPoint pixel) const {
    if (front.contains(pixel))
        return true;
    const QPointF centre = QPointF(pixel) + QPointF(0.5, 0.5);
    return top.containsPoint(centre, Qt::OddEvenFill) ||
           side.containsPoint(centre, Qt::OddEvenFill);
}

int ChartLayout::categoryX(int index) const {
    if (categoryCount <= 0)
        return plot.center().x();
    const std::int64_t offset =
        (2 * std::int64_t{index} + 1) * plot.width() / (2 * std::int64_t{categoryCount});
    return plot.left() + static_cast<int>(offset);
}

int ChartLayout::valueHeight(double value) const {
    if (!hasPlot())
        return 0;
    const double clipped =
        std::isnan(value) ? axisMinimum : std::clamp(value, axisMinimum, axisMaximum);
    const double share = (clipped - axisMinimum) / (axisMaximum - axisMinimum);
    return static_cast<int>(std::lround(share * plot.height()));
}

int ChartLayout::seriesDepth(int series) const {
    return series * rowStep + (rowStep - barDepth) / 2;
}

BarFaces ChartLayout::barFaces(int series, int index, double value) const {
    BarFaces faces;
    if (!hasPlot() || categoryCount <= 0)
        return faces;
    const int z = seriesDepth(series);
    const int height = valueHeight(value);
    const int left = categoryX(index) + z - barWidth / 2;
    const int bottom = baseline() - z; // pixel edge below the front face
    const int top = bottom - height;
    faces.front = QRect(left, top, barWidth, height);

    const double l = left;
    const double r = left + barWidth;
    const double t = top;
    const double b = bottom;
    const double d = barDepth;
    faces.top = QPolygonF({{l, t}, {r, t}, {r + d, t - d}, {l + d, t - d}});
    if (height > 0)
        faces.side = QPolygonF({{r, t}, {r + d, t - d}, {r + d, b - d}, {r, b}});
    return faces;
}

ChartLayout ComputeChartLayout(const BarChartState& state, QSize size) {
    ChartLayout layout;
    const int width = size.width();
    const int height = size.height();
    const int frame = state.frame == ChartFrame::None ? 0 : 1;
    const QMargins& margins = state.marginsPercent;
    const int innerLeft = frame + Percent(width, margins.left());
    const int innerRight = width - frame - Percent(width, margins.right()); // exclusive
    const int innerTop = frame + Percent(height, margins.top());
    const int innerBottom = height - frame - Percent(height, margins.bottom()); // exclusive
    const int innerWidth = std::max(innerRight - innerLeft, 0);

    if (std::isfinite(state.leftAxisMinimum) && std::isfinite(state.leftAxisMaximum) &&
        state.leftAxisMaximum > state.leftAxisMinimum &&
        std::isfinite(state.leftAxisMaximum - state.leftAxisMinimum)) {
        layout.axisMinimum = state.leftAxisMinimum;
        layout.axisMaximum = state.leftAxisMaximum;
    }
    const DecimalCounts decimals = CountDecimals(state.leftAxisLabelFormat);
    const int labelHeight = LineHeight(state.axisLabelFont);
    const int tickSpacing = labelHeight + 4;

    // Title at the top; foot, bottom axis title, tick texts and ticks upwards from the bottom.
    const int titleHeight = BlockHeight(state.title);
    layout.titleRect = QRect(innerLeft, innerTop, innerWidth, titleHeight);
    const int footHeight = BlockHeight(state.foot);
    layout.footRect = QRect(innerLeft, innerBottom - footHeight, innerWidth, footHeight);
    const int bottomTitleHeight =
        state.bottomAxisTitle.text.isEmpty() ? 0 : LineHeight(state.bottomAxisTitle.font);
    const int bottomTitleTop =
        layout.footRect.top() - (footHeight > 0 ? kGap : 0) - bottomTitleHeight;
    layout.bottomLabelTop = bottomTitleTop - (bottomTitleHeight > 0 ? 1 : 0) - labelHeight;
    const int baseline = layout.bottomLabelTop - 1 - layout.tickLength - 1;

    // Room above the plot: the back wall's top edge, and half a tick text for the top tick.
    const int wallTop = layout.titleRect.bottom() + 1 + kGap;
    const auto plotTop = [&](int depth) {
        return std::max(wallTop + 1 + depth, wallTop + labelHeight / 2);
    };

    // Left of the plot: the turned axis title, the tick texts, the ticks, the axis line.
    // The tick texts are measured on the ticks of the plot without depth; the final ticks
    // are as many or fewer.
    const int leftTitleWidth =
        state.leftAxisTitle.text.isEmpty() ? 0 : LineHeight(state.leftAxisTitle.font);
    const QList<double> estimate = TickValues(layout.axisMinimum, layout.axisMaximum,
                                              baseline - plotTop(0), tickSpacing, decimals.most);
    layout.leftLabelRight = innerLeft + leftTitleWidth + (leftTitleWidth > 0 ? kGap : 0) +
                            MaxLabelWidth(estimate, state);
    const int plotLeft = layout.leftLabelRight + 1 + layout.tickLength + 1;

    // The depth: a share of the inner height, but small enough for the three rows of one
    // category to stand clear of the next category; a whole number of rows.
    for (const QList<BarPoint>& points : state.series)
        layout.categoryCount = std::max(layout.categoryCount, static_cast<int>(points.size()));
    const int flatWidth = innerRight - 1 - plotLeft; // right of the plot: the back wall edge
    const double percent =
        std::isfinite(state.depthPercent) ? std::clamp(state.depthPercent, 0.0, 100.0) : 0.0;
    double depth = percent / 100.0 * (innerBottom - innerTop);
    if (layout.categoryCount > 0)
        depth = std::min(depth, kMaxDepthShare * flatWidth / layout.categoryCount);
    layout.depth = std::max(static_cast<int>(depth), 0) / ChartSeriesCount * ChartSeriesCount;
    layout.rowStep = layout.depth / ChartSeriesCount;
    layout.barDepth = (layout.rowStep * 3 + 2) / 5;

    const int top = plotTop(layout.depth);
    const int plotWidth = flatWidth - layout.depth;
    const int plotHeight = baseline - top;
    if (plotWidth <= 0 || plotHeight <= 0)
        return layout;
    layout.plot = QRect(plotLeft, top, plotWidth, plotHeight);
    if (layout.categoryCount > 0) {
        const double spacing = static_cast<double>(plotWidth) / layout.categoryCount;
        const int cluster = static_cast<int>(std::lround(kClusterShare * spacing));
        layout.barWidth = std::max(cluster - 2 * layout.rowStep - layout.barDepth, 1);
    }

    for (const double value : TickValues(layout.axisMinimum, layout.axisMaximum, plotHeight,
                                         tickSpacing, decimals.most)) {
        layout.leftTicks.append({value, layout.baseline() - layout.valueHeight(value),
                                 FormatAxisValue(value, state.leftAxisLabelFormat)});
    }
    layout.leftTitleRect = QRect(innerLeft, top, leftTitleWidth, plotHeight);
    layout.bottomTitleRect = QRect(plotLeft, bottomTitleTop, plotWidth, bottomTitleHeight);
    return layout;
}

QString FormatAxisValue(double value, const QString& format) {
    const DecimalCounts decimals = CountDecimals(format);
    QString text = QString::number(value, 'f', decimals.most);
    if (decimals.most > decimals.least) {
        int dropped = 0;
        while (dropped < decimals.most - decimals.least && text.endsWith(u'0')) {
            text.chop(1);
            ++dropped;
        }
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    // A value that shows as zero has no sign.
    if (text.startsWith(u'-') && text.toDouble() == 0.0)
        text.remove(0, 1);
    const QString point = QLocale().decimalPoint();
    if (!point.isEmpty())
        text.replace(u'.', point.front());
    return text;
}

} // namespace rez
