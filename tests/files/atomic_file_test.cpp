// Saves replace an old file only by a complete new one, never write through a link in the last
// name component, and write a set of files all or none; folder locks keep two runs apart and
// sweep what killed saves left. Links, special files and permission bits are POSIX cases;
// everything else runs on Windows too.
#include "atomic_file.h"
#include "file_names.h"
#include "folder_lock.h"
#include "param_name.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using rez::test::ReadBytes;
using rez::test::Utf8Path;
using rez::test::WriteBytes;

// A path as UTF-8 text with the platform's separators, as messages show it.
std::string Utf8(const fs::path& path) {
    const std::u8string text = fs::path(path).make_preferred().u8string();
    return std::string(text.begin(), text.end());
}

// What a folder holds, by name: a file's bytes, "<folder>", "<special>" or "-> " and a link's
// target.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = Utf8(entry.path().filename());
        if (entry.is_symlink())
            entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[name] = "<folder>";
        else if (!entry.is_regular_file())
            entries[name] = "<special>"; // reading a FIFO would wait for a writer
        else
            entries[name] = ReadBytes(entry.path());
    }
    return entries;
}

std::string MessageOf(const std::function<void()>& save) {
    try {
        save();
    } catch (const rez::RezError& e) {
        return e.what();
    }
    return "no failure";
}

// Makes one step of every save fail while it lives.
class ScopedFault {
public:
    explicit ScopedFault(rez::SaveFaultHook hook) { rez::SetSaveFaultHook(std::move(hook)); }
    ~ScopedFault() { rez::SetSaveFaultHook({}); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;
};

// A hook that fails `step` of the file named `name` with ENOSPC.
rez::SaveFaultHook FailStep(rez::SaveStep step, std::string name) {
    return [step, name](rez::SaveStep s, const fs::path& target, std::uint64_t, std::size_t&) {
        return s == step && Utf8(target.filename()) == name ? ENOSPC : 0;
    };
}

TEST(AtomicFile, ReplacesAnOldFileWholeAndKeepsItsPermissions) {
    rez::test::TempDir dir;
    const fs::path path = dir.path() / Utf8Path("Иванов И.И. Table.rtf");
    WriteBytes(path, std::string(1000, 'o'));
#ifndef _WIN32
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
#endif
    // Up to the one rename the name holds the old file, so a save cut short by a crash or a
    // kill leaves it where the user looks for it.
    std::string atRename = "not reached";
    {
        ScopedFault watch(
            [&](rez::SaveStep step, const fs::path& target, std::uint64_t, std::size_t&) {
                if (step == rez::SaveStep::MoveIn)
                    atRename = fs::is_regular_file(target) ? ReadBytes(target) : "no file";
                return 0;
            });
        rez::WriteFileAtomically(path, "new");
    }
    EXPECT_EQ(atRename, std::string(1000, 'o'));
    EXPECT_EQ(ReadBytes(path), "new");
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u);
}

#ifndef _WIN32
struct ModeCase {
    const char* name;
    int oldMode; // -1: no old file
    mode_t newMode;
};
REZ_PRINT_CASE_BY_NAME(ModeCase)

class NewFileMode : public testing::TestWithParam<ModeCase> {};

// Only the old file's read and write bits carry over: a replaced file never comes back
// executable, setuid, setgid or sticky; a new file gets 0666 less the umask.
TEST_P(NewFileMode, KeepsOnlyTheOldFilesReadAndWriteBits) {
    rez::test::TempDir dir;
    const fs::path path = dir.path() / "Scales.gif";
    if (GetParam().oldMode >= 0) {
        WriteBytes(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), static_cast<mode_t>(GetParam().oldMode)), 0);
    }
    const mode_t umaskBefore = ::umask(027);
    rez::WriteFileAtomically(path, "new");
    ::umask(umaskBefore);
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, GetParam().newMode);
}

INSTANTIATE_TEST_SUITE_P(Modes, NewFileMode,
                         testing::Values(ModeCase{"PrivateStaysPrivate", 0600, 0600},
                                         ModeCase{"ReadableByAll", 0644, 0644},
                                         ModeCase{"SetuidSetgidStickyExecuteDropped", 07777, 0666},
                                         ModeCase{"NewFileUmask", -1, 0640}),
                         rez::test::ByName());
#endif

struct RefusalCase {
    const char* name;
    // Prepares the folder and returns the target to save to; an empty path when the machine
    // cannot set the case up.
    std::function<fs::path(const fs::path& dir)> prepare;
    const char* message; // "%s" stands for the target's path
};
REZ_PRINT_CASE_BY_NAME(RefusalCase)

class SaveRefused : public testing::TestWithParam<RefusalCase> {};

TEST_P(SaveRefused, SaysWhyAndChangesNothing) {
    rez::test::TempDir dir;
    WriteBytes(dir.path() / "old.rtf", "old");
    const fs::path target = GetParam().prepare(dir.path());
    if (target.empty())
        GTEST_SKIP() << "the machine cannot make this kind of file";
    const auto before = Snapshot(dir.path());
    std::string expected = GetParam().message;
    expected.replace(expected.find("%s"), 2, Utf8(target));
    EXPECT_EQ(MessageOf([&] { rez::WriteFileAtomically(target, "new"); }), expected);
    EXPECT_EQ(Snapshot(dir.path()), before);
    // A read-only file must not outlive the test's folder.
    std::error_code ignored;
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ignored);
}

#ifdef _WIN32
constexpr const char* kNoFolder = "Cannot create file %s: No such file or directory";
constexpr const char* kNameTooLong = "Cannot create file %s: No such file or directory";
#else
constexpr const char* kNoFolder = "Cannot create file %s: No such file or directory";
constexpr const char* kNameTooLong = "Cannot create file %s: File name too long";
#endif

const RefusalCase kRefusals[] = {
    {"MissingFolder",
     [](const fs::path& d) { return d / Utf8Path("Результаты") / Utf8Path("Я Scales.gif"); },
     kNoFolder},
    {"FolderOnTheName",
     [](const fs::path& d) {
         fs::create_directory(d / "taken");
         return d / "taken";
     },
     "Cannot create file %s: Is a directory"},
    {"NoFileName", [](const fs::path& d) { return d / ""; }, "Cannot create file %s"},
    // The name fits, but its temporary name does not.
    {"NameTooLongForItsTemporary", [](const fs::path& d) { return d / std::string(245, 'a'); },
     kNameTooLong},
#ifdef _WIN32
    // The read-only attribute. On POSIX permissions do not bind root, so the write-failure
    // tests check a read-only file as the user nobody.
    {"ReadOnlyFile",
     [](const fs::path& d) {
         fs::permissions(d / "old.rtf",
                         fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
         return d / "old.rtf";
     },
     "Cannot create file %s: Permission denied"},
#else
    {"LinkLoopAmongTheFolders",
     [](const fs::path& d) {
         fs::create_symlink("loop", d / "loop");
         return d / "loop" / "An.rtf";
     },
     "Cannot create file %s: Too many levels of symbolic links"},
    // A FIFO would block the save, a device or a socket would take the bytes.
    {"Fifo",
     [](const fs::path& d) {
         ::mkfifo((d / "Table.rtf").c_str(), 0666);
         return d / "Table.rtf";
     },
     "Cannot write file %s: not a regular file"},
    {"Socket",
     [](const fs::path& d) {
         const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const std::string path = (d / "An.rtf").string();
         if (s < 0 || path.size() >= sizeof address.sun_path)
             return fs::path();
         path.copy(address.sun_path, path.size());
         const bool bound = ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
         ::close(s);
         return bound ? d / "An.rtf" : fs::path();
     },
     "Cannot write file %s: not a regular file"},
    {"CharacterDevice",
     [](const fs::path& d) {
         return ::mknod((d / "Scales.gif").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                    ? d / "Scales.gif"
                    : fs::path();
     },
     "Cannot write file %s: not a regular file"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Targets, SaveRefused, testing::ValuesIn(kRefusals), rez::test::ByName());

#ifndef _WIN32
struct LinkCase {
    const char* name;
    const char* linkTarget; // relative to the folder "outside"
};
REZ_PRINT_CASE_BY_NAME(LinkCase)

class LinkOnTheName : public testing::TestWithParam<LinkCase> {};

// A link planted on an output name is replaced by the new file; nothing outside changes.
TEST_P(LinkOnTheName, IsReplacedNotFollowed) {
    rez::test::TempDir dir;
    const fs::path outside = dir.path() / "outside";
    const fs::path out = dir.path() / "out";
    fs::create_directories(outside / "folder");
    fs::create_directories(out);
    WriteBytes(outside / "file", "precious");
    fs::create_symlink(outside / GetParam().linkTarget, out / "Scales.gif");
    const auto outsideBefore = Snapshot(outside);
    rez::WriteFileAtomically(out / "Scales.gif", "new");
    EXPECT_FALSE(fs::is_symlink(out / "Scales.gif"));
    EXPECT_EQ(ReadBytes(out / "Scales.gif"), "new");
    EXPECT_EQ(Snapshot(outside), outsideBefore);
    EXPECT_EQ(Snapshot(out).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Links, LinkOnTheName,
                         testing::Values(LinkCase{"ToAFile", "file"},
                                         LinkCase{"Dangling", "missing"},
                                         LinkCase{"ToAFolder", "folder"}),
                         rez::test::ByName());

TEST(AtomicFile, LinkAmongTheFoldersIsFollowed) {
    rez::test::TempDir dir;
    fs::create_directories(dir.path() / "share" / "Results");
    fs::create_directory_symlink(dir.path() / "share" / "Results", dir.path() / "Results");
    rez::WriteFileAtomically(dir.path() / "Results" / "An.rtf", "text");
    EXPECT_EQ(ReadBytes(dir.path() / "share" / "Results" / "An.rtf"), "text");
}
#endif

struct SetCase {
    const char* name;
    std::function<rez::SaveFaultHook()> fault; // none: the set fails on its own
    const char* failingSuffix;
    std::string message;       // "%s" stands for the failing file's path
    bool plantsFolder = false; // the fault leaves a folder on the failing file's name
};
REZ_PRINT_CASE_BY_NAME(SetCase)

const std::string kStem = "Иванов И.И.";

// A hook that puts a folder on the name of the file with `suffix` just before it is renamed
// there, so that the system's own rename fails after the files before it are in place.
rez::SaveFaultHook PlantFolderBeforeRename(std::string suffix) {
    return [name = kStem + suffix](rez::SaveStep s, const fs::path& target, std::uint64_t,
                                   std::size_t&) {
        if (s == rez::SaveStep::MoveIn && Utf8(target.filename()) == name)
            fs::create_directory(target);
        return 0;
    };
}

// What the system says when a file is renamed onto a folder (the Windows text is Wine's).
#ifdef _WIN32
const std::string kRenameOntoFolder = "Cannot write file %s: Access denied";
#else
const std::string kRenameOntoFolder = "Cannot write file %s: Is a directory";
#endif
const std::string kNoSpace = "Cannot write file %s: No space left on device";

class FileSet : public testing::TestWithParam<SetCase> {};

// Four files with Cyrillic names, two of them replacing old files, the fourth where a folder
// may sit: whatever step fails, every old file stays, no new file appears and nothing
// temporary is left.
TEST_P(FileSet, IsWrittenAllOrNone) {
    rez::test::TempDir dir;
    const auto pathOf = [&](std::string_view suffix) {
        return dir.path() / Utf8Path(kStem + std::string(suffix));
    };
    WriteBytes(pathOf(" Table.rtf"), "old table");
    WriteBytes(pathOf(" An.rtf"), "old analysis");
#ifdef _WIN32
    WriteBytes(pathOf(" Scales.gif"), "old chart");
#else
    fs::create_symlink(pathOf(" An.rtf").filename(), pathOf(" Scales.gif"));
#endif
    if (!GetParam().fault)
        fs::create_directory(pathOf(" Factors.gif"));
    auto expected = Snapshot(dir.path());
    if (GetParam().plantsFolder)
        expected[kStem + GetParam().failingSuffix] = "<folder>";
    std::vector<rez::FileBytes> files;
    for (const std::string_view suffix : rez::GroupFileSuffixes)
        files.push_back({pathOf(suffix), "new" + std::string(suffix)});

    std::optional<ScopedFault> fault;
    if (GetParam().fault)
        fault.emplace(GetParam().fault());
    std::string expectedMessage = GetParam().message;
    expectedMessage.replace(expectedMessage.find("%s"), 2, Utf8(pathOf(GetParam().failingSuffix)));
    EXPECT_EQ(MessageOf([&] { rez::WriteFiles(files); }), expectedMessage);
    EXPECT_EQ(Snapshot(dir.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FileSet,
    testing::Values(
        SetCase{"FolderOnTheLastName", {}, " Factors.gif", "Cannot create file %s: Is a directory"},
        SetCase{"WriteOfTheLast",
                [] { return FailStep(rez::SaveStep::Write, kStem + " Factors.gif"); },
                " Factors.gif", kNoSpace},
        SetCase{"SyncOfTheFirst",
                [] { return FailStep(rez::SaveStep::Sync, kStem + " Table.rtf"); }, " Table.rtf",
                kNoSpace},
        SetCase{"CloseOfTheSecond",
                [] { return FailStep(rez::SaveStep::Close, kStem + " An.rtf"); }, " An.rtf",
                kNoSpace},
        SetCase{"KeepingTheThirdOldEntry",
                [] { return FailStep(rez::SaveStep::KeepOld, kStem + " Scales.gif"); },
                " Scales.gif", kNoSpace},
        // Old files kept as copies (the link among them as a link) are put back.
        SetCase{"WithoutHardLinksRenameOfTheLast",
                [] {
                    return
                        [](rez::SaveStep s, const fs::path& target, std::uint64_t, std::size_t&) {
                            if (s == rez::SaveStep::KeepOld)
                                return EPERM; // as a FAT file system answers
                            return s == rez::SaveStep::MoveIn &&
                                           Utf8(target.filename()) == kStem + " Factors.gif"
                                       ? ENOSPC
                                       : 0;
                        };
                },
                " Factors.gif", kNoSpace},
        SetCase{"RenameOfTheFirst",
                [] { return FailStep(rez::SaveStep::MoveIn, kStem + " Table.rtf"); }, " Table.rtf",
                kNoSpace},
        SetCase{"RenameOfTheLastAfterThreeInPlace",
                [] { return FailStep(rez::SaveStep::MoveIn, kStem + " Factors.gif"); },
                " Factors.gif", kNoSpace},
        SetCase{"SystemRefusesTheLastRenameAfterThreeInPlace",
                [] { return PlantFolderBeforeRename(" Factors.gif"); }, " Factors.gif",
                kRenameOntoFolder, true}),
    rez::test::ByName());

#ifdef _WIN32
// The system's reason for a failed rename, in the user's language and readable as UTF-8 (a
// garbled byte would show escaped). ctest runs this once more under a Russian Wine.
TEST(AtomicFile, SystemReasonIsReadableInTheUsersLanguage) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / "Scales.gif";
    ScopedFault plant([](rez::SaveStep step, const fs::path& path, std::uint64_t, std::size_t&) {
        if (step == rez::SaveStep::MoveIn)
            fs::create_directory(path);
        return 0;
    });
    const std::string message = MessageOf([&] { rez::WriteFileAtomically(target, "new"); });
    const std::string prefix = "Cannot write file " + Utf8(target) + ": ";
    ASSERT_EQ(message.substr(0, prefix.size()), prefix);
    // Access denied, as Wine says it in English and in Russian, and as Windows says it.
    const std::string reason = message.substr(prefix.size());
    EXPECT_TRUE(reason == "Access denied" || reason == "Доступ запрещён" ||
                reason == "Access is denied")
        << reason;
}
#endif

// A library that reopens its file by name writes in a private folder beside the target that
// no other user can enter, so a link planted there cannot redirect it.
TEST(AtomicFile, StagedFileWrittenByNameIsPutInPlace) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / "book.xlsx";
    WriteBytes(target, "old");
    std::vector<rez::StagedFile> staged;
    staged.emplace_back(target, rez::StagedFile::Writer::Library);
    const fs::path folder = staged[0].folder();
    EXPECT_EQ(folder.parent_path(), dir.path());
    EXPECT_EQ(Utf8(folder.filename()).substr(0, 19), ".book.xlsx.rez-new-");
    EXPECT_EQ(staged[0].temporary().parent_path(), folder);
#ifndef _WIN32
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
#endif
    WriteBytes(staged[0].temporary(), "written by a library"); // as a library writes by name
    WriteBytes(folder / "scratch", "the library's own");
    staged[0].Finish();
    rez::CommitFiles(staged);
    EXPECT_EQ(ReadBytes(target), "written by a library");
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u);
}

TEST(AtomicFile, StagedFileNotCommittedLeavesNothing) {
    rez::test::TempDir dir;
    {
        rez::StagedFile staged(dir.path() / "x");
        staged.Write("abc");
        rez::StagedFile byLibrary(dir.path() / "y", rez::StagedFile::Writer::Library);
        WriteBytes(byLibrary.temporary(), "abc");
    }
    EXPECT_TRUE(Snapshot(dir.path()).empty());
}

// What interrupted saves leave, by their two temporary names, and names the sweep must not
// take for them.
TEST(FolderSweep, RemovesLeftoversAndPutsBackAnOldFileWithoutItsName) {
    rez::test::TempDir dir;
    const fs::path d = dir.path();
    WriteBytes(d / "a.rtf", "current");
    WriteBytes(d / ".a.rtf.rez-old-Ab3dE9", "old a");
    WriteBytes(d / Utf8Path(".Я b.rtf.rez-old-X1y2Z3"), "old b");
    WriteBytes(d / ".c.rtf.rez-new-Q1w2E3", "half written");
    fs::create_directory(d / ".book.xlsx.rez-new-R4t5Y6");
    WriteBytes(d / ".book.xlsx.rez-new-R4t5Y6" / "new", "a library's file");
    const std::map<std::string, std::string> kept = {
        {".e.rtf.rez-new-ABCDE", "five random characters"},
        {".f.rtf.rez-new-ABCD_F", "not a random character"},
        {"g.rtf.rez-new-ABCDEF", "no leading dot"},
        {".h.rtf.rez-tmp-ABCDEF", "another tag"},
        {".rez-lock", ""},
    };
    for (const auto& [name, bytes] : kept)
        WriteBytes(d / name, bytes);
#ifndef _WIN32
    // A link on a leftover's name is removed, never followed.
    fs::create_directories(d / "outside" / "folder");
    fs::create_directory_symlink(d / "outside" / "folder", d / ".i.rez-new-ABCDEF");
    WriteBytes(d / "outside" / "folder" / "file", "precious");
#endif
    std::map<std::string, std::string> expected = kept;
    expected["a.rtf"] = "current";
    expected["Я b.rtf"] = "old b";
#ifndef _WIN32
    expected["outside"] = "<folder>";
#endif
    {
        // Taking a folder's lock sweeps it.
        const rez::FolderLocks locks({d});
        EXPECT_EQ(locks.size(), 1u);
    }
    EXPECT_EQ(Snapshot(d), expected);
#ifndef _WIN32
    EXPECT_EQ(ReadBytes(d / "outside" / "folder" / "file"), "precious");
#endif
}

// Another run's lock on the folder, taken as every run takes it.
class OtherRunsLock {
public:
    explicit OtherRunsLock(const fs::path& folder) {
#ifdef _WIN32
        handle_ = ::CreateFileW((folder / ".rez-lock").c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
        OVERLAPPED first{};
        EXPECT_TRUE(::LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &first));
#else
        handle_ = ::open((folder / ".rez-lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        EXPECT_EQ(::flock(handle_, LOCK_EX), 0);
#endif
    }
    ~OtherRunsLock() {
#ifdef _WIN32
        ::CloseHandle(handle_);
#else
        ::close(handle_);
#endif
    }
    OtherRunsLock(const OtherRunsLock&) = delete;
    OtherRunsLock& operator=(const OtherRunsLock&) = delete;

private:
#ifdef _WIN32
    HANDLE handle_;
#else
    int handle_;
#endif
};

TEST(FolderLock, WindowsSaveFailsAtOnceWhileAnotherRunWrites) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / Utf8Path("Я An.rtf");
    WriteBytes(target, "old");
    WriteBytes(dir.path() / ".x.rez-new-ABCDEF", "left over");
    {
        const OtherRunsLock other(dir.path());
        const auto before = Snapshot(dir.path());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(MessageOf([&] { rez::WriteFileInLockedFolder(target, "new"); }),
                  "Another run is writing into " + Utf8(dir.path()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(Snapshot(dir.path()), before); // nothing swept under another run's feet
    }
    rez::WriteFileInLockedFolder(target, "new");
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(Snapshot(dir.path()).size(), 2u); // the file and the lock file
}

TEST(FolderLock, RunWaitsSayingSoOnceThenFailsOrGoesOn) {
    rez::test::TempDir dir;
    std::vector<std::string> notices;
    const rez::LockWaiting waiting{std::chrono::milliseconds(300),
                                   [&](const std::string& notice) { notices.push_back(notice); }};
    {
        const OtherRunsLock other(dir.path());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(MessageOf([&] { rez::FolderLocks locks({dir.path()}, waiting); }),
                  "Another run is writing into " + Utf8(dir.path()));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    }
    EXPECT_EQ(notices, std::vector<std::string>{"Another run is writing into " + Utf8(dir.path()) +
                                                ": waiting up to 1 s"});
    // The other run ends while this one waits.
    std::optional<OtherRunsLock> other(std::in_place, dir.path());
    std::thread ending([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.reset();
    });
    const rez::FolderLocks locks({dir.path()}, {std::chrono::seconds(10), {}});
    ending.join();
    EXPECT_EQ(locks.size(), 1u);
}

// One lock per folder however it is named: a second flock of the folder from this process
// would wait for the first.
TEST(FolderLock, OneLockPerFolderHoweverNamed) {
    rez::test::TempDir dir;
    fs::create_directory(dir.path() / "out");
    std::vector<fs::path> names = {dir.path() / "out", dir.path() / "out" / ".",
                                   dir.path() / "missing"};
#ifndef _WIN32
    fs::create_directory_symlink(dir.path() / "out", dir.path() / "link");
    names.push_back(dir.path() / "link");
#endif
    const rez::FolderLocks locks(names);
    EXPECT_EQ(locks.size(), 1u);
    const rez::FolderLocks again({dir.path() / "out"}); // would fail at once if not shared
    EXPECT_EQ(again.size(), 1u);
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

#ifndef _WIN32
TEST(FolderLock, LinkOnTheLockFileIsRefusedNotFollowed) {
    rez::test::TempDir dir;
    fs::create_directory(dir.path() / "out");
    fs::create_symlink(dir.path() / "elsewhere", dir.path() / "out" / ".rez-lock");
    EXPECT_EQ(MessageOf([&] { rez::FolderLocks locks({dir.path() / "out"}); }),
              "Cannot create file " + Utf8(dir.path() / "out" / ".rez-lock") +
                  ": Too many levels of symbolic links");
    EXPECT_FALSE(fs::exists(dir.path() / "elsewhere"));
}
#endif

} // namespace
