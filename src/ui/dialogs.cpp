#include "dialogs.h"

#include "error_box.h"
#include "report_settings.h"

#include <QFileDialog>

namespace rez {

QString QtDialogs::getOpenFileName(const QString& title, const QString& dir,
                                   const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, dir, filter);
}

QString QtDialogs::getSaveFileName(const QString& title, const QString& proposedPath) {
    // QFileDialog asks before replacing a file and can be resized unless told otherwise.
    return QFileDialog::getSaveFileName(parent_, title, proposedPath);
}

void QtDialogs::showError(const QString& text) {
    ShowCriticalBox(parent_, text);
}

void QtDialogs::showWarning(const QString& text) {
    ShowWarningBox(parent_, text);
}

QString QtDialogs::getExistingDirectory(const QString& title, const QString& dir) {
    return QFileDialog::getExistingDirectory(parent_, title, dir);
}

bool QtDialogs::askReportThresholds(ReportThresholds& thresholds) {
    return AskReportThresholds(parent_, thresholds);
}

bool QtDialogs::askCohortChoice(CohortChoice& choice) {
    return AskCohortChoice(parent_, choice);
}

void QtDialogs::showCohortSummary(const CohortSummary& summary) {
    ShowCohortSummary(parent_, summary);
}

} // namespace rez
