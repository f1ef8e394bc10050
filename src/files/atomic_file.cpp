#include "atomic_file.h"

#include "file_calls.h"
#include "file_names.h"
#include "rez_error.h"
#include "system_reason.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
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

using files::LastError;

[[noreturn]] void ThrowCannotCreate(const fs::path& target, const std::error_code& why = {}) {
    std::string message = MsgCannotCreateFile(DisplayPath(target));
    if (why)
        message += ": " + SystemReasonText(why);
    throw RezError(message);
}

[[noreturn]] void ThrowCannotWrite(const fs::path& target, const std::error_code& error,
                                   const std::string& note = {}) {
    throw RezError(MsgCannotWriteFile(DisplayPath(target), SystemReasonText(error)) + note);
}

// Refuses a target that no save can replace: a folder, a file the user may not write, or
// something that is no file at all. A link is replaced, not written through.
void CheckTarget(const fs::path& target) {
    std::error_code why;
    switch (files::KindOfEntry(target, why)) {
    case files::EntryKind::Folder:
        ThrowCannotCreate(target, std::make_error_code(std::errc::is_a_directory));
    case files::EntryKind::ReadOnlyFile:
        ThrowCannotCreate(target, why);
    case files::EntryKind::Other: // a FIFO would block the save, a device would take the bytes
        throw RezError(MsgCannotWriteFile(DisplayPath(target), "not a regular file"));
    case files::EntryKind::None:
    case files::EntryKind::File:
    case files::EntryKind::Link:
        break;
    }
}

// Creates a new empty file with a temporary name beside `target`; returns its handle and
// name, or -1 and the system's reason when the folder takes no new file.
std::pair<int, fs::path> CreateBeside(const fs::path& target, std::error_code& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = files::TemporaryName(target, NewFileTag);
        const int handle = files::OpenExclusive(name);
        if (handle >= 0)
            return {handle, std::move(name)};
        error = LastError();
        if (errno != EEXIST)
            break;
    }
    return {-1, {}};
}

#ifdef _WIN32
// libxlsxwriter converts the names it opens into a buffer of MAX_PATH UTF-16 units; its own
// scratch files add a name of up to this many to the private folder's path.
constexpr std::size_t LibraryScratchNameRoom = 40;

// The private folder under a path the library can take: its short (8.3) form when the long
// one does not fit, else a failure as for a name too long.
fs::path PathForLibrary(const fs::path& folder, const fs::path& target) {
    if (folder.native().size() + LibraryScratchNameRoom < MAX_PATH)
        return folder;
    wchar_t shortPath[MAX_PATH];
    const DWORD length = ::GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length + LibraryScratchNameRoom >= MAX_PATH) {
        files::RemoveTree(folder);
        ThrowCannotCreate(target, std::make_error_code(std::errc::filename_too_long));
    }
    return fs::path(std::wstring(shortPath, length));
}
#endif

// Gives the old file at `target` its second name beside it; returns that name, or an empty
// one when there is no old file.
fs::path KeepOldFile(const fs::path& target, std::error_code& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path old = files::TemporaryName(target, OldFileTag);
        error = Injected(SaveStep::KeepOld, target);
        if (!error)
            error = files::HardLink(target, old);
        if (error && files::NoHardLinks(error))
            error = files::CopyEntry(target, old);
        if (!error)
            return old;
        if (files::IsMissing(error)) {
            error.clear(); // a new file: nothing to keep
            return {};
        }
        if (!files::IsTaken(error))
            return {};
    }
    return {};
}

} // namespace

StagedFile::StagedFile(fs::path target, Writer writer)
    : target_(std::move(target)) {
    if (!target_.has_filename())
        ThrowCannotCreate(target_);
    CheckTarget(target_);
    std::error_code error;
    if (writer == Writer::Library) {
        fs::path folder = files::MakePrivateFolder(target_, error);
        if (folder.empty())
            ThrowCannotCreate(target_, error);
#ifdef _WIN32
        folder = PathForLibrary(folder, target_);
#endif
        folder_ = std::move(folder);
        temporary_ = folder_ / "new";
        return;
    }
    auto [handle, name] = CreateBeside(target_, error);
    if (handle < 0)
        ThrowCannotCreate(target_, error);
    handle_ = handle;
    temporary_ = std::move(name);
    files::KeepModeOfOldFile(handle_, target_);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_))
    , temporary_(std::exchange(other.temporary_, {}))
    , folder_(std::exchange(other.folder_, {}))
    , written_(other.written_)
    , handle_(std::exchange(other.handle_, -1))
    , finished_(other.finished_) {}

StagedFile::~StagedFile() {
    if (handle_ >= 0)
        (void)files::CloseHandle(handle_);
    if (!folder_.empty())
        files::RemoveTree(folder_);
    else if (!temporary_.empty())
        (void)files::RemoveFile(temporary_);
}

void StagedFile::Write(std::string_view bytes) {
    if (handle_ < 0 || finished_)
        ThrowCannotWrite(target_, std::make_error_code(std::errc::bad_file_descriptor));
    while (!bytes.empty()) {
        std::size_t length = std::min(bytes.size(), MaxWriteChunk);
        if (const std::error_code fault = Injected(SaveStep::Write, target_, written_, length))
            ThrowCannotWrite(target_, fault);
        const long long got =
            files::WriteSome(handle_, bytes.data(), std::min(length, bytes.size()));
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
    if (finished_ || temporary_.empty())
        ThrowCannotWrite(target_, std::make_error_code(std::errc::bad_file_descriptor));
    if (handle_ < 0 && !folder_.empty()) { // the library's file, closed by the library
        handle_ = files::OpenWritten(temporary_);
        if (handle_ < 0)
            ThrowCannotWrite(target_, LastError());
        files::KeepModeOfOldFile(handle_, target_);
    }
    if (handle_ < 0)
        ThrowCannotWrite(target_, std::make_error_code(std::errc::bad_file_descriptor));
    // The sync is where a full disk shows for data the system only buffered, and the close
    // where a network file system reports it.
    if (const std::error_code fault = Injected(SaveStep::Sync, target_))
        ThrowCannotWrite(target_, fault);
    if (files::SyncHandle(handle_) != 0)
        ThrowCannotWrite(target_, LastError());
    const std::error_code fault = Injected(SaveStep::Close, target_);
    const int closed = files::CloseHandle(std::exchange(handle_, -1));
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

    // The files renamed in so far, each with the second name of its old file (empty when
    // there was none).
    struct Placed {
        const fs::path* target;
        fs::path old;
    };
    std::vector<Placed> placed;
    // Puts the old files back over the new ones and removes the new files that had none; says
    // where an old file stays when it cannot be put back.
    const auto rollBack = [&placed] {
        std::string note;
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            const std::error_code error = it->old.empty()
                                              ? files::RemoveFile(*it->target)
                                              : files::RenameReplacing(it->old, *it->target);
            if (error && !it->old.empty())
                note += "; the old file " + DisplayPath(*it->target) + " is kept as " +
                        DisplayPath(it->old);
        }
        return note;
    };

    // A file saved alone is renamed straight over its target: the rename replaces the old
    // file in one step, and there is nothing to put back.
    const bool keepOld = files.size() > 1;
    for (StagedFile& file : files) {
        const fs::path& target = file.target_;
        Placed entry{&target, {}};
        if (keepOld) {
            std::error_code error;
            entry.old = KeepOldFile(target, error);
            if (error)
                ThrowCannotWrite(target, error, rollBack());
        }
        std::error_code error = Injected(SaveStep::MoveIn, target);
        if (!error)
            error = files::RenameReplacing(file.temporary_, target);
        if (error) {
            if (!entry.old.empty()) // the target still holds the old file
                (void)files::RemoveFile(entry.old);
            ThrowCannotWrite(target, error, rollBack());
        }
        file.temporary_.clear(); // it is the target now
        placed.push_back(std::move(entry));
    }
    for (const Placed& entry : placed)
        if (!entry.old.empty() && !Injected(SaveStep::RemoveOld, *entry.target))
            (void)files::RemoveFile(entry.old);
    for (StagedFile& file : files) {
        files::SyncFolder(file.target_);
        if (!file.folder_.empty())
            files::RemoveTree(std::exchange(file.folder_, {}));
    }
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
