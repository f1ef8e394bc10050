// The About box: names the program, its version and the questionnaire it serves, and gives
// contact points. Created hidden at start-up, shown without blocking the main window; OK,
// Enter and the title bar's close button hide it, Escape does nothing.
#pragma once

#include <QDialog>

class QPushButton;

namespace rez {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // `parent`, the main window, keeps the box above it and owns it; the box still opens
    // centred on the screen.
    explicit TAboutBox(QWidget* parent = nullptr);

    // Showing a hidden box centres it on the screen first; showing a visible box changes
    // nothing.
    void setVisible(bool visible) override;

public Q_SLOTS:
    void OKButtonClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* OKButton; // owned by the box
};

} // namespace rez
