// The profile charts of the main window: the views that the view buttons select.

#include "chart_views.h"
#include "profile_chart.h"
#include "tag_button.h"
#include "tform1.h"

namespace rez {

void TForm1::ShowView(int viewIndex) {
    ChartFactor->showView(BuildChartView(Results, ChartKind::PhasesAndFactors, viewIndex));
    ChartScale->showView(BuildChartView(Results, ChartKind::Scales, viewIndex));
}

void TForm1::btSelfClick(TagButton* sender) {
    // The low 8 bits of the tag are the view; anything from 5 up selects nothing.
    const int view = sender->tag() & 0xFF;
    if (view < 5)
        ShowView(view);
}

} // namespace rez
