#include "report_numbers.h"

#include "cohort_numbers.h"
#include "table_index.h"

#include <algorithm>
#include <cmath>

namespace rez {
namespace {

// Saturation of displayed values: far beyond any rating, safely inside the integer range.
constexpr double SaturatedPoints = 1e15;

std::vector<std::size_t> RatersOfRole(const std::vector<Rater>& raters, ResultRow role) {
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < raters.size(); ++i)
        if (raters[i].Role == role)
            indices.push_back(i);
    return indices;
}

// Mean per scale of the given raters, summed in listing order.
std::array<double, ScaleCount> ScaleMeans(const std::vector<Rater>& raters,
                                          const std::vector<std::size_t>& indices) {
    std::array<double, ScaleCount> means{};
    for (const std::size_t i : indices)
        for (int s = 0; s < ScaleCount; ++s)
            means[At(s)] += raters[i].Values[At(s)];
    for (double& m : means)
        m /= static_cast<double>(indices.size());
    return means;
}

ReportColumn MakeColumn(const std::vector<Rater>& raters, const std::vector<std::size_t>& indices,
                        std::optional<ReportGroupKind> kind) {
    const std::array<double, ScaleCount> means = ScaleMeans(raters, indices);
    ReportColumn column;
    column.Kind = kind;
    column.Count = static_cast<int>(indices.size());
    for (int c = 0; c < ResultColumnCount; ++c) {
        const ResultColumn rc = ResultColumns[At(c)];
        double value = 0.0;
        if (rc.isScale()) {
            value = means[At(rc.index)];
        } else {
            for (int s = FirstScaleOf(rc.index); s < EndScaleOf(rc.index); ++s)
                value += means[At(s)];
            value /= PhaseFactorScaleCounts[At(rc.index)];
        }
        column.Values[At(c)] = DisplayedTenths(value);
    }
    return column;
}

AgreementColumn MakeAgreement(const std::vector<Rater>& raters, const ReportGroup& group) {
    const std::array<double, ScaleCount> means = ScaleMeans(raters, group.Raters);
    AgreementColumn column;
    column.Kind = group.Kind;
    column.Count = static_cast<int>(group.Raters.size());
    for (int s = 0; s < ScaleCount; ++s) {
        double squares = 0.0;
        for (const std::size_t i : group.Raters) {
            const double d = raters[i].Values[At(s)] - means[At(s)];
            squares += d * d;
        }
        const double spread = std::sqrt(squares / (column.Count - 1));
        column.Spread[At(s)] = DisplayedTenths(spread);
        // A spread that is exactly 1.25 in decimal arithmetic may come out a hair below it.
        column.Diverging[At(s)] = spread >= DivergingSpread - 1e-9;
    }
    return column;
}

// Scales ordered by `key` (larger first), equal keys in scale order.
std::vector<int> ScalesByKey(const std::array<Tenths, ScaleCount>& key) {
    std::vector<int> scales(ScaleCount);
    for (int s = 0; s < ScaleCount; ++s)
        scales[At(s)] = s;
    std::stable_sort(scales.begin(), scales.end(),
                     [&](int a, int b) { return key[At(a)] > key[At(b)]; });
    return scales;
}

// The first RankingLength scales of `ordered`, and every later one tied with the last of them.
std::vector<int> TopWithTies(const std::vector<int>& ordered,
                             const std::array<Tenths, ScaleCount>& key) {
    std::vector<int> top(ordered.begin(), ordered.begin() + RankingLength);
    const Tenths last = key[At(top.back())];
    for (std::size_t i = RankingLength; i < ordered.size() && key[At(ordered[i])] == last; ++i)
        top.push_back(ordered[i]);
    return top;
}

} // namespace

bool ReportGroups::Pooled() const {
    return Find(ReportGroupKind::Pooled) != nullptr;
}

const ReportGroup* ReportGroups::Find(ReportGroupKind kind) const {
    for (const ReportGroup& g : Shown)
        if (g.Kind == kind)
            return &g;
    return nullptr;
}

const ReportColumn* ReportNumbers::Self() const {
    return !Columns.empty() && Columns.front().Kind == ReportGroupKind::Self ? &Columns.front()
                                                                             : nullptr;
}

ReportGroups SelectReportGroups(const std::vector<Rater>& raters, int k) {
    ReportGroups groups;
    for (const Rater& r : raters)
        ++groups.RoleCounts[At(r.Role)];
    const auto add = [&](ReportGroupKind kind, std::vector<std::size_t> indices) {
        groups.Shown.push_back({kind, std::move(indices)});
    };
    if (groups.RoleCounts[rowSelf] > 0)
        add(ReportGroupKind::Self, RatersOfRole(raters, rowSelf));
    // Managers are named by position in every organisation: they are never hidden.
    if (groups.RoleCounts[rowMang] > 0)
        add(ReportGroupKind::Managers, RatersOfRole(raters, rowMang));

    const int subordinates = groups.RoleCounts[rowSubr];
    const int colleagues = groups.RoleCounts[rowColl];
    const bool subordinatesAlone = subordinates >= k && (colleagues >= k || colleagues == 0);
    const bool colleaguesAlone = colleagues >= k && (subordinates >= k || subordinates == 0);
    if (subordinatesAlone || colleaguesAlone) {
        if (subordinatesAlone)
            add(ReportGroupKind::Subordinates, RatersOfRole(raters, rowSubr));
        if (colleaguesAlone)
            add(ReportGroupKind::Colleagues, RatersOfRole(raters, rowColl));
    } else if (subordinates > 0 && colleagues > 0 && subordinates + colleagues >= k) {
        std::vector<std::size_t> pooled;
        for (std::size_t i = 0; i < raters.size(); ++i)
            if (raters[i].Role == rowSubr || raters[i].Role == rowColl)
                pooled.push_back(i);
        add(ReportGroupKind::Pooled, std::move(pooled));
    } else {
        groups.LeftOut = subordinates + colleagues;
    }
    return groups;
}

ReportNumbers ComputeReportNumbers(const std::vector<Rater>& raters,
                                   const ReportThresholds& options) {
    ReportNumbers n;
    n.Groups = SelectReportGroups(raters, options.MinRaters);
    n.GapThresholdTenths = ThresholdTenths(options.GapThreshold);

    std::vector<std::size_t> outside;
    for (const ReportGroup& g : n.Groups.Shown) {
        n.Columns.push_back(MakeColumn(raters, g.Raters, g.Kind));
        if (g.Kind != ReportGroupKind::Self)
            outside.insert(outside.end(), g.Raters.begin(), g.Raters.end());
    }
    if (outside.empty())
        return n;
    // Each rater once, summed in listing order.
    std::sort(outside.begin(), outside.end());
    n.Others = MakeColumn(raters, outside, std::nullopt);

    std::array<Tenths, ScaleCount> others{};
    for (int s = 0; s < ScaleCount; ++s)
        others[At(s)] = n.Others->Values[At(ResultColumnOfScale(s))];
    if (n.Others->Count >= RankingMinRaters) {
        n.Highest = TopWithTies(ScalesByKey(others), others);
        std::array<Tenths, ScaleCount> negated{};
        for (int s = 0; s < ScaleCount; ++s)
            negated[At(s)] = -others[At(s)];
        n.Lowest = TopWithTies(ScalesByKey(negated), negated);
    }

    for (const ReportGroup& g : n.Groups.Shown)
        if (g.Kind != ReportGroupKind::Self &&
            static_cast<int>(g.Raters.size()) >= std::max(options.MinRaters, AgreementMinRaters))
            n.Agreement.push_back(MakeAgreement(raters, g));

    const ReportColumn* self = n.Self();
    if (self == nullptr)
        return n;
    std::array<Tenths, ResultColumnCount> gaps{};
    for (int c = 0; c < ResultColumnCount; ++c)
        gaps[At(c)] = self->Values[At(c)] - n.Others->Values[At(c)];
    n.Gaps = gaps;

    std::array<Tenths, ScaleCount> scaleGaps{};
    Tenths sum = 0;
    for (int s = 0; s < ScaleCount; ++s) {
        scaleGaps[At(s)] = gaps[At(ResultColumnOfScale(s))];
        sum += scaleGaps[At(s)];
    }
    // Sum / 23 tenths: a multiple of 23 gives whole tenths, so no half is ever rounded.
    n.MeanGap = DisplayedTenths(static_cast<double>(sum) / (10.0 * ScaleCount));
    for (const int s : ScalesByKey(scaleGaps))
        if (scaleGaps[At(s)] >= n.GapThresholdTenths)
            n.SelfHigher.push_back(s);
    std::array<Tenths, ScaleCount> negated{};
    for (int s = 0; s < ScaleCount; ++s)
        negated[At(s)] = -scaleGaps[At(s)];
    for (const int s : ScalesByKey(negated))
        if (negated[At(s)] >= n.GapThresholdTenths)
            n.SelfLower.push_back(s);
    return n;
}

Tenths DisplayedTenths(double value) {
    const double shown = DisplayedValue(value);
    if (std::isnan(shown))
        return 0;
    if (std::fabs(shown) >= SaturatedPoints)
        return static_cast<Tenths>(shown > 0 ? SaturatedPoints * 10 : -SaturatedPoints * 10);
    return std::llround(shown * 10);
}

std::string FormatTenths(Tenths value, char sep) {
    const Tenths magnitude = value < 0 ? -value : value;
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    text.push_back(sep);
    text += std::to_string(magnitude % 10);
    return text;
}

std::string FormatSignedTenths(Tenths value, char sep) {
    return value > 0 ? "+" + FormatTenths(value, sep) : FormatTenths(value, sep);
}

Tenths ThresholdTenths(double gapThreshold) {
    return static_cast<Tenths>(std::ceil(gapThreshold * 10.0 - 1e-9));
}

} // namespace rez
