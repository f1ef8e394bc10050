#include "chart_paint.h"

#include "chart_layout.h"
#include "table_index.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace rez {

namespace {

// Every font is drawn without antialiasing, whatever the caller set on it.
QFont Aliased(QFont font) {
    font.setStyleStrategy(
        static_cast<QFont::StyleStrategy>(font.styleStrategy() | QFont::NoAntialias));
    return font;
}

// A lowered frame has its shadow on the top and left edges, its highlight on the others.
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);

void DrawFrame(QPainter& painter, ChartFrame frame, QSize size) {
    if (frame == ChartFrame::None || size.isEmpty())
        return;
    const bool lowered = frame == ChartFrame::Lowered;
    const int right = size.width() - 1;
    const int bottom = size.height() - 1;
    painter.setPen(lowered ? kShadow : kHighlight);
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(lowered ? kHighlight : kShadow);
    painter.drawLine(1, bottom, right, bottom);
    painter.drawLine(right, 1, right, bottom);
}

// Centred in `rect` when the line fits; a longer line is centred across `wide` (the space
// inside the frame) and, when even that is too narrow, drawn smaller or shortened (FitLine).
void DrawTextBlock(QPainter& painter, const ChartText& text, const QRect& rect, const QRect& wide) {
    if (text.lines.isEmpty())
        return;
    const QFont font = Aliased(text.font);
    const QFontMetrics metrics(font);
    painter.setPen(text.color);
    int y = rect.top();
    for (const QString& line : text.lines) {
        QRect lineRect(rect.left(), y, rect.width(), metrics.height());
        FittedLine shown{font, line};
        if (metrics.horizontalAdvance(line) > rect.width()) {
            lineRect.setLeft(wide.left());
            lineRect.setRight(wide.right());
            shown = FitLine(line, font, wide.width());
        }
        painter.setFont(shown.font);
        painter.drawText(lineRect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip,
                         shown.text);
        y += metrics.height();
    }
}

void DrawWalls(QPainter& painter, const BarChartState& state, const ChartLayout& layout) {
    const QRect& plot = layout.plot;
    const int d = layout.depth;
    const int base = layout.baseline();
    const double l = plot.left();
    const double r = plot.right() + 1;
    const double t = plot.top();
    const double b = base;

    painter.setPen(Qt::NoPen);
    painter.fillRect(plot.translated(d, -d), state.backWallColor);
    painter.setBrush(state.leftWallColor);
    painter.drawPolygon(QPolygonF({{l, t}, {l + d, t - d}, {l + d, b - d}, {l, b}}));
    painter.setBrush(state.bottomWallColor);
    painter.drawPolygon(QPolygonF({{l, b}, {l + d, b - d}, {r + d, b - d}, {r, b}}));
    painter.setBrush(Qt::NoBrush);

    // Grid lines across the back wall and the left wall; none at the range's ends, where the
    // walls' edges lie.
    painter.setPen(state.gridColor);
    for (const AxisTick& tick : layout.leftTicks) {
        if (tick.y <= plot.top() || tick.y >= base)
            continue;
        painter.drawLine(plot.left() + d, tick.y - d, plot.right() + d, tick.y - d);
        if (d > 1)
            painter.drawLine(plot.left(), tick.y - 1, plot.left() + d - 2, tick.y - d + 1);
    }

    painter.setPen(state.wallEdgeColor);
    painter.drawRect(
        QRect(plot.left() + d - 1, plot.top() - d - 1, plot.width() + 1, plot.height() + 1));
    if (d > 0) {
        painter.drawLine(plot.left() - 1, plot.top() - 1, plot.left() + d - 1, plot.top() - d - 1);
        painter.drawLine(plot.left() - 1, base, plot.left() + d - 1, base - d);
        painter.drawLine(plot.right() + 1, base, plot.right() + 1 + d, base - d);
    }
}

// Rear rows first, so the rows in front cover them.
void DrawBars(QPainter& painter, const BarChartState& state, const ChartLayout& layout) {
    painter.setPen(Qt::NoPen);
    for (int series = ChartSeriesCount - 1; series >= 0; --series) {
        const QList<BarPoint>& points = state.series[At(series)];
        for (int i = 0; i < points.size(); ++i) {
            const BarPoint& point = points[i];
            const BarFaces faces = layout.barFaces(series, i, point.value);
            painter.setBrush(TopFaceColor(point.color));
            painter.drawPolygon(faces.top);
            if (!faces.side.isEmpty()) {
                painter.setBrush(SideFaceColor(point.color));
                painter.drawPolygon(faces.side);
            }
            if (!faces.front.isEmpty())
                painter.fillRect(faces.front, point.color);
        }
    }
    painter.setBrush(Qt::NoBrush);
}

// The first series that has a point at `index` names the category.
QString CategoryLabel(const BarChartState& state, int index) {
    for (const QList<BarPoint>& points : state.series) {
        if (index < points.size())
            return points[index].label;
    }
    return {};
}

void DrawAxes(QPainter& painter, const BarChartState& state, const ChartLayout& layout) {
    const QRect& plot = layout.plot;
    const int base = layout.baseline();
    const int left = plot.left() - 1;
    painter.setPen(state.axisColor);
    painter.drawLine(left, plot.top() - 1, left, base);
    painter.drawLine(left, base, plot.right() + 1, base);
    for (const AxisTick& tick : layout.leftTicks)
        painter.drawLine(left - layout.tickLength, tick.y, left - 1, tick.y);
    for (int i = 0; i < layout.categoryCount; ++i) {
        const int x = layout.categoryX(i);
        painter.drawLine(x, base + 1, x, base + layout.tickLength);
    }

    const QFont font = Aliased(state.axisLabelFont);
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(state.axisLabelColor);
    for (const AxisTick& tick : layout.leftTicks) {
        const QRect rect(0, tick.y - metrics.height() / 2, layout.leftLabelRight, metrics.height());
        painter.drawText(rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, tick.text);
    }
    // A label that would touch the one before it is left out, as the axis has no room for it.
    int freeFrom = plot.left() - layout.tickLength - 1;
    for (int i = 0; i < layout.categoryCount; ++i) {
        const QString label = CategoryLabel(state, i);
        const int width = metrics.horizontalAdvance(label);
        const int x = layout.categoryX(i) - width / 2;
        if (x < freeFrom && i > 0)
            continue;
        painter.drawText(QRect(x, layout.bottomLabelTop, width, metrics.height()),
                         Qt::AlignCenter | Qt::TextDontClip, label);
        freeFrom = x + width + 2;
    }
}

void DrawAxisTitles(QPainter& painter, const BarChartState& state, const ChartLayout& layout) {
    const AxisTitle& bottom = state.bottomAxisTitle;
    if (!bottom.text.isEmpty()) {
        painter.setFont(Aliased(bottom.font));
        painter.setPen(bottom.color);
        painter.drawText(layout.bottomTitleRect, Qt::AlignCenter | Qt::TextDontClip, bottom.text);
    }
    const AxisTitle& left = state.leftAxisTitle;
    const QRect& rect = layout.leftTitleRect;
    if (!left.text.isEmpty() && !rect.isEmpty()) {
        // Turned a quarter to the left: read from bottom to top, centred on the plot's height.
        painter.save();
        painter.translate(rect.left(), rect.bottom() + 1);
        painter.rotate(-90.0);
        painter.setFont(Aliased(left.font));
        painter.setPen(left.color);
        painter.drawText(QRect(0, 0, rect.height(), rect.width()),
                         Qt::AlignCenter | Qt::TextDontClip, left.text);
        painter.restore();
    }
}

int Channel(int value) {
    return std::clamp(value, 0, 255);
}

} // namespace

FittedLine FitLine(const QString& text, const QFont& font, int width) {
    FittedLine fitted{font, text};
    if (QFontMetrics(font).horizontalAdvance(text) <= width)
        return fitted;
    for (int size = QFontInfo(font).pixelSize() - 1; size >= MinTextPixelSize; --size) {
        fitted.font.setPixelSize(size);
        if (QFontMetrics(fitted.font).horizontalAdvance(text) <= width)
            return fitted;
    }
    fitted.font.setPixelSize(std::min(QFontInfo(font).pixelSize(), MinTextPixelSize));
    fitted.text = QFontMetrics(fitted.font).elidedText(text, Qt::ElideMiddle, width);
    return fitted;
}

QColor TopFaceColor(const QColor& color) {
    const QColor c = color.toRgb();
    const auto lift = [](int v) { return Channel(v + (255 - v) * 9 / 20); };
    return QColor(lift(c.red()), lift(c.green()), lift(c.blue()));
}

QColor SideFaceColor(const QColor& color) {
    const QColor c = color.toRgb();
    const auto shade = [](int v) { return Channel(v * 13 / 20); };
    return QColor(shade(c.red()), shade(c.green()), shade(c.blue()));
}

void PaintBarChart(QPainter& painter, const BarChartState& state, QSize size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect all(QPoint(0, 0), size);
    painter.setClipRect(all, Qt::IntersectClip);
    painter.fillRect(all, state.backgroundColor);

    const ChartLayout layout = ComputeChartLayout(state, size);
    const QRect inside = all.adjusted(1, 1, -1, -1);
    DrawTextBlock(painter, state.title, layout.titleRect, inside);
    DrawTextBlock(painter, state.foot, layout.footRect, inside);
    if (layout.hasPlot()) {
        DrawWalls(painter, state, layout);
        DrawBars(painter, state, layout);
        DrawAxes(painter, state, layout);
        DrawAxisTitles(painter, state, layout);
    }
    DrawFrame(painter, state.frame, size);
    painter.restore();
}

} // namespace rez
