#include "cp1251.h"

#include "console_text.h"
#include "param_name.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#endif

namespace {

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string utf8 = rez::DecodeCp1251(all);
    const auto back = rez::EncodeCp1251(utf8);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
    // Each byte on its own, too: no two bytes share a code point.
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(rez::EncodeCp1251(rez::DecodeCp1251(one)).value_or("?fail"), one) << b;
    }
}

struct Mapping {
    const char* name;
    unsigned char byte;
    std::string utf8;
};
REZ_PRINT_CASE_BY_NAME(Mapping)

class Cp1251Mapping : public testing::TestWithParam<Mapping> {};

TEST_P(Cp1251Mapping, DecodesAndEncodes) {
    const auto& m = GetParam();
    const std::string byte(1, static_cast<char>(m.byte));
    EXPECT_EQ(rez::DecodeCp1251(byte), m.utf8);
    EXPECT_EQ(rez::EncodeCp1251(m.utf8).value_or("?fail"), byte);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Cp1251Mapping,
    testing::Values(Mapping{"Nul", 0x00, std::string(1, '\0')}, Mapping{"CapitalA", 0xC0, "А"},
                    Mapping{"SmallYa", 0xFF, "я"}, Mapping{"CapitalYo", 0xA8, "Ё"},
                    Mapping{"SmallYo", 0xB8, "ё"}, Mapping{"Euro", 0x88, "€"},
                    Mapping{"Unassigned98", 0x98, "\u0098"}, Mapping{"Guillemet", 0xAB, "«"},
                    Mapping{"Numero", 0xB9, "№"}, Mapping{"NoBreakSpace", 0xA0, "\u00A0"},
                    Mapping{"CapitalF", 0xD4, "Ф"}, Mapping{"Tilde", 0x7E, "~"}),
    rez::test::ByName());

struct BadText {
    const char* name;
    std::string utf8;
    char32_t codePoint;
    std::size_t offset;
};
REZ_PRINT_CASE_BY_NAME(BadText)

class Cp1251Unencodable : public testing::TestWithParam<BadText> {};

TEST_P(Cp1251Unencodable, ReportsTheFirstCharacterAndItsOffset) {
    const auto& bad = GetParam();
    rez::Cp1251EncodeError error;
    EXPECT_FALSE(rez::EncodeCp1251(bad.utf8, &error));
    EXPECT_EQ(error.codePoint, bad.codePoint);
    EXPECT_EQ(error.byteOffset, bad.offset);
}

INSTANTIATE_TEST_SUITE_P(Texts, Cp1251Unencodable,
                         testing::Values(BadText{"CjkAfterCyrillic", "Яя漢", U'漢', 4},
                                         BadText{"LineSeparator", "a\u2028b", U'\u2028', 1},
                                         BadText{"Emoji", "\U0001F600", U'\U0001F600', 0},
                                         BadText{"LoneContinuationByte", "ok\x80", U'\uFFFD', 2},
                                         BadText{"TruncatedSequence", "\xD0", U'\uFFFD', 0},
                                         BadText{"OverlongSlash", "\xC0\xAF", U'\uFFFD', 0},
                                         BadText{"Surrogate", "\xED\xA0\x80", U'\uFFFD', 0}),
                         rez::test::ByName());

#ifdef _WIN32
// rez-report's messages on a Windows console: the characters themselves reach the screen,
// whatever the console's code page (cmd.exe starts with 437 or 866, never UTF-8). Written
// into a console screen buffer of this process and read back from it.
TEST(ConsoleText, ReachesAConsoleAsTheCharactersThemselves) {
    if (::GetConsoleWindow() == nullptr && !::AllocConsole())
        GTEST_SKIP() << "no console can be made here";
    ::SetConsoleOutputCP(437);
    HANDLE screen = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(screen), _O_WRONLY);
    ASSERT_GE(descriptor, 0);
    std::FILE* stream = _fdopen(descriptor, "w");
    ASSERT_NE(stream, nullptr);

    const std::string text = "Смирнов: отчёт «готов» – готово";
    EXPECT_TRUE(rez::WriteText(stream, text));
    const std::wstring expected = L"Смирнов: отчёт «готов» – готово";
    std::wstring shown(expected.size(), L' ');
    DWORD read = 0;
    ASSERT_TRUE(::ReadConsoleOutputCharacterW(
        screen, shown.data(), static_cast<DWORD>(shown.size()), COORD{0, 0}, &read));
    EXPECT_EQ(shown.substr(0, read), expected);
    std::fclose(stream); // closes the screen buffer too
}
#endif

} // namespace
