// The typical range of "Окружение": per result column, the quartiles of the displayed
// "Окружение" values over a comparison group of managers (those whose "Окружение" rests on
// enough raters). The cohort run computes it or reads it from a norms file; the manager's
// report sets each of its own values against it.
#pragma once

#include "group_results.h"
#include "report_numbers.h"

#include <array>
#include <string>

namespace rez {

// One result column's range, in displayed tenths (43 stands for 4.3).
struct ColumnRange {
    int Groups = 0; // managers behind the quartiles; 0: no range for this column
    Tenths FirstQuartile = 0;
    Tenths Median = 0;
    Tenths ThirdQuartile = 0;
    bool operator==(const ColumnRange&) const = default;
};

struct TypicalRanges {
    std::string Label; // the comparison group, as the user named it (UTF-8)
    int Managers = 0;  // the size of the comparison group
    int MinRaters = 0; // the K that the ranges were computed with
    std::array<ColumnRange, ResultColumnCount> Columns{};
    bool operator==(const TypicalRanges&) const = default;
};

} // namespace rez
