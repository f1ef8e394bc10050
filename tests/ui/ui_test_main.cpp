// Widget tests need one QApplication for the whole run, created before the tests.
#include "app_name.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets the headless platform; test discovery and manual runs get it here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(rez::AppName());
    return RUN_ALL_TESTS();
}
