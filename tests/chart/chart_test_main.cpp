// Charts draw with fonts, which need a QGuiApplication before any test runs; no widgets. The
// headless platform is the default, so the binary also runs (and lists its tests) outside
// ctest.
#include "chart_fonts.h"

#include <QGuiApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    rez::RegisterChartFonts();
    QLocale::setDefault(QLocale::c());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
