// rez-report: the Group analysis and the four files of the Save commands for each group
// directory named on the command line, without a display. `rez-report --help` explains it.

#include "chart_fonts.h"
#include "cohort_run.h"
#include "command_line.h"
#include "console_text.h"
#include "decimal_separator.h"
#include "file_names.h"
#include "report_options.h"
#include "rez_error.h"

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

// The output folder's problem, for a usage error; empty when it is a folder.
std::string OutputFolderProblem(const fs::path& dir) {
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    const std::string shown = rez::EscapeForMessage(rez::DisplayPath(dir));
    if (status.type() == fs::file_type::not_found)
        return "the output folder " + shown + " does not exist";
    if (error)
        return "the output folder " + shown + " cannot be used: " + error.message();
    if (!fs::is_directory(status))
        return shown + " is not a folder";
    return {};
}

// The workbook's problem, for a usage error found before any group runs; empty when its
// folder is there to write into.
std::string WorkbookProblem(const fs::path& file) {
#ifndef REZ_HAVE_WORKBOOK
    (void)file;
    return "this rez-report was built without the workbook (libxlsxwriter was not found)";
#else
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return "the folder of the workbook " + rez::EscapeForMessage(rez::DisplayPath(file)) +
               " does not exist";
    return {};
#endif
}

} // namespace

int main(int argc, char** argv) {
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
    if (const std::string problem = OutputFolderProblem(outDir); !problem.empty())
        return UsageError(problem);
    if (!options.workbook.empty())
        if (const std::string problem = WorkbookProblem(rez::PathFromBytes(options.workbook));
            !problem.empty())
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
    const int status = rez::RunCohort(options.groupDirs, settings);
    return Finish(status);
}
