#include "profile_chart.h"

#include "chart_picture.h"
#include "chart_styles.h"
#include "results_model.h"

#include <QMouseEvent>
#include <QPainter>

namespace rez {

ProfileChart::ProfileChart(ChartKind kind, const ResultsModel& model, QWidget* parent)
    : QWidget(parent)
    , kind_(kind)
    , model_(model)
    , chart_(MakeProfileChart(kind)) {
    setFixedSize(chart_.size());
    setMouseTracking(true);
    // The chart covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&model, &ResultsModel::resultsReplaced, this, &ProfileChart::showNewResults);
    connect(&model, &ResultsModel::viewChanged, this, &ProfileChart::showModelView);
}

void ProfileChart::showModelView() {
    ShowChartView(chart_, BuildChartView(model_.results(), kind_, model_.view()));
    update();
}

void ProfileChart::showNewResults() {
    showTitle(-1);
    showModelView();
}

void ProfileChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    chart_.paint(painter);
}

void ProfileChart::mouseMoveEvent(QMouseEvent* event) {
    readout(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void ProfileChart::leaveEvent(QEvent* event) {
    showTitle(-1);
    QWidget::leaveEvent(event);
}

void ProfileChart::readout(QPoint position) {
    showTitle(chart_.plotRect().contains(position) ? chart_.barIndexAt(SelfSeries, position) : -1);
}

void ProfileChart::showTitle(int barIndex) {
    const QStringList title{QString::fromUtf8(ReadoutTitle(kind_, barIndex))};
    if (chart_.titleLines() == title)
        return;
    chart_.clearTitle();
    chart_.appendTitleLine(title[0]);
    update();
}

} // namespace rez
