#include "questionnaire.h"
#include "respondent_file.h"
#include "rez_error.h"
#include "scramble.h"
#include "test_files.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using rez::test::RespondentLines;
using rez::test::TempDir;
using rez::test::UniformTotals;
using rez::test::WriteBytes;
using rez::test::WriteRespondentFile;

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const rez::RezError& e) {
        return e.what();
    }
    return "(no failure)";
}

TEST(Unscramble, IsItsOwnInverse) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.push_back(static_cast<char>((i * 37) & 0xFF));
    EXPECT_EQ(rez::UnscrambleText(rez::UnscrambleText(bytes)), bytes);
    EXPECT_EQ(rez::UnscrambleText("").size(), 0u);
}

TEST(Unscramble, XorsWithTheKeyFromItsFirstLetter) {
    // The key against itself gives zero bytes; one more byte uses the first key letter again.
    EXPECT_EQ(rez::UnscrambleText("vetrakv"), std::string(7, '\0'));
    EXPECT_EQ(rez::UnscrambleText(std::string("\r\n", 2)),
              std::string({static_cast<char>('\r' ^ 'v'), static_cast<char>('\n' ^ 'e')}));
}

TEST(ReadRespondentFile, KeyRestartsWithEveryFile) {
    TempDir dir;
    rez::LineBuffer buffer;
    // Files of lengths that are not multiples of six, read one after the other into one buffer.
    WriteRespondentFile(dir.path() / "a", {"Иванов"});
    WriteRespondentFile(dir.path() / "b", {"Петров И.", "x"});
    EXPECT_EQ(rez::ReadRespondentFile(dir.dirText() + "a", buffer).Line(0), "Иванов");
    const auto b = rez::ReadRespondentFile(dir.dirText() + "b", buffer);
    EXPECT_EQ(b.Line(0), "Петров И.");
    EXPECT_EQ(b.Line(1), "x");
    EXPECT_EQ(b.LineCount(), 2u);
}

TEST(ReadRespondentFile, CompleteFileGivesAllScaleValues) {
    TempDir dir;
    rez::LineBuffer buffer;
    auto lines = RespondentLines("R", UniformTotals(6));
    ASSERT_EQ(lines.size(), 36u);
    lines[13 + 7] = "35"; // H has 5 items: 7.0
    lines[13 + 0] = "0";  // A: 0.0
    WriteRespondentFile(dir.path() / "1REZ.cry", lines);
    const auto file = rez::ReadRespondentFile(dir.dirText() + "1REZ.cry", buffer);
    EXPECT_EQ(file.Line(2), "R L2");
    EXPECT_EQ(file.Line(36), "");
    EXPECT_EQ(file.Line(100000), "");
    for (int s = 0; s < rez::ScaleCount; ++s) {
        const double expected = s == 7 ? 7.0 : s == 0 ? 0.0 : 6.0;
        EXPECT_DOUBLE_EQ(rez::ScaleValue(file, s, '.'), expected) << "scale " << s;
    }
    EXPECT_DOUBLE_EQ(rez::ScaleValue(file, 0, ','), 0.0);
}

TEST(ReadRespondentFile, FileOf35LinesFailsOnScaleW) {
    TempDir dir;
    rez::LineBuffer buffer;
    auto lines = RespondentLines("R", UniformTotals(4));
    lines.pop_back();
    WriteRespondentFile(dir.path() / "f", lines);
    const auto file = rez::ReadRespondentFile(dir.dirText() + "f", buffer);
    for (int s = 0; s < 22; ++s)
        EXPECT_DOUBLE_EQ(rez::ScaleValue(file, s, '.'), 4.0);
    // Lines counted from 1, as editors show them: scale W's total is line 35 from 0.
    EXPECT_EQ(MessageOf([&] { rez::ScaleValue(file, 22, '.'); }),
              "'' is not a valid floating point value (file " + dir.dirText() + "f, line 36)");
}

TEST(ReadRespondentFile, EmptyFileHasNoLines) {
    TempDir dir;
    rez::LineBuffer buffer{"left over from the last file"};
    WriteBytes(dir.path() / "empty", "");
    const auto file = rez::ReadRespondentFile(dir.dirText() + "empty", buffer);
    EXPECT_EQ(file.LineCount(), 0u);
    EXPECT_EQ(file.Line(0), "");
    EXPECT_EQ(MessageOf([&] { rez::ScaleValue(file, 0, '.'); }),
              "'' is not a valid floating point value (file " + dir.dirText() + "empty, line 14)");
}

TEST(ReadRespondentFile, TotalWithTheOtherSeparatorFails) {
    TempDir dir;
    rez::LineBuffer buffer;
    auto lines = RespondentLines("R", UniformTotals(4));
    lines[13 + 3] = "24,5";
    WriteRespondentFile(dir.path() / "f", lines);
    const auto file = rez::ReadRespondentFile(dir.dirText() + "f", buffer);
    EXPECT_EQ(MessageOf([&] { rez::ScaleValue(file, 3, '.'); }),
              "'24,5' is not a valid floating point value (file " + dir.dirText() + "f, line 17)");
    EXPECT_DOUBLE_EQ(rez::ScaleValue(file, 3, ','), 3.5);
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};
REZ_PRINT_CASE_BY_NAME(SplitCase)

class SplitLines : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, AtLineEnds) {
    rez::LineBuffer lines{"stale"};
    rez::SplitLines(GetParam().text, lines);
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitLines,
    testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"NoLineEnd", "a", {"a"}},
                    SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                    SplitCase{"EmptyLines", "\r\n\r\nc", {"", "", "c"}},
                    SplitCase{"LoneLf", "a\nb", {"a", "b"}},
                    SplitCase{"LoneCr", "a\rb", {"a", "b"}},
                    SplitCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}},
                    SplitCase{"NulKept", std::string("a\0b", 3), {std::string("a\0b", 3)}}),
    rez::test::ByName());

// The system's reason follows the message wherever the system gave one.
TEST(ReadRespondentFile, MissingFileCannotBeOpened) {
    TempDir dir;
    rez::LineBuffer buffer;
    const std::string path = dir.dirText() + "0missingREZ.cry";
    const std::string message = MessageOf([&] { rez::ReadRespondentFile(path, buffer); });
#ifdef _WIN32
    // The system's text, in the user's language.
    EXPECT_TRUE(message.starts_with("Cannot open file " + path + ": ")) << message;
    EXPECT_GT(message.size(), ("Cannot open file " + path + ": ").size()) << message;
#else
    EXPECT_EQ(message, "Cannot open file " + path + ": No such file or directory");
#endif
}

#ifndef _WIN32
TEST(ReadRespondentFile, EntriesThatAreNotRegularFilesAreRefusedWithoutBlocking) {
    TempDir dir;
    rez::LineBuffer buffer;
    fs::create_directory(dir.path() / "0dirREZ.cry");
    ASSERT_EQ(::mkfifo((dir.path() / "1fifoREZ.cry").c_str(), 0600), 0);
    fs::create_symlink(dir.path() / "nowhere", dir.path() / "2danglingREZ.cry");
    const std::pair<const char*, const char*> refused[] = {
        {"0dirREZ.cry", "not a regular file"},
        {"1fifoREZ.cry", "not a regular file"},
        {"2danglingREZ.cry", "No such file or directory"}};
    for (const auto& [name, reason] : refused) {
        const std::string path = dir.dirText() + name;
        EXPECT_EQ(MessageOf([&] { rez::ReadRespondentFile(path, buffer); }),
                  "Cannot open file " + path + ": " + reason);
    }
}

// A run out of file descriptors says so, rather than leaving the user to guess.
TEST(ReadRespondentFile, NoDescriptorLeftGivesTheSystemsReason) {
    TempDir dir;
    rez::LineBuffer buffer;
    const std::string path = dir.dirText() + "0REZ.cry";
    WriteRespondentFile(path, RespondentLines("R", UniformTotals(4)));
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    // The lowest free descriptor becomes the limit, so the next open fails.
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit lowered = limit;
    lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    // Nothing but the read while no descriptor is left: the sanitizers' checks of the
    // exception may need one of their own.
    std::exception_ptr failure;
    try {
        rez::ReadRespondentFile(path, buffer);
    } catch (...) {
        failure = std::current_exception();
    }
    ::setrlimit(RLIMIT_NOFILE, &limit);
    const std::string message = MessageOf([&] {
        if (failure)
            std::rethrow_exception(failure);
    });
    EXPECT_EQ(message, "Cannot open file " + path + ": Too many open files");
}
#endif

#ifdef _WIN32
// Devices and pipes are refused before the first read, which could wait forever; so is a
// file that another program holds open for writing, until it lets go.
TEST(ReadRespondentFile, DevicesPipesAndFilesBeingWrittenAreRefusedWithoutBlocking) {
    TempDir dir;
    rez::LineBuffer buffer;
    const std::string pipePath = "\\\\.\\pipe\\rez-test-" + std::to_string(GetCurrentProcessId());
    HANDLE pipe = CreateNamedPipeA(pipePath.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                   1, 512, 512, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    WriteRespondentFile(dir.path() / "1busyREZ.cry", RespondentLines("R", UniformTotals(4)));
    HANDLE writer = CreateFileW((dir.path() / "1busyREZ.cry").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const std::string busy = dir.dirText() + "1busyREZ.cry";
    for (const std::string& path :
         {std::string("\\\\.\\NUL"), std::string("NUL"), pipePath, busy}) {
        // Each with a reason: "not a regular file", or the system's own for the busy file.
        const std::string message = MessageOf([&] { rez::ReadRespondentFile(path, buffer); });
        EXPECT_TRUE(message.starts_with("Cannot open file " + path + ": ")) << message;
        EXPECT_GT(message.size(), ("Cannot open file " + path + ": ").size()) << message;
    }
    CloseHandle(writer);
    CloseHandle(pipe);
    EXPECT_EQ(rez::ReadRespondentFile(busy, buffer).Line(2), "R L2");
}
#endif

TEST(ReadRespondentFile, FileOverOneMebibyteIsRefused) {
    TempDir dir;
    rez::LineBuffer buffer;
    WriteBytes(dir.path() / "big", std::string(rez::MaxRespondentFileBytes + 1, 'x'));
    WriteBytes(dir.path() / "limit", std::string(rez::MaxRespondentFileBytes, 'x'));
    const std::string big = dir.dirText() + "big";
    EXPECT_EQ(MessageOf([&] { rez::ReadRespondentFile(big, buffer); }),
              "File " + big + " is too large to be a respondent file");
    EXPECT_NO_THROW(rez::ReadRespondentFile(dir.dirText() + "limit", buffer));
}

struct RoleCase {
    const char* name;
    const char* fileName;
    int role;            // -1: fails
    const char* message; // with the path "/d/<fileName>"
};
REZ_PRINT_CASE_BY_NAME(RoleCase)

class RoleFromFileName : public testing::TestWithParam<RoleCase> {};

TEST_P(RoleFromFileName, DigitDecides) {
    const auto& c = GetParam();
    const std::string path = std::string("/d/") + c.fileName;
    if (c.role >= 0)
        EXPECT_EQ(rez::RoleFromFileName(c.fileName, path), c.role);
    else
        EXPECT_EQ(MessageOf([&] { rez::RoleFromFileName(c.fileName, path); }), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RoleFromFileName,
    testing::Values(
        RoleCase{"Self", "0abcREZ.cry", 0, ""}, RoleCase{"Manager", "1REZ.cry", 1, ""},
        RoleCase{"Subordinate", "2-01REZ.cry", 2, ""}, RoleCase{"Colleague", "3xREZ.cry", 3, ""},
        RoleCase{"Letter", "xREZ.cry", -1, "'x' is not a valid integer value (file /d/xREZ.cry)"},
        RoleCase{"CyrillicLetter", "ЯREZ.cry", -1,
                 "'Я' is not a valid integer value (file /d/ЯREZ.cry)"},
        RoleCase{"Sign", "+1REZ.cry", -1, "'+' is not a valid integer value (file /d/+1REZ.cry)"},
        RoleCase{"EscapeShownEscaped", "\x1b[2JREZ.cry", -1,
                 "'\\x1b' is not a valid integer value (file /d/\\x1b[2JREZ.cry)"},
        // Invisible and direction controls too: "abc<U+202E>gpj" would show as "abcjpg".
        RoleCase{"DirectionControlsShownEscaped", "\u202Eabc\u200Fgpj\u2069\uFEFFREZ.cry", -1,
                 "'\\u202e' is not a valid integer value (file "
                 "/d/\\u202eabc\\u200fgpj\\u2069\\ufeffREZ.cry)"},
        RoleCase{"Empty", "", -1, "'' is not a valid integer value (file /d/)"},
        RoleCase{"Five", "5REZ.cry", -1, "'5' is not a valid respondent role in file /d/5REZ.cry"},
        RoleCase{"Nine", "9REZ.cry", -1, "'9' is not a valid respondent role in file /d/9REZ.cry"}),
    rez::test::ByName());

} // namespace
