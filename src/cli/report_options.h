// rez-report's options, parsed from the arguments alone: no file system, no Qt, so every
// command line can be tested and fuzzed. The options live in one table in report_options.cpp:
// an option is added by a field here and a row there, and the usage text follows the rows.
#pragma once

#include "report_numbers.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rez {

struct ReportOptions {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    // -d: the decimal separator of every number read and written; none: the system's.
    std::optional<char> decimalSeparator;
    // -o: the output folder, its bytes as given; empty: the current folder.
    std::string outputDir;
    // -w: the cohort workbook's file, its bytes as given; empty: no workbook.
    std::string workbook;
    // -j: how many groups run at the same time; 0: one per processor core.
    int threads = 0;
    // The group folders, each a folder of respondent files or one such file standing for its
    // folder, bytes as given, in command-line order.
    std::vector<std::string> groupDirs;
    // -r: each group's manager's report too, "<stem> Report.pdf".
    bool managerReport = false;
    // --min-raters K and --gap T, given only with -r; none: the report's defaults.
    std::optional<int> minRaters;
    std::optional<double> gapThreshold;

    // The report's thresholds: those given, else the defaults.
    ReportThresholds Thresholds() const;
};

// A command line that cannot run: rez-report prints the message and the usage text and ends
// with status 2.
struct UsageError {
    std::string message;
};

// Parses the arguments after the program's name. Options may stand before, between and after
// the group folders; "--" ends the options, so a folder named "-g" can follow it. Short
// options take their value attached ("-d,") or as the next argument, long ones after "=" or as
// the next argument. --help and --version end the parsing at once.
std::variant<ReportOptions, UsageError> ParseReportOptions(std::span<const std::string> arguments);

// The most groups -j lets run at the same time.
inline constexpr int MaxReportThreads = 256;

// The --help text.
std::string ReportUsageText();

// "rez-report VERSION", the --version line.
std::string ReportVersionText();

// Whether -d takes `c`: a printable ASCII character that is not a digit, a sign, a letter, a
// blank or ';' (the table file's own column separator); all of these would make numbers in
// the written files unreadable.
bool IsAcceptedDecimalSeparator(char c);

} // namespace rez
