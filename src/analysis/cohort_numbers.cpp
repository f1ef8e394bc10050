#include "cohort_numbers.h"

#include "number_text.h"
#include "table_index.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace rez {

double DisplayedValue(double value) {
    if (!std::isfinite(value))
        return value;
    // The very text the table file writes, read back: the number a reader of the file sees.
    const std::string text = FormatFixed1(value, 0, '.');
    double shown = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

std::optional<double> DisplayedTableValue(const GroupResults& results, int tableRow, int column) {
    const int row = ResultRowOfTableRow(tableRow);
    if (tableRow < 1 || tableRow >= TableRowCount || !results.HasRespondents(row))
        return std::nullopt;
    if (IsDifferenceRow(tableRow))
        return DisplayedValue(results.SelfDifferences[At(row - 1)][At(column)]);
    return DisplayedValue(results.CellValue(row, column));
}

bool DifferenceIsPositive(const GroupResults& results, int tableRow, int column) {
    return results.SelfDifferences[At(ResultRowOfTableRow(tableRow) - 1)][At(column)] > 0.0;
}

DisplayedTable DisplayTable(const GroupResults& results) {
    DisplayedTable table;
    for (int tableRow = 1; tableRow < TableRowCount; ++tableRow) {
        table.Shown[At(tableRow)] = DisplayedTableValue(results, tableRow, 0).has_value();
        if (!table.Shown[At(tableRow)])
            continue;
        for (int c = 0; c < ResultColumnCount; ++c) {
            table.Values[At(tableRow)][At(c)] = *DisplayedTableValue(results, tableRow, c);
            if (IsDifferenceRow(tableRow))
                table.Positive[At(tableRow)][At(c)] = DifferenceIsPositive(results, tableRow, c);
        }
    }
    return table;
}

bool HasSummaryMean(const GroupResults& results) {
    return results.HasRespondents(rowMean);
}

bool HasSummaryDifference(const GroupResults& results) {
    return results.HasRespondents(rowSelf) && results.HasRespondents(rowMean);
}

bool CountsTowardNorms(const GroupResults& results) {
    return results.HasRespondents(rowMang) && results.HasRespondents(rowSubr) &&
           results.HasRespondents(rowColl);
}

double QuantileInc(std::span<const double> sorted, double p) {
    const double position = static_cast<double>(sorted.size() - 1) * p;
    const double lower = std::floor(position);
    const std::size_t k = static_cast<std::size_t>(lower);
    if (k + 1 >= sorted.size())
        return sorted[k];
    return sorted[k] + (position - lower) * (sorted[k + 1] - sorted[k]);
}

SummaryNumbers SummarizeGroup(const GroupResults& results, const DisplayedTable& table) {
    SummaryNumbers summary;
    summary.Counts = results.RespondentCounts;
    summary.HasMean = HasSummaryMean(results);
    summary.HasDifference = HasSummaryDifference(results);
    summary.CountsTowardNorms = CountsTowardNorms(results);
    const std::size_t meanRow = At(TableRowOfResultRow(rowMean));
    const std::size_t differenceRow = At(TableRowOfDifference(rowMean));
    summary.Mean = table.Values[meanRow];
    summary.Difference = table.Values[differenceRow];
    summary.Positive = table.Positive[differenceRow];
    return summary;
}

CohortNorms ComputeCohortNorms(std::span<const SummaryNumbers* const> groups) {
    CohortNorms norms{};
    // Displayed values are whole tenths. Interpolated in tenths, which are whole numbers,
    // the quartiles are exact and then divided once, so that each is the double nearest its
    // decimal value: 5.075, not 5.074999999999999, which two decimals would show as 5.07.
    std::vector<double> tenths;
    tenths.reserve(groups.size());
    for (int c = 0; c < ResultColumnCount; ++c) {
        tenths.clear();
        for (const SummaryNumbers* g : groups)
            if (g->CountsTowardNorms)
                tenths.push_back(std::round(g->Mean[At(c)] * 10.0));
        if (tenths.empty())
            continue;
        std::sort(tenths.begin(), tenths.end());
        ColumnNorm& norm = norms[At(c)];
        norm.Groups = static_cast<int>(tenths.size());
        norm.Min = tenths.front() / 10.0;
        norm.FirstQuartile = QuantileInc(tenths, 0.25) / 10.0;
        norm.Median = QuantileInc(tenths, 0.5) / 10.0;
        norm.ThirdQuartile = QuantileInc(tenths, 0.75) / 10.0;
        norm.Max = tenths.back() / 10.0;
    }
    return norms;
}

CohortNorms ComputeCohortNorms(std::span<const GroupResults> groups) {
    std::vector<SummaryNumbers> summaries;
    summaries.reserve(groups.size());
    for (const GroupResults& g : groups)
        summaries.push_back(SummarizeGroup(g, DisplayTable(g)));
    std::vector<const SummaryNumbers*> pointers;
    for (const SummaryNumbers& summary : summaries)
        pointers.push_back(&summary);
    return ComputeCohortNorms(pointers);
}

NormMark MarkAgainstNorm(const SummaryNumbers& group, int column, const ColumnNorm& norm) {
    if (norm.Groups < MinGroupsForQuartileMarks || !group.CountsTowardNorms)
        return NormMark::None;
    const double value = group.Mean[At(column)];
    if (value < norm.FirstQuartile)
        return NormMark::BelowFirstQuartile;
    if (value > norm.ThirdQuartile)
        return NormMark::AboveThirdQuartile;
    return NormMark::None;
}

NormMark MarkAgainstNorm(const GroupResults& results, int column, const ColumnNorm& norm) {
    return MarkAgainstNorm(SummarizeGroup(results, DisplayTable(results)), column, norm);
}

} // namespace rez
