#include "cohort_dialog.h"

#include "app_name.h"
#include "report_settings.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace rez {

bool AskCohortChoice(QWidget* parent, CohortChoice& choice) {
    QDialog dialog(parent);
    dialog.setObjectName(u"cohortDialog"_s);
    dialog.setWindowTitle(u"Cohort run"_s);
    dialog.setMinimumWidth(640);
    auto* form = new QFormLayout(&dialog);

    auto* folder = new QLineEdit(QDir::toNativeSeparators(choice.resultsFolder));
    folder->setObjectName(u"resultsFolder"_s);
    auto* browse = new QToolButton;
    browse->setText(u"…"_s);
    browse->setToolTip(u"Choose the results folder"_s);
    QObject::connect(browse, &QToolButton::clicked, &dialog, [&dialog, folder] {
        const QString chosen = QFileDialog::getExistingDirectory(
            &dialog, u"Results folder"_s, QDir::fromNativeSeparators(folder->text()));
        if (!chosen.isEmpty())
            folder->setText(QDir::toNativeSeparators(chosen));
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder);
    folderRow->addWidget(browse);
    auto* folderLabel = new QLabel(u"&Results folder"_s);
    folderLabel->setBuddy(folder);
    form->addRow(folderLabel, folderRow);

    auto* report = new QCheckBox(u"Report (PDF)"_s);
    report->setObjectName(u"cohortReport"_s);
    report->setChecked(choice.report);
    form->addRow(report);
    auto* workbook = new QCheckBox(u"Workbook"_s);
    workbook->setObjectName(u"cohortWorkbook"_s);
    workbook->setChecked(choice.workbook);
    form->addRow(workbook);
    auto* workbookFile = new QLineEdit(QDir::toNativeSeparators(choice.workbookFile));
    workbookFile->setObjectName(u"workbookFile"_s);
    workbookFile->setEnabled(choice.workbook);
    QObject::connect(workbook, &QCheckBox::toggled, workbookFile, &QWidget::setEnabled);
    form->addRow(u"Workbook &file"_s, workbookFile);

    const ThresholdFields thresholds(form, choice.thresholds);
    AddOkCancel(dialog, form);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.resultsFolder = QDir::fromNativeSeparators(folder->text().trimmed());
    choice.report = report->isChecked();
    choice.workbook = workbook->isChecked();
    QString file = QDir::fromNativeSeparators(workbookFile->text().trimmed());
    if (!file.isEmpty() && QDir::isRelativePath(file))
        file = QDir(choice.resultsFolder).filePath(file);
    choice.workbookFile = file;
    choice.thresholds = thresholds.values();
    return true;
}

QString CohortSummaryText(const CohortSummary& summary) {
    QString text =
        summary.stopped
            ? u"The cohort run was stopped: %1 of %2 groups written."_s.arg(summary.written)
                  .arg(summary.groups)
            : u"%1 of %2 groups written."_s.arg(summary.written).arg(summary.groups);
    if (summary.failed > 0)
        text += u" %1 failed: see the details."_s.arg(summary.failed);
    if (summary.workbookWritten)
        text += u" The workbook is written."_s;
    return text;
}

void ShowCohortSummary(QWidget* parent, const CohortSummary& summary) {
    QMessageBox box(summary.failed > 0 || summary.stopped ? QMessageBox::Warning
                                                          : QMessageBox::Information,
                    AppName(), CohortSummaryText(summary), QMessageBox::Ok, parent);
    box.setObjectName(u"cohortSummary"_s);
    box.setTextFormat(Qt::PlainText);
    if (!summary.messages.isEmpty())
        box.setDetailedText(summary.messages.join(u'\n'));
    QPushButton* open = box.addButton(u"Open the results folder"_s, QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(summary.resultsFolder));
}

} // namespace rez
