// The menu bar's look and keyboard access. Qt's styles draw only the picture of a menu-bar
// item that has one; this proxy draws the picture and the caption side by side. It also
// gives the menus the keyboard access of a desktop program: a lone Alt takes the keyboard to
// the menu bar, and the mnemonics' underlines show only while Alt is held or while the menu
// bar is worked by keyboard.
#pragma once

#include <QPointer>
#include <QProxyStyle>

class QMenuBar;

namespace rez {

class MenuBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Set it on `bar` and on the bar's menus. Owned by `bar`.
    explicit MenuBarStyle(QMenuBar* bar);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

protected:
    // Watches the Alt key application-wide, to show and hide the underlines.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool showsMnemonics() const;
    void setAltHeld(bool held);

    QPointer<QMenuBar> bar_;
    bool altHeld_ = false;
};

} // namespace rez
