// The Cohort command of the main window: a folder of groups run at once, as rez-report runs
// them, on a thread of its own while a window-modal progress dialog shows how far it came.

#include "cohort_folders.h"
#include "cohort_runner.h"
#include "error_box.h"
#include "file_names.h"
#include "output_checks.h"
#include "report_settings.h"
#include "results_model.h"
#include "rez_error.h"
#include "tform1.h"

#include <QAction>
#include <QDir>
#include <QProgressDialog>

#include <algorithm>
#include <thread>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

std::filesystem::path PathOf(const QString& path) {
    return PathFromBytes(QDir::fromNativeSeparators(path).toStdString());
}

} // namespace

void TForm1::setCommandsEnabled(bool enabled) {
    groupAction_->setEnabled(enabled);
    cohortAction_->setEnabled(enabled);
    // Save comes back only where a Group run has given it something to save.
    saveMenuAction_->setEnabled(enabled && results_->hasResults());
}

void TForm1::cohortCommand() {
    if (cohortRunner_ && cohortRunner_->isRunning())
        return;
    const QString chosen = dialogs_->getExistingDirectory(
        u"Папка с группами: в каждой подпапке файлы ответов одной группы"_s, folders_.data);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    const std::filesystem::path folder = PathOf(chosen);
    const CohortFolders groups = FindCohortGroups(folder);
    if (groups.warning)
        dialogs_->showWarning(QString::fromStdString(*groups.warning));

    PrepareResultsFolder(folders_);
    CohortChoice choice;
    choice.resultsFolder = QDir::cleanPath(folders_.resultsHome + u"Results"_s);
    choice.workbookFile =
        QDir(choice.resultsFolder)
            .filePath(QDir(QDir::cleanPath(chosen)).dirName() + u" Cohort.xlsx"_s);
    choice.thresholds = LoadReportThresholds();
    if (!dialogs_->askCohortChoice(choice))
        return;
    StoreReportThresholds(choice.thresholds);

    CohortSettings settings;
    settings.outDir = PathOf(choice.resultsFolder);
    if (const std::string problem = OutputFolderProblem(settings.outDir); !problem.empty())
        throw RezError(problem);
    if (choice.workbook) {
        QString file = choice.workbookFile;
        if (!file.endsWith(u".xlsx"_s, Qt::CaseInsensitive))
            file += u".xlsx"_s;
        settings.workbook = PathOf(file);
        if (const std::string problem = WorkbookProblem(*settings.workbook, groups.groups);
            !problem.empty())
            throw RezError(problem);
    }
    if (choice.report)
        settings.managerReport = choice.thresholds;
    settings.decimalSeparator = results_->decimalSeparator();
    settings.threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    settings.lockWait = {}; // like its saves, the window never waits for another run

    if (!cohortRunner_) {
        cohortRunner_ = new CohortRunner(this);
        connect(cohortRunner_, &CohortRunner::message, this,
                [this](const QString& line) { cohortSummary_.messages.push_back(line); });
        connect(cohortRunner_, &CohortRunner::groupFinished, this,
                [this](int done, const QString& name) {
                    if (!cohortProgress_)
                        return;
                    cohortProgress_->setValue(done);
                    cohortProgress_->setLabelText(
                        u"[%1/%2] %3"_s.arg(done).arg(cohortSummary_.groups).arg(name));
                });
        connect(cohortRunner_, &CohortRunner::finished, this, [this](const CohortOutcome& outcome) {
            cohortSummary_.written = outcome.written;
            cohortSummary_.failed = outcome.failed;
            cohortSummary_.stopped = outcome.stopped;
            cohortSummary_.workbookWritten = !outcome.stopped && !outcome.workbookFailed &&
                                             outcome.written > 0 && cohortSummary_.workbookWritten;
            cohortFinished();
        });
    }
    cohortSummary_ = {};
    cohortSummary_.groups = static_cast<int>(groups.groups.size());
    cohortSummary_.resultsFolder = choice.resultsFolder;
    cohortSummary_.workbookWritten = settings.workbook.has_value();

    setCommandsEnabled(false);
    cohortProgress_ = new QProgressDialog(this);
    cohortProgress_->setObjectName(u"cohortProgress"_s);
    cohortProgress_->setWindowTitle(u"Cohort run"_s);
    cohortProgress_->setWindowModality(Qt::WindowModal);
    cohortProgress_->setAutoClose(false);
    cohortProgress_->setAutoReset(false);
    cohortProgress_->setRange(0, cohortSummary_.groups);
    cohortProgress_->setLabelText(u"[0/%1]"_s.arg(cohortSummary_.groups));
    cohortProgress_->setMinimumDuration(0);
    connect(cohortProgress_, &QProgressDialog::canceled, this, [this] {
        cohortRunner_->stop();
        if (cohortProgress_) {
            cohortProgress_->setLabelText(u"Stopping: the groups being written are finished…"_s);
            cohortProgress_->show(); // a cancelled progress dialog hides itself
        }
    });
    cohortProgress_->setValue(0);
    cohortRunner_->start(groups.groups, settings);
}

void TForm1::cohortFinished() {
    cohortRunner_->wait();
    if (cohortProgress_) {
        cohortProgress_->hide();
        cohortProgress_->deleteLater();
        cohortProgress_ = nullptr;
    }
    setCommandsEnabled(true);
    RestoreBusyCursor();
    dialogs_->showCohortSummary(cohortSummary_);
}

} // namespace rez
