#include "bar_chart.h"
#include "chart_layout.h"
#include "chart_test_util.h"

#include <gtest/gtest.h>

namespace rez::test {
namespace {

constexpr int kPoints = 8;
const double kValues[kPoints] = {1.0, 6.5, 0.0, 3.0, 7.0, 2.2, 4.8, 5.5};

class HitTest : public testing::Test {
protected:
    void SetUp() override {
        chart_ = MakeChart(640, 320);
        for (int series = 0; series < 3; ++series)
            for (int i = 0; i < kPoints; ++i)
                chart_->appendPoint(series, kValues[i] - series, QString::number(i), kRed);
        layout_ = ComputeChartLayout(chart_->state(), chart_->size());
    }

    std::unique_ptr<BarChart> chart_;
    ChartLayout layout_;
};

TEST_F(HitTest, FindsEachBarAtItsFrontFace) {
    for (int series = 0; series < 3; ++series) {
        for (int i = 0; i < kPoints; ++i) {
            const QRect face = chart_->barFrontRect(series, i);
            if (face.isEmpty())
                continue;
            EXPECT_EQ(chart_->barIndexAt(series, face.center()), i) << series << "/" << i;
            EXPECT_EQ(chart_->barIndexAt(series, face.topLeft()), i) << series << "/" << i;
            EXPECT_EQ(chart_->barIndexAt(series, face.bottomRight()), i) << series << "/" << i;
        }
    }
}

TEST_F(HitTest, FindsTheBarByItsTopAndSideFaces) {
    ASSERT_GE(layout_.barDepth, 3);
    const int half = layout_.barDepth / 2;
    const QRect face = chart_->barFrontRect(0, 3);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(face.left() + half + 1, face.top() - half)), 3);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(face.right() + half, face.center().y())), 3);
    // Beyond the side face's depth, and above the top face's depth: no bar.
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(face.right() + layout_.barDepth + 2, face.center().y())),
              -1);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(face.center().x(), face.top() - layout_.barDepth - 2)),
              -1);
}

TEST_F(HitTest, FindsNothingInGapsOutsideThePlotOrOverAZeroBar) {
    const QRect plot = chart_->plotRect();
    const QRect next = chart_->barFrontRect(0, 4);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(next.left() - 1, plot.bottom() - 3)), -1);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(chart_->pointX(2), plot.center().y())), -1);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(0, 0)), -1);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(plot.left() - 5, plot.center().y())), -1);
    EXPECT_EQ(chart_->barIndexAt(0, QPoint(plot.center().x(), plot.bottom() + 10)), -1);
    EXPECT_EQ(chart_->barIndexAt(-1, chart_->barFrontRect(0, 1).center()), -1);
    EXPECT_EQ(chart_->barIndexAt(3, chart_->barFrontRect(0, 1).center()), -1);
}

TEST_F(HitTest, EmptiedSeriesHasNoBars) {
    const QPoint centre = chart_->barFrontRect(0, 1).center();
    chart_->clearSeries(0);
    EXPECT_EQ(chart_->pointCount(0), 0);
    EXPECT_EQ(chart_->barIndexAt(0, centre), -1);
}

TEST_F(HitTest, CategoriesAreEvenlySpacedInsideThePlot) {
    const QRect plot = chart_->plotRect();
    const double spacing = static_cast<double>(plot.width()) / kPoints;
    for (int i = 0; i < kPoints; ++i)
        EXPECT_NEAR(chart_->pointX(i), plot.left() + (i + 0.5) * spacing, 1.0) << i;
    EXPECT_EQ(chart_->pointX(-1), -1);
    EXPECT_EQ(chart_->pointX(kPoints), -1);
}

} // namespace
} // namespace rez::test
