// The fixed vocabulary of the REZ questionnaire: scales, phases and factors, result rows
// and the order of the result columns. Texts are UTF-8 here; they become Windows-1251 only
// at file boundaries.
#pragma once

#include "table_index.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace rez {

inline constexpr int ScaleCount = 23;
inline constexpr int PhaseFactorCount = 8;
inline constexpr int RowCount = 5;
inline constexpr int ItemCount = 145;
inline constexpr int ResultColumnCount = 31;
// Phases are entries 0 to 5 of the phase/factor tables, factors 6 and 7.
inline constexpr int PhaseCount = 6;

// The scale letter is always the Latin capital from this table; the first three scale
// names begin with Cyrillic look-alikes (А, В, С).
inline constexpr std::array<std::string_view, ScaleCount> ScaleLetters = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L",
    "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W"};

inline constexpr std::array<std::string_view, ScaleCount> ScaleNames = {
    "А Разъяснение целей и задач.",
    "В Взаимоотношения с подчиненными.",
    "С Тщательное планирование рабочего процесса.",
    "D Компетенция менеджера.",
    "E Обеспечение необходимыми условиями работы.",
    "F Обратная связь.",
    "G Контроль времени.",
    "H Контроль деталей.",
    "I Мотивация подчиненных.",
    "J Делегирование полномочий.",
    "K Поощрение за хорошо выполненную работу.",
    "L Ориентация на людей.",
    "M Создание команды.",
    "N Заинтересованность в профессиональном росте подчиненных.",
    "O Доверие подчиненных.",
    "P Включенность в работу.",
    "Q Профессиональная компетентность подчиненных.",
    "R Сплоченность группы.",
    "S Благоприятные условия для должностного роста.",
    "T Уровень напряженности.",
    "U Отношение к людям.",
    "V Духовный настрой группы.",
    "W Качество работы.",
};

// Number of questionnaire items behind each scale.
inline constexpr std::array<int, ScaleCount> ScaleItemCounts = {7, 8, 7, 7, 6, 8, 6, 5, 6, 6, 7, 5,
                                                                6, 8, 8, 5, 6, 6, 6, 6, 5, 5, 6};

inline constexpr std::array<std::string_view, PhaseFactorCount> PhaseFactorNames = {
    "Фаза 1. Разъяснение целей и указание их значимости",
    "Фаза 2. Ппланирование, решение проблем",
    "Фаза 3. Создание необходимых условий",
    "Фаза 4. Обеспечение обратной связи",
    "Фаза 5. Контроль",
    "Фаза 6. Поощрение",
    "Фактор 1. Взаимоотношения руководителя и коллектива",
    "Фактор 2. Психологический климат в группе",
};

// Phase labels use the Cyrillic Ф, factor labels the Latin F.
inline constexpr std::array<std::string_view, PhaseFactorCount> PhaseFactorLabels = {
    "Ф.1", "Ф.2", "Ф.3", "Ф.4", "Ф.5", "Ф.6", "F.1", "F.2"};

// Each entry covers this many consecutive scales, following those of the entries before it.
inline constexpr std::array<int, PhaseFactorCount> PhaseFactorScaleCounts = {1, 3, 1, 1,
                                                                             4, 1, 4, 8};

enum ResultRow : int { rowSelf = 0, rowMang = 1, rowSubr = 2, rowColl = 3, rowMean = 4 };

// Roles a respondent can have: result rows rowSelf to rowColl. The mean row is derived.
inline constexpr int RoleCount = 4;
static_assert(RoleCount == rowMean);
// The outside roles (managers, subordinates, colleagues), whose mean is the mean row: it
// always divides by this count, a role without respondents adding zeros.
inline constexpr int OutsideRoleCount = rowColl - rowMang + 1;

inline constexpr std::array<std::string_view, RowCount> RowNames = {
    "Самооценка", "Руководители", "Подчиненные", "Коллеги", "Средние"};

inline constexpr std::array<std::string_view, RowCount> RowAbbreviations = {"С", "Р", "П", "К.",
                                                                            "М."};

// Index of the first scale of phase or factor g: the scale counts of the entries before it.
constexpr int FirstScaleOf(int g) {
    int first = 0;
    for (int i = 0; i < g; ++i)
        first += PhaseFactorScaleCounts[At(i)];
    return first;
}

// Index one past the last scale of phase or factor g.
constexpr int EndScaleOf(int g) {
    return FirstScaleOf(g) + PhaseFactorScaleCounts[At(g)];
}

// The phase or factor that scale s belongs to.
constexpr int PhaseFactorOfScale(int s) {
    for (int g = 0; g < PhaseFactorCount; ++g)
        if (s < EndScaleOf(g))
            return g;
    return -1;
}

// One result column: a scale or a phase/factor, and its index in the matching table.
struct ResultColumn {
    enum class Kind { Scale, PhaseFactor };
    Kind kind;
    int index;
    constexpr bool isScale() const { return kind == Kind::Scale; }
    constexpr bool operator==(const ResultColumn&) const = default;
};

namespace detail {
constexpr std::array<ResultColumn, ResultColumnCount> MakeResultColumns() {
    std::array<ResultColumn, ResultColumnCount> columns{};
    std::size_t pos = 0;
    for (int g = 0; g < PhaseFactorCount; ++g) {
        for (int s = FirstScaleOf(g); s < EndScaleOf(g); ++s)
            columns[pos++] = {ResultColumn::Kind::Scale, s};
        columns[pos++] = {ResultColumn::Kind::PhaseFactor, g};
    }
    return columns;
}
} // namespace detail

// The 31 result columns: the scales in index order, each phase or factor straight after its
// last member scale.
inline constexpr std::array<ResultColumn, ResultColumnCount> ResultColumns =
    detail::MakeResultColumns();

// Columns 0 to 16 hold scales A-K with the phases, 17 to 30 scales L-W with the factors.
inline constexpr int FirstFactorHalfColumn = 17;

constexpr int ResultColumnOfScale(int s) {
    for (int c = 0; c < ResultColumnCount; ++c)
        if (ResultColumns[At(c)] == ResultColumn{ResultColumn::Kind::Scale, s})
            return c;
    return -1;
}

constexpr int ResultColumnOfPhaseFactor(int g) {
    for (int c = 0; c < ResultColumnCount; ++c)
        if (ResultColumns[At(c)] == ResultColumn{ResultColumn::Kind::PhaseFactor, g})
            return c;
    return -1;
}

namespace detail {
template <typename T, std::size_t N> constexpr T Sum(const std::array<T, N>& values) {
    T total{};
    for (const T& v : values)
        total += v;
    return total;
}
} // namespace detail

static_assert(detail::Sum(ScaleItemCounts) == ItemCount);
static_assert(detail::Sum(PhaseFactorScaleCounts) == ScaleCount);
static_assert(EndScaleOf(PhaseCount - 1) == 11, "phases cover scales A to K");
static_assert(EndScaleOf(PhaseFactorCount - 1) == ScaleCount);
static_assert(ScaleCount + PhaseFactorCount == ResultColumnCount);
static_assert(ResultColumnOfPhaseFactor(PhaseCount - 1) == FirstFactorHalfColumn - 1);
static_assert(ResultColumnOfScale(11) == FirstFactorHalfColumn);
static_assert(PhaseFactorOfScale(10) == 5 && PhaseFactorOfScale(11) == 6 &&
              PhaseFactorOfScale(22) == 7);

} // namespace rez
