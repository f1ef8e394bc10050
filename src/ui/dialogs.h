// The modal questions of the main window: the Group command's open dialog (OpenDialog1), the
// save dialog shared by the Save commands (SaveDialog) and the error box. Behind an interface
// so that tests answer them without a modal loop.
#pragma once

#include "cohort_dialog.h"

#include <QString>

class QWidget;

namespace rez {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen existing file, or an empty text when the user cancels. `filter` is a Qt
    // name filter such as "CRY Files (*.cry)".
    virtual QString getOpenFileName(const QString& title, const QString& dir,
                                    const QString& filter) = 0;
    // The chosen file name exactly as the user confirmed it, or an empty text when the user
    // cancels. The dialog opens in the folder of `proposedPath` with its name filled in,
    // has no filter and asks before replacing an existing file.
    virtual QString getSaveFileName(const QString& title, const QString& proposedPath) = 0;
    // Shows the error box with `text` as it stands (see ErrorBoxText).
    virtual void showError(const QString& text) = 0;
    // Shows a warning box with `text` after a command that completed.
    virtual void showWarning(const QString& text) = 0;
    // The chosen existing folder, or an empty text when the user cancels.
    virtual QString getExistingDirectory(const QString& title, const QString& dir) = 0;
    // K and T for the manager's report, `thresholds` filled in; false when cancelled.
    virtual bool askReportThresholds(ReportThresholds& thresholds) = 0;
    // The "Cohort run" dialog, `choice` filled in; false when cancelled.
    virtual bool askCohortChoice(CohortChoice& choice) = 0;
    // The box at the end of a cohort run.
    virtual void showCohortSummary(const CohortSummary& summary) = 0;
};

// Real file dialogs and message box, parented to `parent` (not owned).
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent)
        : parent_(parent) {}

    QString getOpenFileName(const QString& title, const QString& dir,
                            const QString& filter) override;
    QString getSaveFileName(const QString& title, const QString& proposedPath) override;
    void showError(const QString& text) override;
    void showWarning(const QString& text) override;
    QString getExistingDirectory(const QString& title, const QString& dir) override;
    bool askReportThresholds(ReportThresholds& thresholds) override;
    bool askCohortChoice(CohortChoice& choice) override;
    void showCohortSummary(const CohortSummary& summary) override;

private:
    QWidget* parent_;
};

} // namespace rez
