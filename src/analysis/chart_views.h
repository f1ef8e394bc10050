// What the two profile charts show for one view: the bars of the self series, of the compared
// row and of their difference, with labels and colours, and the texts that the view sets.
#pragma once

#include "group_results.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rez {

// 0xRRGGBB.
using ChartColor = std::uint32_t;
inline constexpr ChartColor ChartRed = 0xFF0000;
inline constexpr ChartColor ChartSilver = 0xC0C0C0;
inline constexpr ChartColor ChartBlue = 0x0000FF;

// Level colour of a value: red above 5.5, silver from 2.5 to 5.5 inclusive, blue below 2.5.
ChartColor LevelColor(double value);
// Sign colour of a self-minus-other difference: red when positive, blue otherwise.
ChartColor SignColor(double difference);

struct ChartBar {
    double value = 0.0;
    std::string label;
    ChartColor color = 0;
    bool operator==(const ChartBar&) const = default;
};

enum class ChartKind { Scales, PhasesAndFactors };

// The comparison both charts show: the self-assessment alone, or beside one other result row
// with the gap between the two. A view is named after the row it compares.
enum class View : int {
    SelfOnly = rowSelf,
    Managers = rowMang,
    Subordinates = rowSubr,
    Colleagues = rowColl,
    Mean = rowMean,
};
inline constexpr int ViewCount = 5;
// Every Group run shows this view first: self against the mean of the outside roles.
inline constexpr View FirstView = View::Mean;

// The result row set beside the self-assessment (rowSelf: none).
constexpr ResultRow ComparedRow(View view) {
    return static_cast<ResultRow>(view);
}

inline constexpr int SelfSeries = 0;
inline constexpr int ComparedSeries = 1;
inline constexpr int DifferenceSeries = 2;

struct ChartView {
    // Self, compared row and difference; the last two are empty in view 0.
    std::array<std::vector<ChartBar>, 3> series;
    std::string foot; // GroupLabel, a blank, GroupName
    std::string bottomTitle; // "Самооценка", or "Самооценка - " and the compared row's name
};

// What one chart shows in `view`.
ChartView BuildChartView(const GroupResults& results, ChartKind kind, View view);

// The chart's own title, shown when the pointer is over empty plot area.
std::string_view ChartTitle(ChartKind kind);
// The title naming the bar under the pointer: the scale's or the phase's/factor's full name,
// or the chart's own title for index -1.
std::string_view ReadoutTitle(ChartKind kind, int barIndex);

} // namespace rez
