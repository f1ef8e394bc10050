// Widget tests need one QApplication for the whole run, created before the tests, and the
// numbers they compare need one locale whatever the user's: the C locale, pinned before Qt
// reads the system's (the window takes its decimal separator from it).
#include "app_name.h"
#include "chart_fonts.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets the headless platform; test discovery and manual runs get it here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    rez::RegisterChartFonts();
    QLocale::setDefault(QLocale::c());
    QApplication::setApplicationName(rez::AppName());
    return RUN_ALL_TESTS();
}
