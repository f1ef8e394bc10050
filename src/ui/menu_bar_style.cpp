#include "menu_bar_style.h"

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
    QProxyStyle::drawControl(element, &background, painter, widget);

    const bool enabled = item->state & State_Enabled;
    const bool pressed = (item->state & State_Selected) && (item->state & State_Sunken);
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
