#include "bar_chart.h"
#include "chart_layout.h"
#include "chart_paint.h"
#include "chart_styles.h"
#include "chart_test_util.h"
#include "param_name.h"
#include "questionnaire.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace rez::test {
namespace {

constexpr int kPoints = 5;

void FillSeries(BarChart& chart, int series, double value, const QColor& color, int count) {
    chart.clearSeries(series);
    for (int i = 0; i < count; ++i)
        chart.appendPoint(series, value, QString::number(i), color);
}

QString Label(std::string_view text) {
    return QString::fromUtf8(text);
}

// Smallest rectangle that holds every pixel where the two pictures differ; empty if none.
QRect DiffBox(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

struct FaceCase {
    const char* name;
    int series;
    double value;
};
REZ_PRINT_CASE_BY_NAME(FaceCase)

class FrontFace : public testing::TestWithParam<FaceCase> {};

// With the other rows empty, the whole front face holds the exact colour, its height is the
// value's share of the plot, and the faces above and below it are other colours.
TEST_P(FrontFace, HoldsExactColourAtValueHeight) {
    const FaceCase& c = GetParam();
    auto chart = MakeChart();
    FillSeries(*chart, c.series, c.value, kGreen, kPoints);
    const QImage image = chart->render();
    const QRect plot = chart->plotRect();
    const QRect face = chart->barFrontRect(c.series, 1);

    ASSERT_FALSE(face.isEmpty());
    EXPECT_EQ(face.height(), std::lround(c.value / 7.0 * plot.height()));
    EXPECT_EQ(CountColor(image, kGreen, face), face.width() * face.height());
    const int x = face.center().x();
    EXPECT_NE(image.pixel(x, face.top() - 1), kGreen.rgb());
    EXPECT_NE(image.pixel(x, face.bottom() + 1), kGreen.rgb());
    EXPECT_EQ(CountColor(image, kGreen, image.rect()), kPoints * face.width() * face.height());
    // Each row stands on the floor at its own depth, moved right and up by that depth; the
    // front row lies within the first row step.
    const ChartLayout layout = ComputeChartLayout(chart->state(), chart->size());
    const int depth = layout.seriesDepth(c.series);
    EXPECT_EQ(face.bottom(), plot.bottom() - depth);
    EXPECT_LE(std::abs(face.center().x() - (chart->pointX(1) + depth)), 1);
    EXPECT_GE(depth, c.series * layout.rowStep);
    EXPECT_LT(depth, (c.series + 1) * layout.rowStep);
}

INSTANTIATE_TEST_SUITE_P(Values, FrontFace,
                         testing::Values(FaceCase{"Front1", 0, 1.0}, FaceCase{"Front3_5", 0, 3.5},
                                         FaceCase{"Front7", 0, 7.0}, FaceCase{"Middle5_5", 1, 5.5},
                                         FaceCase{"Rear2_5", 2, 2.5}, FaceCase{"Rear7", 2, 7.0}),
                         ByName{});

struct OverlapCase {
    const char* name;
    bool scaleChart;
    double front, middle, rear;
};
REZ_PRINT_CASE_BY_NAME(OverlapCase)

class RearRows : public testing::TestWithParam<OverlapCase> {};

// The front row is never covered, and whatever stands in front, the top row of every rear
// bar's front face shows its own colour, so its height can be read.
TEST_P(RearRows, KeepTheirTopsVisible) {
    const OverlapCase& c = GetParam();
    BarChart chart =
        MakeProfileChart(c.scaleChart ? ChartKind::Scales : ChartKind::PhasesAndFactors);
    const int count = c.scaleChart ? 23 : 8;
    FillSeries(chart, 0, c.front, kRed, count);
    FillSeries(chart, 1, c.middle, kSilver, count);
    FillSeries(chart, 2, c.rear, kBlue, count);
    const QImage image = chart.render();
    const QColor colors[] = {kRed, kSilver, kBlue};
    for (int series = 0; series < 3; ++series) {
        for (int i = 0; i < count; ++i) {
            const QRect face = chart.barFrontRect(series, i);
            if (series == 0) {
                EXPECT_EQ(CountColor(image, kRed, face), face.width() * face.height()) << i;
                continue;
            }
            const QRect topRow(face.left(), face.top(), face.width(), 1);
            EXPECT_GE(CountColor(image, colors[series], topRow), 2)
                << "series " << series << " point " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, RearRows,
                         testing::Values(OverlapCase{"ScaleAllFull", true, 7, 7, 7},
                                         OverlapCase{"ScaleFrontTallest", true, 7, 2, 1},
                                         OverlapCase{"ScaleMiddleTallest", true, 1, 7, 3},
                                         OverlapCase{"ScaleStairsDown", true, 6, 4, 0.5},
                                         OverlapCase{"FactorFrontTallest", false, 6.5, 3, 0.3},
                                         OverlapCase{"FactorEqual", false, 4, 4, 4}),
                         ByName{});

TEST(ZeroHeightBar, DrawsNoFrontFaceButMarksTheFloor) {
    auto chart = MakeChart();
    FillSeries(*chart, 0, 0.0, kGreen, kPoints);
    const QImage image = chart->render();
    for (int i = 0; i < kPoints; ++i)
        EXPECT_TRUE(chart->barFrontRect(0, i).isEmpty());
    EXPECT_EQ(CountColor(image, kGreen, image.rect()), 0);
    EXPECT_GT(CountColor(image, TopFaceColor(kGreen), image.rect()), 0);
}

struct ClipCase {
    const char* name;
    double value;
    bool full; // drawn at the axis maximum; otherwise at zero height
};
REZ_PRINT_CASE_BY_NAME(ClipCase)

class OutOfRange : public testing::TestWithParam<ClipCase> {};

// Painted with a margin around it, the chart leaves the margin untouched, and its bars stay
// inside the walls: clipped to the axis range, whatever the value.
TEST_P(OutOfRange, IsClippedToThePlot) {
    const ClipCase& c = GetParam();
    auto chart = MakeChart(420, 260);
    FillSeries(*chart, 0, c.value, kRed, kPoints);
    FillSeries(*chart, 1, c.value, kSilver, kPoints);
    FillSeries(*chart, 2, c.value, kBlue, kPoints);

    const QColor marker(1, 2, 3);
    constexpr int border = 20;
    QImage canvas(chart->size() + QSize(2 * border, 2 * border), QImage::Format_RGB32);
    canvas.fill(marker);
    {
        QPainter painter(&canvas);
        painter.translate(border, border);
        chart->paint(painter);
    }
    const QRect inside(QPoint(border, border), chart->size());
    EXPECT_EQ(CountColor(canvas, marker, canvas.rect()),
              canvas.width() * canvas.height() - inside.width() * inside.height());
    EXPECT_EQ(CountColor(canvas, marker, inside), 0);

    const QRect plot = chart->plotRect();
    for (int series = 0; series < 3; ++series) {
        const QRect face = chart->barFrontRect(series, 2);
        EXPECT_EQ(face.height(), c.full ? plot.height() : 0) << "series " << series;
    }
    const ChartLayout layout = ComputeChartLayout(chart->state(), chart->size());
    const QRect walls(plot.left(), plot.top() - layout.depth, plot.width() + layout.depth,
                      plot.height() + layout.depth);
    const QImage image = chart->render();
    for (const QColor& bar : {kRed, kSilver, kBlue}) {
        for (const QColor& shade : {bar, TopFaceColor(bar), SideFaceColor(bar)}) {
            EXPECT_EQ(CountColor(image, shade, image.rect()), CountColor(image, shade, walls))
                << qPrintable(shade.name());
        }
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(Values, OutOfRange,
                         testing::Values(ClipCase{"Minus5", -5.0, false},
                                         ClipCase{"Ten", 10.0, true}, ClipCase{"Huge", 1e300, true},
                                         ClipCase{"NaN", std::nan(""), false},
                                         ClipCase{"Inf", kInf, true},
                                         ClipCase{"MinusInf", -kInf, false}),
                         ByName{});

// A full scale chart with text holds only its own colours: no antialiasing of shapes or text,
// even when a caller hands in a font that asks for it.
TEST(Antialiasing, IsOffForShapesAndText) {
    BarChart chart = MakeProfileChart(ChartKind::Scales);
    QFont smooth = ChartFont(16);
    smooth.setStyleStrategy(QFont::PreferAntialias);
    chart.setTitleFont(smooth);
    const QColor colors[] = {kRed, kSilver, kBlue};
    for (int series = 0; series < 3; ++series)
        for (int i = 0; i < 23; ++i)
            chart.appendPoint(series, 0.3 * i, Label(ScaleLetters[static_cast<std::size_t>(i)]),
                              colors[(i + series) % 3]);
    chart.appendFootLine(QStringLiteral("Группа 7 Петров П.П."));
    chart.setBottomAxisTitle(QStringLiteral("Самооценка - Средние"));

    QSet<QRgb> allowed = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(0, 0, 128),
                          qRgb(0, 0, 255)};
    for (const QColor& c : colors)
        allowed |= {c.rgb(), TopFaceColor(c).rgb(), SideFaceColor(c).rgb()};
    const QSet<QRgb> found = DistinctColors(chart.render());
    EXPECT_LT(found.size(), 64);
    for (const QRgb rgb : found)
        EXPECT_TRUE(allowed.contains(rgb)) << qPrintable(QColor(rgb).name());
}

// Worker threads draw pictures at the same time as the main thread (groups drawn in
// parallel): each picture is the one the main thread draws. Fails for anything in the paint
// path bound to the GUI thread (pixmaps, widgets) or shared and changed while drawing. The
// threads are Qt's, as rez-report's workers are: on Windows a thread Qt did not start
// corrupts the heap when it ends after drawing text.
TEST(Render, IsTheSamePictureOnWorkerThreads) {
    BarChart chart = MakeProfileChart(ChartKind::PhasesAndFactors);
    for (int i = 0; i < 8; ++i) {
        const QString label = Label(PhaseFactorLabels[static_cast<std::size_t>(i)]);
        chart.appendPoint(0, 1.0 + 0.7 * i, label, kRed);
        chart.appendPoint(2, 0.4 * i, label, kBlue);
    }
    chart.appendFootLine(QStringLiteral("АО «Уралтехснаб», коммерческая служба Смирнов А. В."));
    chart.setBottomAxisTitle(QStringLiteral("Самооценка"));
    const QImage rendered = chart.render();
    EXPECT_EQ(rendered.format(), QImage::Format_RGB32);
    EXPECT_EQ(rendered.size(), QSize(415, 257));
    EXPECT_EQ(rendered.devicePixelRatio(), 1.0);

    constexpr int kThreads = 4;
    std::vector<QImage> pictures(kThreads);
    std::vector<std::unique_ptr<QThread>> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(QThread::create([&chart, &pictures, t] {
            const BarChart own = chart;
            pictures[static_cast<std::size_t>(t)] = own.render();
        }));
        threads.back()->start();
    }
    const QImage meanwhile = chart.render();
    for (const std::unique_ptr<QThread>& thread : threads)
        thread->wait();
    EXPECT_EQ(meanwhile, rendered);
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(pictures[static_cast<std::size_t>(t)], rendered) << "thread " << t;
}

// What a line of 16-pixel text becomes in a space as wide as the same line at
// `widthAtPixelSize` pixels, `delta` pixels more or less.
struct FitCase {
    const char* name;
    int widthAtPixelSize;
    int delta;
    int drawnPixelSize; // 0: smaller than 16 but not below 8, the largest that fits
    bool elided;
};
REZ_PRINT_CASE_BY_NAME(FitCase)

class LineTooWide : public testing::TestWithParam<FitCase> {};

TEST_P(LineTooWide, IsDrawnSmallerBeforeItLosesItsMiddle) {
    const FitCase& c = GetParam();
    const QString line = QStringLiteral("Фактор 1. Взаимоотношения руководителя и коллектива");
    const QFont font = ChartFont(16);
    QFont measured = font;
    measured.setPixelSize(c.widthAtPixelSize);
    const int width = QFontMetrics(measured).horizontalAdvance(line) + c.delta;

    const FittedLine fitted = FitLine(line, font, width);
    EXPECT_EQ(fitted.font.family(), font.family());
    EXPECT_LE(QFontMetrics(fitted.font).horizontalAdvance(fitted.text), width);
    EXPECT_EQ(fitted.text != line, c.elided);
    if (c.elided) {
        EXPECT_TRUE(fitted.text.contains(QChar(0x2026)));
    }
    if (c.drawnPixelSize != 0) {
        EXPECT_EQ(fitted.font.pixelSize(), c.drawnPixelSize);
    } else {
        EXPECT_LT(fitted.font.pixelSize(), 16);
        EXPECT_GE(fitted.font.pixelSize(), MinTextPixelSize);
        QFont larger = fitted.font;
        larger.setPixelSize(fitted.font.pixelSize() + 1);
        EXPECT_GT(QFontMetrics(larger).horizontalAdvance(line), width) << "the largest that fits";
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, LineTooWide,
                         testing::Values(FitCase{"FitsExactly", 16, 0, 16, false},
                                         FitCase{"FitsWithRoom", 16, 40, 16, false},
                                         FitCase{"OnePixelShort", 16, -1, 0, false},
                                         FitCase{"FitsAtTwelve", 12, 0, 0, false},
                                         FitCase{"FitsAtEight", 8, 0, 8, false},
                                         FitCase{"TooWideAtEight", 8, -1, 8, true}),
                         ByName{});

// The chart draws a foot line too wide for it as FitLine says: whole, in the smaller font,
// centred; neither cut at the frame nor shortened.
TEST(Texts, TooWideFootIsDrawnWholeInASmallerFont) {
    BarChart chart = MakeProfileChart(ChartKind::PhasesAndFactors);
    FillSeries(chart, 0, 4.0, kSilver, 8);
    const QString foot =
        QStringLiteral("АО «Уралтехснаб», коммерческая служба Смирнов Андрей Викторович");
    chart.appendFootLine(foot);
    const FittedLine fitted = FitLine(foot, chart.state().foot.font, chart.width() - 2);
    ASSERT_LT(fitted.font.pixelSize(), 13) << "the line is too wide at 13 pixels";
    ASSERT_EQ(fitted.text, foot);

    // The foot's rows hold that text alone, as drawn on white across the frame's inside.
    const QImage image = chart.render();
    const QRect footRows = ComputeChartLayout(chart.state(), chart.size()).footRect;
    const QRect inside(1, footRows.top(), chart.width() - 2, footRows.height());
    QImage expected(chart.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        QFont font = fitted.font;
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(inside, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip, foot);
    }
    EXPECT_EQ(image.copy(inside), expected.copy(inside));
}

// A new title line shows above the plot and a new foot line below the axis texts; nothing
// else in the picture moves.
TEST(Texts, ChangesShowInTheirOwnPlace) {
    BarChart chart = MakeProfileChart(ChartKind::PhasesAndFactors);
    FillSeries(chart, 0, 4.0, kSilver, 8);
    chart.appendFootLine(QStringLiteral("Первая группа"));
    chart.setBottomAxisTitle(QStringLiteral("Самооценка"));
    const QRect plot = chart.plotRect();
    const int depth = ComputeChartLayout(chart.state(), chart.size()).depth;
    const QImage before = chart.render();
    const QRect titleArea(0, 0, chart.width(), plot.top() - depth - 1);
    EXPECT_GT(CountColor(before, kBlue, titleArea), 0);

    chart.clearTitle();
    chart.appendTitleLine(QStringLiteral("Фаза 5. Контроль"));
    const QImage retitled = chart.render();
    EXPECT_EQ(chart.titleLines(), QStringList{QStringLiteral("Фаза 5. Контроль")});
    const QRect titleDiff = DiffBox(before, retitled);
    ASSERT_FALSE(titleDiff.isEmpty());
    EXPECT_LT(titleDiff.bottom(), plot.top() - depth - 1);

    chart.clearFoot();
    chart.appendFootLine(QStringLiteral("Вторая группа"));
    EXPECT_EQ(chart.footLines(), QStringList{QStringLiteral("Вторая группа")});
    const QRect footDiff = DiffBox(retitled, chart.render());
    ASSERT_FALSE(footDiff.isEmpty());
    EXPECT_GT(footDiff.top(), plot.bottom() + 20);
}

} // namespace
} // namespace rez::test
