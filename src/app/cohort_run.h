// The groups of one rez-report call: run on worker threads, with the files, the messages (in
// command-line order) and the exit status of a run one group after another; then, when asked
// for, the cohort workbook over the groups that completed.
#pragma once

#include "report_numbers.h"

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
};

// Runs every group folder of `groupDirs` (bytes as given) and writes its files into the
// output folder; prints each written file on standard output and each message on standard
// error, group by group in command-line order, with a progress line on a terminal. Returns
// the exit status: 1 when a group or the workbook failed, else 0. Needs a QGuiApplication.
int RunCohort(const std::vector<std::string>& groupDirs, const CohortSettings& settings);

} // namespace rez
