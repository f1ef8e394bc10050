// The numbers of the cohort workbook: each group's values as the table file shows them, and
// the team's norms (quartiles of the outside raters' mean) that every group is set against.
#pragma once

#include "group_results.h"
#include "result_texts.h"

#include <array>
#include <optional>
#include <span>

namespace rez {

// A value as the table file shows it, back as a number: one decimal, halves away from zero,
// and never a negative zero (4.25 -> 4.3, -0.04 -> 0.0). Non-finite values pass unchanged.
double DisplayedValue(double value);

// The number in a cell of the results table (table rows 1 to 9), as displayed; difference
// rows are signed, as in the table file. Nothing for a row whose result row has no
// respondents, which the window and the table file leave empty.
std::optional<double> DisplayedTableValue(const GroupResults& results, int tableRow, int column);

// Whether a difference cell is painted red (the exact difference is above zero) or blue.
bool DifferenceIsPositive(const GroupResults& results, int tableRow, int column);

// Every cell of a group's results table as DisplayedTableValue and DifferenceIsPositive give
// it, worked out once: the cohort run makes it on the group's worker thread, so the workbook
// only copies numbers. Indexed by table row (row 0, the header, stays empty) and column.
struct DisplayedTable {
    std::array<bool, TableRowCount> Shown{}; // the row has respondents: its cells are filled
    std::array<std::array<double, ResultColumnCount>, TableRowCount> Values{};
    std::array<std::array<bool, ResultColumnCount>, TableRowCount> Positive{}; // differences
};
DisplayedTable DisplayTable(const GroupResults& results);

// The columns of a group's line in the summary: the Mean row of the table, and self minus
// mean. The Mean row is empty without outside raters; the difference also without a
// self-assessment, since "self" would then be a made-up zero.
bool HasSummaryMean(const GroupResults& results);
bool HasSummaryDifference(const GroupResults& results);

// A group enters the team's norms only with raters in all three outside roles: the Mean row
// always divides by three, so a missing role would pull the group's mean towards zero.
bool CountsTowardNorms(const GroupResults& results);

// What the summary and the norms need of a group, and no more: a run over thousands of groups
// keeps this of each, not its results (about 600 bytes against several kilobytes).
struct SummaryNumbers {
    std::array<int, RowCount> Counts{}; // respondents per result row, as RespondentCounts
    bool HasMean = false;               // HasSummaryMean
    bool HasDifference = false;         // HasSummaryDifference
    bool CountsTowardNorms = false;
    std::array<double, ResultColumnCount> Mean{};       // the table's Mean row, as displayed
    std::array<double, ResultColumnCount> Difference{}; // self minus Mean, as displayed
    std::array<bool, ResultColumnCount> Positive{};     // the difference's colour
};
// From the group's results and their DisplayTable.
SummaryNumbers SummarizeGroup(const GroupResults& results, const DisplayedTable& table);

// Below this many groups in the norms the quartiles mean little; no cell is marked.
inline constexpr int MinGroupsForQuartileMarks = 4;

// The spread of the displayed Mean values of one result column over the norm groups.
// Quartiles interpolate linearly at position (n - 1) p of the sorted values, as the
// spreadsheet function QUARTILE.INC; they are kept unrounded.
struct ColumnNorm {
    int Groups = 0; // the other members are meaningful only when Groups > 0
    double Min = 0.0;
    double FirstQuartile = 0.0;
    double Median = 0.0;
    double ThirdQuartile = 0.0;
    double Max = 0.0;
    bool operator==(const ColumnNorm&) const = default;
};
using CohortNorms = std::array<ColumnNorm, ResultColumnCount>;

// The quantile p (0 to 1) of `sorted` (ascending, not empty) by QUARTILE.INC's rule.
double QuantileInc(std::span<const double> sorted, double p);

// The norms of every result column over the groups that count toward them.
CohortNorms ComputeCohortNorms(std::span<const SummaryNumbers* const> groups);
CohortNorms ComputeCohortNorms(std::span<const GroupResults> groups);

// Where a group's displayed Mean value stands against its column's norm.
enum class NormMark { None, BelowFirstQuartile, AboveThirdQuartile };

// Marks only groups that count toward the norms, and only when the norm rests on at least
// MinGroupsForQuartileMarks groups; a value equal to a quartile is not marked.
NormMark MarkAgainstNorm(const SummaryNumbers& group, int column, const ColumnNorm& norm);
NormMark MarkAgainstNorm(const GroupResults& results, int column, const ColumnNorm& norm);

} // namespace rez
