#include "group_run.h"
#include "param_name.h"
#include "result_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using rez::GroupResults;

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

std::string ReadGolden(const std::string& name) {
    std::ifstream in(std::string(REZ_GOLDEN_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SampleCase {
    const char* name;
};
REZ_PRINT_CASE_BY_NAME(SampleCase)

class SampleTexts : public testing::TestWithParam<SampleCase> {};

// The golden texts were computed independently of this code from the readable sample
// sources, and checked by hand.
TEST_P(SampleTexts, MatchGoldenFiles) {
    const std::string group = GetParam().name;
    rez::LineBuffer buffer;
    const GroupResults r =
        rez::RunGroup(std::string(REZ_SAMPLE_DATA_DIR) + "/" + group + "/", '.', buffer);
    EXPECT_EQ(Joined(rez::BuildAnalysisLines(r, '.')), ReadGolden(group + ".analysis.txt"));
    const auto cells = rez::BuildTableCells(r, '.');
    EXPECT_EQ(Joined(rez::BuildTableLines(r, cells, '.')), ReadGolden(group + ".table.txt"));
}

INSTANTIATE_TEST_SUITE_P(Groups, SampleTexts,
                         testing::Values(SampleCase{"Smirnov"}, SampleCase{"Kuznetsova"},
                                         SampleCase{"Orlov"}),
                         rez::test::ByName());

// Results with the given counts, every value of row r equal to `values[r]`.
GroupResults Uniform(std::array<int, 5> counts, std::array<double, 5> values) {
    GroupResults r;
    r.RespondentCounts = counts;
    for (int row = 0; row < rez::RowCount; ++row) {
        r.ScaleResults[static_cast<std::size_t>(row)].fill(values[static_cast<std::size_t>(row)]);
        r.PhaseFactorResults[static_cast<std::size_t>(row)].fill(
            values[static_cast<std::size_t>(row)]);
    }
    for (int k = 1; k < rez::RowCount; ++k)
        r.SelfDifferences[static_cast<std::size_t>(k - 1)].fill(
            counts[static_cast<std::size_t>(k)] ? values[0] - values[static_cast<std::size_t>(k)]
                                                : 0.0);
    r.ButtonLists = {"Самооценка\r\n", "Руководители", "Подчиненные", "Коллеги"};
    return r;
}

struct FilledRowsCase {
    const char* name;
    std::array<int, 5> counts;
    std::array<bool, 10> filled; // table rows 0..9
};
REZ_PRINT_CASE_BY_NAME(FilledRowsCase)

class TableCellRows : public testing::TestWithParam<FilledRowsCase> {};

TEST_P(TableCellRows, RowsWithoutRespondentsStayEmpty) {
    const auto& c = GetParam();
    const auto cells = rez::BuildTableCells(Uniform(c.counts, {5, 4, 3, 2, 3}), ',');
    for (int row = 1; row < rez::TableRowCount; ++row)
        for (int col = 0; col < rez::ResultColumnCount; ++col)
            EXPECT_EQ(cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)].empty(),
                      !c.filled[static_cast<std::size_t>(row)])
                << "row " << row << " column " << col;
}

INSTANTIATE_TEST_SUITE_P(
    Groups, TableCellRows,
    testing::Values(FilledRowsCase{"SelfOnly", {1, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
                    FilledRowsCase{"WithoutSelf", {0, 1, 1, 1, 3}, {1, 0, 1, 1, 1, 1, 1, 1, 1, 1}},
                    FilledRowsCase{
                        "SubordinatesOnly", {0, 0, 2, 0, 2}, {1, 0, 0, 0, 1, 1, 0, 0, 1, 1}},
                    FilledRowsCase{"Everyone", {1, 1, 1, 1, 3}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}}),
    rez::test::ByName());

TEST(TableCells, HeaderRowAndValues) {
    const auto cells = rez::BuildTableCells(Uniform({0, 1, 0, 0, 1}, {0, 10.25, 0, 0, 6}), ',');
    EXPECT_EQ(cells[0][15], " K");
    EXPECT_EQ(cells[0][16], "Ф.6");
    EXPECT_EQ(cells[0][21], "F.1");
    EXPECT_EQ(cells[2][0], "10,3"); // four characters, not cut
    EXPECT_EQ(cells[3][0], "10,3"); // no self: the difference row shows the value itself
    EXPECT_EQ(cells[8][30], "6,0");
    EXPECT_EQ(cells[9][30], "6,0"); // absolute value of 0 - 6
}

TEST(AnalysisText, WithoutSelfAssessment) {
    GroupResults r = Uniform({0, 1, 0, 0, 1}, {0, 4, 0, 0, 4.0 / 3});
    r.GroupName = "Орлов В.С.";
    r.ButtonLists[1] = "Руководители\r\nАлексеева Л.Б.";
    const auto lines = rez::BuildAnalysisLines(r, '.');
    const std::vector<std::string> head = {
        "Оценка навыков и умений менеджера - Орлов В.С. ()",
        "",
        "Самооценка",
        "",
        "",
        "Руководители",
        "Алексеева Л.Б.",
        "",
        "Подчиненные",
        "",
        "Коллеги",
        "",
        "[С=0.0 Р=4.0 П=0.0 К.=0.0 М.=1.3] Фаза 1. Разъяснение целей и указание их значимости",
        "[С=0.0 Р=4.0 П=0.0 К.=0.0 М.=1.3] А Разъяснение целей и задач.",
        "",
        "[С=0.0 Р=4.0 П=0.0 К.=0.0 М.=1.3] Фаза 2. Ппланирование, решение проблем",
    };
    ASSERT_GE(lines.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
    // 12 lines before the blocks, 31 result lines and 7 empty lines between the 8 blocks.
    EXPECT_EQ(lines.size(), 12u + 31u + 7u);
    EXPECT_EQ(lines.back(), "[С=0.0 Р=4.0 П=0.0 К.=0.0 М.=1.3] W Качество работы.");
}

TEST(AnalysisText, WideValuesShiftTheLine) {
    const GroupResults r = Uniform({1, 0, 0, 0, 0}, {12.34, 0, 0, 0, 0});
    EXPECT_EQ(rez::ResultLine(r, 0, ','),
              "[С=12,3 Р=0,0 П=0,0 К.=0,0 М.=0,0] А Разъяснение целей и задач.");
}

TEST(TableFile, SelfOnlyGroup) {
    GroupResults r = Uniform({1, 0, 0, 0, 0}, {4.5, 0, 0, 0, 0});
    r.GroupName = "N";
    r.GroupLabel = "L";
    const auto lines = rez::BuildTableLines(r, rez::BuildTableCells(r, '.'), '.');
    ASSERT_EQ(lines.size(), 4u + 1u + 3u + 10u);
    EXPECT_EQ(lines[0], "Оценка навыков и умений менеджера - N (L)");
    std::string selfFields;
    for (int i = 0; i < 17; ++i)
        selfFields += ";  4.5";
    EXPECT_EQ(lines[4], "Самооценка" + selfFields);
    EXPECT_EQ(lines[8], "Шкалы;   L ;   M ;   N ;   O ;  F.1;   P ;   Q ;   R ;   S ;   T ;   U "
                        ";   V ;   W ;  F.2");
    std::string emptyFields, zeroFields;
    for (int i = 0; i < 14; ++i)
        emptyFields += ";     ", zeroFields += ";  0.0";
    EXPECT_EQ(lines[10], "Руководители" + emptyFields);
    EXPECT_EQ(lines[11], "(Сам.-Рук.)" + zeroFields);
    EXPECT_EQ(lines[17], "Сам.-Mean" + zeroFields);
}

TEST(TableFile, DifferenceFieldsCarryTheSign) {
    GroupResults r = Uniform({1, 1, 0, 0, 1}, {5, 5, 0, 0, 5});
    r.SelfDifferences[0][17] = -0.04;
    r.SelfDifferences[0][18] = -0.05;
    r.SelfDifferences[0][19] = 0.04;
    r.SelfDifferences[0][20] = -12.25;
    const auto lines = rez::BuildTableLines(r, rez::BuildTableCells(r, ','), ',');
    // Title block, five first-block lines (rows 1, 2, 3, 8, 9), heading block, rows 0 to 2.
    const std::string& line = lines[4 + 5 + 3 + 3];
    EXPECT_EQ(line.substr(0, std::string("(Сам.-Рук.)").size() + 4 * 6 + 1),
              "(Сам.-Рук.);  0,0; -0,1;  0,0;-12,3;");
}

} // namespace
