#include "bar_chart.h"
#include "chart_layout.h"
#include "chart_picture.h"
#include "chart_styles.h"
#include "param_name.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace rez::test {
namespace {

struct StyleCase {
    const char* name;
    ChartKind kind;
    const char* title;
    QSize size;
    QMargins margins;
};
REZ_PRINT_CASE_BY_NAME(StyleCase)

class ProfileChart : public testing::TestWithParam<StyleCase> {};

// Drawn from the Liberation Sans files registered at start-up on every system (Arial's pixel
// widths, and the same pictures byte for byte), not from whatever Arial the system has.
void ExpectLiberationSans(const QFont& font, int pixelSize) {
    EXPECT_EQ(font.pixelSize(), pixelSize);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
}

TEST_P(ProfileChart, TakesItsProperties) {
    const StyleCase& c = GetParam();
    const BarChart chart = MakeProfileChart(c.kind);
    const BarChartState& s = chart.state();
    EXPECT_EQ(chart.size(), c.size);
    EXPECT_EQ(ProfileChartSize(c.kind), c.size);
    EXPECT_EQ(chart.titleLines(), QStringList{QString::fromUtf8(c.title)});
    ExpectLiberationSans(s.title.font, 16);
    EXPECT_EQ(s.title.color, QColor(0, 0, 255));
    EXPECT_EQ(s.leftAxisTitle.text, QStringLiteral("Средние баллы"));
    ExpectLiberationSans(s.leftAxisTitle.font, 16);
    EXPECT_EQ(s.leftAxisTitle.color, QColor(0, 0, 128));
    ExpectLiberationSans(s.bottomAxisTitle.font, 16);
    EXPECT_EQ(s.bottomAxisTitle.color, QColor(0, 0, 128));
    ExpectLiberationSans(s.foot.font, 13);
    EXPECT_EQ(s.foot.color, QColor(0, 0, 0));
    EXPECT_TRUE(s.foot.lines.isEmpty());
    EXPECT_EQ(s.leftAxisMinimum, 0.0);
    EXPECT_EQ(s.leftAxisMaximum, 7.0);
    EXPECT_EQ(s.leftAxisLabelFormat, QStringLiteral("#0"));
    for (const QColor& wall : {s.backgroundColor, s.backWallColor, s.leftWallColor})
        EXPECT_EQ(wall, QColor(255, 255, 255));
    EXPECT_EQ(s.frame, ChartFrame::Lowered);
    EXPECT_EQ(s.marginsPercent, c.margins);
    EXPECT_EQ(s.depthPercent, 15.0);
}

// The left axis shows the whole numbers 0 to 7 evenly spaced, whatever the values shown.
TEST_P(ProfileChart, LeftAxisIsFixedFromZeroToSeven) {
    const StyleCase& c = GetParam();
    BarChart chart = MakeProfileChart(c.kind);
    chart.appendPoint(0, 1e300, QStringLiteral("A"), Qt::red);
    chart.appendPoint(0, -40.0, QStringLiteral("B"), Qt::blue);
    const ChartLayout layout = ComputeChartLayout(chart.state(), chart.size());
    ASSERT_EQ(layout.leftTicks.size(), 8);
    const QRect plot = chart.plotRect();
    for (int v = 0; v <= 7; ++v) {
        const AxisTick& tick = layout.leftTicks[v];
        EXPECT_EQ(tick.text, QString::number(v));
        EXPECT_NEAR(tick.y, plot.bottom() + 1 - v * plot.height() / 7.0, 0.5) << v;
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, ProfileChart,
                         testing::Values(StyleCase{"Scales", ChartKind::Scales, "График шкал",
                                                   QSize(1019, 261), QMargins(1, 1, 1, 1)},
                                         StyleCase{"Factors", ChartKind::PhasesAndFactors,
                                                   "График фаз и факторов", QSize(415, 257),
                                                   QMargins(1, 1, 2, 2)}),
                         ByName{});

struct FormatCase {
    const char* name;
    double value;
    const char* format;
    const char* text;
};
REZ_PRINT_CASE_BY_NAME(FormatCase)

class AxisValueText : public testing::TestWithParam<FormatCase> {};

TEST_P(AxisValueText, FollowsTheFormat) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatAxisValue(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(Formats, AxisValueText,
                         testing::Values(FormatCase{"WholeNumber", 7.0, "#0", "7"},
                                         FormatCase{"RoundsToWhole", 2.75, "#0", "3"},
                                         FormatCase{"NegativeWhole", -3.0, "#0", "-3"},
                                         FormatCase{"NoMinusOnZero", -0.2, "#0", "0"},
                                         FormatCase{"FixedDecimal", 2.0, "0.0", "2.0"},
                                         FormatCase{"OptionalDecimals", 2.0, "#0.##", "2"},
                                         FormatCase{"SomeDecimals", 1.5, "#0.##", "1.5"}),
                         ByName{});

} // namespace
} // namespace rez::test
