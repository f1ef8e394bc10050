// K and T of the manager's report: one pair for Save > Report (PDF) and the Cohort command,
// kept between runs of the program in the user's settings (QSettings "KVIRO"/"KVIRO.REZ":
// the registry under HKCU on Windows, the XDG config folder elsewhere).
#pragma once

#include "report_numbers.h"

class QDialog;
class QDoubleSpinBox;
class QFormLayout;
class QSpinBox;
class QWidget;

namespace rez {

// The stored pair; a missing or invalid value (out of range, not a number) gives its default.
ReportThresholds LoadReportThresholds();
void StoreReportThresholds(const ReportThresholds& thresholds);

// The two fields of K and T, added to `form` with the values of `thresholds`.
struct ThresholdFields {
    ThresholdFields(QFormLayout* form, const ReportThresholds& thresholds);
    ReportThresholds values() const;

    QSpinBox* minRaters; // owned by the form's widget
    QDoubleSpinBox* gap; // owned by the form's widget
};

// OK (the default button: Enter accepts) and Cancel, as the form's last row.
void AddOkCancel(QDialog& dialog, QFormLayout* form);

// Asks for K and T before the report is saved, `thresholds` filled in and then set to the
// user's choice. False when the user cancels.
bool AskReportThresholds(QWidget* parent, ReportThresholds& thresholds);

} // namespace rez
