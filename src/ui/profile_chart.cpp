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
    connect(&model, &ResultsModel::resultsReplaced, this, &ProfileChart::showModelView);
    connect(&model, &ResultsModel::viewChanged, this, &ProfileChart::showModelView);
}

void ProfileChart::showModelView() {
    ShowChartView(chart_, BuildChartView(model_.results(), kind_, model_.view()));
    update();
}

void ProfileChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    chart_.paint(painter);
}

void ProfileChart::mouseMoveEvent(QMouseEvent* event) {
    readout(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void ProfileChart::readout(QPoint position) {
    if (!chart_.plotRect().contains(position))
        return;
    const int index = chart_.barIndexAt(SelfSeries, position);
    chart_.clearTitle();
    chart_.appendTitleLine(QString::fromUtf8(ReadoutTitle(kind_, index)));
    update();
}

} // namespace rez
