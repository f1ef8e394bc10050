// Writes that fail must leave an existing file byte for byte as it was. These run the write in
// a child process that has a file-size limit or no write permission.
#include "export_files.h"
#include "rez_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using rez::test::ReadBytes;

namespace fs = std::filesystem;

// Runs `body` in a child process; its exit status is the test's verdict: 0 when the write
// failed with `expectedMessage`, 1 when it succeeded, 2 for another failure.
int RunChild(const std::function<void()>& prepare, const fs::path& path, const std::string& bytes) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        prepare();
        try {
            rez::WriteFileAtomically(QString::fromStdString(path.string()), bytes);
        } catch (const rez::RezError& e) {
            _exit(std::string(e.what()) == "Cannot create file " + path.string() ? 0 : 2);
        } catch (...) {
            _exit(2);
        }
        _exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

TEST(WriteFailure, FileSizeLimitHalfWayKeepsTheOldFile) {
    rez::test::TempDir dir;
    const fs::path path = dir.path() / "Scales.gif";
    const std::string old(3000, 'o');
    rez::test::WriteBytes(path, old);
    const auto limitFileSize = [] {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    EXPECT_EQ(RunChild(limitFileSize, path, std::string(1 << 20, 'n')), 0);
    EXPECT_EQ(ReadBytes(path), old);
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(WriteFailure, ReadOnlyFolderAndFileKeepTheOldFile) {
    rez::test::TempDir dir;
    const fs::path results = dir.path() / "Results";
    fs::create_directory(results);
    const fs::path path = results / "Table.rtf";
    rez::test::WriteBytes(path, "old table");
    ::chmod(path.c_str(), 0444);
    ::chmod(results.c_str(), 0555);
    // Permissions do not bind root: as root the child becomes "nobody" first.
    const auto dropRoot = [] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            _exit(4);
    };
    EXPECT_EQ(RunChild(dropRoot, path, "new table"), 0);
    EXPECT_EQ(ReadBytes(path), "old table");
    ::chmod(results.c_str(), 0755);
}

TEST(WriteFailure, MissingResultsFolder) {
    rez::test::TempDir dir;
    const fs::path path = dir.path() / "Results" / "An.rtf";
    EXPECT_EQ(RunChild([] {}, path, "text"), 0);
    EXPECT_FALSE(fs::exists(path.parent_path()));
}

} // namespace
