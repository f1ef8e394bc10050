#include "report_charts.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace rez {
namespace {

// Room around the plot, in points: tick labels on the left, category labels below, the
// legend above.
constexpr double AxisLabelWidth = 20.0;
constexpr double CategoryLabelHeight = 13.0;
constexpr double LegendHeight = 14.0;
constexpr double TickFontSize = 7.0;
constexpr double ValueFontSize = 6.0;
// The answers' scale.
constexpr double HighestAnswer = 7.0;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

double Points(Tenths t) {
    return static_cast<double>(t) / 10.0;
}

QPen Line(const ReportCanvas& canvas, const QColor& colour, double width,
          Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour);
    pen.setWidthF(canvas.U(width));
    pen.setStyle(style);
    return pen;
}

// Horizontal grid lines with their labels at every whole point from `low` to `high`.
void DrawGrid(QPainter& p, const ReportCanvas& c, const QRectF& plot, int low, int high,
              bool signedLabels) {
    const QFont font = c.Font(TickFontSize);
    p.setFont(font);
    for (int v = low; v <= high; ++v) {
        const double y = plot.bottom() - (v - low) * plot.height() / (high - low);
        p.setPen(Line(c, v == 0 ? Qt::black : GridColour, v == 0 ? 0.8 : 0.4));
        p.drawLine(c.Point(plot.left(), y), c.Point(plot.right(), y));
        const QString label =
            signedLabels && v > 0 ? QStringLiteral("+%1").arg(v) : QString::number(v);
        p.setPen(MutedTextColour);
        p.drawText(c.Rect(plot.left() - AxisLabelWidth, y - 5, AxisLabelWidth - 3, 10),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

void DrawCategoryLabels(QPainter& p, const ReportCanvas& c, const QRectF& plot,
                        const std::vector<std::string>& labels) {
    const double slot = plot.width() / static_cast<double>(labels.size());
    p.setFont(c.Font(TickFontSize + 0.5));
    p.setPen(Qt::black);
    for (std::size_t i = 0; i < labels.size(); ++i)
        p.drawText(c.Rect(plot.left() + slot * static_cast<double>(i), plot.bottom() + 2, slot,
                          CategoryLabelHeight - 2),
                   Qt::AlignHCenter | Qt::AlignTop, Text(labels[i]));
}

// A bar from `from` to `to` (values in points of the axis) in the slot's horizontal span.
void DrawBar(QPainter& p, const ReportCanvas& c, double left, double width, double yFrom,
             double yTo, const QColor& colour) {
    const double top = std::min(yFrom, yTo);
    const double height = std::fabs(yTo - yFrom);
    if (height <= 0.0)
        return;
    p.fillRect(c.Rect(left, top, width, height), colour);
}

// A value label on a white ground, so grid and threshold lines do not run through it.
void DrawValueLabel(QPainter& p, const ReportCanvas& c, double centreX, double top,
                    const QString& text, const QColor& colour) {
    const QFont font = c.Font(ValueFontSize);
    const double width = c.TextWidth(font, text) + 1.5;
    const QRectF rect = c.Rect(centreX - width / 2, top, width, ValueFontSize + 1.5);
    p.fillRect(rect, Qt::white);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(rect, Qt::AlignCenter, text);
}

void DrawLegend(QPainter& p, const ReportCanvas& c, const QRectF& box,
                const std::vector<std::pair<QString, QColor>>& entries) {
    const QFont font = c.Font(TickFontSize + 0.5);
    p.setFont(font);
    double x = box.right();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const double w = c.TextWidth(font, it->first);
        x -= w;
        p.setPen(Qt::black);
        p.drawText(c.Rect(x, box.top(), w + 1, LegendHeight - 4), Qt::AlignLeft | Qt::AlignVCenter,
                   it->first);
        x -= 11;
        p.fillRect(c.Rect(x, box.top() + 2, 8, 6), it->second);
        x -= 12;
    }
}

} // namespace

void DrawProfileChart(QPainter& p, const ReportCanvas& c, const QRectF& box, const ChartSeries& s,
                      bool valueLabels, char sep) {
    const QRectF plot(box.left() + AxisLabelWidth, box.top() + LegendHeight,
                      box.width() - AxisLabelWidth,
                      box.height() - LegendHeight - CategoryLabelHeight);
    DrawGrid(p, c, plot, 0, static_cast<int>(HighestAnswer), false);
    DrawCategoryLabels(p, c, plot, s.Labels);

    std::vector<std::pair<const std::vector<Tenths>*, QColor>> bars;
    std::vector<std::pair<QString, QColor>> legend;
    if (s.Self) {
        bars.emplace_back(&*s.Self, SelfColour);
        legend.emplace_back(Text(s.SelfLegend), SelfColour);
    }
    if (s.Others) {
        bars.emplace_back(&*s.Others, OthersColour);
        legend.emplace_back(Text(s.OthersLegend), OthersColour);
    }
    DrawLegend(p, c, box, legend);
    if (bars.empty())
        return;

    const double slot = plot.width() / static_cast<double>(s.Labels.size());
    const double barWidth = slot * (bars.size() == 1 ? 0.5 : 0.36);
    const double groupLeft = (slot - barWidth * static_cast<double>(bars.size())) / 2;
    const auto yOf = [&](double v) {
        return plot.bottom() - std::clamp(v, 0.0, HighestAnswer) * plot.height() / HighestAnswer;
    };
    for (std::size_t i = 0; i < s.Labels.size(); ++i) {
        for (std::size_t b = 0; b < bars.size(); ++b) {
            const Tenths value = (*bars[b].first)[i];
            const double left = plot.left() + slot * static_cast<double>(i) + groupLeft +
                                barWidth * static_cast<double>(b);
            DrawBar(p, c, left, barWidth, yOf(0), yOf(Points(value)), bars[b].second);
            if (valueLabels)
                DrawValueLabel(p, c, left + barWidth / 2, yOf(Points(value)) - ValueFontSize - 2.5,
                               Text(FormatTenths(value, sep)), Qt::black);
        }
    }
}

void DrawGapChart(QPainter& p, const ReportCanvas& c, const QRectF& box,
                  const std::vector<std::string>& labels, const std::vector<Tenths>& gaps,
                  Tenths threshold, char sep) {
    // Symmetric range of whole points that holds every gap and the threshold lines, at
    // least +-2 so that small gaps keep their proportions.
    Tenths largest = std::max<Tenths>(threshold, 20);
    for (const Tenths g : gaps)
        largest = std::max(largest, g < 0 ? -g : g);
    const int range = static_cast<int>((largest + 9) / 10);

    const QRectF plot(box.left() + AxisLabelWidth, box.top() + 8, box.width() - AxisLabelWidth,
                      box.height() - 8 - CategoryLabelHeight);
    DrawGrid(p, c, plot, -range, range, true);
    DrawCategoryLabels(p, c, plot, labels);
    const auto yOf = [&](double v) {
        return plot.center().y() - v * plot.height() / (2.0 * range);
    };
    p.setPen(Line(c, MutedTextColour, 0.7, Qt::DashLine));
    for (const double t : {Points(threshold), -Points(threshold)})
        p.drawLine(c.Point(plot.left(), yOf(t)), c.Point(plot.right(), yOf(t)));

    const double slot = plot.width() / static_cast<double>(labels.size());
    const double barWidth = slot * 0.55;
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        const Tenths g = gaps[i];
        const double left = plot.left() + slot * static_cast<double>(i) + (slot - barWidth) / 2;
        DrawBar(p, c, left, barWidth, yOf(0), yOf(Points(g)), g > 0 ? HigherColour : LowerColour);
        const double labelTop = g >= 0 ? yOf(Points(g)) - ValueFontSize - 2.5 : yOf(Points(g)) + 1;
        DrawValueLabel(p, c, left + barWidth / 2, labelTop, Text(FormatSignedTenths(g, sep)),
                       g > 0   ? HigherColour
                       : g < 0 ? LowerColour
                               : MutedTextColour);
    }
}

} // namespace rez
