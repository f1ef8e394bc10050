// The manager's report: one printable A4 PDF per group, the part of the results that the
// assessed manager may see. It counts raters but never names them and shows subordinates and
// colleagues only in groups large enough to stay anonymous.
#pragma once

#include "group_results.h"
#include "report_numbers.h"

#include <QDateTime>
#include <QString>

#include <string>

namespace rez {

// When a report is made: the date its pages show and the PDF's creation date.
struct ReportTime {
    QDateTime Utc;
    QString PageDate; // "08.12.2026"
};

// SOURCE_DATE_EPOCH (whole seconds since 1970, UTC) when it is set to such a number, so that
// the same input gives the same file; otherwise now, with the local date on the pages.
ReportTime CurrentReportTime();

// The bytes of the report's PDF file. Needs a QGuiApplication for the fonts; no widgets.
std::string ManagerReportPdf(const GroupResults& results, const ReportThresholds& options,
                             char decimalSeparator, const ReportTime& time);

// Sets the creation date that QPdfWriter stamped into `pdf` (its own clock, in local time) to
// `utc` in the UTC form "yyyyMMddhhmmssZ", whatever the time zone; where the stamp had an
// offset ("+03'00'") the cross-reference offsets move with the shorter stamp, so the file
// stays valid. False, and `pdf` unchanged, when the stamp or the table is not found in the
// form Qt writes them.
bool SetPdfCreationDate(std::string& pdf, const QDateTime& utc);

} // namespace rez
