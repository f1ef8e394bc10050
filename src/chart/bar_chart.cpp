#include "bar_chart.h"

#include "chart_layout.h"
#include "chart_paint.h"

#include <QMouseEvent>
#include <QPainter>

namespace rez {

namespace {

bool ValidSeries(int series) {
    return series >= 0 && series < ChartSeriesCount;
}

} // namespace

QFont ChartFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

BarChart::BarChart(QWidget* parent)
    : QWidget(parent) {
    state_.title.font = ChartFont(16);
    state_.foot.font = ChartFont(13);
    state_.leftAxisTitle.font = ChartFont(16);
    state_.bottomAxisTitle.font = ChartFont(16);
    state_.axisLabelFont = ChartFont(12);
    setMouseTracking(true);
    // paint() covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QList<BarPoint>* BarChart::series(int index) {
    return ValidSeries(index) ? &state_.series[static_cast<std::size_t>(index)] : nullptr;
}

void BarChart::clearSeries(int index) {
    if (QList<BarPoint>* points = series(index)) {
        points->clear();
        update();
    }
}

void BarChart::appendPoint(int index, double value, const QString& label, const QColor& color) {
    if (QList<BarPoint>* points = series(index)) {
        points->append({value, label, color});
        update();
    }
}

int BarChart::pointCount(int index) const {
    return static_cast<int>(points(index).size());
}

const QList<BarPoint>& BarChart::points(int index) const {
    static const QList<BarPoint> none;
    return ValidSeries(index) ? state_.series[static_cast<std::size_t>(index)] : none;
}

void BarChart::clearTitle() {
    state_.title.lines.clear();
    update();
}

void BarChart::appendTitleLine(const QString& line) {
    state_.title.lines.append(line);
    update();
}

void BarChart::setTitleFont(const QFont& font) {
    state_.title.font = font;
    update();
}

void BarChart::setTitleColor(const QColor& color) {
    state_.title.color = color;
    update();
}

void BarChart::clearFoot() {
    state_.foot.lines.clear();
    update();
}

void BarChart::appendFootLine(const QString& line) {
    state_.foot.lines.append(line);
    update();
}

void BarChart::setFootFont(const QFont& font) {
    state_.foot.font = font;
    update();
}

void BarChart::setFootColor(const QColor& color) {
    state_.foot.color = color;
    update();
}

void BarChart::setLeftAxisRange(double minimum, double maximum) {
    state_.leftAxisMinimum = minimum;
    state_.leftAxisMaximum = maximum;
    update();
}

void BarChart::setLeftAxisLabelFormat(const QString& format) {
    state_.leftAxisLabelFormat = format;
    update();
}

void BarChart::setLeftAxisTitle(const QString& text) {
    state_.leftAxisTitle.text = text;
    update();
}

void BarChart::setLeftAxisTitleFont(const QFont& font) {
    state_.leftAxisTitle.font = font;
    update();
}

void BarChart::setLeftAxisTitleColor(const QColor& color) {
    state_.leftAxisTitle.color = color;
    update();
}

void BarChart::setBottomAxisTitle(const QString& text) {
    state_.bottomAxisTitle.text = text;
    update();
}

void BarChart::setBottomAxisTitleFont(const QFont& font) {
    state_.bottomAxisTitle.font = font;
    update();
}

void BarChart::setBottomAxisTitleColor(const QColor& color) {
    state_.bottomAxisTitle.color = color;
    update();
}

void BarChart::setAxisLabelFont(const QFont& font) {
    state_.axisLabelFont = font;
    update();
}

void BarChart::setAxisLabelColor(const QColor& color) {
    state_.axisLabelColor = color;
    update();
}

void BarChart::setBackgroundColor(const QColor& color) {
    state_.backgroundColor = color;
    update();
}

void BarChart::setBackWallColor(const QColor& color) {
    state_.backWallColor = color;
    update();
}

void BarChart::setLeftWallColor(const QColor& color) {
    state_.leftWallColor = color;
    update();
}

void BarChart::setBottomWallColor(const QColor& color) {
    state_.bottomWallColor = color;
    update();
}

void BarChart::setFrame(ChartFrame frame) {
    state_.frame = frame;
    update();
}

void BarChart::setMarginsPercent(const QMargins& margins) {
    state_.marginsPercent = margins;
    update();
}

void BarChart::setDepthPercent(double percent) {
    state_.depthPercent = percent;
    update();
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

void BarChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paint(painter);
}

void BarChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    emit mouseMoved(event->modifiers(), position.x(), position.y());
    QWidget::mouseMoveEvent(event);
}

} // namespace rez
