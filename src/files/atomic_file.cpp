#include "atomic_file.h"

#include "file_names.h"
#include "rez_error.h"
#include "system_reason.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

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

namespace rez {
namespace {

namespace fs = std::filesystem;

// One write call never asks for more than this, so a huge buffer still fails where the
// system stops taking bytes.
constexpr std::size_t MaxWriteChunk = std::size_t{1} << 20;

SaveFaultHook& FaultHook() {
    static SaveFaultHook hook;
    return hook;
}

std::error_code Injected(SaveStep step, const fs::path& target, std::uint64_t offset,
                         std::size_t& length) {
    const SaveFaultHook& hook = FaultHook();
    if (!hook)
        return {};
    const int error = hook(step, target, offset, length);
    length = std::max<std::size_t>(length, 1);
    return error != 0 ? std::error_code(error, std::generic_category()) : std::error_code();
}

std::error_code Injected(SaveStep step, const fs::path& target) {
    std::size_t none = 0;
    return Injected(step, target, 0, none);
}

std::error_code LastError() {
    return {errno, std::generic_category()};
}

[[noreturn]] void ThrowCannotCreate(const fs::path& target) {
    throw RezError(MsgCannotCreateFile(DisplayPath(target)));
}

[[noreturn]] void ThrowCannotWrite(const fs::path& target, const std::error_code& error,
                                   const std::string& note = {}) {
    throw RezError(MsgCannotWriteFile(DisplayPath(target), SystemReasonText(error)) + note);
}

// Six characters for a name that no other save uses at the same time.
std::string RandomTag() {
    static constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::string tag;
    for (int i = 0; i < 6; ++i)
        tag += letters[engine() % letters.size()];
    return tag;
}

// "." + the target's name + "." + six random characters, in the target's folder.
fs::path NameBeside(const fs::path& target) {
    fs::path name(".");
    name += target.filename();
    name += "." + RandomTag();
    return target.parent_path() / name;
}

// --- The platform's calls. Handles are C runtime descriptors on both platforms.
#ifdef _WIN32

int OpenExclusive(const fs::path& path) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
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
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

std::error_code RemoveFile(const fs::path& path) {
    if (::DeleteFileW(path.c_str()))
        return {};
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Whether anything, a link included, has this name.
bool EntryExists(const fs::path& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Refuses a target that no save can replace: a folder, or a file the user may not write.
void CheckTarget(const fs::path& target) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return; // a new file; whether its folder takes it shows when the temporary is created
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return; // a link is replaced, not written through
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        ThrowCannotCreate(target);
}

void KeepModeOfOldFile(int, const fs::path&) {}

void SyncFolder(const fs::path&) {}

#else

int OpenExclusive(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY,
                  0666);
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

// Whether anything, a link included, has this name.
bool EntryExists(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void CheckTarget(const fs::path& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0)
        return; // a new file; whether its folder takes it shows when the temporary is created
    if (S_ISDIR(st.st_mode))
        ThrowCannotCreate(target);
    if (S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        ThrowCannotCreate(target);
}

// A new file keeps the permissions of the file it replaces (a private file stays private).
// Best effort: the content is what matters.
void KeepModeOfOldFile(int handle, const fs::path& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        (void)::fchmod(handle, st.st_mode & 07777);
}

// Makes the renames themselves durable. Best effort: the files are in place already.
void SyncFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        (void)::fsync(handle);
        (void)::close(handle);
    }
}

#endif

// Creates a new empty file with a name beside `target` that nothing else has; returns its
// handle and name, or -1 when the folder takes no new file.
std::pair<int, fs::path> CreateBeside(const fs::path& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = NameBeside(target);
        const int handle = OpenExclusive(name);
        if (handle >= 0)
            return {handle, std::move(name)};
        if (errno != EEXIST)
            break;
    }
    return {-1, {}};
}

} // namespace

StagedFile::StagedFile(fs::path target)
    : target_(std::move(target)) {
    if (!target_.has_filename())
        ThrowCannotCreate(target_);
    CheckTarget(target_);
    auto [handle, name] = CreateBeside(target_);
    if (handle < 0)
        ThrowCannotCreate(target_);
    handle_ = handle;
    temporary_ = std::move(name);
    KeepModeOfOldFile(handle_, target_);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_))
    , temporary_(std::exchange(other.temporary_, {}))
    , written_(other.written_)
    , handle_(std::exchange(other.handle_, -1))
    , finished_(other.finished_) {}

StagedFile::~StagedFile() {
    if (handle_ >= 0)
        (void)CloseHandle(handle_);
    if (!temporary_.empty())
        (void)RemoveFile(temporary_);
}

void StagedFile::Write(std::string_view bytes) {
    if (handle_ < 0 || finished_)
        ThrowCannotWrite(target_, std::make_error_code(std::errc::bad_file_descriptor));
    while (!bytes.empty()) {
        std::size_t length = std::min(bytes.size(), MaxWriteChunk);
        if (const std::error_code fault = Injected(SaveStep::Write, target_, written_, length))
            ThrowCannotWrite(target_, fault);
        const long long got = WriteSome(handle_, bytes.data(), std::min(length, bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ThrowCannotWrite(target_, LastError());
        if (got == 0) // a write that takes nothing would never end
            ThrowCannotWrite(target_, std::make_error_code(std::errc::io_error));
        bytes.remove_prefix(static_cast<std::size_t>(got));
        written_ += static_cast<std::uint64_t>(got);
    }
}

void StagedFile::Finish() {
    if (handle_ < 0 || finished_)
        ThrowCannotWrite(target_, std::make_error_code(std::errc::bad_file_descriptor));
    // The sync is where a full disk shows for data the system only buffered, and the close
    // where a network file system reports it.
    if (const std::error_code fault = Injected(SaveStep::Sync, target_))
        ThrowCannotWrite(target_, fault);
    if (SyncHandle(handle_) != 0)
        ThrowCannotWrite(target_, LastError());
    const std::error_code fault = Injected(SaveStep::Close, target_);
    const int closed = CloseHandle(std::exchange(handle_, -1));
    const std::error_code closeError = closed != 0 ? LastError() : std::error_code();
    if (fault)
        ThrowCannotWrite(target_, fault);
    if (closeError)
        ThrowCannotWrite(target_, closeError);
    finished_ = true;
}

void CommitFiles(std::span<StagedFile> files) {
    for (const StagedFile& file : files)
        if (!file.finished_)
            ThrowCannotWrite(file.target_, std::make_error_code(std::errc::bad_file_descriptor));

    // The files renamed in so far, each with the name its old file was moved to (empty when
    // there was none).
    struct Placed {
        const fs::path* target;
        fs::path aside;
    };
    std::vector<Placed> placed;
    // Takes the new files out again and puts the old ones back; says where an old file stays
    // when it cannot be put back.
    const auto rollBack = [&placed] {
        std::string note;
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            const std::error_code error = it->aside.empty()
                                              ? RemoveFile(*it->target)
                                              : RenameReplacing(it->aside, *it->target);
            if (error && !it->aside.empty())
                note += "; the old file " + DisplayPath(*it->target) + " is kept as " +
                        DisplayPath(it->aside);
        }
        return note;
    };

    // A file saved alone is renamed straight over its target, so that the name holds the old
    // or the new file at every moment; only a set needs its old files aside to put them back.
    const bool moveAside = files.size() > 1;
    for (StagedFile& file : files) {
        const fs::path& target = file.target_;
        Placed entry{&target, {}};
        if (moveAside && EntryExists(target)) {
            // Reserve a free name first, so the rename below replaces nothing but our own
            // empty file.
            auto [handle, aside] = CreateBeside(target);
            std::error_code error = handle < 0 ? LastError() : std::error_code();
            if (handle >= 0)
                (void)CloseHandle(handle);
            if (!error)
                error = Injected(SaveStep::MoveAside, target);
            if (!error)
                error = RenameReplacing(target, aside);
            if (error) {
                if (!aside.empty())
                    (void)RemoveFile(aside);
                ThrowCannotWrite(target, error, rollBack());
            }
            entry.aside = std::move(aside);
        }
        std::error_code error = Injected(SaveStep::MoveIn, target);
        if (!error)
            error = RenameReplacing(file.temporary_, target);
        if (error) {
            std::string note;
            if (!entry.aside.empty() && RenameReplacing(entry.aside, target))
                note = "; the old file " + DisplayPath(target) + " is kept as " +
                       DisplayPath(entry.aside);
            ThrowCannotWrite(target, error, rollBack() + note);
        }
        file.temporary_.clear(); // it is the target now
        placed.push_back(std::move(entry));
    }
    for (const Placed& entry : placed)
        if (!entry.aside.empty())
            (void)RemoveFile(entry.aside);
    for (const StagedFile& file : files)
        SyncFolder(file.target_);
}

void WriteFiles(std::span<const FileBytes> files) {
    std::vector<StagedFile> staged;
    staged.reserve(files.size());
    for (const FileBytes& file : files) {
        staged.emplace_back(file.target);
        staged.back().Write(file.bytes);
        staged.back().Finish();
    }
    CommitFiles(staged);
}

void WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    const FileBytes file{target, std::string(bytes)};
    WriteFiles(std::span(&file, 1));
}

void SetSaveFaultHook(SaveFaultHook hook) {
    FaultHook() = std::move(hook);
}

} // namespace rez
