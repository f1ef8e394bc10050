#include "group_run.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using rez::GroupResults;
using rez::test::RespondentLines;
using rez::test::TempDir;
using rez::test::UniformTotals;

// Totals for given per-scale values (each a whole number of points per item, or a total).
std::vector<std::string> TotalsOf(const std::array<int, rez::ScaleCount>& perItem) {
    std::vector<std::string> totals;
    for (int s = 0; s < rez::ScaleCount; ++s)
        totals.push_back(std::to_string(perItem[static_cast<std::size_t>(s)] *
                                        rez::ScaleItemCounts[static_cast<std::size_t>(s)]));
    return totals;
}

class GroupRun : public testing::Test {
protected:
    void Add(const std::string& name, const std::string& who,
             const std::vector<std::string>& totals) {
        rez::test::WriteRespondentFile(dir.path() / rez::test::Utf8Path(name),
                                       RespondentLines(who, totals));
    }
    GroupResults Run() { return rez::RunGroup(dir.dirText(), '.', buffer); }
    std::string FailureOf() {
        try {
            Run();
        } catch (const rez::RezError& e) {
            return e.what();
        }
        return "(no failure)";
    }

    TempDir dir;
    rez::LineBuffer buffer;
};

TEST_F(GroupRun, MeanRowDividesByThreeWhateverTheCounts) {
    Add("1aREZ.cry", "m", UniformTotals(6));
    Add("2aREZ.cry", "s", UniformTotals(3));
    const GroupResults r = Run();
    EXPECT_EQ(r.RespondentCounts, (std::array<int, 5>{0, 1, 1, 0, 2}));
    for (int s = 0; s < rez::ScaleCount; ++s)
        EXPECT_DOUBLE_EQ(r.ScaleResults[rez::rowMean][static_cast<std::size_t>(s)], 3.0);
    for (int g = 0; g < rez::PhaseFactorCount; ++g)
        EXPECT_DOUBLE_EQ(r.PhaseFactorResults[rez::rowMean][static_cast<std::size_t>(g)], 3.0);
}

TEST_F(GroupRun, RoleMeanOfTwoManagers) {
    Add("1aREZ.cry", "m1", UniformTotals(5));
    Add("1bREZ.cry", "m2", UniformTotals(6));
    const GroupResults r = Run();
    EXPECT_EQ(r.RespondentCounts[rez::rowMang], 2);
    for (int s = 0; s < rez::ScaleCount; ++s)
        EXPECT_EQ(r.ScaleResults[rez::rowMang][static_cast<std::size_t>(s)], 5.5);
}

TEST_F(GroupRun, PhaseIsTheMeanOfItsMemberScales) {
    std::array<int, rez::ScaleCount> v{};
    v.fill(4);
    v[1] = 6, v[2] = 5, v[3] = 4;                           // B, C, D
    const std::array<int, 8> pw = {1, 2, 3, 4, 5, 6, 7, 4}; // P .. W: sum 32
    for (std::size_t i = 0; i < pw.size(); ++i)
        v[15 + i] = pw[i];
    Add("0aREZ.cry", "self", TotalsOf(v));
    const GroupResults r = Run();
    EXPECT_EQ(r.PhaseFactorResults[rez::rowSelf][1], 5.0); // phase 2: (6 + 5 + 4) / 3
    EXPECT_EQ(r.PhaseFactorResults[rez::rowSelf][7], 4.0); // factor 2: 32 / 8
    EXPECT_EQ(r.PhaseFactorResults[rez::rowSelf][0], 4.0); // phase 1 is scale A
}

TEST_F(GroupRun, WithoutSelfAssessmentDifferencesAreNegatedValues) {
    Add("1aREZ.cry", "m", UniformTotals(6));
    Add("3aREZ.cry", "c", UniformTotals(2));
    const GroupResults r = Run();
    EXPECT_EQ(r.RespondentCounts[rez::rowSelf], 0);
    EXPECT_EQ(r.GroupLabel, "");
    EXPECT_EQ(r.ButtonLists[rez::rowSelf], "Самооценка\r\n");
    for (int c = 0; c < rez::ResultColumnCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        EXPECT_EQ(r.CellValue(rez::rowSelf, c), 0.0);
        EXPECT_EQ(r.SelfDifferences[0][i], -6.0);
        EXPECT_EQ(r.SelfDifferences[1][i], 0.0); // no subordinates: left at zero
        EXPECT_EQ(r.SelfDifferences[2][i], -2.0);
        EXPECT_DOUBLE_EQ(r.SelfDifferences[3][i], -8.0 / 3.0);
    }
}

TEST_F(GroupRun, IdenticalRatingsGiveDifferencesOfExactlyZero) {
    // 13/7 and 16/5 are among the values whose mean of three equal parts is not exact in
    // floating point; the differences must still be zero, not a residue with a sign.
    std::vector<std::string> totals = UniformTotals(4);
    totals[0] = "13";  // A: 13/7
    totals[7] = "16";  // H: 16/5
    totals[12] = "17"; // M: 17/6
    for (const char* name :
         {"0aREZ.cry", "1aREZ.cry", "2aREZ.cry", "2bREZ.cry", "2cREZ.cry", "3aREZ.cry"})
        Add(name, name, totals);
    const GroupResults r = Run();
    for (const auto& row : r.SelfDifferences)
        for (const double d : row)
            EXPECT_EQ(d, 0.0);
}

TEST_F(GroupRun, ListsAndTextsFollowTheFileLines) {
    Add("0aREZ.cry", "S", UniformTotals(5));
    Add("1aREZ.cry", "M1", UniformTotals(5));
    Add("1bREZ.cry", "M2", UniformTotals(5));
    const GroupResults r = Run();
    EXPECT_EQ(r.GroupName, "M2 L2");
    EXPECT_EQ(r.GroupLabel, "S L0");
    EXPECT_EQ(r.ManagerPost, "S L4");
    EXPECT_EQ(r.ButtonLists[0], "Самооценка\r\nS L0\r\nS L2\r\nS L4");
    EXPECT_EQ(r.CaptionLists[0], "Самооценка\r\nS L0\r\nS L2\r\nS L4\r\nS L9\r\nS L11");
    EXPECT_EQ(r.ButtonLists[1], "Руководители\r\nM1 L6\r\nM2 L6");
    EXPECT_EQ(r.CaptionLists[1], "Руководители\r\nM1 L0\r\nM1 L6\r\nM1 L8\r\nM1 L9\r\nM1 L11\r\n"
                                 "M2 L0\r\nM2 L6\r\nM2 L8\r\nM2 L9\r\nM2 L11");
    EXPECT_EQ(r.ButtonLists[2], "Подчиненные");
    EXPECT_EQ(r.CaptionLists[3], "Коллеги\r\n");
}

TEST_F(GroupRun, GroupNameComesFromTheLastFileInNameOrder) {
    Add("2bREZ.cry", "last", UniformTotals(4));
    Add("1BREZ.cry", "middle", UniformTotals(4));
    Add("1aREZ.cry", "first", UniformTotals(4));
    EXPECT_EQ(Run().GroupName, "last L2");
}

TEST_F(GroupRun, RatersAreKeptInListingOrderAndRecomputeToTheSameResults) {
    Add("3aREZ.cry", "c", UniformTotals(2));
    Add("0aREZ.cry", "self", UniformTotals(6));
    Add("1aREZ.cry", "m", UniformTotals(4));
    GroupResults r = Run();
    ASSERT_EQ(r.Raters.size(), 3u);
    EXPECT_EQ(r.Raters[0].Role, rez::rowSelf);
    EXPECT_EQ(r.Raters[1].Role, rez::rowMang);
    EXPECT_EQ(r.Raters[2].Role, rez::rowColl);
    EXPECT_EQ(r.Raters[2].Values[5], 2.0);
    // The arithmetic rests on the raters alone: computing again changes nothing.
    const GroupResults before = r;
    rez::ComputeGroupValues(r);
    EXPECT_EQ(r.ScaleResults, before.ScaleResults);
    EXPECT_EQ(r.PhaseFactorResults, before.PhaseFactorResults);
    EXPECT_EQ(r.RespondentCounts, before.RespondentCounts);
    EXPECT_EQ(r.SelfDifferences, before.SelfDifferences);
}

TEST_F(GroupRun, CountsDoNotWrapAt256) {
    for (int i = 0; i < 256; ++i)
        Add("2-" + std::to_string(1000 + i) + "REZ.cry", "s", UniformTotals(3));
    Add("3aREZ.cry", "c", UniformTotals(3));
    const GroupResults r = Run();
    EXPECT_EQ(r.RespondentCounts[rez::rowSubr], 256);
    EXPECT_EQ(r.RespondentCounts[rez::rowMean], 257);
    EXPECT_DOUBLE_EQ(r.ScaleResults[rez::rowSubr][0], 3.0);
}

TEST_F(GroupRun, TenThousandFilesInOneDirectory) {
#ifdef _WIN32
    GTEST_SKIP() << "10,000 file creations take minutes under Wine; the counting is portable";
#endif
    // Far beyond any real group; the run must still complete with exact counts and means.
    const auto lines = RespondentLines("r", UniformTotals(4));
    for (int i = 0; i < 10000; ++i)
        rez::test::WriteRespondentFile(
            dir.path() / (std::to_string(1 + i % 3) + "-" + std::to_string(i) + "REZ.cry"), lines);
    const GroupResults r = Run();
    EXPECT_EQ(r.RespondentCounts, (std::array<int, 5>{0, 3334, 3333, 3333, 10000}));
    EXPECT_EQ(r.ScaleResults[rez::rowColl][22], 4.0);
    EXPECT_EQ(r.PhaseFactorResults[rez::rowMean][7], 4.0);
}

TEST_F(GroupRun, EmptyDirectoryCompletesWithZeros) {
    rez::test::WriteBytes(dir.path() / "notes.txt", "not a respondent file");
    const GroupResults r = Run();
    EXPECT_EQ(r.RespondentCounts, (std::array<int, 5>{}));
    EXPECT_EQ(r.GroupName, "");
    for (const auto& row : r.SelfDifferences)
        for (const double d : row)
            EXPECT_EQ(d, 0.0);
}

TEST_F(GroupRun, ChosenNonRespondentFileStillAnalysesTheDirectory) {
    rez::test::WriteBytes(dir.path() / "notes.txt", "x");
    Add("1aREZ.cry", "m", UniformTotals(6));
    const std::string chosen = dir.dirText() + "notes.txt";
    const GroupResults r = rez::RunGroup(rez::DirectoryOfChosenFile(chosen), '.', buffer);
    EXPECT_EQ(r.RespondentCounts[rez::rowMang], 1);
}

TEST(DirectoryOfChosenFile, KeepsTheLastSeparator) {
    EXPECT_EQ(rez::DirectoryOfChosenFile("/a/b/c.cry"), "/a/b/");
    EXPECT_EQ(rez::DirectoryOfChosenFile("C:\\Data\\x.cry"), "C:\\Data\\");
    EXPECT_EQ(rez::DirectoryOfChosenFile("\\\\server\\share\\g\\0-1REZ.cry"),
              "\\\\server\\share\\g\\");
    EXPECT_EQ(rez::DirectoryOfChosenFile("x.cry"), "");
}

// Folder and file names in Cyrillic, as they come from Windows disks; on Windows the folder
// is given with backslashes, as the platform writes paths.
TEST_F(GroupRun, CyrillicFolderAndFileNames) {
    const std::string folder = "Группа Иванова";
    std::filesystem::create_directory(dir.path() / rez::test::Utf8Path(folder));
    Add(folder + "/0-Иванов REZ.cry", "Иванов", UniformTotals(5));
    Add(folder + "/1-Петров rez.CRY", "Петров", UniformTotals(6));
    Add(folder + "/2-Сидорова REZ.cry", "Сидорова", UniformTotals(4));
    std::string group = dir.dirText() + folder + "/";
#ifdef _WIN32
    std::replace(group.begin(), group.end(), '/', '\\');
#endif
    const GroupResults r =
        rez::RunGroup(rez::DirectoryOfChosenFile(group + "1-Петров rez.CRY"), '.', buffer);
    EXPECT_EQ(r.RespondentCounts, (std::array<int, 5>{1, 1, 1, 0, 2}));
    EXPECT_EQ(r.GroupLabel, "Иванов L0");
    EXPECT_EQ(r.ScaleResults[rez::rowMang][0], 6.0);
    EXPECT_EQ(r.ScaleResults[rez::rowSubr][0], 4.0);

    std::filesystem::create_directory(dir.path() / rez::test::Utf8Path(folder + "/3-папкаREZ.cry"));
    try {
        rez::RunGroup(group, '.', buffer);
        ADD_FAILURE() << "a folder named like a respondent file was read";
    } catch (const rez::RezError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file " + group + "3-папкаREZ.cry: not a regular file");
    }
}

TEST_F(GroupRun, FirstBadFileInListingOrderEndsTheRun) {
    Add("1aREZ.cry", "m", UniformTotals(6));
    auto badTotals = UniformTotals(6);
    badTotals[5] = "4,5";
    Add("2aREZ.cry", "s", badTotals);
    Add("xREZ.cry", "x", UniformTotals(6));
    EXPECT_EQ(FailureOf(), "'4,5' is not a valid floating point value (file " + dir.dirText() +
                               "2aREZ.cry, line 19)");
}

// Totals that are finite one by one but whose sums are not (factor 2 adds eight scale means of
// about 3e307) fail the run; large finite results stay as the files give them.
TEST_F(GroupRun, TotalsTooLargeToComputeFailTheRun) {
    Add("1aREZ.cry", "m", std::vector<std::string>(rez::ScaleCount, "1.7e308"));
    EXPECT_EQ(FailureOf(), "The totals in " + dir.path().string() + " are too large to compute");
    Add("1aREZ.cry", "m", std::vector<std::string>(rez::ScaleCount, "1e300"));
    EXPECT_DOUBLE_EQ(Run().ScaleResults[rez::rowMang][0], 1e300 / 7);
}

TEST_F(GroupRun, WarnsOfAFolderWithoutFilesAndOfDifferentManagers) {
    const std::string folder = rez::FolderText(dir.dirText());
    EXPECT_EQ(folder, dir.path().string());
    GroupResults r = Run();
    EXPECT_EQ(rez::NoRespondentsWarning(r, folder), "No respondent files in " + folder);
    EXPECT_EQ(rez::MixedManagersWarning(r, folder), std::nullopt);

    auto lines = RespondentLines("a", UniformTotals(4));
    lines[2] = "Иванов И.И.";
    rez::test::WriteRespondentFile(dir.path() / "1aREZ.cry", lines);
    rez::test::WriteRespondentFile(dir.path() / "2aREZ.cry", lines);
    r = Run();
    EXPECT_EQ(rez::NoRespondentsWarning(r, folder), std::nullopt);
    EXPECT_EQ(rez::MixedManagersWarning(r, folder), std::nullopt);

    lines[2] = "Петров\x1b[2J";
    rez::test::WriteRespondentFile(dir.path() / "3aREZ.cry", lines);
    r = Run();
    EXPECT_EQ(r.GroupName, lines[2]); // the results stay as the files give them
    EXPECT_EQ(rez::MixedManagersWarning(r, folder), "Respondent files in " + folder +
                                                        " name different managers: Иванов И.И., "
                                                        "Петров\\x1b[2J");
}

TEST_F(GroupRun, RoleFailures) {
    Add("5aREZ.cry", "five", UniformTotals(6));
    EXPECT_EQ(FailureOf(),
              "'5' is not a valid respondent role in file " + dir.dirText() + "5aREZ.cry");
    std::filesystem::remove(dir.path() / "5aREZ.cry");
    Add("ЯREZ.cry", "letter", UniformTotals(6));
    EXPECT_EQ(FailureOf(), "'Я' is not a valid integer value (file " + dir.dirText() + "ЯREZ.cry)");
}

TEST_F(GroupRun, DirectoryNamedLikeARespondentFileEndsTheRun) {
    Add("1aREZ.cry", "m", UniformTotals(6));
    std::filesystem::create_directory(dir.path() / "2dirREZ.cry");
    EXPECT_EQ(FailureOf(), "Cannot open file " + dir.dirText() + "2dirREZ.cry: not a regular file");
}

#ifndef _WIN32
TEST_F(GroupRun, FifoOrDanglingLinkNamedLikeARespondentFileEndsTheRunWithoutHanging) {
    Add("1aREZ.cry", "m", UniformTotals(6));
    ASSERT_EQ(::mkfifo((dir.path() / "2fifoREZ.cry").c_str(), 0600), 0);
    EXPECT_EQ(FailureOf(),
              "Cannot open file " + dir.dirText() + "2fifoREZ.cry: not a regular file");
    std::filesystem::remove(dir.path() / "2fifoREZ.cry");
    std::filesystem::create_symlink(dir.path() / "gone", dir.path() / "3linkREZ.cry");
    EXPECT_EQ(FailureOf(),
              "Cannot open file " + dir.dirText() + "3linkREZ.cry: No such file or directory");
}
#endif

TEST(SelfDifference, ResidueIsZeroRealDifferencesStay) {
    const double x = 13.0 / 7.0;
    EXPECT_EQ(rez::SelfDifference(x, (0.0 + x + x + x) / 3), 0.0);
    EXPECT_EQ(rez::SelfDifference(5.0, 4.96), 5.0 - 4.96);
    EXPECT_GT(rez::SelfDifference(1.0 / 65025, 0.0), 0.0); // one point over 255 x 255
    EXPECT_EQ(rez::SelfDifference(0.0, 6.0), -6.0);
}

} // namespace
