#include "chart_slot.h"

#include "chart_styles.h"

namespace rez {

ChartWidget* MakeChartWidget(QWidget* parent, const QString& name, bool scaleChart) {
    auto* chart = new BarChart(parent);
    chart->setObjectName(name);
    if (scaleChart)
        ConfigureScaleChart(*chart);
    else
        ConfigureFactorChart(*chart);
    return chart;
}

} // namespace rez
