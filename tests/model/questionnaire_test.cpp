#include "cp1251.h"
#include "questionnaire.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using rez::ResultColumn;

struct ScaleRow {
    const char* letter;
    const char* name;
    int items;
};

// Written out from the questionnaire's own table, not computed from the code.
const ScaleRow kScales[] = {
    {"A", "А Разъяснение целей и задач.", 7},
    {"B", "В Взаимоотношения с подчиненными.", 8},
    {"C", "С Тщательное планирование рабочего процесса.", 7},
    {"D", "D Компетенция менеджера.", 7},
    {"E", "E Обеспечение необходимыми условиями работы.", 6},
    {"F", "F Обратная связь.", 8},
    {"G", "G Контроль времени.", 6},
    {"H", "H Контроль деталей.", 5},
    {"I", "I Мотивация подчиненных.", 6},
    {"J", "J Делегирование полномочий.", 6},
    {"K", "K Поощрение за хорошо выполненную работу.", 7},
    {"L", "L Ориентация на людей.", 5},
    {"M", "M Создание команды.", 6},
    {"N", "N Заинтересованность в профессиональном росте подчиненных.", 8},
    {"O", "O Доверие подчиненных.", 8},
    {"P", "P Включенность в работу.", 5},
    {"Q", "Q Профессиональная компетентность подчиненных.", 6},
    {"R", "R Сплоченность группы.", 6},
    {"S", "S Благоприятные условия для должностного роста.", 6},
    {"T", "T Уровень напряженности.", 6},
    {"U", "U Отношение к людям.", 5},
    {"V", "V Духовный настрой группы.", 5},
    {"W", "W Качество работы.", 6},
};

TEST(Questionnaire, EveryScaleLetterNameAndItemCount) {
    ASSERT_EQ(std::size(kScales), static_cast<std::size_t>(rez::ScaleCount));
    for (std::size_t s = 0; s < std::size(kScales); ++s) {
        SCOPED_TRACE(kScales[s].letter);
        EXPECT_EQ(rez::ScaleLetters[s], kScales[s].letter);
        EXPECT_EQ(rez::ScaleNames[s], kScales[s].name);
        EXPECT_EQ(rez::ScaleItemCounts[s], kScales[s].items);
    }
}

TEST(Questionnaire, FirstThreeNamesStartWithCyrillicCapitals) {
    // In Windows-1251 the names of A, B, C start with А, В, С (0xC0, 0xC2, 0xD1); the
    // letters themselves are Latin.
    const unsigned char expected[] = {0xC0, 0xC2, 0xD1};
    for (std::size_t s = 0; s < 3; ++s) {
        const auto bytes = rez::EncodeCp1251(rez::ScaleNames[s]);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(static_cast<unsigned char>((*bytes)[0]), expected[s]) << s;
        EXPECT_EQ(rez::ScaleLetters[s].size(), 1u);
        EXPECT_NE(rez::ScaleNames[s].substr(0, 1), rez::ScaleLetters[s]);
    }
    EXPECT_EQ(rez::ScaleNames[3].substr(0, 2), "D ");
}

struct PhaseRow {
    const char* label;
    const char* name;
    int scales;
    int first;
};

const PhaseRow kPhases[] = {
    {"Ф.1", "Фаза 1. Разъяснение целей и указание их значимости", 1, 0},
    {"Ф.2", "Фаза 2. Ппланирование, решение проблем", 3, 1},
    {"Ф.3", "Фаза 3. Создание необходимых условий", 1, 4},
    {"Ф.4", "Фаза 4. Обеспечение обратной связи", 1, 5},
    {"Ф.5", "Фаза 5. Контроль", 4, 6},
    {"Ф.6", "Фаза 6. Поощрение", 1, 10},
    {"F.1", "Фактор 1. Взаимоотношения руководителя и коллектива", 4, 11},
    {"F.2", "Фактор 2. Психологический климат в группе", 8, 15},
};

TEST(Questionnaire, EveryPhaseAndFactor) {
    ASSERT_EQ(std::size(kPhases), static_cast<std::size_t>(rez::PhaseFactorCount));
    for (int g = 0; g < rez::PhaseFactorCount; ++g) {
        const auto& row = kPhases[g];
        SCOPED_TRACE(row.label);
        const auto i = static_cast<std::size_t>(g);
        EXPECT_EQ(rez::PhaseFactorLabels[i], row.label);
        EXPECT_EQ(rez::PhaseFactorNames[i], row.name);
        EXPECT_EQ(rez::PhaseFactorScaleCounts[i], row.scales);
        EXPECT_EQ(rez::FirstScaleOf(g), row.first);
        for (int s = row.first; s < row.first + row.scales; ++s)
            EXPECT_EQ(rez::PhaseFactorOfScale(s), g) << "scale " << s;
    }
    EXPECT_EQ(rez::EndScaleOf(7), 23);
}

TEST(Questionnaire, PhaseAndFactorLabelsDifferInTheirFirstLetter) {
    const auto phase = rez::EncodeCp1251(rez::PhaseFactorLabels[0]);
    ASSERT_TRUE(phase);
    EXPECT_EQ(*phase, "\xD4.1");
}

TEST(Questionnaire, RowsNamesAndAbbreviations) {
    const std::tuple<int, const char*, const char*> rows[] = {{rez::rowSelf, "Самооценка", "С"},
                                                              {rez::rowMang, "Руководители", "Р"},
                                                              {rez::rowSubr, "Подчиненные", "П"},
                                                              {rez::rowColl, "Коллеги", "К."},
                                                              {rez::rowMean, "Средние", "М."}};
    for (const auto& [row, name, abbreviation] : rows) {
        EXPECT_EQ(rez::RowNames[static_cast<std::size_t>(row)], name);
        EXPECT_EQ(rez::RowAbbreviations[static_cast<std::size_t>(row)], abbreviation);
    }
}

TEST(Questionnaire, ResultColumnsInTableOrder) {
    // "S<scale>" or "P<phase/factor>" for the 31 positions.
    const char* expected[] = {"S0",  "P0",  "S1",  "S2",  "S3",  "P1",  "S4",  "P2",
                              "S5",  "P3",  "S6",  "S7",  "S8",  "S9",  "P4",  "S10",
                              "P5",  "S11", "S12", "S13", "S14", "P6",  "S15", "S16",
                              "S17", "S18", "S19", "S20", "S21", "S22", "P7"};
    for (int c = 0; c < rez::ResultColumnCount; ++c) {
        const ResultColumn column = rez::ResultColumns[static_cast<std::size_t>(c)];
        const std::string text = (column.isScale() ? "S" : "P") + std::to_string(column.index);
        EXPECT_EQ(text, expected[c]) << "column " << c;
        if (column.isScale())
            EXPECT_EQ(rez::ResultColumnOfScale(column.index), c);
        else
            EXPECT_EQ(rez::ResultColumnOfPhaseFactor(column.index), c);
    }
}

TEST(Questionnaire, BoundaryBetweenPhaseAndFactorHalves) {
    EXPECT_EQ(rez::ResultColumns[16], (ResultColumn{ResultColumn::Kind::PhaseFactor, 5}));
    EXPECT_EQ(rez::ResultColumns[17], (ResultColumn{ResultColumn::Kind::Scale, 11}));
    EXPECT_EQ(rez::FirstFactorHalfColumn, 17);
    EXPECT_EQ(rez::PhaseFactorOfScale(10), 5); // K -> phase 6
    EXPECT_EQ(rez::PhaseFactorOfScale(11), 6); // L -> factor 1
    EXPECT_EQ(rez::PhaseFactorOfScale(22), 7); // W -> factor 2
}

} // namespace
