// The results panel: every control that shows the results of a Group run, each at its pixel
// position, all showing the one results model. The caption "Выбор графика" above the nine
// view buttons, the results table beside them, the scale chart below, and the phase and
// factor chart beside the analysis text at the bottom.
#pragma once

#include "questionnaire.h"
#include "view_buttons.h"

#include <QSize>
#include <QWidget>

#include <array>

class QLabel;

namespace rez {

class AnalysisMemo;
class ProfileChart;
class ResultsGrid;
class ResultsModel;

class ResultsPanel : public QWidget {
    Q_OBJECT
public:
    // The panel's layout in pixels: its controls end at 1022 x 729.
    static constexpr QSize DesignedSize{1024, 729};

    // `model` outlives the panel (both belong to the main window).
    ResultsPanel(ResultsModel& model, QWidget* parent = nullptr);

    // The controls the Save commands read. Owned by the panel.
    const ProfileChart& scaleChart() const { return *scaleChart_; }
    const ProfileChart& factorChart() const { return *factorChart_; }
    const AnalysisMemo& analysisText() const { return *analysisText_; }

private:
    void showRespondents();

    ResultsModel& model_;
    // Children of the panel, which owns them.
    std::array<QLabel*, RoleCount> roleCaptions_{};
    std::array<ViewButton*, ViewButtonTable.size()> viewButtons_{};
    ResultsGrid* resultsTable_ = nullptr;
    ProfileChart* scaleChart_ = nullptr;
    ProfileChart* factorChart_ = nullptr;
    AnalysisMemo* analysisText_ = nullptr;
};

} // namespace rez
