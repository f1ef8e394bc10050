// The groups of one cohort run (rez-report's command line, the window's Cohort command): run
// on worker threads, with the files, the messages (in the groups' order) and the outcome of a
// run one group after another; then, when asked for, the cohort workbook over the groups
// whose files were written.
#pragma once

#include "cohort_progress.h"
#include "folder_lock.h"
#include "ordered_pipeline.h"
#include "report_numbers.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rez {

struct CohortSettings {
    std::filesystem::path outDir;
    char decimalSeparator = '.';
    int threads = 1; // groups at the same time; 1: one after another on the calling thread
    std::optional<std::filesystem::path> workbook;
    // With thresholds: each group's manager's report too, "<stem> Report.pdf".
    std::optional<ReportThresholds> managerReport;
    // How long to wait for a folder that another run is writing into (rez-report: 10 s; the
    // window: not at all) before the run fails.
    std::chrono::milliseconds lockWait = RunLockWait;
};

struct CohortOutcome {
    int groups = 0;  // groups given
    int written = 0; // groups whose files were written
    int failed = 0;  // groups that failed or whose files were not written
    bool stopped =
        false; // a stop was requested: the groups after it and the workbook are not written
    bool workbookFailed = false;

    // rez-report's exit status: 1 when a group or the workbook failed, else 0.
    int ExitStatus() const { return failed > 0 || workbookFailed ? 1 : 0; }
};

// Runs every group folder of `groupDirs` (bytes as given; a respondent file stands for its
// folder) and writes its files into the output folder, holding the locks of the folders it
// writes into (the output folder, the workbook's) and sweeping them of what killed runs left;
// telling `progress` of each message and written file, group by group in the given order. A stop
// request lets the groups being written finish, starts no other and writes no workbook. Needs a
// QGuiApplication; may run on any thread.
CohortOutcome RunCohort(const std::vector<std::string>& groupDirs, const CohortSettings& settings,
                        CohortProgress& progress, const StopRequest* stop = nullptr);

} // namespace rez
