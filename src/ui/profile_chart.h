// One profile chart on the window: shows the results model's current view as a chart of the
// scales or of the phases and factors, at the chart's own size, and names the bar under the
// pointer in the chart's title (the bar readout).
#pragma once

#include "bar_chart.h"
#include "chart_views.h"

#include <QImage>
#include <QWidget>

namespace rez {

class ResultsModel;

class ProfileChart : public QWidget {
    Q_OBJECT
public:
    // `model` outlives the chart (both belong to the main window).
    ProfileChart(ChartKind kind, const ResultsModel& model, QWidget* parent = nullptr);

    ChartKind kind() const { return kind_; }
    // What the chart shows, for reading back.
    const BarChart& chart() const { return chart_; }

    // The chart as the screen shows it, for the GIF export: its size, device pixel ratio 1.
    QImage picture() const { return chart_.render(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Puts the model's view on the chart: series, foot and bottom axis title. Another view of
    // the same results keeps the readout's text, since the pointer has not moved.
    void showModelView();
    // New results: their view, under the chart's own title, as a saved picture shows them.
    void showNewResults();
    // Over a bar of the self series its full name; anywhere else the chart's own title.
    // `position` in widget coordinates.
    void readout(QPoint position);
    void showTitle(int barIndex);

    ChartKind kind_;
    const ResultsModel& model_;
    BarChart chart_;
};

} // namespace rez
