#include "chart_picture.h"

#include "chart_styles.h"
#include "table_index.h"

namespace rez {

void ShowChartView(BarChart& chart, const ChartView& view) {
    for (int s = 0; s < ChartSeriesCount; ++s)
        chart.clearSeries(s);
    chart.clearFoot();
    chart.appendFootLine(QString::fromStdString(view.foot));
    for (int s = 0; s < ChartSeriesCount; ++s)
        for (const ChartBar& bar : view.series[At(s)])
            chart.appendPoint(s, bar.value, QString::fromStdString(bar.label),
                              QColor::fromRgb(static_cast<QRgb>(bar.color)));
    chart.setBottomAxisTitle(QString::fromStdString(view.bottomTitle));
}

QImage RenderProfileChart(const GroupResults& results, ChartKind kind, View view) {
    BarChart chart = MakeProfileChart(kind);
    ShowChartView(chart, BuildChartView(results, kind, view));
    return chart.render();
}

QImage RenderReportChart(const GroupResults& results, bool scaleChart) {
    return RenderProfileChart(results, scaleChart ? ChartKind::Scales : ChartKind::PhasesAndFactors,
                              FirstView);
}

} // namespace rez
