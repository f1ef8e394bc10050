// The profile charts on the main window: the views the buttons select, and the bar readout.
#include "bar_chart.h"
#include "chart_picture.h"
#include "chart_views.h"
#include "table_index.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QPushButton>
#include <QTest>

namespace {

using rez::At;
using rez::BarChart;
using rez::ProfileChart;
using rez::test::RespondentLines;

// Totals giving scale s the value perItem[s] exactly.
std::vector<std::string> Totals(const std::array<double, rez::ScaleCount>& perItem) {
    std::vector<std::string> totals;
    for (int s = 0; s < rez::ScaleCount; ++s)
        totals.push_back(
            std::to_string(static_cast<int>(perItem[At(s)] * rez::ScaleItemCounts[At(s)])));
    return totals;
}

class Charts : public rez::test::WindowTest {
protected:
    void Add(const std::string& name, const std::array<double, rez::ScaleCount>& values) {
        rez::test::WriteRespondentFile(dir.path() / name, RespondentLines(name, Totals(values)));
    }
    void Run() {
        RunOn(QString::fromStdString((dir.path() / "x.cry").string()));
        ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join(u'\n').toStdString();
    }
    void Click(const char* button) const { Child<QPushButton>(button)->click(); }
    static std::vector<double> Values(const BarChart& chart, int series) {
        std::vector<double> values;
        for (const auto& point : chart.points(series))
            values.push_back(point.value);
        return values;
    }

    rez::test::TempDir dir;
};

std::array<double, rez::ScaleCount> Filled(double value) {
    std::array<double, rez::ScaleCount> values;
    values.fill(value);
    return values;
}

TEST_F(Charts, GroupRunShowsTheMeanViewAndButtonsSwitchViews) {
    auto self = Filled(6.0);
    self[2] = 2.0; // scale C: blue
    Add("0REZ.cry", self);
    Add("1REZ.cry", Filled(3.0));
    Add("2REZ.cry", Filled(6.0));
    Run();
    const BarChart& scales = ScaleChart().chart();
    // View 4: self, mean of managers, subordinates and the missing colleagues (9 / 3 = 3).
    EXPECT_EQ(Values(scales, 1), std::vector<double>(23, 3.0));
    EXPECT_EQ(scales.points(0)[2].color, QColor(0, 0, 255));
    EXPECT_EQ(scales.points(0)[3].color, QColor(255, 0, 0));
    EXPECT_EQ(scales.points(1)[3].color, QColor(192, 192, 192));
    EXPECT_EQ(scales.points(2)[2].value, 1.0);
    EXPECT_EQ(scales.points(2)[2].color, QColor(0, 0, 255)); // 2 - 3 < 0
    EXPECT_EQ(scales.points(2)[3].color, QColor(255, 0, 0));
    EXPECT_EQ(scales.points(0)[22].label, u"W"_qs);
    EXPECT_EQ(scales.bottomAxisTitle(), u"Самооценка - Средние"_qs);
    EXPECT_EQ(FactorChart().chart().points(0)[1].label, u"Ф.2"_qs);
    EXPECT_EQ(FactorChart().chart().points(0)[1].value, (6.0 + 2.0 + 6.0) / 3);

    Click("btSelf");
    EXPECT_EQ(scales.pointCount(0), 23);
    EXPECT_EQ(scales.pointCount(1), 0);
    EXPECT_EQ(scales.pointCount(2), 0);
    EXPECT_EQ(scales.bottomAxisTitle(), u"Самооценка"_qs);
    EXPECT_EQ(FactorChart().chart().bottomAxisTitle(), u"Самооценка"_qs);

    Click("btMang");
    EXPECT_EQ(Values(scales, 1), std::vector<double>(23, 3.0));
    EXPECT_EQ(scales.bottomAxisTitle(), u"Самооценка - Руководители"_qs);
    const QImage byRow = scales.render();
    Click("btSelf");
    Click("btSelf_Mang");
    EXPECT_EQ(scales.render(), byRow);
    EXPECT_EQ(FactorChart().chart().bottomAxisTitle(), u"Самооценка - Руководители"_qs);
}

TEST_F(Charts, WithoutSelfTheFootStartsWithABlank) {
    Add("2REZ.cry", Filled(4.0));
    Run();
    EXPECT_EQ(ScaleChart().chart().footLines(), QStringList{u" 2REZ.cry L2"_qs});
    EXPECT_EQ(FactorChart().chart().footLines(), QStringList{u" 2REZ.cry L2"_qs});
    EXPECT_EQ(Values(ScaleChart().chart(), 0), std::vector<double>(23, 0.0));
    EXPECT_EQ(ScaleChart().chart().points(2)[0].color, QColor(0, 0, 255));
}

TEST_F(Charts, FrontFacesHoldTheExactLevelColour) {
    auto self = Filled(4.0);
    self[0] = 6.0;
    self[1] = 1.0;
    Add("0REZ.cry", self);
    Run();
    Click("btSelf");
    const BarChart& scales = ScaleChart().chart();
    const QImage image = ScaleChart().picture();
    for (int i : {0, 1, 2}) {
        const QRect face = scales.barFrontRect(0, i);
        ASSERT_FALSE(face.isEmpty()) << i;
        EXPECT_EQ(image.pixelColor(face.center()), scales.points(0)[i].color) << i;
    }
    // The screen shows the very picture the GIF export writes.
    EXPECT_EQ(ScaleChart().grab().toImage().convertToFormat(QImage::Format_RGB32), image);
}

TEST_F(Charts, ReadoutNamesTheBarUnderThePointer) {
    Add("0REZ.cry", Filled(5.0));
    Add("1REZ.cry", Filled(3.0));
    Run();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ProfileChart* scaleWidget = &ScaleChart();
    const BarChart& scales = scaleWidget->chart();
    const QRect barC = scales.barFrontRect(0, 2);
    QTest::mouseMove(scaleWidget, barC.center());
    EXPECT_EQ(scales.titleLines(), QStringList{u"С Тщательное планирование рабочего процесса."_qs});

    // Empty plot area: just inside the plot's top-left corner, above every bar.
    const QPoint empty = scales.plotRect().topLeft() + QPoint(3, 3);
    ASSERT_EQ(scales.barIndexAt(0, empty), -1);
    QTest::mouseMove(scaleWidget, empty);
    EXPECT_EQ(scales.titleLines(), QStringList{u"График шкал"_qs});

    // Out of the plot, out of the chart, and a new Group run: the chart's own title again,
    // so a saved picture never keeps a bar's name.
    QTest::mouseMove(scaleWidget, barC.center());
    QTest::mouseMove(scaleWidget, QPoint(1, 1));
    EXPECT_EQ(scales.titleLines(), QStringList{u"График шкал"_qs});
    QTest::mouseMove(scaleWidget, barC.center());
    QTest::mouseMove(&FactorChart(), QPoint(1, 1));
    EXPECT_EQ(scales.titleLines(), QStringList{u"График шкал"_qs});
    QTest::mouseMove(scaleWidget, barC.center());
    Run();
    EXPECT_EQ(scales.titleLines(), QStringList{u"График шкал"_qs});
    EXPECT_EQ(scaleWidget->picture(), rez::RenderReportChart(Model().results(), true));

    // A view change leaves the readout of the bar under the pointer.
    QTest::mouseMove(scaleWidget, empty);
    QTest::mouseMove(scaleWidget, barC.center());
    Click("btSelf");
    EXPECT_EQ(scales.titleLines(), QStringList{u"С Тщательное планирование рабочего процесса."_qs});

    const BarChart& factors = FactorChart().chart();
    QTest::mouseMove(&FactorChart(), factors.barFrontRect(0, 6).center());
    EXPECT_EQ(factors.titleLines(),
              QStringList{u"Фактор 1. Взаимоотношения руководителя и коллектива"_qs});
}

} // namespace
