#include "export_files.h"
#include "param_name.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using rez::test::ReadBytes;

QString QPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

struct MemoCase {
    const char* name;
    QString text;
    std::string bytes;
};
REZ_PRINT_CASE_BY_NAME(MemoCase)

class MemoText : public testing::TestWithParam<MemoCase> {};

TEST_P(MemoText, BecomesWindows1251WithCrLf) {
    EXPECT_EQ(rez::EncodeMemoText(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MemoText,
    testing::Values(MemoCase{"FinalLineEnd", QStringLiteral("Я\nb\n"), "\xDF\r\nb\r\n"},
                    MemoCase{"FinalLineEndRemoved", QStringLiteral("a\nb"), "a\r\nb"},
                    MemoCase{"Empty", QString(), ""},
                    MemoCase{"LineAndParagraphSeparators", QStringLiteral("a\u2028b\u2029c"),
                             "a\r\nb\r\nc"},
                    MemoCase{"NoBreakSpaceKept", QStringLiteral("1\u00A02"),
                             "1\xA0"
                             "2"},
                    MemoCase{"TypedLine", QStringLiteral("x\nновая строка\n"),
                             "x\r\n\xED\xEE\xE2\xE0\xFF \xF1\xF2\xF0\xEE\xEA\xE0\r\n"}),
    rez::test::ByName());

TEST(MemoText, CharacterOutsideTheCodePageFailsWithItsLine) {
    try {
        rez::EncodeMemoText(QStringLiteral("a\nb\nab漢c\n"));
        FAIL();
    } catch (const rez::RezError& e) {
        EXPECT_STREQ(e.what(), "Cannot write character '漢' in Windows-1251 (line 3)");
    }
}

TEST(SaveAnalysisFile, UnencodableTextWritesNothing) {
    rez::test::TempDir dir;
    const auto path = dir.path() / "An.rtf";
    rez::test::WriteBytes(path, "old");
    EXPECT_THROW(rez::SaveAnalysisFile(QPath(path), QStringLiteral("\U0001F600")), rez::RezError);
    EXPECT_EQ(ReadBytes(path), "old");
}

TEST(TableFile, LinesEndWithCrLf) {
    rez::test::TempDir dir;
    const auto path = dir.path() / "t.rtf";
    rez::SaveTableFile(QPath(path), {"Шкалы;  F.1", "", "x"});
    EXPECT_EQ(ReadBytes(path), "\xD8\xEA\xE0\xEB\xFB;  F.1\r\n\r\nx\r\n");
}

struct GifNameCase {
    const char* name;
    QString chosen;
    QString saved;
};
REZ_PRINT_CASE_BY_NAME(GifNameCase)

class GifExtension : public testing::TestWithParam<GifNameCase> {};

TEST_P(GifExtension, AppendedUnlessExactlyDotGif) {
    EXPECT_EQ(rez::WithGifExtension(GetParam().chosen), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Names, GifExtension,
    testing::Values(GifNameCase{"NoExtension", QStringLiteral("x"), QStringLiteral("x.gif")},
                    GifNameCase{"UpperCase", QStringLiteral("x.GIF"), QStringLiteral("x.GIF.gif")},
                    GifNameCase{"Exact", QStringLiteral("x.gif"), QStringLiteral("x.gif")},
                    GifNameCase{"OtherExtension", QStringLiteral("x.png"),
                                QStringLiteral("x.png.gif")}),
    rez::test::ByName());

// A picture the GIF writer cannot take (here: none at all) fails with the program's own error,
// which names the file; nothing is written.
TEST(SaveChartGif, PictureTheGifWriterCannotTakeFailsNamingTheFile) {
    rez::test::TempDir dir;
    const std::filesystem::path path = dir.path() / "chart.gif";
    try {
        rez::SaveChartGif(QPath(path), QImage());
        FAIL() << "saved a picture of no size";
    } catch (const rez::RezError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write file " + path.string() +
                      ": the chart cannot be stored as a GIF picture (GIF picture size 0 x 0 is "
                      "out of range)");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

// The Save dialogs propose the names rez-report writes.
TEST(ProposedResultPath, UsesTheGroupsFileStem) {
    EXPECT_EQ(rez::ProposedResultPath(QStringLiteral("/opt/rez/"), QStringLiteral("Иванов И.И."),
                                      u" Scales.gif"),
              QStringLiteral("/opt/rez/Results/Иванов И.И. Scales.gif"));
    EXPECT_EQ(rez::ProposedResultPath(QStringLiteral("/opt/rez/"), QStringLiteral("../Отдел\\А:Б"),
                                      u" An.rtf"),
              QStringLiteral("/opt/rez/Results/.._Отдел_А_Б An.rtf"));
    EXPECT_EQ(rez::ProposedResultPath(QStringLiteral("/opt/rez/"), QString(), u" Table.rtf"),
              QStringLiteral("/opt/rez/Results/ Table.rtf"));
}

} // namespace
