// rez-report: the Group analysis and the four files of the Save commands for each group
// directory named on the command line, without a display. `rez-report --help` explains it.

#include "chart_fonts.h"
#include "cohort_run.h"
#include "command_line.h"
#include "console_text.h"
#include "decimal_separator.h"
#include "file_names.h"
#include "output_checks.h"
#include "progress_line.h"
#include "qt_setup.h"
#include "report_options.h"
#include "rez_error.h"
#include "stop_signals.h"

#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
    rez::WriteText(stderr, "rez-report: " + message + "\n\n" + rez::ReportUsageText());
    return kExitUsage;
}

// Ends the program: an output that could not be written (a full disk, a closed pipe) is a
// failure, never a silent success.
int Finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "rez-report: cannot write standard output: %s\n",
                     error != 0 ? std::strerror(error) : "write error");
        return kExitFailed;
    }
    return status;
}

// Why the workbook cannot be written, for a usage error found before any group runs; empty
// when it can.
std::string WorkbookUsageProblem(const rez::ReportOptions& options) {
#ifndef REZ_HAVE_WORKBOOK
    (void)options;
    return "this rez-report was built without the workbook (libxlsxwriter was not found)";
#else
    return rez::WorkbookProblem(rez::PathFromBytes(options.workbook), options.groupDirs);
#endif
}

} // namespace

int main(int argc, char** argv) {
    // Before anything else starts a thread: every thread inherits the blocked signals.
    rez::PrepareStopSignals();
    rez::SetUpQt();
    rez::ReserveStandardStreams();
    // The arguments' bytes as given, before Qt could take any of them as its own options.
    const std::vector<std::string> arguments = rez::CommandLineArguments(argc, argv);
    const auto parsed = rez::ParseReportOptions(arguments);
    if (const auto* error = std::get_if<rez::UsageError>(&parsed))
        return UsageError(error->message);
    const rez::ReportOptions& options = std::get<rez::ReportOptions>(parsed);
    switch (options.action) {
    case rez::ReportOptions::Action::Help:
        return Finish(rez::WriteText(stdout, rez::ReportUsageText()) ? 0 : kExitFailed);
    case rez::ReportOptions::Action::Version:
        return Finish(rez::WriteText(stdout, rez::ReportVersionText() + "\n") ? 0 : kExitFailed);
    case rez::ReportOptions::Action::Run:
        break;
    }

    std::error_code cwdError;
    const fs::path outDir = options.outputDir.empty() ? fs::current_path(cwdError)
                                                      : rez::PathFromBytes(options.outputDir);
    if (const std::string problem = rez::OutputFolderProblem(outDir); !problem.empty())
        return UsageError(problem);
    if (!options.workbook.empty())
        if (const std::string problem = WorkbookUsageProblem(options); !problem.empty())
            return UsageError(problem);

    // Charts are drawn into pictures, not windows: fonts need a QGuiApplication, but no
    // display and no Qt Widgets. Qt sees no argument of ours.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    rez::RegisterChartFonts();
    const char separator = options.decimalSeparator.value_or(rez::SystemDecimalSeparator());

    rez::CohortSettings settings;
    settings.outDir = outDir;
    settings.decimalSeparator = separator;
    settings.threads = options.threads > 0
                           ? options.threads
                           : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    if (!options.workbook.empty())
        settings.workbook = rez::PathFromBytes(options.workbook);
    if (options.managerReport)
        settings.managerReport = options.Thresholds();
    rez::TerminalProgress progress(static_cast<int>(options.groupDirs.size()));
    rez::StopRequest stop;
    const rez::StopSignals stopSignals(stop);
    const rez::CohortOutcome outcome = rez::RunCohort(options.groupDirs, settings, progress, &stop);
    if (const std::string signal = stopSignals.Received(); !signal.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "Stopped by %s: %d of %d groups written\n", signal.c_str(),
                     outcome.written, outcome.groups);
        std::fflush(stderr);
        stopSignals.EndAsSignalled();
    }
    return Finish(outcome.ExitStatus());
}
