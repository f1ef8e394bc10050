// The "Cohort run" dialog: where the files go, which of them, and the report's K and T; and
// the box that sums a cohort run up at its end.
#pragma once

#include "report_numbers.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace rez {

struct CohortChoice {
    QString resultsFolder;
    bool report = true;
    bool workbook = true;
    QString workbookFile; // a full path; a relative one is taken in resultsFolder
    ReportThresholds thresholds;
};

// Shows the dialog filled with `proposed`; the user's choice, or false when cancelled.
bool AskCohortChoice(QWidget* parent, CohortChoice& choice);

struct CohortSummary {
    int groups = 0;
    int written = 0;
    int failed = 0;
    bool stopped = false;
    bool workbookWritten = false;
    QStringList messages; // what the run said, in order: failures and warnings
    QString resultsFolder;
};

// The summary's text, as the box shows it.
QString CohortSummaryText(const CohortSummary& summary);

// The box: the counts, the messages in its details, and a button that opens the results
// folder in the system's file manager.
void ShowCohortSummary(QWidget* parent, const CohortSummary& summary);

} // namespace rez
