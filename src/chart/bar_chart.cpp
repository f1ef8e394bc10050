#include "bar_chart.h"

#include "chart_fonts.h"
#include "chart_layout.h"
#include "chart_paint.h"
#include "table_index.h"

#include <QPainter>

namespace rez {

namespace {

bool ValidSeries(int series) {
    return series >= 0 && series < ChartSeriesCount;
}

} // namespace

QFont ChartFont(int pixelSize) {
    QFont font;
    font.setFamilies({ChartFontFamily(), QStringLiteral("Arial")});
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    // Light (vertical only) hinting, as Debian's fontconfig asks for: stated here so FreeType
    // places the same pixels on every system (Windows' default is full hinting, wider text).
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

BarChart::BarChart() {
    state_.title.font = ChartFont(16);
    state_.foot.font = ChartFont(13);
    state_.leftAxisTitle.font = ChartFont(16);
    state_.bottomAxisTitle.font = ChartFont(16);
    state_.axisLabelFont = ChartFont(12);
}

QList<BarPoint>* BarChart::series(int index) {
    return ValidSeries(index) ? &state_.series[At(index)] : nullptr;
}

void BarChart::clearSeries(int index) {
    if (QList<BarPoint>* points = series(index)) {
        points->clear();
    }
}

void BarChart::appendPoint(int index, double value, const QString& label, const QColor& color) {
    if (QList<BarPoint>* points = series(index)) {
        points->append({value, label, color});
    }
}

int BarChart::pointCount(int index) const {
    return static_cast<int>(points(index).size());
}

const QList<BarPoint>& BarChart::points(int index) const {
    static const QList<BarPoint> none; // never changed: safe to share between threads
    return ValidSeries(index) ? state_.series[At(index)] : none;
}

void BarChart::clearTitle() {
    state_.title.lines.clear();
}

void BarChart::appendTitleLine(const QString& line) {
    state_.title.lines.append(line);
}

void BarChart::setTitleFont(const QFont& font) {
    state_.title.font = font;
}

void BarChart::setTitleColor(const QColor& color) {
    state_.title.color = color;
}

void BarChart::clearFoot() {
    state_.foot.lines.clear();
}

void BarChart::appendFootLine(const QString& line) {
    state_.foot.lines.append(line);
}

void BarChart::setFootFont(const QFont& font) {
    state_.foot.font = font;
}

void BarChart::setFootColor(const QColor& color) {
    state_.foot.color = color;
}

void BarChart::setLeftAxisRange(double minimum, double maximum) {
    state_.leftAxisMinimum = minimum;
    state_.leftAxisMaximum = maximum;
}

void BarChart::setLeftAxisLabelFormat(const QString& format) {
    state_.leftAxisLabelFormat = format;
}

void BarChart::setLeftAxisTitle(const QString& text) {
    state_.leftAxisTitle.text = text;
}

void BarChart::setLeftAxisTitleFont(const QFont& font) {
    state_.leftAxisTitle.font = font;
}

void BarChart::setLeftAxisTitleColor(const QColor& color) {
    state_.leftAxisTitle.color = color;
}

void BarChart::setBottomAxisTitle(const QString& text) {
    state_.bottomAxisTitle.text = text;
}

void BarChart::setBottomAxisTitleFont(const QFont& font) {
    state_.bottomAxisTitle.font = font;
}

void BarChart::setBottomAxisTitleColor(const QColor& color) {
    state_.bottomAxisTitle.color = color;
}

void BarChart::setAxisLabelFont(const QFont& font) {
    state_.axisLabelFont = font;
}

void BarChart::setAxisLabelColor(const QColor& color) {
    state_.axisLabelColor = color;
}

void BarChart::setBackgroundColor(const QColor& color) {
    state_.backgroundColor = color;
}

void BarChart::setBackWallColor(const QColor& color) {
    state_.backWallColor = color;
}

void BarChart::setLeftWallColor(const QColor& color) {
    state_.leftWallColor = color;
}

void BarChart::setBottomWallColor(const QColor& color) {
    state_.bottomWallColor = color;
}

void BarChart::setFrame(ChartFrame frame) {
    state_.frame = frame;
}

void BarChart::setMarginsPercent(const QMargins& margins) {
    state_.marginsPercent = margins;
}

void BarChart::setDepthPercent(double percent) {
    state_.depthPercent = percent;
}

QRect BarChart::plotRect() const {
    return ComputeChartLayout(state_, size()).plot;
}

int BarChart::pointX(int index) const {
    const ChartLayout layout = ComputeChartLayout(state_, size());
    if (index < 0 || index >= layout.categoryCount || !layout.hasPlot())
        return -1;
    return layout.categoryX(index);
}

QRect BarChart::barFrontRect(int series, int index) const {
    const QList<BarPoint>& list = points(series);
    if (index < 0 || index >= list.size())
        return {};
    return ComputeChartLayout(state_, size()).barFaces(series, index, list[index].value).front;
}

int BarChart::barIndexAt(int series, QPoint position) const {
    const QList<BarPoint>& list = points(series);
    if (list.isEmpty())
        return -1;
    const ChartLayout layout = ComputeChartLayout(state_, size());
    for (int i = 0; i < list.size(); ++i) {
        if (layout.barFaces(series, i, list[i].value).contains(position))
            return i;
    }
    return -1;
}

void BarChart::paint(QPainter& painter) const {
    PaintBarChart(painter, state_, size());
}

QImage BarChart::render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    if (image.isNull())
        return image; // a widget of no area: nothing to paint on
    QPainter painter(&image);
    paint(painter);
    return image;
}

} // namespace rez
