#include "param_name.h"
#include "respondent_dir.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

struct MaskCase {
    const char* name;
    bool matches;
};
REZ_PRINT_CASE_BY_NAME(MaskCase)

class RespondentMask : public testing::TestWithParam<MaskCase> {};

TEST_P(RespondentMask, MatchesWithoutRegardToCase) {
    EXPECT_EQ(rez::MatchesRespondentMask(GetParam().name), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Names, RespondentMask,
                         testing::Values(MaskCase{"1REZ.cry", true}, MaskCase{"REZ.cry", true},
                                         MaskCase{"0abcrez.CRY", true},
                                         MaskCase{"1REZ.cry.bak", false},
                                         MaskCase{"1REZ.cr", false}, MaskCase{"1RE.cry", false},
                                         MaskCase{"EZ.cry", false}, MaskCase{"", false}));

TEST(RespondentOrder, FoldsAsciiCaseThenExactBytes) {
    std::vector<std::string> names = {"b", "A", "a", "B", "_", "1", "Я", "Z"};
    std::sort(names.begin(), names.end(), rez::RespondentNameLess);
    // '_' (0x5F) sorts after digits and before folded letters; non-ASCII bytes last.
    const std::vector<std::string> expected = {"1", "_", "A", "a", "B", "b", "Z", "Я"};
    EXPECT_EQ(names, expected);
}

TEST(ListRespondentEntries, EveryMatchingEntrySorted) {
    rez::test::TempDir dir;
    for (const char* name : {"2bREZ.cry", "1zREZ.CRY", ".0hiddenREZ.cry", "notes.txt", "1aREZ.cry"})
        rez::test::WriteBytes(dir.path() / name, "");
    fs::create_directory(dir.path() / "3dirREZ.cry");
    const std::vector<std::string> expected = {".0hiddenREZ.cry", "1aREZ.cry", "1zREZ.CRY",
                                               "2bREZ.cry", "3dirREZ.cry"};
    EXPECT_EQ(rez::ListRespondentEntries(dir.dirText()), expected);
}

TEST(ListRespondentEntries, EmptyDirectoryHasNone) {
    rez::test::TempDir dir;
    EXPECT_TRUE(rez::ListRespondentEntries(dir.dirText()).empty());
}

TEST(ListRespondentEntries, MissingDirectoryFails) {
    rez::test::TempDir dir;
    const std::string missing = dir.dirText() + "gone/";
    EXPECT_THROW(rez::ListRespondentEntries(missing), rez::RezError);
}

} // namespace
