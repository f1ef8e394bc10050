// The client area of the main window: the top bevel and the results panel paTest with all
// its controls at their pixel positions.
#include "tform1.h"

#include "profile_chart.h"
#include "results_grid.h"
#include "tag_button.h"
#include "widget_fonts.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

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

// A role caption sized to its text at (3, top).
QLabel* RoleCaption(QWidget* parent, const QString& name, const QString& text, int top) {
    QLabel* label =
        MakeLabel(parent, name, text, PixelFont(u"Arial"_s, 16), QColorConstants::Black);
    label->setGeometry(QRect(QPoint(3, top), label->sizeHint()));
    return label;
}

struct ViewButtonEntry {
    const char16_t* name;
    const char16_t* caption;
    int tag;
    bool rowButton; // maroon caption; difference buttons use the window text colour
};

// Top to bottom, one beside each data row of the results table.
constexpr ViewButtonEntry ViewButtonEntries[9] = {
    {u"btSelf", u"Самооценка", 0, true},        {u"btMang", u"Руководители", 1, true},
    {u"btSelf_Mang", u"[Сам.-Рук.]", 1, false}, {u"btSubr", u"Подчиненные", 2, true},
    {u"btSelf_Subr", u"[Сам.-Под.]", 2, false}, {u"btColl", u"Коллеги", 3, true},
    {u"btSelf_Coll", u"[Сам.-Кол.]", 3, false}, {u"btMean", u"Mean (Р+П+К)", 4, true},
    {u"btSelf_Mean", u"[Сам.-Mean]", 4, false},
};

constexpr int ViewButtonLeft = 2;
constexpr int FirstViewButtonTop = 23;
constexpr QSize ViewButtonSize{117, 21};

} // namespace

void TForm1::BuildResultsPanel(QWidget* client) {
    Bevel1 = new QFrame(client);
    Bevel1->setObjectName(u"Bevel1"_s);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(0, 0, 1032, 2);

    // The panel fills the client area and covers the bevel while it is shown.
    paTest = new QWidget(client);
    paTest->setObjectName(u"paTest"_s);
    auto* fill = new QVBoxLayout(client);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(paTest);

    // The role captions lie beneath the buttons, which are created after them and so cover
    // them.
    stSelf = RoleCaption(paTest, u"stSelf"_s, u"Самооценка"_s, 24);
    stSelf->setVisible(false);
    stMang = RoleCaption(paTest, u"stMang"_s, u"Руководители"_s, 42);
    stSubr = RoleCaption(paTest, u"stSubr"_s, u"Подчиненные"_s, 86);
    stColl = RoleCaption(paTest, u"stColl"_s, u"Коллеги"_s, 130);

    stPlot = MakeLabel(paTest, u"stPlot"_s, u"Выбор графика"_s, PixelFont(u"Arial"_s, 15), Maroon);
    stPlot->setGeometry(6, 2, 109, 21);

    TagButton** buttons[9] = {&btSelf, &btMang,      &btSelf_Mang, &btSubr,     &btSelf_Subr,
                              &btColl, &btSelf_Coll, &btMean,      &btSelf_Mean};
    const QFont buttonFont = DefaultSansFont(13, true);
    for (int i = 0; i < 9; ++i) {
        const ViewButtonEntry& entry = ViewButtonEntries[i];
        auto* button = new TagButton(QString::fromUtf16(entry.caption), entry.tag, paTest);
        button->setObjectName(QString::fromUtf16(entry.name));
        button->setFont(buttonFont);
        button->setGeometry(
            QRect(QPoint(ViewButtonLeft, FirstViewButtonTop + i * ViewButtonSize.height()),
                  ViewButtonSize));
        // Maroon row buttons while enabled; a disabled button keeps the style's grey text, so
        // that a view without respondents looks unavailable.
        QPalette palette = button->palette();
        const QColor text = entry.rowButton ? Maroon : palette.color(QPalette::WindowText);
        palette.setColor(QPalette::Active, QPalette::ButtonText, text);
        palette.setColor(QPalette::Inactive, QPalette::ButtonText, text);
        button->setPalette(palette);
        connect(button, &QPushButton::clicked, this, [this, button] { btSelfClick(button); });
        *buttons[i] = button;
    }

    sgResF = new ResultsGrid(paTest);
    sgResF->setObjectName(u"sgResF"_s);
    sgResF->move(119, 0);

    // Each chart takes its picture's size from its settings.
    ChartScale = new ProfileChart(ChartKind::Scales, paTest);
    ChartScale->setObjectName(u"ChartScale"_s);
    ChartScale->move(2, 212);
    ChartFactor = new ProfileChart(ChartKind::PhasesAndFactors, paTest);
    ChartFactor->setObjectName(u"ChartFactor"_s);
    ChartFactor->move(2, 472);

    meInfo = new QPlainTextEdit(paTest);
    meInfo->setObjectName(u"meInfo"_s);
    meInfo->setGeometry(416, 472, 606, 257);
    meInfo->setFont(PixelFont(u"Times New Roman"_s, 16));
    QPalette palette = meInfo->palette();
    palette.setColor(QPalette::Base, Qt::white);
    meInfo->setPalette(palette);
    meInfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    meInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace rez
