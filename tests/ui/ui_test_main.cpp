// Widget tests need one QApplication for the whole run, created before the tests, and the
// numbers they compare need one locale whatever the user's: the C locale, pinned before Qt
// reads the system's (the window takes its decimal separator from it).
#include "app_name.h"
#include "chart_fonts.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>

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
    // The user's settings (the report's K and T) stay untouched: the tests keep theirs in a
    // folder of their own, as a file on every platform (not the registry on Windows).
    const QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    return RUN_ALL_TESTS();
}
