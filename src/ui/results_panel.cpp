#include "results_panel.h"

#include "analysis_memo.h"
#include "plain_tooltip.h"
#include "profile_chart.h"
#include "results_grid.h"
#include "results_model.h"
#include "table_index.h"
#include "widget_fonts.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

// How long a tooltip stays up before it hides by itself, in milliseconds: long enough to
// read a respondent list.
constexpr int ToolTipDurationMs = 50'000;

// Pixel positions in the panel. Charts and the table take their size from their content.
constexpr QRect ViewCaptionGeometry{6, 2, 109, 21};
constexpr QPoint ResultsTablePosition{119, 0};
constexpr int ViewButtonLeft = 2;
constexpr int ViewButtonWidth = 117;
constexpr QPoint ScaleChartPosition{2, 212};
constexpr QPoint FactorChartPosition{2, 472};
constexpr QRect AnalysisTextGeometry{416, 472, 606, 257};
constexpr int RoleCaptionLeft = 3;

// The role captions lie beneath the view buttons, which cover them; their tooltips hold the
// detailed respondent lists. The self-assessment's is hidden.
struct RoleCaptionEntry {
    const char16_t* objectName;
    const char16_t* text;
    int top;
};
constexpr std::array<RoleCaptionEntry, RoleCount> RoleCaptionTable = {{
    {u"stSelf", u"Самооценка", 24},
    {u"stMang", u"Руководители", 42},
    {u"stSubr", u"Подчиненные", 86},
    {u"stColl", u"Коллеги", 130},
}};

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

ResultsPanel::ResultsPanel(ResultsModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model) {
    setObjectName(u"paTest"_s);
    setMinimumSize(DesignedSize);

    // Created before the view buttons, so that the buttons stack above and cover them.
    for (int role = 0; role < RoleCount; ++role) {
        const RoleCaptionEntry& entry = RoleCaptionTable[At(role)];
        QLabel* caption =
            MakeLabel(this, QString::fromUtf16(entry.objectName), QString::fromUtf16(entry.text),
                      PixelFont(u"Arial"_s, 16), QColorConstants::Black);
        caption->setGeometry(QRect(QPoint(RoleCaptionLeft, entry.top), caption->sizeHint()));
        caption->setToolTipDuration(ToolTipDurationMs);
        roleCaptions_[At(role)] = caption;
    }
    roleCaptions_[rowSelf]->setVisible(false);

    QLabel* viewCaption =
        MakeLabel(this, u"stPlot"_s, u"Выбор графика"_s, PixelFont(u"Arial"_s, 15), Maroon);
    viewCaption->setGeometry(ViewCaptionGeometry);

    resultsTable_ = new ResultsGrid(model, this);
    resultsTable_->setObjectName(u"sgResF"_s);
    resultsTable_->move(ResultsTablePosition);

    // Each view button stands beside its data row of the table (rows 1 to 9).
    for (std::size_t i = 0; i < ViewButtonTable.size(); ++i) {
        auto* button = new ViewButton(ViewButtonTable[i], this);
        const QRect row =
            ResultsGrid::cellRect(0, static_cast<int>(i) + 1).translated(ResultsTablePosition);
        button->setGeometry(ViewButtonLeft, row.top(), ViewButtonWidth,
                            row.height() + ResultsGrid::GridLineWidth);
        button->setToolTipDuration(ToolTipDurationMs);
        connect(button, &QPushButton::clicked, this,
                [this, button] { model_.setView(button->view()); });
        viewButtons_[i] = button;
    }
    connect(&model, &ResultsModel::resultsReplaced, this, &ResultsPanel::showRespondents);

    // Later controls stack above earlier ones: the scale chart's lowest row lies under the
    // phase and factor chart, whose right edge lies under the analysis text.
    scaleChart_ = new ProfileChart(ChartKind::Scales, model, this);
    scaleChart_->setObjectName(u"ChartScale"_s);
    scaleChart_->move(ScaleChartPosition);
    factorChart_ = new ProfileChart(ChartKind::PhasesAndFactors, model, this);
    factorChart_->setObjectName(u"ChartFactor"_s);
    factorChart_->move(FactorChartPosition);

    analysisText_ = new AnalysisMemo(model, this);
    analysisText_->setObjectName(u"meInfo"_s);
    analysisText_->setGeometry(AnalysisTextGeometry);
}

void ResultsPanel::showRespondents() {
    const GroupResults& results = model_.results();
    for (int role = 0; role < RoleCount; ++role)
        roleCaptions_[At(role)]->setToolTip(PlainToolTip(Text(results.CaptionLists[At(role)])));
    for (ViewButton* button : viewButtons_) {
        button->setEnabled(results.HasRespondents(button->row()));
        if (button->showsRespondentList())
            button->setToolTip(PlainToolTip(Text(results.ButtonLists[At(button->row())])));
    }
}

} // namespace rez
