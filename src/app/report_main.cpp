// rez-report: the Group analysis and the four files of the Save commands for each group
// directory named on the command line, without a display. `rez-report --help` explains it.

#include "atomic_file.h"
#include "chart_picture.h"
#include "command_line.h"
#include "decimal_separator.h"
#include "export_files.h"
#include "file_names.h"
#include "group_report.h"
#include "report_options.h"
#include "rez_error.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
    std::fprintf(stderr, "rez-report: %s\n\n%s", message.c_str(), rez::ReportUsageText().c_str());
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

// A group folder as given, or the folder of a respondent file given in its place (as the
// window takes the folder of the chosen file).
fs::path GroupFolder(const fs::path& given) {
    std::error_code error;
    if (fs::is_regular_file(given, error))
        return given.has_parent_path() ? given.parent_path() : fs::path(".");
    return given;
}

} // namespace

int main(int argc, char** argv) {
    // The arguments' bytes as given, before Qt could take any of them as its own options.
    const std::vector<std::string> arguments = rez::CommandLineArguments(argc, argv);
    const auto parsed = rez::ParseReportOptions(arguments);
    if (const auto* error = std::get_if<rez::UsageError>(&parsed))
        return UsageError(error->message);
    const rez::ReportOptions& options = std::get<rez::ReportOptions>(parsed);
    switch (options.action) {
    case rez::ReportOptions::Action::Help:
        std::fputs(rez::ReportUsageText().c_str(), stdout);
        return Finish(0);
    case rez::ReportOptions::Action::Version:
        std::printf("%s\n", rez::ReportVersionText().c_str());
        return Finish(0);
    case rez::ReportOptions::Action::Run:
        break;
    }

    std::error_code cwdError;
    const fs::path outDir = options.outputDir.empty() ? fs::current_path(cwdError)
                                                      : rez::PathFromBytes(options.outputDir);
    if (const std::string problem = OutputFolderProblem(outDir); !problem.empty())
        return UsageError(problem);

    // Charts are drawn into pictures, not windows: fonts need a QGuiApplication, but no
    // display and no Qt Widgets. Qt sees no argument of ours.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const char separator = options.decimalSeparator.value_or(rez::SystemDecimalSeparator());

    int status = 0;
    for (const std::string& group : options.groupDirs) {
        try {
            const rez::GroupResults results =
                rez::RunGroupIn(GroupFolder(rez::PathFromBytes(group)), separator);
            const std::vector<rez::FileBytes> files =
                rez::GroupReportFiles(results, outDir, separator, rez::RenderReportChart);
            rez::WriteFiles(files);
            for (const rez::FileBytes& file : files)
                std::printf("%s\n", rez::EscapeForMessage(rez::DisplayPath(file.target)).c_str());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n",
                         rez::EscapeForMessage(rez::DisplayPath(rez::PathFromBytes(group))).c_str(),
                         e.what());
            status = kExitFailed;
        }
    }
    return Finish(status);
}
