#include "chart_views.h"

#include "table_index.h"

#include <cmath>

namespace rez {

ChartColor LevelColor(double value) {
    if (value > 5.5)
        return ChartRed;
    if (value >= 2.5)
        return ChartSilver;
    return ChartBlue;
}

ChartColor SignColor(double difference) {
    return difference > 0 ? ChartRed : ChartBlue;
}

ChartView BuildChartView(const GroupResults& results, ChartKind kind, View shown) {
    const bool scales = kind == ChartKind::Scales;
    const int count = scales ? ScaleCount : PhaseFactorCount;
    const auto valueOf = [&](int row, int i) {
        return scales ? results.ScaleResults[At(row)][At(i)]
                      : results.PhaseFactorResults[At(row)][At(i)];
    };
    const auto labelOf = [&](int i) {
        return std::string(scales ? ScaleLetters[At(i)] : PhaseFactorLabels[At(i)]);
    };

    ChartView view;
    view.foot = results.GroupLabel + " " + results.GroupName;
    for (int i = 0; i < count; ++i) {
        const double self = valueOf(rowSelf, i);
        view.series[SelfSeries].push_back({self, labelOf(i), LevelColor(self)});
    }
    view.bottomTitle = std::string(RowNames[rowSelf]);
    const ResultRow compared = ComparedRow(shown);
    if (compared != rowSelf) {
        for (int i = 0; i < count; ++i) {
            const double other = valueOf(compared, i);
            view.series[ComparedSeries].push_back({other, labelOf(i), LevelColor(other)});
            const double d = SelfDifference(valueOf(rowSelf, i), other);
            view.series[DifferenceSeries].push_back({std::fabs(d), labelOf(i), SignColor(d)});
        }
        view.bottomTitle += " - " + std::string(RowNames[At(compared)]);
    }
    return view;
}

std::string_view ChartTitle(ChartKind kind) {
    return kind == ChartKind::Scales ? "График шкал" : "График фаз и факторов";
}

std::string_view ReadoutTitle(ChartKind kind, int barIndex) {
    if (barIndex < 0)
        return ChartTitle(kind);
    return kind == ChartKind::Scales ? ScaleNames[At(barIndex)] : PhaseFactorNames[At(barIndex)];
}

} // namespace rez
