#include "chart_views.h"
#include "param_name.h"

#include <gtest/gtest.h>

namespace {

using rez::ChartKind;

struct ColorCase {
    const char* name;
    double value;
    rez::ChartColor level;
    rez::ChartColor sign;
};
REZ_PRINT_CASE_BY_NAME(ColorCase)

class ChartColors : public testing::TestWithParam<ColorCase> {};

TEST_P(ChartColors, LevelAndSign) {
    EXPECT_EQ(rez::LevelColor(GetParam().value), GetParam().level);
    EXPECT_EQ(rez::SignColor(GetParam().value), GetParam().sign);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ChartColors,
    testing::Values(ColorCase{"Above", 5.51, rez::ChartRed, rez::ChartRed},
                    ColorCase{"UpperEdge", 5.5, rez::ChartSilver, rez::ChartRed},
                    ColorCase{"LowerEdge", 2.5, rez::ChartSilver, rez::ChartRed},
                    ColorCase{"Below", 2.49, rez::ChartBlue, rez::ChartRed},
                    ColorCase{"Zero", 0.0, rez::ChartBlue, rez::ChartBlue},
                    ColorCase{"TinyPositive", 0.04, rez::ChartBlue, rez::ChartRed},
                    ColorCase{"Negative", -1.0, rez::ChartBlue, rez::ChartBlue}),
    rez::test::ByName());

rez::GroupResults Sample() {
    rez::GroupResults r;
    r.RespondentCounts = {1, 1, 0, 0, 1};
    for (int s = 0; s < rez::ScaleCount; ++s) {
        r.ScaleResults[0][static_cast<std::size_t>(s)] = 6.0;
        r.ScaleResults[1][static_cast<std::size_t>(s)] = 2.0 + 0.25 * s;
        r.ScaleResults[4][static_cast<std::size_t>(s)] = 5.5;
    }
    r.PhaseFactorResults[0].fill(3.0);
    r.PhaseFactorResults[1].fill(4.0);
    r.GroupName = "Смирнов А.В.";
    r.GroupLabel = "АО «Вектор»";
    return r;
}

TEST(ChartView, SelfOnlyInViewZero) {
    const auto view = rez::BuildChartView(Sample(), ChartKind::Scales, rez::View::SelfOnly);
    ASSERT_EQ(view.series[0].size(), 23u);
    EXPECT_TRUE(view.series[1].empty());
    EXPECT_TRUE(view.series[2].empty());
    EXPECT_EQ(view.series[0][2], (rez::ChartBar{6.0, "C", rez::ChartRed}));
    EXPECT_EQ(view.bottomTitle, "Самооценка");
    EXPECT_EQ(view.foot, "АО «Вектор» Смирнов А.В.");
}

TEST(ChartView, ComparedRowAndDifference) {
    const auto view = rez::BuildChartView(Sample(), ChartKind::Scales, rez::View::Managers);
    ASSERT_EQ(view.series[1].size(), 23u);
    // Scale B: managers 2.25 (blue), difference 3.75 (red).
    EXPECT_EQ(view.series[1][1], (rez::ChartBar{2.25, "B", rez::ChartBlue}));
    EXPECT_EQ(view.series[2][1], (rez::ChartBar{3.75, "B", rez::ChartRed}));
    // Scale W: managers 7.5 (red), difference -1.5 drawn as 1.5 in blue.
    EXPECT_EQ(view.series[1][22], (rez::ChartBar{7.5, "W", rez::ChartRed}));
    EXPECT_EQ(view.series[2][22], (rez::ChartBar{1.5, "W", rez::ChartBlue}));
    EXPECT_EQ(view.bottomTitle, "Самооценка - Руководители");
}

TEST(ChartView, PhasesAndFactorsAgainstTheMean) {
    const auto view = rez::BuildChartView(Sample(), ChartKind::PhasesAndFactors, rez::View::Mean);
    ASSERT_EQ(view.series[0].size(), 8u);
    EXPECT_EQ(view.series[0][0].label, "Ф.1");
    EXPECT_EQ(view.series[0][7].label, "F.2");
    EXPECT_EQ(view.series[1][3], (rez::ChartBar{0.0, "Ф.4", rez::ChartBlue}));
    EXPECT_EQ(view.series[2][3], (rez::ChartBar{3.0, "Ф.4", rez::ChartRed}));
    EXPECT_EQ(view.bottomTitle, "Самооценка - Средние");
}

TEST(ChartView, WithoutSelfTheFootStartsWithABlank) {
    auto r = Sample();
    r.GroupLabel.clear();
    r.ScaleResults[0].fill(0.0);
    const auto view = rez::BuildChartView(r, ChartKind::Scales, rez::View::Managers);
    EXPECT_EQ(view.foot, " Смирнов А.В.");
    EXPECT_EQ(view.series[0][5], (rez::ChartBar{0.0, "F", rez::ChartBlue}));
    EXPECT_EQ(view.series[2][5].color, rez::ChartBlue);
    EXPECT_EQ(view.series[2][5].value, view.series[1][5].value);
}

TEST(ReadoutTitle, NamesTheBarOrTheChart) {
    EXPECT_EQ(rez::ReadoutTitle(ChartKind::Scales, 2),
              "С Тщательное планирование рабочего процесса.");
    EXPECT_EQ(rez::ReadoutTitle(ChartKind::Scales, -1), "График шкал");
    EXPECT_EQ(rez::ReadoutTitle(ChartKind::PhasesAndFactors, 6),
              "Фактор 1. Взаимоотношения руководителя и коллектива");
    EXPECT_EQ(rez::ReadoutTitle(ChartKind::PhasesAndFactors, -1), "График фаз и факторов");
}

} // namespace
