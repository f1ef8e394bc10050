#include "chart_slot.h"

namespace rez {

ChartWidget* MakeChartWidget(QWidget* parent, const QString& name) {
    auto* chart = new QFrame(parent);
    chart->setObjectName(name);
    // White, with a lowered inner bevel, as the charts will be.
    chart->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    chart->setAutoFillBackground(true);
    QPalette palette = chart->palette();
    palette.setColor(QPalette::Window, Qt::white);
    chart->setPalette(palette);
    return chart;
}

} // namespace rez
