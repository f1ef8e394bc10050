// Where the program finds its sample groups and where the Save commands propose their files:
// beside the program in a self-contained folder, or in the user's documents when installed
// (the Debian package, the Windows setup program); and where it finds Qt's Russian texts.
#pragma once

#include <QString>

namespace rez {

struct ProgramFolders {
    // The sample groups; the Group dialog opens here.
    QString data;
    // The folder that holds "Results": the Save commands propose resultsHome + "Results/" +
    // the file name.
    QString resultsHome;
    // True where the program's own folder cannot take the results (/usr): "Results" is then
    // made before a Save dialog opens. A self-contained folder brings its own.
    bool makeResults = false;
};

// The file the Windows setup program leaves beside the programs it installs. An installed
// program's own folder (Program Files, AppData) is no place for the user's results.
inline constexpr char16_t SetupMarkerName[] = u"kviro-rez.installed";

// The folders of a program in `programDir` (with a trailing '/'): with the setup program's
// marker there, its own Data and `documents`/KVIRO.REZ/Results; else its own Data and
// Results when `programDir` holds Data (a self-contained folder, or the build tree); else,
// when the package's samples lie in `programDir`/../share/kviro-rez/Data, those samples and
// `documents`/KVIRO.REZ/Results; else its own, as a self-contained folder would have them.
ProgramFolders FindProgramFolders(const QString& programDir, const QString& documents);

// Makes folders.resultsHome + "Results" where makeResults asks for it. A folder that cannot
// be made is no failure here: the Save dialog then opens where it can, and writing says why.
void PrepareResultsFolder(const ProgramFolders& folders);

// The folder of Qt's own translations for a program in `programDir` (with a trailing '/'):
// `translations` beside it where that holds them (the Windows program ships them so), else
// Qt's installed ones (Debian's qt6-translations-l10n).
QString QtTranslationsFolder(const QString& programDir);

// Installs Qt's Russian texts (file dialogs, the overwrite question, standard buttons) into
// the running application, which owns them. False when qtbase_ru.qm is not found: Qt's
// texts then stay English.
bool InstallQtTranslations();

} // namespace rez
