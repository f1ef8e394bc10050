#include "program_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace rez {

namespace {

// The user's KVIRO.REZ folder; without a documents folder (no home), under the home folder.
QString UsersResultsHome(const QString& documents) {
    const QString base = documents.isEmpty() ? QDir::homePath() : documents;
    return QDir::cleanPath(base + u"/KVIRO.REZ"_s) + u'/';
}

} // namespace

ProgramFolders FindProgramFolders(const QString& programDir, const QString& documents) {
    const ProgramFolders own{programDir + u"Data"_s, programDir, false};
    if (QFileInfo(programDir + QString::fromUtf16(SetupMarkerName)).isFile())
        return {own.data, UsersResultsHome(documents), true};
    if (QFileInfo(own.data).isDir())
        return own;
    const QString packaged = QDir::cleanPath(programDir + u"../share/kviro-rez/Data"_s);
    if (!QFileInfo(packaged).isDir())
        return own;
    return {packaged, UsersResultsHome(documents), true};
}

void PrepareResultsFolder(const ProgramFolders& folders) {
    if (folders.makeResults)
        QDir().mkpath(folders.resultsHome + u"Results"_s);
}

QString QtTranslationsFolder(const QString& programDir) {
    const QString shipped = programDir + u"translations"_s;
    if (QFileInfo(shipped + u"/qtbase_ru.qm"_s).isFile())
        return shipped;
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool InstallQtTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(u"qtbase_ru"_s,
                          QtTranslationsFolder(QCoreApplication::applicationDirPath() + u'/'))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace rez
