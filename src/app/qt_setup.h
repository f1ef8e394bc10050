// Qt's process-wide settings that both programs make first thing in main, before any Qt
// object exists.
#pragma once

#include <QHashSeed>
#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace rez {

// Qt's critical and fatal messages go to standard error as Qt prints them (a missing platform
// plugin still explains itself); its debug, info and warning notes ("QStandardPaths:
// XDG_RUNTIME_DIR not set ...") do not, since standard error carries the programs' own
// messages, which users and scripts read.
inline void KeepQtFailureMessages(QtMsgType type, const QMessageLogContext& context,
                                  const QString& text) {
    if (type != QtCriticalMsg && type != QtFatalMsg)
        return;
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
    std::fflush(stderr);
}

inline void SetUpQt() {
    // Qt's hashes otherwise take a random seed per process, and the order in which the PDF
    // writer embeds its font subsets follows one: the same report would differ from run to
    // run. No hash here faces untrusted keys in bulk, so a fixed seed costs nothing.
    QHashSeed::setDeterministicGlobalSeed();
    qInstallMessageHandler(KeepQtFailureMessages);
}

} // namespace rez
