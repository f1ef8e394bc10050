// Where the program finds its sample groups and where the Save commands propose their files:
// beside the program in a self-contained folder, or in the system's places when installed
// from the Debian package.
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

// The folders of a program in `programDir` (with a trailing '/'): its own Data and Results
// when `programDir` holds Data (a self-contained folder, or the build tree); else, when the
// package's samples lie in `programDir`/../share/kviro-rez/Data, those samples and
// `documents`/KVIRO.REZ/Results; else its own, as a self-contained folder would have them.
ProgramFolders FindProgramFolders(const QString& programDir, const QString& documents);

// Makes folders.resultsHome + "Results" where makeResults asks for it. A folder that cannot
// be made is no failure here: the Save dialog then opens where it can, and writing says why.
void PrepareResultsFolder(const ProgramFolders& folders);

} // namespace rez
