// Stand-ins for the main window's dialogs and platform shell: they answer at once and record
// what the window asked of them.
#pragma once

#include "dialogs.h"
#include "platform_shell.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rez::test {

struct OpenRequest {
    QString title;
    QString dir;
    QString filter;
};

struct SaveRequest {
    QString title;
    QString proposedPath;
    bool folderExisted = false; // the proposed file's folder, when the dialog opened
};

// What the fake dialogs saw, shared between the test and the window it built.
struct DialogLog {
    QString openAnswer; // empty: the user cancels
    std::vector<OpenRequest> openRequests;
    // Answers of the save dialog in order; an empty text (or none left) cancels.
    QStringList saveAnswers;
    std::vector<SaveRequest> saveRequests;
    QStringList errors;
    QStringList warnings;
    // The folder dialog's answer (empty: cancel) and what it was asked.
    QString folderAnswer;
    std::vector<OpenRequest> folderRequests;
    // K and T: what the report's dialog was shown, and false to cancel it.
    std::vector<ReportThresholds> thresholdRequests;
    bool acceptThresholds = true;
    std::optional<ReportThresholds> thresholdAnswer; // the user's change, if any
    // The cohort dialog: the real one (driven by keys) when set, else accepted as proposed.
    bool realCohortDialog = false;
    std::vector<CohortChoice> cohortRequests;
    std::vector<CohortSummary> cohortSummaries;
    // Whether a busy cursor was still set when each error box opened.
    std::vector<bool> busyCursorAtError;
};

class FakeDialogs final : public Dialogs {
public:
    explicit FakeDialogs(std::shared_ptr<DialogLog> log)
        : log_(std::move(log)) {}

    QString getOpenFileName(const QString& title, const QString& dir,
                            const QString& filter) override {
        log_->openRequests.push_back({title, dir, filter});
        return log_->openAnswer;
    }
    QString getSaveFileName(const QString& title, const QString& proposedPath) override {
        log_->saveRequests.push_back({title, proposedPath, QFileInfo(proposedPath).dir().exists()});
        return log_->saveAnswers.isEmpty() ? QString() : log_->saveAnswers.takeFirst();
    }
    void showWarning(const QString& text) override { log_->warnings.push_back(text); }
    QString getExistingDirectory(const QString& title, const QString& dir) override {
        log_->folderRequests.push_back({title, dir, {}});
        return log_->folderAnswer;
    }
    bool askReportThresholds(ReportThresholds& thresholds) override {
        log_->thresholdRequests.push_back(thresholds);
        if (log_->thresholdAnswer)
            thresholds = *log_->thresholdAnswer;
        return log_->acceptThresholds;
    }
    bool askCohortChoice(CohortChoice& choice) override {
        log_->cohortRequests.push_back(choice);
        return log_->realCohortDialog ? AskCohortChoice(nullptr, choice) : true;
    }
    void showCohortSummary(const CohortSummary& summary) override {
        log_->cohortSummaries.push_back(summary);
    }
    void showError(const QString& text) override {
        log_->errors.push_back(text);
        log_->busyCursorAtError.push_back(QApplication::overrideCursor() != nullptr);
    }

private:
    std::shared_ptr<DialogLog> log_;
};

// The calls the window made on its shell, in order, e.g. "appendAboutEntry", "hideTaskbar".
struct ShellLog {
    bool hasTaskbar = true;
    std::vector<std::string> calls;
    std::uintptr_t window = 0;
    // The command the next native message carries.
    std::uintptr_t nextCommand = 0;
};

class FakeShell final : public PlatformShell {
public:
    explicit FakeShell(std::shared_ptr<ShellLog> log)
        : log_(std::move(log)) {}

    void appendAboutEntry(std::uintptr_t window) override {
        log_->window = window;
        log_->calls.emplace_back("appendAboutEntry");
    }
    bool hideTaskbar() override {
        log_->calls.emplace_back("hideTaskbar");
        return log_->hasTaskbar;
    }
    void setFullScreenWorkArea() override { log_->calls.emplace_back("setFullScreenWorkArea"); }
    void showTaskbar() override { log_->calls.emplace_back("showTaskbar"); }
    void restoreWorkArea() override { log_->calls.emplace_back("restoreWorkArea"); }
    std::uintptr_t systemCommandOf(const void*) const override { return log_->nextCommand; }

private:
    std::shared_ptr<ShellLog> log_;
};

} // namespace rez::test
