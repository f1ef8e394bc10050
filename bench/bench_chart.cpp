// Drawing the two profile charts of a sample group, as the main window and rez-report do:
// the scale chart (1019 x 261) and the phase and factor chart (415 x 257), each in view 0
// (the self-assessment alone) and view 4 (self, mean of the others and their difference).
// Two steps are timed apart: filling the chart with a view (ShowChartView) and rendering it
// into a picture (BarChart::render). The floor beside them is a blank picture of the same
// size, allocated and cleared, which every render has to pay for.
//
// Needs a QGuiApplication (fonts), no widgets; without a display set, it runs on the
// offscreen platform. The group is the Smirnov sample beside the program, or the folder
// given by --group=DIR.
#include "bench_report.h"

#include "chart_picture.h"
#include "chart_styles.h"
#include "chart_views.h"
#include "group_results.h"
#include "group_run.h"

#include <benchmark/benchmark.h>

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

// The views timed: the self-assessment alone shows one series, the mean view all three with
// the widest labels. Case names keep the views' numbers (0 and 4).
constexpr rez::View Views[] = {rez::View::SelfOnly, rez::View::Mean};

struct ChartCase {
    const char* name;
    bool scaleChart;
};
constexpr ChartCase Charts[] = {{"scale_1019x261", true}, {"factor_415x257", false}};

std::string CaseName(const char* what, const ChartCase& chart, rez::View view) {
    return std::string(what) + '/' + chart.name + "/view" + std::to_string(static_cast<int>(view));
}

rez::ChartKind KindOf(const ChartCase& chart) {
    return chart.scaleChart ? rez::ChartKind::Scales : rez::ChartKind::PhasesAndFactors;
}

void RegisterAll(const rez::GroupResults& results) {
    for (const ChartCase& chart : Charts) {
        for (const rez::View view : Views) {
            const rez::ChartView shown = rez::BuildChartView(results, KindOf(chart), view);

            benchmark::RegisterBenchmark(
                CaseName("BM_ShowChartView", chart, view).c_str(),
                [chart, shown](benchmark::State& state) {
                    rez::BarChart picture = rez::MakeProfileChart(KindOf(chart));
                    for (auto _ : state) {
                        rez::ShowChartView(picture, shown);
                        benchmark::DoNotOptimize(picture.pointCount(rez::SelfSeries));
                    }
                })
                ->Unit(benchmark::kMicrosecond);

            benchmark::RegisterBenchmark(CaseName("BM_RenderChart", chart, view).c_str(),
                                         [chart, shown](benchmark::State& state) {
                                             rez::BarChart picture =
                                                 rez::MakeProfileChart(KindOf(chart));
                                             rez::ShowChartView(picture, shown);
                                             state.counters["width"] = picture.width();
                                             state.counters["height"] = picture.height();
                                             for (auto _ : state) {
                                                 const QImage image = picture.render();
                                                 benchmark::DoNotOptimize(image.constBits());
                                             }
                                         })
                ->Unit(benchmark::kMillisecond);
        }

        benchmark::RegisterBenchmark((std::string("BM_BlankPicture/") + chart.name).c_str(),
                                     [chart](benchmark::State& state) {
                                         const QSize size = rez::ProfileChartSize(KindOf(chart));
                                         for (auto _ : state) {
                                             QImage image(size, QImage::Format_RGB32);
                                             image.fill(QColor(0xFF, 0xFF, 0xFF));
                                             benchmark::DoNotOptimize(image.constBits());
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt must not see Google Benchmark's flags, nor ours.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    QString groupDir = QCoreApplication::applicationDirPath() + u"/../bin/Data/Smirnov"_s;
    constexpr std::string_view GroupFlag = "--group=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(GroupFlag))
            groupDir = QString::fromUtf8(arg.substr(GroupFlag.size()));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;

    rez::GroupResults results;
    try {
        rez::LineBuffer buffer;
        results = rez::RunGroup((QDir(groupDir).absolutePath() + u'/').toStdString(), '.', buffer);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_chart: the Group run on %s failed: %s\n",
                     groupDir.toLocal8Bit().constData(), error.what());
        return 1;
    }
    RegisterAll(results);

    return rez::bench::RunBenchmarks(argc, argv, [](const rez::bench::FigureCollector& figures) {
        for (const ChartCase& chart : Charts)
            for (const rez::View view : Views)
                rez::bench::PrintRatio(figures,
                                       std::string("Render / blank picture, ") + chart.name +
                                           " view " + std::to_string(static_cast<int>(view)),
                                       CaseName("BM_RenderChart", chart, view),
                                       std::string("BM_BlankPicture/") + chart.name);
    });
}
