#include "about_box.h"

#include "icons.h"
#include "widget_fonts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

// A label drawn twice: once one pixel to the lower right in the button-highlight colour,
// then in place, for an engraved look.
class ShadowLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int flags = static_cast<int>(alignment()) | Qt::TextWordWrap;
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(rect().translated(1, 1), flags, text());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), flags, text());
    }
};

QLabel* AddLabel(QLabel* label, const QString& name, Qt::Alignment alignment) {
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    return label;
}

// A label of fixed size at (x, y).
QLabel* FixedLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry,
                   Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignTop) {
    QLabel* label = AddLabel(new QLabel(text, parent), name, alignment);
    label->setGeometry(geometry);
    return label;
}

// A label sized to its text.
QLabel* AutoSizeLabel(QWidget* parent, const QString& name, const QString& text, QPoint pos,
                      Qt::Alignment alignment) {
    QLabel* label = AddLabel(new QLabel(text, parent), name, alignment);
    label->setGeometry(QRect(pos, label->sizeHint()));
    return label;
}

// A centred label of the designed `width` at `pos`, as high as its lines. Where the platform's
// font sets a line wider than the design allows, the label widens about the same centre, so
// no line is cut.
QLabel* CentredLinesLabel(QWidget* parent, const QString& name, const QString& text, QPoint pos,
                          int width) {
    QLabel* label = AddLabel(new QLabel(text, parent), name, Qt::AlignHCenter | Qt::AlignTop);
    const QSize hint = label->sizeHint();
    const int extra = std::max(0, hint.width() - width);
    label->setGeometry(pos.x() - (extra + 1) / 2, pos.y(), width + extra, hint.height());
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(u"AboutBox"_s);
    setWindowTitle(u"About"_s);
    setFont(DefaultSansFont(11));
    setFixedSize(298, 225);
    setModal(false);
    // Closing the main window ends the program even while the box is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    OKButton = new QPushButton(u"OK"_s, this);
    OKButton->setObjectName(u"OKButton"_s);
    OKButton->setGeometry(111, 196, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    // Raised inner bevel inside a lowered outer one.
    auto* panel = new QFrame(this);
    panel->setObjectName(u"Panel2"_s);
    panel->setGeometry(8, 8, 281, 185);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setMidLineWidth(0);

    auto* picture = new QLabel(panel);
    picture->setObjectName(u"AppIcon"_s);
    picture->setGeometry(12, 8, 32, 32);
    picture->setPixmap(AppPicture(32));

    QLabel* web = AddLabel(new ShadowLabel(u"KVIRO.REZ - Analysis"_s, panel), u"WebLabel"_s,
                           Qt::AlignHCenter | Qt::AlignTop);
    web->setGeometry(72, 10, 185, 15);
    web->setWordWrap(true);
    web->setFont(DefaultSansFont(11, true));

    CentredLinesLabel(panel, u"Label3"_s,
                      u"Оценка навыков и умений,\n"
                      u"необходимых менеджерам.\n"
                      u"Опросник \"Цикл управленческих \n"
                      u"умений\" Дорвела"_s,
                      QPoint(77, 22), 171);
    AutoSizeLabel(panel, u"Label1"_s, u" Version 2.01"_s, QPoint(13, 76),
                  Qt::AlignLeft | Qt::AlignTop);

    auto* line = new QFrame(panel);
    line->setObjectName(u"Bevel1"_s);
    line->setGeometry(5, 120, 271, 2);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    FixedLabel(panel, u"Label4"_s, u"Contact points are: "_s, QRect(16, 128, 250, 13));
    FixedLabel(panel, u"Label5"_s, u"WWW: www.kviro.example"_s, QRect(16, 147, 250, 13));
    FixedLabel(panel, u"Label6"_s, u"E-Mail: rez@kviro.example"_s, QRect(8, 164, 250, 13))
        ->setWordWrap(true);
}

void TAboutBox::setVisible(bool visible) {
    if (visible && !isVisible()) {
        if (QScreen* s = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::setVisible(visible);
}

void TAboutBox::OKButtonClick() {
    hide();
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // No cancel button: Escape leaves the box as it is.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace rez
