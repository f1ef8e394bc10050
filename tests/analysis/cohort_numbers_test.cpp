#include "cohort_numbers.h"
#include "param_name.h"
#include "sheet_names.h"
#include "table_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using rez::GroupResults;

using rez::At;

// Results with the given counts; every mean value is `mean`, every self value `self`.
GroupResults Group(std::array<int, 5> counts, double mean, double self = 5.0) {
    GroupResults r;
    r.RespondentCounts = counts;
    r.ScaleResults[rez::rowSelf].fill(self);
    r.PhaseFactorResults[rez::rowSelf].fill(self);
    r.ScaleResults[rez::rowMean].fill(mean);
    r.PhaseFactorResults[rez::rowMean].fill(mean);
    r.SelfDifferences[3].fill(rez::SelfDifference(self, mean));
    return r;
}

// --- Values as the table file shows them ---------------------------------------------------

struct DisplayCase {
    const char* name;
    double exact;
    double shown;
};
REZ_PRINT_CASE_BY_NAME(DisplayCase)

class Displayed : public testing::TestWithParam<DisplayCase> {};

TEST_P(Displayed, IsTheTableFilesNumber) {
    const double shown = rez::DisplayedValue(GetParam().exact);
    EXPECT_EQ(shown, GetParam().shown);
    EXPECT_FALSE(std::signbit(shown) && shown == 0.0) << "a negative zero shows as -0.0";
}

INSTANTIATE_TEST_SUITE_P(Values, Displayed,
                         testing::Values(DisplayCase{"HalfRoundsUp", 4.25, 4.3},
                                         DisplayCase{"BinaryHalf", 0.15, 0.2},
                                         DisplayCase{"NegativeHalfAwayFromZero", -0.05, -0.1},
                                         DisplayCase{"SmallNegativeIsPlainZero", -0.04, 0.0},
                                         DisplayCase{"Thirds", 13.0 / 3.0, 4.3},
                                         DisplayCase{"Whole", 6.0, 6.0},
                                         DisplayCase{"TenOrMore", 10.05, 10.1}),
                         rez::test::ByName());

// --- Difference cells ----------------------------------------------------------------------

TEST(DifferenceCells, AreSignedAsDisplayedButColouredByTheExactValue) {
    GroupResults r = Group({1, 1, 1, 1, 3}, 4.0);
    r.SelfDifferences[3][0] = -0.04;
    r.SelfDifferences[3][1] = 0.04;
    r.SelfDifferences[3][2] = -1.25;
    EXPECT_EQ(rez::DisplayedTableValue(r, 9, 0), 0.0);
    EXPECT_FALSE(rez::DifferenceIsPositive(r, 9, 0));
    EXPECT_EQ(rez::DisplayedTableValue(r, 9, 1), 0.0);
    EXPECT_TRUE(rez::DifferenceIsPositive(r, 9, 1));
    EXPECT_EQ(rez::DisplayedTableValue(r, 9, 2), -1.3) << "the file keeps the sign";
}

// --- Norms ---------------------------------------------------------------------------------

TEST(CohortNorms, ColumnsWithoutNormGroupsStayEmpty) {
    const std::vector<GroupResults> groups = {Group({1, 1, 0, 0, 1}, 4.0)};
    EXPECT_EQ(rez::ComputeCohortNorms(groups)[0], rez::ColumnNorm{});
}

TEST(QuantileInc, SingleValueAndEnds) {
    const std::vector<double> one = {3.2};
    EXPECT_EQ(rez::QuantileInc(one, 0.25), 3.2);
    const std::vector<double> two = {1.0, 2.0};
    EXPECT_EQ(rez::QuantileInc(two, 1.0), 2.0);
    EXPECT_EQ(rez::QuantileInc(two, 0.75), 1.75);
}

// --- Sheet names ----------------------------------------------------------------------------

struct SheetNamesCase {
    const char* name;
    std::vector<std::string> groups;
    std::vector<std::string> sheets;
};
REZ_PRINT_CASE_BY_NAME(SheetNamesCase)

class SheetNames : public testing::TestWithParam<SheetNamesCase> {};

TEST_P(SheetNames, AreValidAndUnique) {
    EXPECT_EQ(rez::GroupSheetNames(GetParam().groups), GetParam().sheets);
}

const std::string k40 = "Константинопольский Александр Вячеславович"; // 42 characters

INSTANTIATE_TEST_SUITE_P(
    Names, SheetNames,
    testing::Values(
        SheetNamesCase{"Plain", {"Смирнов", "Орлов"}, {"Смирнов", "Орлов"}},
        SheetNamesCase{
            "CyrillicCase", {"иванов", "ИВАНОВ", "Иванов"}, {"иванов", "ИВАНОВ (2)", "Иванов (3)"}},
        SheetNamesCase{"YoAndGreekSigma",
                       {"ёлкин", "ЁЛКИН", "σς", "ΣΣ"},
                       {"ёлкин", "ЁЛКИН (2)", "σς", "ΣΣ (2)"}},
        SheetNamesCase{
            "Forbidden", {"a[b]c:d*e?f/g\\h", "x\ty\x01z"}, {"a_b_c_d_e_f_g_h", "x_y_z"}},
        SheetNamesCase{"DirectionControls", {"abc\u202Egpj\u200E"}, {"abc_gpj_"}},
        SheetNamesCase{"Apostrophes", {"'Орлов'", "''", "О'Нил"}, {"Орлов", "Без имени", "О'Нил"}},
        SheetNamesCase{"Reserved",
                       {"Сводка", "нормы", "HISTORY", "history (2)"},
                       {"Сводка (2)", "нормы (2)", "HISTORY (2)", "history (2) (2)"}},
        SheetNamesCase{"Empty", {"", ""}, {"Без имени", "Без имени (2)"}},
        SheetNamesCase{"CutToThirtyOne", {k40}, {"Константинопольский Александр В"}},
        SheetNamesCase{"ClashAfterCutShortensBeforeSuffix",
                       {k40, k40 + " 2", k40 + " 3"},
                       {"Константинопольский Александр В", "Константинопольский Алексан (2)",
                        "Константинопольский Алексан (3)"}},
        SheetNamesCase{"CutLeavesNoTrailingApostrophe",
                       {"abcdefghijklmnopqrstuvwxyz1234'5"},
                       {"abcdefghijklmnopqrstuvwxyz1234"}},
        // Outside the Basic Multilingual Plane a character counts twice.
        SheetNamesCase{"CountsUtf16Units",
                       {std::string(25, 'a') + "\U0001F600\U0001F600xyz"},
                       {std::string(25, 'a') + "\U0001F600\U0001F600xy"}},
        SheetNamesCase{"CutsBeforeASurrogatePair",
                       {std::string(30, 'a') + "\U0001F600"},
                       {std::string(30, 'a')}}),
    rez::test::ByName());

TEST(FoldCase, EveryCyrillicCapitalFoldsToItsSmallLetter) {
    for (char32_t c = U'А'; c <= U'Я'; ++c)
        EXPECT_EQ(rez::FoldCase(c), c + 0x20) << static_cast<int>(c);
    EXPECT_EQ(rez::FoldCase(U'Ё'), U'ё');
    EXPECT_EQ(rez::FoldCase(U'Ґ'), U'ґ');
    EXPECT_EQ(rez::FoldCase(U'ß'), U'ß');
    EXPECT_EQ(rez::FoldCase(U'7'), U'7');
}

// --- Cell texts -----------------------------------------------------------------------------

struct CellTextCase {
    const char* name;
    std::string text;
    std::string cell;
};
REZ_PRINT_CASE_BY_NAME(CellTextCase)

class CellTexts : public testing::TestWithParam<CellTextCase> {};

TEST_P(CellTexts, FitTheCell) {
    EXPECT_EQ(rez::CellText(GetParam().text), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CellTexts,
    testing::Values(CellTextCase{"FormulaLikeUnchanged", "=1+2", "=1+2"},
                    CellTextCase{"AtLimit", std::string(32767, 'x'), std::string(32767, 'x')},
                    CellTextCase{"CutAtLimit", std::string(32768, 'x'), std::string(32767, 'x')},
                    CellTextCase{"CyrillicCountsCharactersNotBytes",
                                 std::string(20000, 'a') + "жжж", std::string(20000, 'a') + "жжж"},
                    CellTextCase{"SurrogatePairNotSplit", std::string(32766, 'x') + "\U0001F600",
                                 std::string(32766, 'x')},
                    CellTextCase{"EscapeLookalikeProtected", "a_x0041_b", "a_x005F_x0041_b"},
                    CellTextCase{"NotAnEscape", "_x004G_ _x41_", "_x004G_ _x41_"},
                    CellTextCase{"MalformedUtf8",
                                 "a\xFF"
                                 "b",
                                 "a\uFFFD"
                                 "b"},
                    // Control characters as messages show them: a NUL no longer ends the
                    // text, and a direction override does not turn the name round.
                    CellTextCase{"NulEscapedNotCut", std::string("a\0b", 3), "a\\x00b"},
                    CellTextCase{"DirectionControlsEscaped", "abc\u202Egpj\u2066.exe\uFEFF",
                                 "abc\\u202egpj\\u2066.exe\\ufeff"},
                    CellTextCase{"EscapeNotCutAtTheLimit", std::string(32765, 'x') + "\x1b",
                                 std::string(32765, 'x')}),
    rez::test::ByName());

TEST(InternalLink, QuotesTheSheetNameAndDoublesApostrophes) {
    EXPECT_EQ(rez::InternalLink("О'Нил (2)"), "internal:'О''Нил (2)'!A1");
}

} // namespace
