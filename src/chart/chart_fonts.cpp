#include "chart_fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>

namespace rez {

using namespace Qt::StringLiterals;

QString ChartFontFamily() {
    return u"Liberation Sans"_s;
}

QStringList ChartFontFolders() {
    QStringList folders{QCoreApplication::applicationDirPath() + u"/fonts"_s};
#ifndef Q_OS_WIN
    folders.append(u"/usr/share/fonts/truetype/liberation2"_s);
#endif
    return folders;
}

int RegisterChartFonts() {
    static const int registered = [] {
        const QStringList styles{u"Regular"_s, u"Bold"_s, u"Italic"_s, u"BoldItalic"_s};
        for (const QString& folder : ChartFontFolders()) {
            int count = 0;
            for (const QString& style : styles) {
                const QString file =
                    QDir(folder).filePath(u"LiberationSans-"_s + style + u".ttf"_s);
                if (QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0)
                    ++count;
            }
            if (count > 0)
                return count;
        }
        return 0;
    }();
    return registered;
}

} // namespace rez
