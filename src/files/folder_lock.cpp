#include "folder_lock.h"

#include "atomic_file.h"
#include "file_calls.h"
#include "file_names.h"
#include "rez_error.h"
#include "system_reason.h"

#include <algorithm>
#include <cerrno>
#include <compare>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rez {
namespace {

namespace fs = std::filesystem;

// A folder as the file system tells it apart from every other.
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    auto operator<=>(const FolderId&) const = default;
};

enum class Attempt { Locked, Busy, NoLocking };

// How often a busy lock is tried again while waiting.
constexpr std::chrono::milliseconds PollInterval{50};

#ifdef _WIN32

using Handle = HANDLE;
const Handle NoHandle = INVALID_HANDLE_VALUE;

std::error_code LastWindowsError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

bool IdentifyFolder(const fs::path& folder, FolderId& id) {
    const HANDLE handle =
        ::CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0 &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    ::CloseHandle(handle);
    id = {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    return known;
}

Handle OpenLockFile(const fs::path& file, std::error_code& error) {
    // The link itself is opened, never what it points to.
    const HANDLE handle = ::CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastWindowsError();
        return NoHandle;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(handle, &info) == 0 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        ::CloseHandle(handle);
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return NoHandle;
    }
    return handle;
}

bool FolderTakesNoFile(const std::error_code& error) {
    const int code = error.value();
    return code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT ||
           code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

Attempt TryLock(Handle handle) {
    OVERLAPPED first{}; // the file's first byte
    if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first))
        return Attempt::Locked;
    return ::GetLastError() == ERROR_LOCK_VIOLATION ? Attempt::Busy : Attempt::NoLocking;
}

void CloseLockFile(Handle handle) {
    ::CloseHandle(handle); // releases the lock
}

#else

using Handle = int;
constexpr Handle NoHandle = -1;

bool IdentifyFolder(const fs::path& folder, FolderId& id) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

Handle OpenLockFile(const fs::path& file, std::error_code& error) {
    // Read-only is enough for flock, and lets a lock file made by another user serve too.
    const int handle = ::open(
        file.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (handle < 0) {
        error = files::LastError();
        return NoHandle;
    }
    struct stat st {};
    if (::fstat(handle, &st) != 0 || !S_ISREG(st.st_mode)) {
        (void)::close(handle);
        error = std::make_error_code(std::errc::invalid_argument);
        return NoHandle;
    }
    return handle;
}

bool FolderTakesNoFile(const std::error_code& error) {
    const int code = error.value();
    return code == EACCES || code == EROFS || code == EPERM || code == ENOENT;
}

Attempt TryLock(Handle handle) {
    for (;;) {
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0)
            return Attempt::Locked;
        if (errno != EINTR)
            return errno == EWOULDBLOCK ? Attempt::Busy : Attempt::NoLocking;
    }
}

void CloseLockFile(Handle handle) {
    (void)::close(handle); // releases the lock
}

#endif

// The locks this process holds, by folder: a second set naming a held folder shares its lock
// (a second flock of the same file from this process would wait for ourselves).
std::mutex registryMutex;
std::map<FolderId, std::weak_ptr<FolderLocks::Held>>& Registry() {
    static std::map<FolderId, std::weak_ptr<FolderLocks::Held>> registry;
    return registry;
}

// A leftover of a save, known by its name ".NAME" + tag + random part.
struct Leftover {
    std::string name; // NAME, the target's name
    bool isNew;       // a file being written (or a private folder), not an old version
};

std::optional<Leftover> LeftoverOf(const std::string& name) {
    const std::size_t tail = NewFileTag.size() + TemporaryNameRandomBytes;
    if (name.size() < 2 + tail || name[0] != '.')
        return std::nullopt;
    const std::string_view tag =
        std::string_view(name).substr(name.size() - tail, NewFileTag.size());
    if (tag != NewFileTag && tag != OldFileTag)
        return std::nullopt;
    for (std::size_t i = name.size() - TemporaryNameRandomBytes; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return std::nullopt;
    }
    return Leftover{name.substr(1, name.size() - 1 - tail), tag == NewFileTag};
}

} // namespace

class FolderLocks::Held {
public:
    explicit Held(Handle handle)
        : handle_(handle) {}
    ~Held() { CloseLockFile(handle_); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    Handle handle_;
};

void SweepLeftovers(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename());
    for (const fs::path& name : names) {
        const auto leftover = LeftoverOf(BytesOfPath(name));
        if (!leftover)
            continue;
        const fs::path path = folder / name;
        std::error_code ignored;
        const files::EntryKind kind = files::KindOfEntry(path, ignored);
        if (leftover->isNew) {
            if (kind == files::EntryKind::Folder)
                files::RemoveTree(path); // a library's private folder
            else
                (void)files::RemoveFile(path);
            continue;
        }
        const fs::path target = folder / PathFromBytes(leftover->name);
        if (kind == files::EntryKind::Folder)
            continue; // no save keeps a folder
        if (files::KindOfEntry(target, ignored) == files::EntryKind::None)
            (void)files::RenameReplacing(path, target);
        else
            (void)files::RemoveFile(path);
    }
}

FolderLocks::FolderLocks() = default;
FolderLocks::FolderLocks(FolderLocks&&) noexcept = default;
FolderLocks& FolderLocks::operator=(FolderLocks&&) noexcept = default;
FolderLocks::~FolderLocks() = default;

FolderLocks::FolderLocks(const std::vector<fs::path>& folders, const LockWaiting& waiting) {
    const auto deadline = std::chrono::steady_clock::now() + waiting.limit;
    bool told = false;
    for (const fs::path& given : folders) {
        const fs::path folder = given.empty() ? fs::path(".") : given;
        FolderId id;
        if (!IdentifyFolder(folder, id))
            continue; // a missing folder: its saves say so
        const std::lock_guard guard(registryMutex);
        if (auto held = Registry()[id].lock()) {
            if (std::find(held_.begin(), held_.end(), held) == held_.end())
                held_.push_back(std::move(held));
            continue;
        }
        const fs::path file = folder / PathFromBytes(FolderLockFileName);
        std::error_code error;
        const Handle handle = OpenLockFile(file, error);
        if (handle == NoHandle) {
            if (FolderTakesNoFile(error))
                continue; // nothing can be written there either
            throw RezError(MsgCannotCreateFile(DisplayPath(file)) + ": " + SystemReasonText(error));
        }
        auto held = std::make_shared<Held>(handle);
        Attempt attempt = TryLock(handle);
        while (attempt == Attempt::Busy && std::chrono::steady_clock::now() < deadline) {
            const auto seconds = std::chrono::ceil<std::chrono::seconds>(waiting.limit);
            if (!told && waiting.notice)
                waiting.notice("Another run is writing into " + DisplayPath(folder) +
                               ": waiting up to " + std::to_string(seconds.count()) + " s");
            told = true;
            std::this_thread::sleep_for(PollInterval);
            attempt = TryLock(handle);
        }
        if (attempt == Attempt::Busy)
            throw RezError("Another run is writing into " + DisplayPath(folder));
        if (attempt == Attempt::NoLocking)
            continue; // a file system without locks: the run goes on as without a lock file
        Registry()[id] = held;
        held_.push_back(std::move(held));
        SweepLeftovers(folder);
    }
}

void WriteFileInLockedFolder(const fs::path& target, std::string_view bytes) {
    const FolderLocks lock({target.parent_path()});
    WriteFileAtomically(target, bytes);
}

} // namespace rez
