// One profile chart on the window: shows a chart of the scales or of the phases and factors
// at the chart's own size, repaints after every change, and names the bar under the pointer
// in the chart's title (the bar readout).
#pragma once

#include "bar_chart.h"
#include "chart_views.h"

#include <QImage>
#include <QWidget>

namespace rez {

class ProfileChart : public QWidget {
    Q_OBJECT
public:
    ProfileChart(ChartKind kind, QWidget* parent = nullptr);

    ChartKind kind() const { return kind_; }
    // What the chart shows, for reading back.
    const BarChart& chart() const { return chart_; }

    // Puts one view on the chart: series, foot and bottom axis title. The title keeps the
    // readout's last text.
    void showView(const ChartView& view);

    // The chart as the screen shows it, for the GIF export: its size, device pixel ratio 1.
    QImage picture() const { return chart_.render(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Over a bar of the self series its full name; over empty plot area the chart's own
    // title; outside the plot the title keeps its text. `position` in widget coordinates.
    void readout(QPoint position);

    ChartKind kind_;
    BarChart chart_;
};

} // namespace rez
