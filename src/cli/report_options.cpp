#include "report_options.h"

#include "rez_error.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace rez {
namespace {

// One option of rez-report.
struct OptionSpec {
    char shortName = 0;         // "-d": 'd'; 0 when the option has only a long name
    std::string_view longName;  // "--help": "help"; empty when it has only a short name
    std::string_view valueName; // "SEP" for an option that takes a value; empty for a flag
    std::string_view help;      // its lines in the usage text, '\n' between them
    // Applies the option; returns a message when `value` is not acceptable.
    std::optional<std::string> (*apply)(ReportOptions& options, std::string_view value);
};

std::optional<std::string> SetSeparator(ReportOptions& options, std::string_view value) {
    if (value.size() != 1 || !IsAcceptedDecimalSeparator(value[0]))
        return "-d takes one printable ASCII character other than a digit, a sign, a letter, "
               "a blank or ';', such as '.' or ','";
    options.decimalSeparator = value[0];
    return std::nullopt;
}

std::optional<std::string> SetOutputDir(ReportOptions& options, std::string_view value) {
    if (value.empty())
        return "-o needs a folder name";
    options.outputDir = std::string(value);
    return std::nullopt;
}

std::optional<std::string> SetWorkbook(ReportOptions& options, std::string_view value) {
    if (value.empty())
        return "-w needs a file name";
    // The workbook replaces whatever has its name: the ending keeps it off the respondent
    // files and off the run's other outputs (a manager's report, above all).
    constexpr std::string_view ending = ".xlsx";
    const bool xlsx =
        value.size() > ending.size() &&
        std::equal(ending.begin(), ending.end(), value.end() - ending.size(),
                   [](char e, char c) { return e == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    if (!xlsx)
        return "-w takes the name of an Excel workbook, ending in .xlsx";
    options.workbook = std::string(value);
    return std::nullopt;
}

std::optional<std::string> SetThreads(ReportOptions& options, std::string_view value) {
    int threads = 0;
    const bool digits =
        !value.empty() && value.size() <= 4 &&
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    for (const char c : digits ? value : std::string_view())
        threads = threads * 10 + (c - '0');
    if (threads < 1 || threads > MaxReportThreads)
        return "-j takes a whole number from 1 to " + std::to_string(MaxReportThreads);
    options.threads = threads;
    return std::nullopt;
}

std::optional<std::string> AskForReport(ReportOptions& options, std::string_view) {
    options.managerReport = true;
    return std::nullopt;
}

std::optional<std::string> SetMinRaters(ReportOptions& options, std::string_view value) {
    int k = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), k);
    // Digits only: from_chars would take a sign, and "3.0" or "3x" are not whole numbers.
    const bool digits = !value.empty() && std::all_of(value.begin(), value.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || error != std::errc() || end != value.data() + value.size() ||
        k < MinRatersLowest || k > MinRatersHighest)
        return "--min-raters takes a whole number from " + std::to_string(MinRatersLowest) +
               " to " + std::to_string(MinRatersHighest);
    options.minRaters = k;
    return std::nullopt;
}

std::optional<std::string> SetGap(ReportOptions& options, std::string_view value) {
    // Digits with at most one decimal separator, '.' or ',' (either locale's habit).
    std::string text(value);
    const std::size_t separator = text.find_first_of(".,");
    if (separator != std::string::npos)
        text[separator] = '.';
    const bool wellFormed =
        std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) > 0 &&
        std::all_of(text.begin(), text.end(),
                    [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) &&
        std::count(text.begin(), text.end(), '.') <= 1;
    double t = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), t);
    if (!wellFormed || error != std::errc() || end != text.data() + text.size() ||
        t < GapThresholdLowest || t > GapThresholdHighest)
        return "--gap takes a number of points from 0.1 to 7, such as 1.0 or 1,5";
    options.gapThreshold = t;
    return std::nullopt;
}

std::optional<std::string> AskForHelp(ReportOptions& options, std::string_view) {
    options.action = ReportOptions::Action::Help;
    return std::nullopt;
}

std::optional<std::string> AskForVersion(ReportOptions& options, std::string_view) {
    options.action = ReportOptions::Action::Version;
    return std::nullopt;
}

// The options in the order the usage text lists them.
constexpr std::array OptionTable = {
    OptionSpec{'d',
               {},
               "SEP",
               "decimal separator for reading and writing numbers: one\n"
               "printable ASCII character other than a digit, sign, letter,\n"
               "blank or ';', such as . or , (default: the system's\n"
               "regional setting)",
               SetSeparator},
    OptionSpec{'o', {}, "OUTDIR", "folder for the files; it must exist", SetOutputDir},
    OptionSpec{'w', "workbook", "FILE",
               "also write one Excel workbook over all groups that completed:\n"
               "a summary beside the team's norms, and each group's table.\n"
               "FILE ends in .xlsx and is new or a regular file, replaced.\n"
               "For the consultant: it shows every role's means, so small\n"
               "rater groups are not anonymous in it",
               SetWorkbook},
    OptionSpec{'j',
               {},
               "N",
               "run N groups at the same time (default: one per processor\n"
               "core; -j 1 runs them one after another)",
               SetThreads},
    OptionSpec{'r',
               "report",
               {},
               "also write \"<GroupName> Report.pdf\", the manager's report",
               AskForReport},
    OptionSpec{0, "min-raters", "K",
               "the report shows subordinates and colleagues only in\n"
               "groups of at least K people: a whole number from 1 to 20\n"
               "(default 3)",
               SetMinRaters},
    OptionSpec{0, "gap", "T",
               "the report lists a scale where self and others differ by\n"
               "T points or more: 0.1 to 7, with . or , (default 1.0)",
               SetGap},
    OptionSpec{'h', "help", {}, "this text", AskForHelp},
    OptionSpec{0, "version", {}, "the program's version", AskForVersion},
};

const OptionSpec* FindShort(char name) {
    const auto it = std::find_if(OptionTable.begin(), OptionTable.end(),
                                 [name](const OptionSpec& o) { return o.shortName == name; });
    return it == OptionTable.end() ? nullptr : &*it;
}

const OptionSpec* FindLong(std::string_view name) {
    const auto it =
        std::find_if(OptionTable.begin(), OptionTable.end(), [name](const OptionSpec& o) {
            return !o.longName.empty() && o.longName == name;
        });
    return it == OptionTable.end() ? nullptr : &*it;
}

UsageError Usage(std::string message) {
    return {EscapeForMessage(message)};
}

} // namespace

bool IsAcceptedDecimalSeparator(char c) {
    const bool printable = c > ' ' && c < 0x7F;
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    return printable && !letter && !digit && c != '+' && c != '-' && c != ';';
}

std::variant<ReportOptions, UsageError> ParseReportOptions(std::span<const std::string> arguments) {
    ReportOptions options;
    const auto finished = [&options] { return options.action != ReportOptions::Action::Run; };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size() && !finished(); ++i) {
        const std::string_view arg = arguments[i];
        // The value of an option that takes one: `attached`, else the next argument.
        const auto apply =
            [&](const OptionSpec& option, std::string_view shown,
                std::optional<std::string_view> attached) -> std::optional<UsageError> {
            std::string_view value;
            if (!option.valueName.empty()) {
                if (attached) {
                    value = *attached;
                } else if (i + 1 < arguments.size()) {
                    value = arguments[++i];
                } else {
                    return Usage("option " + std::string(shown) + " needs a value");
                }
            } else if (attached) {
                return Usage("option " + std::string(shown) + " takes no value");
            }
            if (auto message = option.apply(options, value))
                return Usage(*message);
            return std::nullopt;
        };

        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (arg.empty())
                return Usage("a group folder name is empty");
            options.groupDirs.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg.starts_with("--")) {
            const std::size_t equals = arg.find('=');
            const std::string_view name = arg.substr(2, equals == arg.npos ? arg.npos : equals - 2);
            const OptionSpec* option = FindLong(name);
            if (option == nullptr)
                return Usage("unknown option --" + std::string(name));
            std::optional<std::string_view> attached;
            if (equals != arg.npos)
                attached = arg.substr(equals + 1);
            if (auto error = apply(*option, "--" + std::string(name), attached))
                return *error;
        } else {
            // One or more short options; one that takes a value takes the rest of the argument.
            for (std::size_t k = 1; k < arg.size() && !finished(); ++k) {
                const OptionSpec* option = FindShort(arg[k]);
                const std::string shown = "-" + std::string(1, arg[k]);
                if (option == nullptr)
                    return Usage("unknown option " + shown);
                std::optional<std::string_view> attached;
                if (!option->valueName.empty() && k + 1 < arg.size())
                    attached = arg.substr(k + 1);
                if (auto error = apply(*option, shown, attached))
                    return *error;
                if (attached)
                    break;
            }
        }
    }
    if (!finished() && options.groupDirs.empty())
        return Usage("no group folder given");
    if (!finished() && !options.managerReport && (options.minRaters || options.gapThreshold))
        return Usage("--min-raters and --gap set thresholds of the report: give them with -r");
    return options;
}

ReportThresholds ReportOptions::Thresholds() const {
    ReportThresholds thresholds;
    thresholds.MinRaters = minRaters.value_or(thresholds.MinRaters);
    thresholds.GapThreshold = gapThreshold.value_or(thresholds.GapThreshold);
    return thresholds;
}

std::string ReportUsageText() {
    std::string text =
        "usage: rez-report [OPTION]... [--] GROUPDIR...\n"
        "\n"
        "Runs the REZ group analysis on each GROUPDIR (a folder of *REZ.cry respondent files,\n"
        "or one such file standing for its folder) and writes into OUTDIR (default: the\n"
        "current folder) the four files that the program's Save commands write after a Group\n"
        "run:\n"
        "  \"<GroupName> Table.rtf\", \"<GroupName> An.rtf\"      Windows-1251 text, CR LF\n"
        "  \"<GroupName> Scales.gif\", \"<GroupName> Factors.gif\" the two charts, view \"Mean\"\n"
        "In the file names, / \\ : * ? \" < > | and control characters of the group name\n"
        "become \"_\".\n"
        "With -r also \"<GroupName> Report.pdf\": the manager's report, one printable A4\n"
        "document (see below).\n"
        "\n";
    constexpr std::size_t helpColumn = 22;
    for (const OptionSpec& option : OptionTable) {
        std::string names = "  ";
        if (option.shortName != 0)
            names += std::string("-") + option.shortName + (option.longName.empty() ? "" : ", ");
        else
            names += "    ";
        if (!option.longName.empty())
            names += "--" + std::string(option.longName);
        if (!option.valueName.empty())
            names += (option.longName.empty() ? " " : "=") + std::string(option.valueName);
        // Names too long for the column stand on a line of their own, the help below them.
        if (names.size() + 1 > helpColumn) {
            text += names + "\n";
            names.clear();
        }
        names.resize(helpColumn, ' ');
        std::string_view help = option.help;
        for (bool first = true; !help.empty() || first; first = false) {
            const std::size_t end = help.find('\n');
            text += (first ? names : std::string(helpColumn, ' ')) +
                    std::string(help.substr(0, end)) + "\n";
            help = end == help.npos ? std::string_view() : help.substr(end + 1);
        }
    }
    text += "  --                  ends the options: every argument after it is a GROUPDIR\n"
            "\n"
            "The manager's report is what the assessed manager may see: it counts raters but\n"
            "names none, and shows subordinates and colleagues only in groups of at least K\n"
            "(pooled into one group when only together they reach K, else left out of every\n"
            "number); managers are always shown, so they are not anonymous. It lists the\n"
            "scales where the self-assessment and the others' mean differ by T or more, the\n"
            "highest and lowest rated scales, charts, the results table and, for groups of at\n"
            "least max(K, 4), how far the raters agree. The table, the analysis, the GIF files\n"
            "and the workbook are for the consultant: they name raters or show small groups.\n"
            "SOURCE_DATE_EPOCH, when set, gives the report's date (reproducible files).\n"
            "\n"
            "A group that fails prints its message and writes nothing; the others go on.\n"
            "Exit status: 0 all groups written, 1 some group failed or standard output could\n"
            "not be written, 2 usage error.\n";
    return text;
}

std::string ReportVersionText() {
    return std::string("rez-report ") + REZ_VERSION;
}

} // namespace rez
