#include "report_settings.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include <cmath>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

// The native format (the registry on Windows) unless the process chose another, as the
// tests do to keep theirs in a file.
QSettings UserSettings() {
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope, u"KVIRO"_s, u"KVIRO.REZ"_s);
}

const QString MinRatersKey = u"report/minRaters"_s;
const QString GapKey = u"report/gap"_s;

} // namespace

ReportThresholds LoadReportThresholds() {
    const QSettings settings = UserSettings();
    ReportThresholds thresholds;
    bool ok = false;
    const int k = settings.value(MinRatersKey).toInt(&ok);
    if (ok && k >= MinRatersLowest && k <= MinRatersHighest)
        thresholds.MinRaters = k;
    // T in tenths, as the field shows it.
    const double t = settings.value(GapKey).toDouble(&ok);
    if (ok && std::isfinite(t) && t >= GapThresholdLowest && t <= GapThresholdHighest)
        thresholds.GapThreshold = std::round(t * 10) / 10;
    return thresholds;
}

void StoreReportThresholds(const ReportThresholds& thresholds) {
    QSettings settings = UserSettings();
    settings.setValue(MinRatersKey, thresholds.MinRaters);
    settings.setValue(GapKey, thresholds.GapThreshold);
}

ThresholdFields::ThresholdFields(QFormLayout* form, const ReportThresholds& thresholds)
    : minRaters(new QSpinBox)
    , gap(new QDoubleSpinBox) {
    minRaters->setObjectName(u"minRaters"_s);
    minRaters->setRange(MinRatersLowest, MinRatersHighest);
    minRaters->setValue(thresholds.MinRaters);
    gap->setObjectName(u"gapThreshold"_s);
    gap->setDecimals(1);
    gap->setSingleStep(0.1);
    gap->setRange(GapThresholdLowest, GapThresholdHighest);
    gap->setValue(thresholds.GapThreshold);
    form->addRow(u"&K: smallest group shown"_s, minRaters);
    form->addRow(u"&T: self-others gap listed from"_s, gap);
    minRaters->setToolTip(
        u"Subordinates and colleagues are shown in groups of at least K people"_s);
    gap->setToolTip(u"A scale is listed where self and others differ by T points or more"_s);
}

ReportThresholds ThresholdFields::values() const {
    return {minRaters->value(), gap->value()};
}

void AddOkCancel(QDialog& dialog, QFormLayout* form) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
}

bool AskReportThresholds(QWidget* parent, ReportThresholds& thresholds) {
    QDialog dialog(parent);
    dialog.setObjectName(u"reportSettingsDialog"_s);
    dialog.setWindowTitle(u"Report (PDF)"_s);
    auto* form = new QFormLayout(&dialog);
    const ThresholdFields fields(form, thresholds);
    AddOkCancel(dialog, form);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    thresholds = fields.values();
    return true;
}

} // namespace rez
