#include "chart_styles.h"

#include "bar_chart.h"
#include "chart_views.h"
#include "questionnaire.h"

#include <QMargins>

namespace rez {

namespace {

const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);

template <typename Table> QStringList ToStringList(const Table& table) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(table.size()));
    for (const std::string_view text : table)
        list.append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return list;
}

void ConfigureProfileChart(BarChart& chart, const QString& title, const QMargins& margins,
                           QSize size) {
    chart.clearTitle();
    chart.appendTitleLine(title);
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
    chart.setMarginsPercent(margins);
    chart.setDepthPercent(15.0);
    chart.setFixedSize(size);
}

} // namespace

QString ScaleChartTitle() {
    return QString::fromUtf8(ChartTitle(ChartKind::Scales));
}

QString FactorChartTitle() {
    return QString::fromUtf8(ChartTitle(ChartKind::PhasesAndFactors));
}

QStringList ScaleChartLabels() {
    return ToStringList(ScaleLetters);
}

QStringList FactorChartLabels() {
    return ToStringList(PhaseFactorLabels);
}

void ConfigureScaleChart(BarChart& chart) {
    ConfigureProfileChart(chart, ScaleChartTitle(), QMargins(1, 1, 1, 1), QSize(1019, 261));
}

void ConfigureFactorChart(BarChart& chart) {
    ConfigureProfileChart(chart, FactorChartTitle(), QMargins(1, 1, 2, 2), QSize(415, 257));
}

} // namespace rez
