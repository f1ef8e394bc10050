// Renders a scale chart and a phase and factor chart filled with plausible values to PNG
// files, for looking at the charts by eye: chart-preview [FOLDER].
#include "chart_styles.h"
#include "questionnaire.h"

#include <QDir>
#include <QGuiApplication>

#include <cmath>
#include <cstdio>

namespace {

QColor LevelColor(double v) {
    if (v > 5.5)
        return QColor(255, 0, 0);
    return v >= 2.5 ? QColor(192, 192, 192) : QColor(0, 0, 255);
}

// Self and compared rows from smooth waves, so neighbouring bars differ; the difference row
// holds |self - compared| in the sign colour.
template <typename Labels> void Fill(rez::BarChart& chart, const Labels& table, double phase) {
    QStringList labels;
    for (const std::string_view label : table)
        labels.append(QString::fromUtf8(label));
    for (int s = 0; s < rez::ChartSeriesCount; ++s)
        chart.clearSeries(s);
    for (int i = 0; i < labels.size(); ++i) {
        const double self = 4.0 + 2.9 * std::sin(0.7 * i + phase);
        const double other = 4.2 + 2.2 * std::cos(0.45 * i + phase);
        const double d = self - other;
        chart.appendPoint(0, self, labels[i], LevelColor(self));
        chart.appendPoint(1, other, labels[i], LevelColor(other));
        chart.appendPoint(2, std::abs(d), labels[i], d > 0 ? QColor(255, 0, 0) : QColor(0, 0, 255));
    }
    chart.clearFoot();
    chart.appendFootLine(QStringLiteral("Иванов И.И. 2024 Отдел продаж"));
    chart.setBottomAxisTitle(QStringLiteral("Самооценка - Средние"));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    rez::BarChart scale = rez::MakeProfileChart(rez::ChartKind::Scales);
    Fill(scale, rez::ScaleLetters, 0.0);
    rez::BarChart factor = rez::MakeProfileChart(rez::ChartKind::PhasesAndFactors);
    Fill(factor, rez::PhaseFactorLabels, 1.0);
    const bool ok = scale.render().save(folder + QStringLiteral("/chart_scale.png")) &&
                    factor.render().save(folder + QStringLiteral("/chart_factor.png"));
    factor.clearTitle();
    factor.appendTitleLine(QStringLiteral("Фактор 1. Взаимоотношения руководителя и коллектива"));
    const bool ok2 = factor.render().save(folder + QStringLiteral("/chart_factor_readout.png"));
    std::printf("%s\n", ok && ok2 ? "written" : "failed");
    return ok && ok2 ? 0 : 1;
}
