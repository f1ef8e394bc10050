// The desktop program: the main window with its About box.
#include "about_box.h"
#include "app_name.h"
#include "chart_fonts.h"
#include "command_line.h"
#include "icons.h"
#include "program_folders.h"
#include "qt_setup.h"
#include "tform1.h"

#include <QApplication>

int main(int argc, char** argv) {
    rez::SetUpQt();
    // Qt's notes on standard error must never land in a file being saved.
    rez::ReserveStandardStreams();
#ifdef Q_OS_WIN
    // FreeType draws the charts' texts, as on Linux, so the window shows and saves the same
    // pictures on every system; the system's own engine would place pixels differently.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
#endif
    QApplication app(argc, argv);
    rez::RegisterChartFonts();
    rez::InstallQtTranslations();
    // The name the system lists the running program under; window captions stay as set.
    QApplication::setApplicationName(rez::AppName());
    QApplication::setWindowIcon(rez::AppIcon());

    rez::TForm1 Form1; // FormCreate runs here
    // Owned by the main window, which it stays above; hidden until asked for.
    auto* AboutBox = new rez::TAboutBox(&Form1);
    Form1.setAboutBox(AboutBox);

    Form1.showMaximized();
    return QApplication::exec();
}
