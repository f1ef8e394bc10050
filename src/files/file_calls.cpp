#include "file_calls.h"

#include "file_names.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <random>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rez::files {
namespace {

// Six characters for a name that no other save uses at the same time.
std::string RandomTag() {
    static constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::string tag;
    for (std::size_t i = 0; i < TemporaryNameRandomBytes; ++i)
        tag += letters[engine() % letters.size()];
    return tag;
}

} // namespace

std::error_code LastError() {
    return {errno, std::generic_category()};
}

fs::path TemporaryName(const fs::path& target, std::string_view tag) {
    fs::path name(".");
    name += target.filename();
    name += std::string(tag) + RandomTag();
    return target.parent_path() / name;
}

void RemoveTree(const fs::path& folder) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

bool IsMissing(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category())
        return error.value() == ERROR_FILE_NOT_FOUND || error.value() == ERROR_PATH_NOT_FOUND;
#endif
    return error.value() == ENOENT;
}

bool IsTaken(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category())
        return error.value() == ERROR_ALREADY_EXISTS || error.value() == ERROR_FILE_EXISTS;
#endif
    return error.value() == EEXIST;
}

#ifdef _WIN32

namespace {

std::error_code LastWindowsError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

} // namespace

int OpenExclusive(const fs::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

int OpenWritten(const fs::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

long long WriteSome(int handle, const char* data, std::size_t length) {
    return ::_write(handle, data, static_cast<unsigned>(std::min<std::size_t>(length, INT_MAX)));
}

int SyncHandle(int handle) {
    return ::_commit(handle);
}

int CloseHandle(int handle) {
    return ::_close(handle);
}

std::error_code RenameReplacing(const fs::path& from, const fs::path& to) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return LastWindowsError();
}

std::error_code RemoveFile(const fs::path& path) {
    if (::DeleteFileW(path.c_str()))
        return {};
    return LastWindowsError();
}

fs::path MakePrivateFolder(const fs::path& target, std::error_code& error) {
    // A folder inherits its parent's access rights; its random name is what keeps other
    // saves out.
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = TemporaryName(target, NewFileTag);
        if (::CreateDirectoryW(name.c_str(), nullptr))
            return name;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            error = LastWindowsError();
            return {};
        }
    }
    error = std::make_error_code(std::errc::file_exists);
    return {};
}

std::error_code HardLink(const fs::path& from, const fs::path& to) {
    if (::CreateHardLinkW(to.c_str(), from.c_str(), nullptr))
        return {};
    return LastWindowsError();
}

bool NoHardLinks(const std::error_code& error) {
    if (error.category() == std::system_category()) {
        const int code = error.value();
        return code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED ||
               code == ERROR_TOO_MANY_LINKS || code == ERROR_NOT_SAME_DEVICE;
    }
    const int code = error.value();
    return code == EPERM || code == EOPNOTSUPP || code == ENOSYS || code == EMLINK || code == EXDEV;
}

std::error_code CopyEntry(const fs::path& from, const fs::path& to) {
#ifndef COPY_FILE_COPY_SYMLINK
    constexpr DWORD COPY_FILE_COPY_SYMLINK = 0x800;
#endif
    if (::CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr,
                      COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_COPY_SYMLINK))
        return {};
    return LastWindowsError();
}

EntryKind KindOfEntry(const fs::path& path, std::error_code& error) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::None;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return EntryKind::Link;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EntryKind::Folder;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = std::make_error_code(std::errc::permission_denied);
        return EntryKind::ReadOnlyFile;
    }
    return EntryKind::File;
}

void KeepModeOfOldFile(int, const fs::path&) {}

void SyncFolder(const fs::path&) {}

#else

int OpenExclusive(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY,
                  0666);
}

int OpenWritten(const fs::path& path) {
    const int handle =
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    struct stat st {};
    if (handle >= 0 && (::fstat(handle, &st) != 0 || !S_ISREG(st.st_mode))) {
        (void)::close(handle);
        errno = EINVAL;
        return -1;
    }
    return handle;
}

long long WriteSome(int handle, const char* data, std::size_t length) {
    return ::write(handle, data, length);
}

int SyncHandle(int handle) {
    return ::fsync(handle);
}

int CloseHandle(int handle) {
    return ::close(handle);
}

std::error_code RenameReplacing(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code RemoveFile(const fs::path& path) {
    return ::unlink(path.c_str()) == 0 ? std::error_code() : LastError();
}

fs::path MakePrivateFolder(const fs::path& target, std::error_code& error) {
    fs::path pattern(".");
    pattern += target.filename();
    pattern += std::string(NewFileTag) + std::string(TemporaryNameRandomBytes, 'X');
    std::string name = (target.parent_path() / pattern).native();
    if (::mkdtemp(name.data()) == nullptr) {
        error = LastError();
        return {};
    }
    return name;
}

std::error_code HardLink(const fs::path& from, const fs::path& to) {
    // Without AT_SYMLINK_FOLLOW a link at `from` gets the second name itself.
    return ::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) == 0 ? std::error_code()
                                                                          : LastError();
}

bool NoHardLinks(const std::error_code& error) {
    const int code = error.value();
    return code == EPERM || code == EOPNOTSUPP || code == ENOSYS || code == EMLINK || code == EXDEV;
}

namespace {

std::error_code CopyBytes(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return LastError();
        if (got == 0)
            return {};
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR)
                return LastError();
            done += std::max<ssize_t>(put, 0);
        }
    }
}

} // namespace

std::error_code CopyEntry(const fs::path& from, const fs::path& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0)
        return LastError();
    if (S_ISLNK(st.st_mode)) {
        std::error_code error;
        const fs::path points = fs::read_symlink(from, error);
        if (error)
            return error;
        return ::symlink(points.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
    }
    if (!S_ISREG(st.st_mode))
        return std::make_error_code(std::errc::invalid_argument);
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (in < 0)
        return LastError();
    const int out =
        ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, st.st_mode & 0777);
    std::error_code error = out < 0 ? LastError() : CopyBytes(in, out);
    if (out >= 0 && ::close(out) != 0 && !error)
        error = LastError();
    (void)::close(in);
    if (error && out >= 0)
        (void)::unlink(to.c_str());
    return error;
}

EntryKind KindOfEntry(const fs::path& path, std::error_code& error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return EntryKind::None; // whether the folder takes a new file shows when it is created
    if (S_ISLNK(st.st_mode))
        return EntryKind::Link;
    if (S_ISDIR(st.st_mode))
        return EntryKind::Folder;
    if (!S_ISREG(st.st_mode))
        return EntryKind::Other;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        error = LastError();
        return EntryKind::ReadOnlyFile;
    }
    return EntryKind::File;
}

void KeepModeOfOldFile(int handle, const fs::path& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        (void)::fchmod(handle, st.st_mode & 0666);
}

void SyncFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        (void)::fsync(handle);
        (void)::close(handle);
    }
}

#endif

} // namespace rez::files
