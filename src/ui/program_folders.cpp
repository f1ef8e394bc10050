#include "program_folders.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace rez {

ProgramFolders FindProgramFolders(const QString& programDir, const QString& documents) {
    const ProgramFolders own{programDir + u"Data"_s, programDir, false};
    if (QFileInfo(own.data).isDir())
        return own;
    const QString packaged = QDir::cleanPath(programDir + u"../share/kviro-rez/Data"_s);
    if (!QFileInfo(packaged).isDir())
        return own;
    // Without a documents folder (no home), the home folder itself.
    const QString base = documents.isEmpty() ? QDir::homePath() : documents;
    return {packaged, QDir::cleanPath(base + u"/KVIRO.REZ"_s) + u'/', true};
}

void PrepareResultsFolder(const ProgramFolders& folders) {
    if (folders.makeResults)
        QDir().mkpath(folders.resultsHome + u"Results"_s);
}

} // namespace rez
