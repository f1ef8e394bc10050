// Writes the program's picture as a PNG file for the desktop entry of an installed copy.
//
// usage: write-icon OUT.png SIZE

#include "icons.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: write-icon OUT.png SIZE\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    return rez::AppPicture(size).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
