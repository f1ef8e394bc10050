// Saves that the system makes fail must leave an existing file byte for byte as it was, say
// why, and leave no temporary file; a save killed at any step leaves whole files only. Each
// case runs in a child process that has a file-size limit, no write permission or a full file
// system of its own, or is killed.
#include "atomic_file.h"
#include "folder_lock.h"
#include "param_name.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using rez::test::ReadBytes;

namespace fs = std::filesystem;

// Exit statuses of the child.
constexpr int kAsExpected = 0;
constexpr int kSaved = 1;          // the save succeeded
constexpr int kOtherMessage = 2;   // it failed with another message (printed)
constexpr int kOldFileChanged = 3; // the old file is not as it was
constexpr int kLeftovers = 4;      // a temporary file is left
constexpr int kSkip = 77;          // the machine cannot set the case up

// Ends the child's set-up with kSkip, leaving `why` with the system's reason in the file
// "why-skipped" beside `dir` for the parent to report.
int Skip(const fs::path& dir, const std::string& why) {
    const std::string reason = why + ": " + std::strerror(errno);
    rez::test::WriteBytes(dir.parent_path() / "why-skipped", reason);
    return kSkip;
}

int EntriesIn(const fs::path& dir) {
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
        ++entries;
    return entries;
}

// Saves `bytes` over the file `name` in `dir`, which holds `old`; checks the message and that
// the folder holds what it held.
int SaveAndCheck(const fs::path& dir, const std::string& name, const std::string& old,
                 const std::string& bytes, const std::string& expectedMessage) {
    const fs::path path = dir / name;
    const int entries = EntriesIn(dir);
    try {
        rez::WriteFileAtomically(path, bytes);
        return kSaved;
    } catch (const rez::RezError& e) {
        const std::string message = e.what();
        std::string full = expectedMessage;
        full.replace(full.find("%s"), 2, path.string());
        if (message != full) {
            std::fprintf(stderr, "message: %s\nexpected: %s\n", message.c_str(), full.c_str());
            return kOtherMessage;
        }
    }
    if (ReadBytes(path) != old)
        return kOldFileChanged;
    if (EntriesIn(dir) != entries)
        return kLeftovers;
    return kAsExpected;
}

struct FailureCase {
    const char* name;
    std::size_t oldBytes;
    std::size_t newBytes;
    // Runs in the child before the save, in the folder that holds the old file "Scales.gif";
    // returns kSkip when the machine cannot set the case up.
    std::function<int(const fs::path& dir)> prepare;
    const char* message; // "%s" stands for the file's path
};
REZ_PRINT_CASE_BY_NAME(FailureCase)

// Permissions do not bind root: as root the child becomes "nobody" first.
int DropRoot(const fs::path& dir) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        return Skip(dir, "cannot become the user nobody");
    return kAsExpected;
}

// A file system of its own, 64 KiB large, mounted over `dir` in a mount namespace of the
// child's own, holding the old file and filled up to the last byte.
int MountFullFileSystem(const fs::path& dir, std::size_t oldBytes) {
    if (::unshare(CLONE_NEWNS) != 0)
        return Skip(dir, "no mount namespace of its own (unshare)");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
        return Skip(dir, "no small tmpfs in its mount namespace (mount)");
    rez::test::WriteBytes(dir / "Scales.gif", std::string(oldBytes, 'o'));
    std::FILE* filler = std::fopen((dir / "filler").c_str(), "wb");
    const std::string page(512, 'f');
    while (filler != nullptr && std::fwrite(page.data(), 1, page.size(), filler) == page.size() &&
           std::fflush(filler) == 0) {
    }
    std::fclose(filler);
    std::FILE* rest = std::fopen((dir / "rest").c_str(), "wb");
    while (rest != nullptr && std::fputc('r', rest) != EOF && std::fflush(rest) == 0) {
    }
    std::fclose(rest);
    return kAsExpected;
}

class WriteFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(WriteFailure, KeepsTheOldFileAndSaysWhy) {
    rez::test::TempDir temp;
    const fs::path dir = temp.path() / "Results";
    fs::create_directory(dir);
    const std::string old(GetParam().oldBytes, 'o');
    rez::test::WriteBytes(dir / "Scales.gif", old);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int prepared = GetParam().prepare(dir);
        if (prepared != kAsExpected)
            _exit(prepared);
        _exit(SaveAndCheck(dir, "Scales.gif", old, std::string(GetParam().newBytes, 'n'),
                           GetParam().message));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kSkip)
        GTEST_SKIP() << "the machine does not let this test set up its case: "
                     << ReadBytes(temp.path() / "why-skipped");
    EXPECT_EQ(WEXITSTATUS(status), kAsExpected);
    // The parent sees the folder as the child left it (the full file system was the child's).
    EXPECT_EQ(ReadBytes(dir / "Scales.gif"), old);
}

const auto kFileSizeLimit = [](const fs::path& dir) {
    std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
    const rlimit limit{4096, 4096};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? kAsExpected : Skip(dir, "setrlimit");
};

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteFailure,
    testing::Values(FailureCase{"FileSizeLimitHalfWay", 13000, 1 << 20, kFileSizeLimit,
                                "Cannot write file %s: File too large"},
                    FailureCase{"ReadOnlyFolder", 300, 400,
                                [](const fs::path& dir) {
                                    ::chmod(dir.c_str(), 0555);
                                    return DropRoot(dir);
                                },
                                "Cannot create file %s: Permission denied"},
                    FailureCase{"ReadOnlyFileInAWritableFolder", 300, 400,
                                [](const fs::path& dir) {
                                    ::chmod(dir.c_str(), 0777);
                                    ::chmod((dir / "Scales.gif").c_str(), 0444);
                                    return DropRoot(dir);
                                },
                                "Cannot create file %s: Permission denied"},
                    FailureCase{"FullFileSystem", 13000, 20000,
                                [](const fs::path& dir) { return MountFullFileSystem(dir, 13000); },
                                "Cannot write file %s: No space left on device"},
                    FailureCase{"FullFileSystemSmallFile", 13000, 100,
                                [](const fs::path& dir) { return MountFullFileSystem(dir, 13000); },
                                "Cannot write file %s: No space left on device"}),
    rez::test::ByName());

// A folder that takes no lock file (read-only) is written without the lock: nothing can be
// written there anyway, and its saves say why.
TEST(FolderLock, ReadOnlyFolderGoesOnWithoutTheLock) {
    rez::test::TempDir temp;
    const fs::path dir = temp.path() / "Results";
    fs::create_directory(dir);
    ::chmod(dir.c_str(), 0555);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (DropRoot(dir) != kAsExpected)
            _exit(kSkip);
        try {
            const rez::FolderLocks locks({dir});
            _exit(locks.size() == 0 ? kAsExpected : kSaved);
        } catch (const rez::RezError& e) {
            std::fprintf(stderr, "message: %s\n", e.what());
            _exit(kOtherMessage);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kSkip)
        GTEST_SKIP() << ReadBytes(temp.path() / "why-skipped");
    EXPECT_EQ(WEXITSTATUS(status), kAsExpected);
    EXPECT_FALSE(fs::exists(dir / ".rez-lock"));
}

// A group's four files, three replacing old ones, written by a child process that is killed
// before its Nth step (every write, sync, close, link, rename and removal), for every N: each
// target holds its old or its new file, never nothing; a normal run after it, taking the
// folder's lock and so sweeping it, leaves the new files and no hidden file but the lock.
TEST(KilledSave, LeavesEveryFileWholeAndTheNextRunCleansUp) {
    const std::vector<std::string> names = {"Я Table.rtf", "Я An.rtf", "Я Scales.gif",
                                            "Я Factors.gif"};
    int steps = 0;
    for (int killAt = 1;; ++killAt) {
        SCOPED_TRACE("killed before step " + std::to_string(killAt));
        rez::test::TempDir temp;
        const fs::path dir = temp.path();
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            rez::test::WriteBytes(dir / names[i], "old " + names[i]);
        const auto filesWith = [&](const std::string& prefix) {
            std::vector<rez::FileBytes> files;
            for (const std::string& name : names)
                files.push_back({dir / name, prefix + name});
            return files;
        };
        const pid_t pid = ::fork();
        if (pid == 0) {
            int step = 0;
            rez::SetSaveFaultHook([&](rez::SaveStep, const fs::path&, std::uint64_t, std::size_t&) {
                if (++step == killAt)
                    ::raise(SIGKILL);
                return 0;
            });
            rez::WriteFiles(filesWith("new "));
            _exit(kAsExpected);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        ASSERT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == kAsExpected));
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string now = ReadBytes(dir / names[i]);
            const bool hadOld = i + 1 < names.size();
            EXPECT_TRUE(now == "new " + names[i] || (hadOld && now == "old " + names[i]) ||
                        (!hadOld && !fs::exists(dir / names[i])))
                << names[i] << ": " << now;
        }
        {
            const rez::FolderLocks locks({dir});
            rez::WriteFiles(filesWith("next "));
        }
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{".rez-lock", "Я An.rtf", "Я Factors.gif",
                                                  "Я Scales.gif", "Я Table.rtf"}));
        for (const std::string& name : names)
            EXPECT_EQ(ReadBytes(dir / name), "next " + name);
        if (!killed) {
            steps = killAt - 1;
            break;
        }
    }
    // Each file's write, sync and close; keeping each old file (the fourth has none); four
    // renames; the removal of the three old files' second names.
    EXPECT_EQ(steps, 4 * 3 + 4 + 4 + 3);
}

} // namespace
