// The profile charts of the main window: the view buttons and the bar readout.

#include "bar_chart.h"
#include "chart_picture.h"
#include "chart_views.h"
#include "tag_button.h"
#include "tform1.h"

namespace rez {
namespace {

// The readout: over a bar of the self series its full name, over empty plot area the
// chart's own title; outside the plot the title keeps its text.
void Readout(BarChart& chart, ChartKind kind, int x, int y) {
    const QPoint position(x, y);
    if (!chart.plotRect().contains(position))
        return;
    chart.clearTitle();
    const int index = chart.barIndexAt(SelfSeries, position);
    chart.appendTitleLine(QString::fromUtf8(ReadoutTitle(kind, index)));
}

} // namespace

void TForm1::ShowView(int viewIndex) {
    ShowChartView(*ChartFactor, BuildChartView(Results, ChartKind::PhasesAndFactors, viewIndex));
    ShowChartView(*ChartScale, BuildChartView(Results, ChartKind::Scales, viewIndex));
}

void TForm1::btSelfClick(TagButton* sender) {
    // The low 8 bits of the tag are the view; anything from 5 up selects nothing.
    const int view = sender->tag() & 0xFF;
    if (view < 5)
        ShowView(view);
}

void TForm1::ChartScaleMouseMove(Qt::KeyboardModifiers, int x, int y) {
    Readout(*ChartScale, ChartKind::Scales, x, y);
}

void TForm1::ChartFactorMouseMove(Qt::KeyboardModifiers, int x, int y) {
    Readout(*ChartFactor, ChartKind::PhasesAndFactors, x, y);
}

} // namespace rez
