// Names of a group's files: what the stem keeps, replaces and cuts, and when two stems name
// the same files.
#include "file_names.h"
#include "param_name.h"
#include "utf8.h"

#include <gtest/gtest.h>

namespace {

struct StemCase {
    const char* name;
    std::string groupName;
    std::string stem;
};
REZ_PRINT_CASE_BY_NAME(StemCase)

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

class GroupFileStem : public testing::TestWithParam<StemCase> {};

TEST_P(GroupFileStem, IsASafeNameOfItsOwn) {
    const std::string stem = rez::ReportFileStem(GetParam().groupName);
    EXPECT_EQ(stem, GetParam().stem);
    // Every name of the group and its temporary name fit a file system's name limit.
    for (const std::string_view suffix : rez::GroupFileSuffixes)
        EXPECT_LE(stem.size() + suffix.size() + rez::TemporaryNameExtraBytes,
                  rez::MaxFileNameBytes);
}

// 255 bytes less " Factors.gif" (12) and a temporary name's 16 leave 227 for the stem.
INSTANTIATE_TEST_SUITE_P(
    Names, GroupFileStem,
    testing::Values(StemCase{"Cyrillic", "Иванов И.И.", "Иванов И.И."}, StemCase{"Empty", "", ""},
                    StemCase{"DotDotStaysOneName", "..", ".."},
                    StemCase{"EveryCharacterWindowsForbids", "a/b\\c:d*e?f\"g<h>i|j",
                             "a_b_c_d_e_f_g_h_i_j"},
                    StemCase{"Nul", std::string("Ив") + '\0' + "ан", "Ив_ан"},
                    StemCase{"ControlCharacters", "a\tb\x1b\x7f\r\n", "a_b____"},
                    StemCase{"C1ControlFromByte0x98", "a\u0098b", "a_b"},
                    StemCase{"DirectionControls", "a\u061Cb\u202Ec\u2066d\uFEFFe", "a_b_c_d_e"},
                    StemCase{"LongAsciiCut", std::string(300, 'a'), std::string(227, 'a')},
                    StemCase{"LongCyrillicCutBetweenLetters", Repeat("Я", 200), Repeat("Я", 113)},
                    StemCase{"ReplacementCountsWhereTheCutFalls", "/" + Repeat("Я", 200),
                             "_" + Repeat("Я", 113)}),
    rez::test::ByName());

struct FoldCase {
    const char* name;
    std::string a;
    std::string b;
    bool same;
};
REZ_PRINT_CASE_BY_NAME(FoldCase)

class FileNameCase : public testing::TestWithParam<FoldCase> {};

TEST_P(FileNameCase, FoldedAsWindowsComparesNames) {
    EXPECT_EQ(rez::FoldFileNameCase(GetParam().a) == rez::FoldFileNameCase(GetParam().b),
              GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Pairs, FileNameCase,
                         testing::Values(FoldCase{"Latin", "Ivanov I.I.", "IVANOV i.i.", true},
                                         FoldCase{"Cyrillic", "ИВАНОВ Щука", "иванов щУКА", true},
                                         FoldCase{"CyrillicBeyondTheBasicAlphabet",
                                                  "ЁЂЃЄЅІЇЈЉЊЋЌЎЏҐ", "ёђѓєѕіїјљњћќўџґ", true},
                                         FoldCase{"DifferentLetters", "Иванов", "Иванова", false},
                                         FoldCase{"EAndYoAreDifferent", "Ёж", "Еж", false}),
                         rez::test::ByName());

} // namespace
