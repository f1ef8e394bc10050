// The Group command and the Save commands of the main window. The work itself lives in the
// analysis, chart and export libraries; these commands take the user's choices, call it and
// hand its results to the results model.

#include "analysis_memo.h"
#include "busy_cursor.h"
#include "export_files.h"
#include "file_names.h"
#include "folder_lock.h"
#include "group_run.h"
#include "manager_report.h"
#include "profile_chart.h"
#include "report_settings.h"
#include "result_texts.h"
#include "results_model.h"
#include "results_panel.h"
#include "rez_error.h"
#include "tform1.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QScrollArea>

#include <optional>

using namespace Qt::StringLiterals;

namespace rez {

void TForm1::groupCommand() {
    const QString chosen =
        dialogs_->getOpenFileName(u"Данные для анализа умений и навыков менеджера по Дорвелу"_s,
                                  folders_.data, u"CRY Files (*.cry)"_s);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    if (groupRun_)
        groupRun_(chosen);
}

void TForm1::runGroup(const QString& chosenFile) {
    const std::string directory = DirectoryOfChosenFile(chosenFile.toStdString());
    const std::string folder =
        QDir::toNativeSeparators(QString::fromStdString(FolderText(directory))).toStdString();
    std::optional<std::string> noFiles;
    {
        BusyCursor busy;
        // Each respondent file's lines while it is read.
        LineBuffer fileLines;
        // All or nothing: a failing file throws out of here and leaves the screen and the
        // results of the last completed run as they were.
        GroupResults fresh = RunGroup(directory, results_->decimalSeparator(), fileLines);
        // A folder without respondent files is most likely the wrong one: the results on
        // screen, and what Save would write, stay those of the last run.
        noFiles = NoRespondentsWarning(fresh, folder);
        if (!noFiles) {
            results_->setResults(std::move(fresh), folder);
            firstScreen_->hide();
            resultsScroll_->show();
            saveMenuAction_->setEnabled(true);
        }
    }
    // The results stand as the files give them; the user learns what to check.
    if (noFiles)
        dialogs_->showWarning(QString::fromStdString(*noFiles));
    else if (const auto warning = MixedManagersWarning(results_->results(), folder))
        dialogs_->showWarning(QString::fromStdString(*warning));
}

QString TForm1::proposedName(QStringView suffix) const {
    PrepareResultsFolder(folders_);
    return ProposedResultPath(folders_.resultsHome,
                              QString::fromStdString(results_->results().GroupName), suffix);
}

void TForm1::saveAnalysis() {
    const QString path = dialogs_->getSaveFileName(u"Запись результатов оценки REZ в rtf.файл"_s,
                                                   proposedName(u" An.rtf"));
    if (!path.isEmpty())
        SaveAnalysisFile(path, resultsPanel_->analysisText().text());
}

void TForm1::saveTable() {
    // The table file's lines come from the results, as the table shows them.
    const GroupResults& results = results_->results();
    const char separator = results_->decimalSeparator();
    const std::vector<std::string> lines =
        BuildTableLines(results, BuildTableCells(results, separator), separator);
    const QString path = dialogs_->getSaveFileName(u"Запись таблицы данных REZ в rtf.файл"_s,
                                                   proposedName(u" Table.rtf"));
    if (!path.isEmpty())
        SaveTableFile(path, lines);
}

void TForm1::savePlots() {
    // A failure on the scale chart ends the command: the second dialog does not open.
    const QString scales = dialogs_->getSaveFileName(u"Запись графика шкал в gif-файл"_s,
                                                     proposedName(u" Scales.gif"));
    if (!scales.isEmpty())
        SaveChartGif(WithGifExtension(scales), resultsPanel_->scaleChart().picture());
    const QString factors = dialogs_->getSaveFileName(
        u"Запись графика фаз и факторов в gif-файлы"_s, proposedName(u" Factors.gif"));
    if (!factors.isEmpty())
        SaveChartGif(WithGifExtension(factors), resultsPanel_->factorChart().picture());
}

void TForm1::saveReport() {
    // The report takes its title from one file and counts every rater: files of another
    // manager would put a rater's name on it, or count a stranger.
    if (const auto mixed = MixedManagersWarning(results_->results(), results_->folder()))
        throw RezError(*mixed);
    // K and T first, the stored ones filled in; the same pair the Cohort command uses.
    ReportThresholds thresholds = LoadReportThresholds();
    if (!dialogs_->askReportThresholds(thresholds))
        return;
    StoreReportThresholds(thresholds);
    const QString chosen =
        dialogs_->getSaveFileName(u"Запись отчета для руководителя в pdf-файл"_s,
                                  proposedName(QString::fromUtf8(ManagerReportSuffix)));
    if (chosen.isEmpty())
        return;
    BusyCursor busy;
    const std::string pdf = ManagerReportPdf(results_->results(), thresholds,
                                             results_->decimalSeparator(), CurrentReportTime());
    WriteFileInLockedFolder(FileSystemPath(WithPdfExtension(chosen)), pdf);
}

} // namespace rez
