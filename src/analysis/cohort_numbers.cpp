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

CohortNorms ComputeCohortNorms(std::span<const GroupResults> groups) {
    CohortNorms norms{};
    std::vector<double> values;
    values.reserve(groups.size());
    for (int c = 0; c < ResultColumnCount; ++c) {
        values.clear();
        for (const GroupResults& g : groups)
            if (CountsTowardNorms(g))
                values.push_back(DisplayedValue(g.CellValue(rowMean, c)));
        if (values.empty())
            continue;
        std::sort(values.begin(), values.end());
        ColumnNorm& norm = norms[At(c)];
        norm.Groups = static_cast<int>(values.size());
        norm.Min = values.front();
        norm.FirstQuartile = QuantileInc(values, 0.25);
        norm.Median = QuantileInc(values, 0.5);
        norm.ThirdQuartile = QuantileInc(values, 0.75);
        norm.Max = values.back();
    }
    return norms;
}

NormMark MarkAgainstNorm(const GroupResults& results, int column, const ColumnNorm& norm) {
    if (norm.Groups < MinGroupsForQuartileMarks || !CountsTowardNorms(results))
        return NormMark::None;
    const double value = DisplayedValue(results.CellValue(rowMean, column));
    if (value < norm.FirstQuartile)
        return NormMark::BelowFirstQuartile;
    if (value > norm.ThirdQuartile)
        return NormMark::AboveThirdQuartile;
    return NormMark::None;
}

} // namespace rez
