// Menu-bar items that show their picture and their caption side by side. Qt's styles draw
// only the picture of a menu-bar item that has one; this proxy draws both.
#pragma once

#include <QProxyStyle>

namespace rez {

class MenuBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
};

} // namespace rez
