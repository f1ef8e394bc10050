#include "chart_styles.h"

#include <QMargins>

namespace rez {

namespace {

const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);

struct ProfileChartSettings {
    QSize size;
    QMargins marginsPercent; // left, top, right, bottom
};

ProfileChartSettings SettingsOf(ChartKind kind) {
    if (kind == ChartKind::Scales)
        return {QSize(1019, 261), QMargins(1, 1, 1, 1)};
    return {QSize(415, 257), QMargins(1, 1, 2, 2)};
}

} // namespace

QSize ProfileChartSize(ChartKind kind) {
    return SettingsOf(kind).size;
}

void ConfigureProfileChart(BarChart& chart, ChartKind kind) {
    const ProfileChartSettings settings = SettingsOf(kind);
    chart.clearTitle();
    chart.appendTitleLine(QString::fromUtf8(ChartTitle(kind)));
    chart.setTitleFont(ChartFont(16));
    chart.setTitleColor(kBlue);

    chart.setLeftAxisRange(0.0, 7.0);
    chart.setLeftAxisLabelFormat(QStringLiteral("#0"));
    chart.setLeftAxisTitle(QStringLiteral("Средние баллы"));
    chart.setLeftAxisTitleFont(ChartFont(16));
    chart.setLeftAxisTitleColor(kNavy);
    chart.setBottomAxisTitleFont(ChartFont(16));
    chart.setBottomAxisTitleColor(kNavy);

    chart.setFootFont(ChartFont(13));
    chart.setFootColor(Qt::black);

    chart.setBackgroundColor(Qt::white);
    chart.setBackWallColor(Qt::white);
    chart.setLeftWallColor(Qt::white);
    chart.setBottomWallColor(Qt::white);
    chart.setFrame(ChartFrame::Lowered);
    chart.setMarginsPercent(settings.marginsPercent);
    chart.setDepthPercent(15.0);
    chart.setSize(settings.size);
}

BarChart MakeProfileChart(ChartKind kind) {
    BarChart chart;
    ConfigureProfileChart(chart, kind);
    return chart;
}

} // namespace rez
