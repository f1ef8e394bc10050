// rez-report's options from the arguments alone: what each command line asks for, and the
// message of each one that cannot run.
#include "param_name.h"
#include "report_options.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;
using Action = rez::ReportOptions::Action;

struct AcceptedCase {
    const char* name;
    Args args;
    Action action;
    Args groups;
    std::string outputDir;
    std::optional<char> separator;
    std::string workbook = {};
    int threads = 0;
    bool report = false;
    rez::ReportThresholds thresholds{};
};
REZ_PRINT_CASE_BY_NAME(AcceptedCase)

class ReportOptionsAccepted : public testing::TestWithParam<AcceptedCase> {};

TEST_P(ReportOptionsAccepted, GiveTheOptions) {
    const auto parsed = rez::ParseReportOptions(GetParam().args);
    ASSERT_TRUE(std::holds_alternative<rez::ReportOptions>(parsed))
        << std::get<rez::UsageError>(parsed).message;
    const auto& options = std::get<rez::ReportOptions>(parsed);
    EXPECT_EQ(options.action, GetParam().action);
    EXPECT_EQ(options.groupDirs, GetParam().groups);
    EXPECT_EQ(options.outputDir, GetParam().outputDir);
    EXPECT_EQ(options.decimalSeparator, GetParam().separator);
    EXPECT_EQ(options.workbook, GetParam().workbook);
    EXPECT_EQ(options.threads, GetParam().threads);
    EXPECT_EQ(options.managerReport, GetParam().report);
    EXPECT_EQ(options.Thresholds().MinRaters, GetParam().thresholds.MinRaters);
    EXPECT_EQ(options.Thresholds().GapThreshold, GetParam().thresholds.GapThreshold);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ReportOptionsAccepted,
    testing::Values(
        AcceptedCase{"OptionsBetweenAndAfterGroups",
                     {"g1", "-o", "out", "g2", "-d", ","},
                     Action::Run,
                     {"g1", "g2"},
                     "out",
                     ','},
        AcceptedCase{"AttachedValues", {"-d,", "-oout", "g"}, Action::Run, {"g"}, "out", ','},
        AcceptedCase{"DoubleDashEndsTheOptions",
                     {"-d", ".", "--", "-g", "--help", "--"},
                     Action::Run,
                     {"-g", "--help", "--"},
                     "",
                     '.'},
        AcceptedCase{"LoneDashIsAFolder", {"-"}, Action::Run, {"-"}, "", std::nullopt},
        AcceptedCase{"BytesThatAreNotUtf8Kept",
                     {"-o", "\xd0\xe5\xe7", "\xcf\xe0\xef\xea\xe0"},
                     Action::Run,
                     {"\xcf\xe0\xef\xea\xe0"},
                     "\xd0\xe5\xe7",
                     std::nullopt},
        AcceptedCase{
            "OutputFolderIsADash", {"-o", "-", "g"}, Action::Run, {"g"}, "-", std::nullopt},
        AcceptedCase{"HelpEndsTheParsing", {"--help", "-x"}, Action::Help, {}, "", std::nullopt},
        AcceptedCase{"ShortHelp", {"g", "-h"}, Action::Help, {"g"}, "", std::nullopt},
        AcceptedCase{"Version", {"--version"}, Action::Version, {}, "", std::nullopt},
        AcceptedCase{"WorkbookAndThreads",
                     {"-w", "team.xlsx", "g", "-j", "2"},
                     Action::Run,
                     {"g"},
                     "",
                     std::nullopt,
                     "team.xlsx",
                     2},
        AcceptedCase{"WorkbookLongAndThreadsAttached",
                     {"--workbook=t.XlSx", "-j256", "g"},
                     Action::Run,
                     {"g"},
                     "",
                     std::nullopt,
                     "t.XlSx",
                     256},
        AcceptedCase{
            "ReportWithDefaults", {"g", "-r"}, Action::Run, {"g"}, "", std::nullopt, {}, 0, true},
        AcceptedCase{"ReportThresholdsWithEitherSeparator",
                     {"--report", "--min-raters", "5", "--gap=1,5", "g"},
                     Action::Run,
                     {"g"},
                     "",
                     std::nullopt,
                     {},
                     0,
                     true,
                     {5, 1.5}},
        AcceptedCase{"ReportThresholdsAtTheLowEnd",
                     {"-r", "--min-raters=1", "--gap", "0.1", "g"},
                     Action::Run,
                     {"g"},
                     "",
                     std::nullopt,
                     {},
                     0,
                     true,
                     {1, 0.1}},
        AcceptedCase{"ReportThresholdsAtTheHighEnd",
                     {"-rd,", "--min-raters=20", "--gap=7", "g"},
                     Action::Run,
                     {"g"},
                     "",
                     ',',
                     {},
                     0,
                     true,
                     {20, 7.0}}),
    rez::test::ByName());

struct RefusedCase {
    const char* name;
    Args args;
    std::string message;
};
REZ_PRINT_CASE_BY_NAME(RefusedCase)

const std::string kThreadsRule = "-j takes a whole number from 1 to 256";

class ReportOptionsRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(ReportOptionsRefused, SayWhy) {
    const auto parsed = rez::ParseReportOptions(GetParam().args);
    ASSERT_TRUE(std::holds_alternative<rez::UsageError>(parsed));
    EXPECT_EQ(std::get<rez::UsageError>(parsed).message, GetParam().message);
}

const std::string kSeparatorRule = "-d takes one printable ASCII character other than a digit, "
                                   "a sign, a letter, a blank or ';', such as '.' or ','";

const std::string kWorkbookRule = "-w takes the name of an Excel workbook, ending in .xlsx";
const std::string kMinRatersRule = "--min-raters takes a whole number from 1 to 20";
const std::string kGapRule = "--gap takes a number of points from 0.1 to 7, such as 1.0 or 1,5";

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ReportOptionsRefused,
    testing::Values(
        RefusedCase{"NoGroup", {"-d", "."}, "no group folder given"},
        RefusedCase{"EmptyGroup", {"g", ""}, "a group folder name is empty"},
        RefusedCase{"EmptyGroupAfterDoubleDash", {"--", ""}, "a group folder name is empty"},
        RefusedCase{"EmptyOutputFolder", {"-o", "", "g"}, "-o needs a folder name"},
        RefusedCase{"MissingValue", {"g", "-d"}, "option -d needs a value"},
        RefusedCase{"UnknownOption", {"-x", "g"}, "unknown option -x"},
        RefusedCase{"UnknownLongOption", {"--out=x", "g"}, "unknown option --out"},
        RefusedCase{"FlagWithAValue", {"--help=yes"}, "option --help takes no value"},
        RefusedCase{"ControlCharactersEscaped", {"--\x1b[2J", "g"}, "unknown option --\\x1b[2J"},
        RefusedCase{"SeparatorIsTheColumnSeparator", {"-d", ";", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorIsAnExponentLetter", {"-d", "E", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorIsASign", {"-d-", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorIsABlank", {"-d", " ", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorIsATab", {"-d", "\t", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorIsCyrillic", {"-d", "ю", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorOfTwoCharacters", {"-d", "..", "g"}, kSeparatorRule},
        RefusedCase{"SeparatorEmpty", {"-d", "", "g"}, kSeparatorRule},
        RefusedCase{"EmptyWorkbook", {"-w", "", "g"}, "-w needs a file name"},
        RefusedCase{"WorkbookNamedLikeAnInput", {"-w", "g/2-01REZ.cry", "g"}, kWorkbookRule},
        RefusedCase{"WorkbookNamedLikeAReport", {"-rw", "o/N Report.pdf", "g"}, kWorkbookRule},
        RefusedCase{"WorkbookEndingAlone", {"--workbook=.xlsx", "g"}, kWorkbookRule},
        RefusedCase{"WorkbookEndingNotLast", {"-w", "t.xlsx.bak", "g"}, kWorkbookRule},
        RefusedCase{"NoThreads", {"-j", "0", "g"}, kThreadsRule},
        RefusedCase{"TooManyThreads", {"-j", "257", "g"}, kThreadsRule},
        RefusedCase{"ThreadsNotANumber", {"-j", "2x", "g"}, kThreadsRule},
        RefusedCase{"ThreadsNegative", {"-j", "-1", "g"}, kThreadsRule},
        RefusedCase{"MinRatersZero", {"-r", "--min-raters=0", "g"}, kMinRatersRule},
        RefusedCase{"MinRatersAboveTwenty", {"-r", "--min-raters=21", "g"}, kMinRatersRule},
        RefusedCase{"MinRatersNotWhole", {"-r", "--min-raters=3.0", "g"}, kMinRatersRule},
        RefusedCase{"MinRatersWithASign", {"-r", "--min-raters=+3", "g"}, kMinRatersRule},
        RefusedCase{"MinRatersEmpty", {"-r", "--min-raters=", "g"}, kMinRatersRule},
        RefusedCase{"GapBelowATenth", {"-r", "--gap=0.09", "g"}, kGapRule},
        RefusedCase{"GapAboveSeven", {"-r", "--gap=7,01", "g"}, kGapRule},
        RefusedCase{"GapWithTwoSeparators", {"-r", "--gap=1.0,0", "g"}, kGapRule},
        RefusedCase{"GapWithAnExponent", {"-r", "--gap=1e0", "g"}, kGapRule},
        RefusedCase{"GapNegative", {"-r", "--gap", "-1", "g"}, kGapRule},
        RefusedCase{"GapOnlyASeparator", {"-r", "--gap=.", "g"}, kGapRule},
        RefusedCase{"ThresholdsWithoutTheReport",
                    {"--gap=2", "g"},
                    "--min-raters and --gap set thresholds of the report: give them with -r"}),
    rez::test::ByName());

// Exactly these bytes are accepted by -d; each other one would corrupt the written numbers.
TEST(DecimalSeparator, AcceptedBytes) {
    const std::string accepted = "!\"#$%&'()*,./:<=>?@[\\]^_`{|}~";
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        EXPECT_EQ(rez::IsAcceptedDecimalSeparator(c), accepted.find(c) != std::string::npos)
            << "byte " << byte;
    }
}

} // namespace
