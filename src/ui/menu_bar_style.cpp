#include "menu_bar_style.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace rez {
namespace {

// Pixels between the picture and the caption.
constexpr int IconTextGap = 4;

const QStyleOptionMenuItem* IconAndText(const QStyleOption* option) {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item == nullptr || item->icon.isNull() || item->text.isEmpty())
        return nullptr;
    return item;
}

QString WithoutMnemonics(QString text) {
    return text.remove(u'&');
}

} // namespace

MenuBarStyle::MenuBarStyle(QMenuBar* bar)
    : bar_(bar) {
    setParent(bar);
    qApp->installEventFilter(this);
}

int MenuBarStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_MenuBar_AltKeyNavigation:
        return 1;
    case SH_UnderlineShortcut:
        return showsMnemonics() ? 1 : 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

bool MenuBarStyle::showsMnemonics() const {
    // While the menu bar is worked by keyboard (after a lone Alt, F10, or a menu opened with
    // its mnemonic) it has the focus and an item is active.
    return altHeld_ || (bar_ && bar_->hasFocus() && bar_->activeAction() != nullptr);
}

bool MenuBarStyle::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt)
            setAltHeld(event->type() == QEvent::KeyPress);
        break;
    case QEvent::ApplicationDeactivate:
        // Alt released in another program (Alt+Tab) is never seen here.
        setAltHeld(false);
        break;
    default:
        break;
    }
    return QProxyStyle::eventFilter(watched, event);
}

void MenuBarStyle::setAltHeld(bool held) {
    if (held == altHeld_ || !bar_)
        return;
    altHeld_ = held;
    bar_->update();
    for (QMenu* menu : bar_->findChildren<QMenu*>())
        if (menu->isVisible())
            menu->update();
}

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const QStyleOptionMenuItem* item = IconAndText(option);
    if (element != CE_MenuBarItem || item == nullptr) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The base style paints the item's background and highlight; picture and caption follow.
    QStyleOptionMenuItem background = *item;
    background.icon = QIcon();
    background.text.clear();
    // Worked by keyboard, the current item is highlighted as an open one is, so the user sees
    // where the arrow keys and Enter act (some styles highlight open items only).
    if ((item->state & State_Selected) && widget != nullptr && widget->hasFocus())
        background.state |= State_Sunken;
    QProxyStyle::drawControl(element, &background, painter, widget);

    const bool enabled = item->state & State_Enabled;
    const bool pressed = (background.state & State_Selected) && (background.state & State_Sunken);
    const int iconSize = pixelMetric(PM_SmallIconSize, option, widget);
    const int textWidth = item->fontMetrics.horizontalAdvance(WithoutMnemonics(item->text));
    const QRect& r = item->rect;
    const int left = r.x() + (r.width() - (iconSize + IconTextGap + textWidth)) / 2;

    const QPixmap picture =
        item->icon.pixmap(QSize(iconSize, iconSize), painter->device()->devicePixelRatio(),
                          enabled ? QIcon::Normal : QIcon::Disabled);
    painter->drawPixmap(QRect(left, r.y() + (r.height() - iconSize) / 2, iconSize, iconSize),
                        picture);

    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    if (!styleHint(SH_UnderlineShortcut, option, widget))
        flags |= Qt::TextHideMnemonic;
    const QRect textRect(left + iconSize + IconTextGap, r.y(), textWidth + 1, r.height());
    drawItemText(painter, textRect, flags, item->palette, enabled, item->text,
                 pressed ? QPalette::HighlightedText : QPalette::ButtonText);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    const QStyleOptionMenuItem* item = IconAndText(option);
    if (type != CT_MenuBarItem || item == nullptr)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const int iconSize = pixelMetric(PM_SmallIconSize, option, widget);
    const QSize contents(iconSize + IconTextGap +
                             item->fontMetrics.horizontalAdvance(WithoutMnemonics(item->text)),
                         std::max(iconSize, item->fontMetrics.height()));
    return QProxyStyle::sizeFromContents(type, option, contents, widget);
}

} // namespace rez
