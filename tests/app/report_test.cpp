// rez-report as a user runs it: files, messages and exit status.
#include "cp1251.h"
#include "param_name.h"
#include "test_files.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `program` (rez-report unless given) in `workingDir` (the test's own unless given),
// standard output into `stdoutFile` when one is given.
Outcome RunProgram(const QStringList& arguments, const fs::path& workingDir = {},
                   const QString& stdoutFile = {},
                   const QString& program = QStringLiteral(REZ_REPORT_BINARY)) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingDir.empty())
        process.setWorkingDirectory(QString::fromStdString(workingDir.string()));
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY")); // it must not need one
    // Without it Qt notes "QStandardPaths: XDG_RUNTIME_DIR not set": standard error must
    // carry the program's messages alone.
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start();
    process.waitForFinished(60'000);
    Outcome outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
                    process.readAllStandardOutput().toStdString(),
                    process.readAllStandardError().toStdString()};
#ifdef _WIN32
    // Windows' C runtime ends lines with CR LF on the standard streams; the texts are the same.
    for (std::string* text : {&outcome.out, &outcome.err})
        for (std::size_t at; (at = text->find("\r\n")) != std::string::npos;)
            text->erase(at, 1);
#endif
    return outcome;
}

Outcome Report(const QStringList& arguments) {
    return RunProgram(arguments);
}

// A path's name as UTF-8, and a UTF-8 name as a path: on Windows a plain std::string would go
// through the ANSI code page.
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path U(const std::string& utf8) {
    return rez::test::Utf8Path(utf8);
}

// The files in `dir`, but the folder's lock, which every run into it leaves (empty) for the
// next to take.
std::set<std::string> FilesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename() != ".rez-lock")
            names.insert(Utf8(entry.path().filename()));
    return names;
}

using rez::test::ReadBytes;

// A golden text as the program writes it.
std::string AsWrittenFile(const std::string& goldenName) {
    return rez::test::AsWindowsFile(ReadBytes(fs::path(REZ_GOLDEN_DIR) / goldenName));
}

QString Q(const fs::path& path) {
    return QString::fromStdString(Utf8(path));
}

TEST(RezReport, WritesTheFourFilesOfEverySampleGroup) {
    rez::test::TempDir out;
    const fs::path data = REZ_SAMPLE_DATA_DIR;
    const Outcome o =
        Report({QStringLiteral("-d"), QStringLiteral("."), QStringLiteral("-o"), Q(out.path()),
                Q(data / "Smirnov"), Q(data / "Kuznetsova"), Q(data / "Orlov")});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    const std::set<std::string> expected = {
        "Смирнов Андрей Викторович Table.rtf",  "Смирнов Андрей Викторович An.rtf",
        "Смирнов Андрей Викторович Scales.gif", "Смирнов Андрей Викторович Factors.gif",
        "Кузнецова Татьяна Юрьевна Table.rtf",  "Кузнецова Татьяна Юрьевна An.rtf",
        "Кузнецова Татьяна Юрьевна Scales.gif", "Кузнецова Татьяна Юрьевна Factors.gif",
        "Орлов Виктор Степанович Table.rtf",    "Орлов Виктор Степанович An.rtf",
        "Орлов Виктор Степанович Scales.gif",   "Орлов Виктор Степанович Factors.gif"};
    EXPECT_EQ(FilesIn(out.path()), expected);
    // The same bytes the program's Save commands write (pinned against the same goldens), and
    // the same pictures on every system: the GIFs' SHA-256 pinned as Debian 12 draws them, so
    // the Windows program (drawing with the Liberation Sans files it ships) must match them.
    struct Written {
        const char* group;
        const char* name;
        const char* scalesSha256;
        const char* factorsSha256;
    };
    const Written groups[] = {{"Smirnov", "Смирнов Андрей Викторович",
                               "2ceb1dc6d96ec57946c2358fc73bf0a075d949d6acb0f22e800f24f2ec51cf3b",
                               "1d12cfd87ee2a0bdeb6d4aa871ec77c6ab31f509b29dcc2a7a95251c01354fd3"},
                              {"Kuznetsova", "Кузнецова Татьяна Юрьевна",
                               "41caa5f07ed6e0b20f6a8eacb15bf3e7575de0c804f39010c838212802f706cf",
                               "71582a40da55dc115c14eed430890755c6e3d5d4f1353cd69892dd5e12a36eac"},
                              {"Orlov", "Орлов Виктор Степанович",
                               "7f70562d22044faa7c2595e2383549131f07815b76585cfe85f39e80057337da",
                               "bc6b572e55812d6570d363e54fb99dd71b936b308bc8bc0c24d9b7e78772cab1"}};
    const auto sha256 = [&out](const std::string& file) {
        const std::string bytes = ReadBytes(out.path() / U(file));
        return QCryptographicHash::hash(QByteArrayView(bytes.data(), bytes.size()),
                                        QCryptographicHash::Sha256)
            .toHex()
            .toStdString();
    };
    for (const Written& w : groups) {
        const std::string name = w.name;
        EXPECT_EQ(ReadBytes(out.path() / U(name + " Table.rtf")),
                  AsWrittenFile(std::string(w.group) + ".table.txt"));
        EXPECT_EQ(ReadBytes(out.path() / U(name + " An.rtf")),
                  AsWrittenFile(std::string(w.group) + ".analysis.txt"));
        EXPECT_EQ(sha256(name + " Scales.gif"), w.scalesSha256) << name;
        EXPECT_EQ(sha256(name + " Factors.gif"), w.factorsSha256) << name;
    }
}

// -r adds one PDF per group and changes nothing else; a failing group writes no report either.
TEST(RezReport, ReportAddsTheManagersPdfOfEachGroup) {
    rez::test::TempDir work;
    const fs::path bad = work.path() / "bad";
    fs::create_directories(bad);
    auto totals = rez::test::UniformTotals(4);
    totals[0] = "x";
    rez::test::WriteRespondentFile(bad / "1REZ.cry", rez::test::RespondentLines("m", totals));
    const fs::path data = REZ_SAMPLE_DATA_DIR;
    const Outcome o = Report({QStringLiteral("-r"), QStringLiteral("-d"), QStringLiteral("."),
                              QStringLiteral("-o"), Q(work.path()), Q(data / "Smirnov"), Q(bad),
                              Q(data / "Kuznetsova"), Q(data / "Orlov")});
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_EQ(FilesIn(work.path()).size(), 16u); // bad/ and five files of each good group
    const std::pair<const char*, const char*> groups[] = {
        {"Smirnov", "Смирнов Андрей Викторович"},
        {"Kuznetsova", "Кузнецова Татьяна Юрьевна"},
        {"Orlov", "Орлов Виктор Степанович"}};
    for (const auto& [group, name] : groups) {
        const std::string pdf = ReadBytes(work.path() / U(std::string(name) + " Report.pdf"));
        EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.4") << name;
        EXPECT_LT(pdf.size(), 300u * 1024u) << name;
        EXPECT_EQ(ReadBytes(work.path() / U(std::string(name) + " Table.rtf")),
                  AsWrittenFile(std::string(group) + ".table.txt"));
    }
    EXPECT_EQ(FilesIn(bad), (std::set<std::string>{"1REZ.cry"}));
}

// Other readers take our files too: ImageMagick's identify and giflib's giftext.
TEST(RezReport, GifFilesReadByOtherTools) {
    const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
    const QString giftext = QStandardPaths::findExecutable(QStringLiteral("giftext"));
    if (identify.isEmpty() || giftext.isEmpty())
        GTEST_SKIP() << "identify (imagemagick) or giftext (giflib-tools) is not installed";
    rez::test::TempDir out;
    const Outcome o = Report(
        {QStringLiteral("-o"), Q(out.path()), Q(fs::path(REZ_SAMPLE_DATA_DIR) / "Kuznetsova")});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const std::pair<const char*, const char*> files[] = {
        {"Кузнецова Татьяна Юрьевна Scales.gif", "GIF 1019x261 1019x261+0+0"},
        {"Кузнецова Татьяна Юрьевна Factors.gif", "GIF 415x257 415x257+0+0"}};
    for (const auto& [name, expected] : files) {
        const QString path = Q(out.path() / U(name));
        QProcess tool;
        tool.start(identify, {path});
        ASSERT_TRUE(tool.waitForFinished(60'000));
        EXPECT_EQ(tool.exitCode(), 0);
        EXPECT_NE(tool.readAllStandardOutput().toStdString().find(expected), std::string::npos)
            << name;
        tool.start(giftext, {path});
        ASSERT_TRUE(tool.waitForFinished(60'000));
        EXPECT_EQ(tool.exitCode(), 0) << name;
        const std::string text = tool.readAllStandardOutput().toStdString();
        EXPECT_NE(text.find("Image #1"), std::string::npos) << text;
        EXPECT_EQ(text.find("Image #2"), std::string::npos) << text;
        EXPECT_EQ(text.find("Extension"), std::string::npos) << text;
    }
}

TEST(RezReport, FailedGroupWritesNothingAndTheOthersGoOn) {
    rez::test::TempDir work;
    const fs::path bad = work.path() / "bad";
    const fs::path out = work.path() / "out";
    fs::create_directories(bad);
    fs::create_directories(out);
    auto totals = rez::test::UniformTotals(4);
    totals[0] = "x";
    rez::test::WriteRespondentFile(bad / "1REZ.cry", rez::test::RespondentLines("m", totals));
    const Outcome o =
        Report({QStringLiteral("-o"), Q(out), Q(bad), Q(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov")});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("'x' is not a valid floating point value"), std::string::npos) << o.err;
    EXPECT_EQ(FilesIn(out).size(), 4u);
}

const std::string kOrlov = "Орлов Виктор Степанович";

// Two folders of one call whose files would have the same names (letter case ignored): the
// later fails, naming both, and the earlier's files stay.
TEST(RezReport, SameFileNamesInOneCallFailTheLaterGroup) {
    rez::test::TempDir work;
    const fs::path first = work.path() / "first";
    const fs::path second = work.path() / "second";
    const fs::path out = work.path() / "out";
    fs::copy(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov", first);
    fs::create_directories(second);
    fs::create_directories(out);
    auto lines = rez::test::RespondentLines("x", rez::test::UniformTotals(1));
    lines[2] = "ОРЛОВ виктор СТЕПАНОВИЧ";
    rez::test::WriteRespondentFile(second / "1REZ.cry", lines);
    const Outcome o = Report({QStringLiteral("-o"), Q(out), Q(first), Q(second)});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find(second.string() + ": Not written: " + second.string() + " and " +
                         first.string() +
                         " give the same file names \"ОРЛОВ виктор СТЕПАНОВИЧ ...\" (letter "
                         "case ignored)\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(FilesIn(out).size(), 4u);
    EXPECT_EQ(ReadBytes(out / U(kOrlov + " Table.rtf")), AsWrittenFile("Orlov.table.txt"));
}

struct AllOrNoneCase {
    const char* name;
    QStringList options;
    const char* blocked; // the suffix of the name a folder sits on
};
REZ_PRINT_CASE_BY_NAME(AllOrNoneCase)

class RezReportAllOrNone : public testing::TestWithParam<AllOrNoneCase> {};

// A folder that cannot take one of the group's files, the report among them, gets none of them.
TEST_P(RezReportAllOrNone, GroupIsWrittenAllOrNone) {
    rez::test::TempDir out;
    const std::string blocked = kOrlov + GetParam().blocked;
    fs::create_directory(out.path() / blocked);
    const Outcome o =
        Report(GetParam().options + QStringList{QStringLiteral("-o"), Q(out.path()),
                                                Q(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov")});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("Cannot create file " + (out.path() / blocked).string()),
              std::string::npos)
        << o.err;
    EXPECT_EQ(FilesIn(out.path()), std::set<std::string>{blocked});
}

INSTANTIATE_TEST_SUITE_P(
    Sets, RezReportAllOrNone,
    testing::Values(AllOrNoneCase{"FourFiles", {}, " Scales.gif"},
                    AllOrNoneCase{"WithTheReport", {QStringLiteral("-r")}, " Report.pdf"}),
    rez::test::ByName());

// Mistakes that give results all the same: the parent of the group folders, and a file of
// another manager among a group's files. The results stay as defined, with a warning.
TEST(RezReport, WarnsOfFoldersThatMayNotBeWhatWasMeant) {
    rez::test::TempDir work;
    const fs::path mixed = work.path() / "mixed";
    fs::copy(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov", mixed);
    fs::copy(fs::path(REZ_SAMPLE_DATA_DIR) / "Smirnov" / "1-01REZ.cry", mixed / "0-99REZ.cry");
    fs::create_directory(work.path() / "out");
    const Outcome o = Report({QStringLiteral("-o"), Q(work.path() / "out"),
                              QStringLiteral(REZ_SAMPLE_DATA_DIR), Q(mixed)});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("warning: No respondent files in " REZ_SAMPLE_DATA_DIR "\n"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("warning: Respondent files in " + mixed.string() +
                         " name different managers: Смирнов Андрей Викторович, " + kOrlov + "\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(FilesIn(work.path() / "out").size(), 8u); // " Table.rtf" ... and Orlov's four
}

// Links planted on the output names are replaced by the new files; nothing outside the output
// folder is written or created.
TEST(RezReport, LinksOnOutputNamesAreReplacedNotFollowed) {
    rez::test::TempDir work;
    const fs::path out = work.path() / "out";
    const fs::path outside = work.path() / "outside";
    fs::create_directories(out);
    fs::create_directories(outside);
    rez::test::WriteBytes(outside / "precious", "precious");
    const std::string stem = kOrlov;
    fs::create_symlink(outside / "precious", out / U(stem + " Scales.gif"));
    fs::create_symlink(outside / "created", out / U(stem + " Table.rtf"));
    const Outcome o =
        Report({QStringLiteral("-o"), Q(out), Q(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov")});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(FilesIn(outside), std::set<std::string>{"precious"});
    EXPECT_EQ(ReadBytes(outside / "precious"), "precious");
    EXPECT_FALSE(fs::is_symlink(out / U(stem + " Scales.gif")));
    EXPECT_EQ(ReadBytes(out / U(stem + " Table.rtf")), AsWrittenFile("Orlov.table.txt"));
}

struct GroupNameCase {
    const char* name;
    std::string groupName; // line 2 of the respondent file
    const char* stem;      // the files' name before " Table.rtf"
};
REZ_PRINT_CASE_BY_NAME(GroupNameCase)

class RezReportGroupName : public testing::TestWithParam<GroupNameCase> {};

// Whatever the group name holds, the four files land in the output folder and nowhere else.
TEST_P(RezReportGroupName, FilesStayInTheOutputFolder) {
    rez::test::TempDir work;
    const fs::path group = work.path() / "g";
    const fs::path out = work.path() / "out";
    fs::create_directories(group);
    fs::create_directories(out);
    auto lines = rez::test::RespondentLines("m", rez::test::UniformTotals(4));
    lines[2] = GetParam().groupName;
    rez::test::WriteRespondentFile(group / "1REZ.cry", lines);
    const Outcome o = Report({QStringLiteral("-o"), Q(out), Q(group)});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(fs::exists(out / U(std::string(GetParam().stem) + " Table.rtf")));
    EXPECT_TRUE(fs::exists(out / U(std::string(GetParam().stem) + " Factors.gif")));
    EXPECT_EQ(FilesIn(out).size(), 4u);
    EXPECT_EQ(FilesIn(work.path()), (std::set<std::string>{"g", "out"}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RezReportGroupName,
    testing::Values(GroupNameCase{"Slashes", "../Иванов/И.И.", ".._Иванов_И.И."},
                    GroupNameCase{"DotDot", "..", ".."},
                    GroupNameCase{"Backslash", "Отдел\\Иванов", "Отдел_Иванов"},
                    GroupNameCase{"Colon", "C:Иванов", "C_Иванов"},
                    GroupNameCase{"Star", "Иванов*", "Иванов_"},
                    GroupNameCase{"NulAndEscape", std::string("Ив\0ан\x1b", 10), "Ив_ан_"},
                    GroupNameCase{"Empty", "", ""}),
    rez::test::ByName());

struct UsageCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    std::string says; // part of what it prints
};
REZ_PRINT_CASE_BY_NAME(UsageCase)

class RezReportUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(RezReportUsage, ExitStatusAndMessage) {
    const Outcome o = Report(GetParam().arguments);
    EXPECT_EQ(o.exitCode, GetParam().exitCode) << o.err;
    EXPECT_NE((o.out + o.err).find(GetParam().says), std::string::npos) << o.out << o.err;
}

QStringList Args(std::initializer_list<const char*> arguments) {
    QStringList list;
    for (const char* argument : arguments)
        list.push_back(QString::fromUtf8(argument));
    return list;
}

const std::string kSeparatorRule = "-d takes one printable ASCII character other than a digit";

INSTANTIATE_TEST_SUITE_P(
    Arguments, RezReportUsage,
    testing::Values(
        UsageCase{"Help", Args({"--help"}), 0, "usage: rez-report"},
        UsageCase{"Version", Args({"--version"}), 0, "rez-report " REZ_VERSION "\n"},
        UsageCase{"NoGroup", {}, 2, "no group folder given"},
        UsageCase{"UnknownOption", Args({"-x", "g"}), 2, "unknown option -x"},
        UsageCase{"MissingValue", Args({"-d"}), 2, "option -d needs a value"},
        UsageCase{"SeparatorIsTheColumnSeparator", Args({"-d", ";", "g"}), 2, kSeparatorRule},
        UsageCase{"SeparatorIsAnExponentLetter", Args({"-d", "e", "g"}), 2, kSeparatorRule},
        UsageCase{"SeparatorIsCyrillic", Args({"-d", "ю", "g"}), 2, kSeparatorRule},
        UsageCase{"EmptyGroupFolder", Args({""}), 2, "a group folder name is empty"},
        UsageCase{"EmptyOutputFolder", Args({"-o", "", "g"}), 2, "-o needs a folder name"},
        UsageCase{"MissingOutputFolder", Args({"-o", "/nonexistent/rez", "g"}), 2,
                  "the output folder /nonexistent/rez does not exist"},
        UsageCase{"OutputFolderIsAFile", Args({"-o", REZ_REPORT_BINARY, "g"}), 2,
                  REZ_REPORT_BINARY " is not a folder"},
        UsageCase{"MinRatersOutOfRange", Args({"-r", "--min-raters", "21", "g"}), 2,
                  "--min-raters takes a whole number from 1 to 20"},
        UsageCase{"GapOutOfRange", Args({"-r", "--gap=0", "g"}), 2,
                  "--gap takes a number of points from 0.1 to 7"},
        UsageCase{"MissingGroupFolder", Args({"/nonexistent/group"}), 1,
                  "/nonexistent/group: Cannot open file /nonexistent/group/"}),
    rez::test::ByName());

const std::set<std::string> kOrlovFiles = {
    "Орлов Виктор Степанович Table.rtf", "Орлов Виктор Степанович An.rtf",
    "Орлов Виктор Степанович Scales.gif", "Орлов Виктор Степанович Factors.gif"};

struct StandardOutputCase {
    const char* name;
    const char* redirection; // for the shell
    const char* reason;
};
REZ_PRINT_CASE_BY_NAME(StandardOutputCase)

class RezReportStandardOutput : public testing::TestWithParam<StandardOutputCase> {};

// Output that cannot be written is a failure. A closed standard output must fail as closed:
// had the program given its number to a file it opened, its lines would land in that file.
TEST_P(RezReportStandardOutput, ThatCannotBeWrittenFails) {
    rez::test::TempDir out;
    const Outcome o = RunProgram({QStringLiteral("-c"),
                                  QStringLiteral("exec \"$0\" -o \"$1\" \"$2\" ") +
                                      QString::fromUtf8(GetParam().redirection),
                                  QStringLiteral(REZ_REPORT_BINARY), Q(out.path()),
                                  Q(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov")},
                                 {}, {}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find(std::string("rez-report: cannot write standard output: ") +
                         GetParam().reason + "\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(FilesIn(out.path()).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Redirections, RezReportStandardOutput,
    testing::Values(StandardOutputCase{"FullDevice", ">/dev/full", "No space left on device"},
                    StandardOutputCase{"Closed", ">&-", "Bad file descriptor"}),
    rez::test::ByName());

// A respondent file stands for its folder; after "--" a folder may be named like an option.
TEST(RezReport, GroupGivenAsARespondentFileOrAfterDoubleDash) {
    rez::test::TempDir work;
    fs::create_directories(work.path() / "out1");
    fs::create_directories(work.path() / "out2");
    fs::copy(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov", work.path() / "-g");
    Outcome o = RunProgram(Args({"-o", "out1", "-g/2-02REZ.cry"}), work.path());
    EXPECT_EQ(o.exitCode, 2) << "without --, -g is an option";
    o = RunProgram(Args({"-o", "out1", "--", "-g/2-02REZ.cry"}), work.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(FilesIn(work.path() / "out1"), kOrlovFiles);
    o = RunProgram(Args({"-o", "out2", "--", "-g"}), work.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(FilesIn(work.path() / "out2"), kOrlovFiles);
}

// Folders copied from a Windows disk have Windows-1251 names: their bytes are used as given,
// and messages show them escaped.
TEST(RezReport, FolderNamesThatAreNotUtf8) {
    rez::test::TempDir work;
    const std::string group = "\xcf\xe0\xef\xea\xe0"; // "Папка" in Windows-1251
    const std::string output = "\xd0\xe5\xe7";        // "Рез"
    fs::copy(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov", work.path() / group);
    fs::create_directory(work.path() / output);
    fs::create_directory(work.path() / (group + "2"));
    rez::test::WriteBytes(work.path() / (group + "2") / "x-01REZ.cry", "");
    // QProcess passes arguments as UTF-8; the shell passes the bytes.
    const Outcome o = RunProgram({QStringLiteral("-c"),
                                  QStringLiteral("exec \"$0\" -o \"$(printf '\\320\\345\\347')\" "
                                                 "\"$(printf '\\317\\340\\357\\352\\340')\" "
                                                 "\"$(printf '\\317\\340\\357\\352\\3402')\""),
                                  QStringLiteral(REZ_REPORT_BINARY)},
                                 work.path(), {}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(FilesIn(work.path() / output), kOrlovFiles);
    EXPECT_EQ(o.err, "\\xcf\\xe0\\xef\\xea\\xe02: 'x' is not a valid integer value (file "
                     "\\xcf\\xe0\\xef\\xea\\xe02/x-01REZ.cry)\n");
}

// --- A cohort: groups on several threads, and the workbook ---------------------------------

#ifdef REZ_HAVE_WORKBOOK
const bool kWorkbook = true;
#else
const bool kWorkbook = false;
#endif

// Every file under `dir` (relative name, bytes).
std::map<std::string, std::string> Contents(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().filename() != ".rez-lock")
            files[fs::relative(entry.path(), dir).string()] = ReadBytes(entry.path());
    return files;
}

// SOURCE_DATE_EPOCH fixes every date written, as that instant in UTC: the reports and the
// workbook are the same bytes in every time zone and on any number of threads. Each run
// has its own hash seed unless the program fixes it, and the fonts' order follows it: about
// one run in three differed, so twelve runs all but always show it.
TEST(RezReportCohort, SameEpochGivesTheSameBytesInEveryZoneAndOnAnyThreads) {
    rez::test::TempDir work;
    const fs::path data = REZ_SAMPLE_DATA_DIR;
    const QByteArray zoneBefore = qgetenv("TZ");
    qputenv("SOURCE_DATE_EPOCH", "1");
    std::vector<std::map<std::string, std::string>> runs;
    for (const char* zone : {"UTC", "Europe/Moscow", "America/St_Johns"}) {
        qputenv("TZ", zone);
        for (const char* threads : {"1", "2", "1", "2"}) {
            const fs::path out = work.path() / std::to_string(runs.size());
            fs::create_directories(out);
            QStringList args = {QStringLiteral("-r"), QStringLiteral("-j"),
                                QString::fromLatin1(threads), QStringLiteral("-o"), Q(out)};
            if (kWorkbook)
                args += {QStringLiteral("-w"), Q(out / "team.xlsx")};
            const Outcome o = RunProgram(
                args + QStringList{Q(data / "Kuznetsova"), Q(data / "Orlov"), Q(data / "Smirnov")});
            EXPECT_EQ(o.exitCode, 0) << zone << " -j " << threads << ": " << o.err;
            runs.push_back(Contents(out));
            EXPECT_TRUE(runs.back() == runs.front()) << zone << " -j " << threads;
        }
    }
    qunsetenv("SOURCE_DATE_EPOCH");
    if (zoneBefore.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zoneBefore);
    EXPECT_EQ(runs.front().size(), 3u * 5 + (kWorkbook ? 1 : 0));
    const std::string pdf = runs.front()["Орлов Виктор Степанович Report.pdf"];
    EXPECT_NE(pdf.find("/CreationDate (D:19700101000001Z)"), std::string::npos);
}

// A made-up group of one manager, one subordinate and one colleague, whose manager is `name`
// and whose ratings are `points` per item (a whole number), in `dir`.
void WriteGroup(const fs::path& dir, const std::string& name, int points) {
    fs::create_directories(dir);
    for (const char* file : {"1-01REZ.cry", "2-01REZ.cry", "3-01REZ.cry"}) {
        auto lines = rez::test::RespondentLines(file, rez::test::UniformTotals(points++ % 8));
        lines[2] = name;
        rez::test::WriteRespondentFile(dir / file, lines);
    }
}

// Folders, in command-line order, of a cohort in which good and failing groups alternate.
QStringList MixedCohort(const fs::path& root) {
    const fs::path data = REZ_SAMPLE_DATA_DIR;
    QStringList groups = {Q(data / "Smirnov"), Q(root / "missing"), Q(data / "Kuznetsova")};
    for (int i = 0; i < 12; ++i) {
        const fs::path dir = root / ("g" + std::to_string(i));
        WriteGroup(dir, "Группа " + std::to_string(i), i);
        groups.push_back(Q(dir));
        if (i == 5) { // a bad total in the middle
            auto totals = rez::test::UniformTotals(3);
            totals[7] = "7,5";
            rez::test::WriteRespondentFile(dir / "3-02REZ.cry",
                                           rez::test::RespondentLines("x", totals));
        }
    }
    groups.push_back(Q(data / "Orlov"));
    return groups;
}

TEST(RezReportCohort, OnSeveralThreadsGivesTheSerialRunsFilesMessagesAndStatus) {
    rez::test::TempDir work;
    const QStringList groups = MixedCohort(work.path() / "groups");
    qputenv("SOURCE_DATE_EPOCH", "1765000000"); // the workbook's creation time
    std::vector<std::pair<Outcome, std::map<std::string, std::string>>> runs;
    for (const char* threads : {"1", "4"}) {
        const fs::path dir = work.path() / (std::string("j") + threads);
        fs::create_directories(dir / "out");
        QStringList args = {QStringLiteral("-j"), QString::fromLatin1(threads),
                            QStringLiteral("-d"), QStringLiteral("."),
                            QStringLiteral("-o"), QStringLiteral("out")};
        if (kWorkbook)
            args += {QStringLiteral("-w"), QStringLiteral("cohort.xlsx")};
        const Outcome outcome = RunProgram(args + groups, dir);
        runs.emplace_back(outcome, Contents(dir));
    }
    qunsetenv("SOURCE_DATE_EPOCH");
    const auto& [serial, serialFiles] = runs[0];
    const auto& [parallel, parallelFiles] = runs[1];
    EXPECT_EQ(serial.exitCode, 1);
    EXPECT_EQ(parallel.exitCode, serial.exitCode);
    EXPECT_EQ(parallel.out, serial.out);
    EXPECT_EQ(parallel.err, serial.err);
    EXPECT_EQ(serialFiles.size(), 4u * 14 + (kWorkbook ? 1 : 0)) << serial.err;
    EXPECT_TRUE(parallelFiles == serialFiles) << "the files differ";
    // The failures in command-line order, nothing else on standard error (not a terminal).
    const std::string missing = (work.path() / "groups" / "missing").string();
    const std::string bad = (work.path() / "groups" / "g5").string();
    EXPECT_EQ(serial.err, missing + ": Cannot open file " + missing +
                              "/: No such file or directory\n" + bad +
                              ": '7,5' is not a valid floating point value (file " + bad +
                              "/3-02REZ.cry, line 21)\n");
}

#ifdef REZ_HAVE_WORKBOOK
struct WorkbookCase {
    const char* name;
    // Run in a folder holding "out", group "g" (with "given.xlsx" in it), group "h", and at
    // names ending in .xlsx a folder, a FIFO and a link to a device.
    std::vector<std::string> arguments;
    int exitCode;
    std::string says;           // part of standard error, or "" for nothing there
    std::set<std::string> made; // files made in the working folder, besides g, h and out
    QStringList sheets = {};    // the sheets of the workbook team.xlsx, when it is made
};

// The sheet names of a workbook, as openpyxl reads them.
QStringList SheetsOf(const fs::path& book) {
    QProcess reader;
    reader.start(QStringLiteral(REZ_OPENPYXL_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, openpyxl\n"
                                 "for name in openpyxl.load_workbook(sys.argv[1]).sheetnames:\n"
                                 "    print(name)"),
                  Q(book)});
    reader.waitForFinished(60'000);
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}
REZ_PRINT_CASE_BY_NAME(WorkbookCase)

class RezReportWorkbook : public testing::TestWithParam<WorkbookCase> {};

TEST_P(RezReportWorkbook, WrittenOrRefusedWithAMessage) {
    rez::test::TempDir work;
    fs::create_directories(work.path() / "out");
    fs::create_directories(work.path() / "folder.xlsx");
    WriteGroup(work.path() / "g", "Иванов", 4);
    WriteGroup(work.path() / "h", "Иванов", 5); // the same manager: h's files are not written
    rez::test::WriteBytes(work.path() / "g" / "given.xlsx", "a file of the user's");
#ifndef _WIN32 // left out under Wine (see CMakeLists.txt): no FIFOs, no /dev/null
    ASSERT_EQ(::mkfifo((work.path() / "fifo.xlsx").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", work.path() / "null.xlsx");
#endif
    QStringList args = {QStringLiteral("-o"), QStringLiteral("out")};
    for (const std::string& argument : GetParam().arguments)
        args.push_back(QString::fromStdString(argument));
    const Outcome o = RunProgram(args, work.path());
    EXPECT_EQ(o.exitCode, GetParam().exitCode) << o.err;
    if (GetParam().says.empty())
        EXPECT_EQ(o.err, "");
    else
        EXPECT_NE(o.err.find(GetParam().says), std::string::npos) << o.err;
    std::set<std::string> made = FilesIn(work.path());
    for (const char* kept : {"g", "h", "out", "folder.xlsx", "fifo.xlsx", "null.xlsx"})
        made.erase(kept);
    EXPECT_EQ(made, GetParam().made);
    // A refused name is a usage error before any group runs; whatever had it stays.
    if (GetParam().exitCode == 2) {
        EXPECT_TRUE(fs::is_empty(work.path() / "out"));
    }
    EXPECT_TRUE(fs::is_fifo(work.path() / "fifo.xlsx"));
    EXPECT_EQ(fs::read_symlink(work.path() / "null.xlsx"), "/dev/null");
    EXPECT_EQ(ReadBytes(work.path() / "g" / "given.xlsx"), "a file of the user's");
    if (made.contains("team.xlsx")) {
        EXPECT_EQ(SheetsOf(work.path() / "team.xlsx"), GetParam().sheets);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RezReportWorkbook,
    testing::Values(
        // A relative name is relative to the current folder, not to the output folder.
        WorkbookCase{"RelativeToTheCurrentFolder",
                     {"-w", "team.xlsx", "g"},
                     0,
                     "",
                     {"team.xlsx"},
                     {u"Сводка"_qs, u"Нормы"_qs, u"Иванов"_qs}},
        WorkbookCase{"LongOption",
                     {"--workbook=team.xlsx", "g"},
                     0,
                     "",
                     {"team.xlsx"},
                     {u"Сводка"_qs, u"Нормы"_qs, u"Иванов"_qs}},
        // A group whose files are not written has no sheet either.
        WorkbookCase{"SameManagerTwice",
                     {"-w", "team.xlsx", "g", "h"},
                     1,
                     "give the same file names",
                     {"team.xlsx"},
                     {u"Сводка"_qs, u"Нормы"_qs, u"Иванов"_qs}},
        WorkbookCase{"NoGroupCompleted",
                     {"-w", "team.xlsx", "missing"},
                     1,
                     "No group completed: the workbook team.xlsx is not written",
                     {}},
        WorkbookCase{"AnyCaseOfTheEnding",
                     {"-w", "Team.XLSX", "g"},
                     0,
                     "",
                     {"Team.XLSX"},
                     {u"Сводка"_qs, u"Нормы"_qs, u"Иванов"_qs}},
        // The workbook replaces whatever has its name: never an input, another output, a
        // folder or a device.
        WorkbookCase{"RespondentFileRefused",
                     {"-w", "g/1-01REZ.cry", "g"},
                     2,
                     "-w takes the name of an Excel workbook, ending in .xlsx",
                     {}},
        WorkbookCase{"ManagersReportRefused",
                     {"-r", "-w", "out/Иванов Report.pdf", "g"},
                     2,
                     "-w takes the name of an Excel workbook, ending in .xlsx",
                     {}},
        WorkbookCase{"GroupGivenAsAFileRefused",
                     {"-w", "g/given.xlsx", "g/given.xlsx"},
                     2,
                     "the workbook g/given.xlsx is the group g/given.xlsx given",
                     {}},
        WorkbookCase{"FolderRefused",
                     {"-w", "folder.xlsx", "g"},
                     2,
                     "the workbook folder.xlsx is not a regular file",
                     {}},
        WorkbookCase{"FifoRefused",
                     {"-w", "fifo.xlsx", "g"},
                     2,
                     "the workbook fifo.xlsx is not a regular file",
                     {}},
        WorkbookCase{"LinkToADeviceRefused",
                     {"-w", "null.xlsx", "g"},
                     2,
                     "the workbook null.xlsx is not a regular file",
                     {}},
        WorkbookCase{"NameTooLongForItsTemporaryName",
                     {"-w", std::string(245, 'a') + ".xlsx", "g"},
                     2,
                     "is too long: at most",
                     {}},
        WorkbookCase{"FolderMissing",
                     {"-w", "no/team.xlsx", "g"},
                     2,
                     "the folder of the workbook no/team.xlsx does not exist",
                     {}}),
    rez::test::ByName());
#endif

#ifndef _WIN32 // POSIX signals, pipes, resource limits and flock
// --- A run ended from outside: signals, a closed pipe, a file-size limit --------------------

struct InterruptCase {
    const char* name;
    int signal;           // sent once the first file is written; 0 for none
    bool closedPipe;      // standard output is a pipe with no reader from the start
    rlim_t fileSizeLimit; // RLIM_INFINITY for none
    const char* says;     // part of standard error
};
REZ_PRINT_CASE_BY_NAME(InterruptCase)

// A child rez-report: how it ended, and what it wrote to standard output and error.
struct Ended {
    int status = 0;
    std::string out, err;
};

// Whether a group's first file is in `dir` (standard output is buffered in a pipe: it
// tells nothing until the end).
bool AnyFileIn(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir))
        if (!entry.path().filename().string().starts_with("."))
            return true;
    return false;
}

Ended RunInterrupted(const std::vector<std::string>& args, const InterruptCase& c,
                     const fs::path& outDir) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (const int fd : {out[0], out[1], err[0], err[1]})
            close(fd);
        const rlimit limit{c.fileSizeLimit, c.fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<char*> argv{const_cast<char*>(REZ_REPORT_BINARY)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(REZ_REPORT_BINARY, argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (c.closedPipe)
        close(out[0]);
    Ended ended;
    bool signalled = false;
    pollfd fds[2] = {{c.closedPipe ? -1 : out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
        if (c.signal != 0 && !signalled && AnyFileIn(outDir)) {
            kill(pid, c.signal);
            signalled = true;
        }
        if (poll(fds, 2, 10) < 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                continue;
            }
            (i == 0 ? ended.out : ended.err).append(buffer, static_cast<std::size_t>(n));
        }
    }
    waitpid(pid, &ended.status, 0);
    return ended;
}

class RezReportInterrupted : public testing::TestWithParam<InterruptCase> {};

// A stopping signal lets the groups being written finish, writes no workbook, says how far
// the run came and ends the program as the signal does; a closed pipe or a file-size limit
// is a failed write with its reason, and the run goes on. Either way no group is left half
// written and no temporary file stays behind.
TEST_P(RezReportInterrupted, LeavesWholeGroupsAndSaysWhy) {
    const InterruptCase& c = GetParam();
    rez::test::TempDir work;
    fs::create_directories(work.path() / "out");
    std::vector<std::string> args = {"-j",
                                     "2",
                                     "-r",
                                     "-o",
                                     (work.path() / "out").string(),
                                     "-w",
                                     (work.path() / "out" / "cohort.xlsx").string()};
    constexpr int groups = 24;
    for (int i = 0; i < groups; ++i) {
        const fs::path dir = work.path() / ("g" + std::to_string(i));
        WriteGroup(dir, "Группа " + std::to_string(i), i);
        args.push_back(dir.string());
    }
    const Ended ended = RunInterrupted(args, c, work.path() / "out");
    EXPECT_NE(ended.err.find(c.says), std::string::npos) << ended.err;
    std::map<std::string, int> filesOfGroup;
    bool workbook = false;
    for (const std::string& name : FilesIn(work.path() / "out")) {
        EXPECT_FALSE(name.starts_with(".")) << "left behind: " << name;
        if (name == "cohort.xlsx")
            workbook = true;
        else
            ++filesOfGroup[name.substr(0, name.rfind(' '))];
    }
    for (const auto& [group, files] : filesOfGroup)
        EXPECT_EQ(files, 5) << group << " is not whole";
    if (c.signal != 0) {
        ASSERT_TRUE(WIFSIGNALED(ended.status)) << ended.status << ended.err;
        EXPECT_EQ(WTERMSIG(ended.status), c.signal);
        EXPECT_FALSE(workbook);
        EXPECT_LT(filesOfGroup.size(), static_cast<std::size_t>(groups));
        EXPECT_NE(ended.err.find(": " + std::to_string(filesOfGroup.size()) + " of 24 groups " +
                                 "written\n"),
                  std::string::npos)
            << ended.err;
    } else {
        ASSERT_TRUE(WIFEXITED(ended.status)) << ended.status << ended.err;
        EXPECT_EQ(WEXITSTATUS(ended.status), 1);
        if (c.closedPipe) {
            EXPECT_EQ(filesOfGroup.size(), static_cast<std::size_t>(groups));
            EXPECT_TRUE(workbook);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RezReportInterrupted,
    testing::Values(
        InterruptCase{"Terminated", SIGTERM, false, RLIM_INFINITY, "Stopped by SIGTERM: "},
        InterruptCase{"Interrupted", SIGINT, false, RLIM_INFINITY, "Stopped by SIGINT: "},
        InterruptCase{"HungUp", SIGHUP, false, RLIM_INFINITY, "Stopped by SIGHUP: "},
        InterruptCase{"ClosedPipe", 0, true, RLIM_INFINITY,
                      "rez-report: cannot write standard output: Broken pipe\n"},
        // The GIF files fit, the reports do not.
        InterruptCase{"FileSizeLimit", 0, false, 20'000, "Report.pdf: File too large\n"}),
    rez::test::ByName());

// A second run into a folder that another run is writing into waits for it, saying so once,
// and then writes its files: the two runs never mix one group's files.
TEST(RezReportLock, WaitsForTheOtherRunsFolder) {
    rez::test::TempDir work;
    fs::create_directories(work.path() / "out");
    // Close-on-exec: a lock inherited by the child would be its own.
    const int lock =
        open((work.path() / "out" / ".rez-lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    QProcess run;
    run.setProgram(QStringLiteral(REZ_REPORT_BINARY));
    run.setArguments(
        {QStringLiteral("-o"), Q(work.path() / "out"), Q(fs::path(REZ_SAMPLE_DATA_DIR) / "Orlov")});
    run.start();
    std::string err;
    for (int i = 0; i < 200 && err.find("waiting") == std::string::npos; ++i) {
        run.waitForReadyRead(50);
        err += run.readAllStandardError().toStdString();
    }
    EXPECT_TRUE(FilesIn(work.path() / "out").empty()) << err;
    close(lock); // the other run ends
    ASSERT_TRUE(run.waitForFinished(60'000));
    err += run.readAllStandardError().toStdString();
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(err, "Another run is writing into " + (work.path() / "out").string() +
                       ": waiting up to 10 s\n");
    EXPECT_EQ(FilesIn(work.path() / "out").size(), 4u);
}

#endif

} // namespace
