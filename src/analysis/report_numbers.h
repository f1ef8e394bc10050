// The numbers of the manager's report: which rater groups may be shown without breaking
// anonymity, their means, the pooled outside view ("Others"), the self-minus-others gaps, the
// highest and lowest rated scales and the raters' agreement. Values are kept as whole tenths
// (the one decimal the page shows), so every number on the page follows from the numbers
// beside it.
#pragma once

#include "group_results.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rez {

// A displayed value in tenths of an answer point: 43 stands for 4.3.
using Tenths = std::int64_t;

// The thresholds the user sets.
struct ReportThresholds {
    // K: the smallest group of subordinates or colleagues that is shown.
    int MinRaters = 3;
    // T: the self-minus-others gap, in answer points, from which a scale is listed.
    double GapThreshold = 1.0;
};

inline constexpr int MinRatersLowest = 1;
inline constexpr int MinRatersHighest = 20;
inline constexpr double GapThresholdLowest = 0.1;
inline constexpr double GapThresholdHighest = 7.0;
// Below this K a group of one or two raters can be shown: anonymity is not ensured.
inline constexpr int AnonymousMinRaters = 3;
// The highest and lowest rated scales need this many raters behind Others.
inline constexpr int RankingMinRaters = 3;
// Agreement is shown for groups of at least max(K, this) raters.
inline constexpr int AgreementMinRaters = 4;
// A standard deviation from this many answer points marks the raters as disagreeing.
inline constexpr double DivergingSpread = 1.25;
// Scales named per gap list and per ranking before "и ещё N" or the cut at ties.
inline constexpr std::size_t GapListLength = 5;
inline constexpr std::size_t RankingLength = 3;

enum class ReportGroupKind { Self, Managers, Subordinates, Colleagues, Pooled };

// One group the report shows: the raters behind it, as indices into GroupResults::Raters in
// listing order.
struct ReportGroup {
    ReportGroupKind Kind = ReportGroupKind::Self;
    std::vector<std::size_t> Raters;
    bool operator==(const ReportGroup&) const = default;
};

struct ReportGroups {
    // Raters per role, rowSelf .. rowColl.
    std::array<int, 4> RoleCounts{};
    // In page order: self-assessment, managers, then subordinates and colleagues on their own
    // or pooled. A group without raters is never listed.
    std::vector<ReportGroup> Shown;
    // Subordinates and colleagues in no shown group: they enter no number of the report.
    int LeftOut = 0;
    bool operator==(const ReportGroups&) const = default;

    bool Pooled() const;
    const ReportGroup* Find(ReportGroupKind kind) const;
};

// Which groups the report shows with at least `minRaters` (K) subordinates or colleagues per
// shown group. Managers and the self-assessment are shown whenever they have raters.
ReportGroups SelectReportGroups(const std::vector<Rater>& raters, int minRaters);

// One column of the report's table: a group, or Others, in result column order.
struct ReportColumn {
    std::optional<ReportGroupKind> Kind; // none for Others
    int Count = 0;
    std::array<Tenths, ResultColumnCount> Values{};
    bool operator==(const ReportColumn&) const = default;
};

// The standard deviation of one shown outside group's raters per scale.
struct AgreementColumn {
    ReportGroupKind Kind = ReportGroupKind::Managers;
    int Count = 0;
    std::array<Tenths, ScaleCount> Spread{};
    std::array<bool, ScaleCount> Diverging{};
    bool operator==(const AgreementColumn&) const = default;
};

struct ReportNumbers {
    ReportGroups Groups;
    // The shown groups' columns in page order (self-assessment first when there is one).
    std::vector<ReportColumn> Columns;
    // All raters of the shown outside groups, each once; absent when there are none.
    std::optional<ReportColumn> Others;
    // Self minus Others as displayed, per result column; only when both exist.
    std::optional<std::array<Tenths, ResultColumnCount>> Gaps;
    // T in whole tenths: a gap of at least this many tenths, either way, is listed.
    Tenths GapThresholdTenths = 0;
    // Scales with Self - Others >= T, largest first, and <= -T, most negative first; equal
    // gaps in scale order. All of them: the page names the first GapListLength.
    std::vector<int> SelfHigher;
    std::vector<int> SelfLower;
    // The mean of the 23 displayed scale gaps, as displayed.
    Tenths MeanGap = 0;
    // The RankingLength highest and lowest scales by displayed Others value, with every scale
    // tied with the last; empty unless Others rests on RankingMinRaters raters.
    std::vector<int> Highest;
    std::vector<int> Lowest;
    std::vector<AgreementColumn> Agreement;
    bool operator==(const ReportNumbers&) const = default;

    const ReportColumn* Self() const;
};

// Every number of the report, from the raters alone.
ReportNumbers ComputeReportNumbers(const std::vector<Rater>& raters,
                                   const ReportThresholds& options);

// A value as the page shows it, in tenths: one decimal, halves away from zero, judged on the
// value's text with 15 significant digits, as every number the program writes. Saturates far
// beyond any rating (1e15 points).
Tenths DisplayedTenths(double value);

// "4,3", "-0,1", "0,0" with the given separator.
std::string FormatTenths(Tenths value, char decimalSeparator);
// A gap: "+1,3", "-0,7", "0,0".
std::string FormatSignedTenths(Tenths value, char decimalSeparator);

// T in whole tenths, rounded up: a displayed gap (whole tenths) reaches T exactly when it
// reaches this. Tolerates T's binary representation (0.3 is a hair above 0.3 as a double).
Tenths ThresholdTenths(double gapThreshold);

} // namespace rez
