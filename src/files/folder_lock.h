// Locks on the folders that saves write into, so that two runs (two rez-report calls, or
// rez-report and the window) never mix one group's files in a folder, and the sweep of what a
// killed save left behind there. No Qt.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rez {

// The lock file in each folder written into: created when missing and never deleted, so
// that every run locks the same file.
inline constexpr std::string_view FolderLockFileName = ".rez-lock";

// How long rez-report waits for a folder that another run is writing into.
inline constexpr std::chrono::seconds RunLockWait{10};

// How a set of locks waits for a folder that another run holds.
struct LockWaiting {
    // Zero: fail at once (the window).
    std::chrono::milliseconds limit{0};
    // Told once, before the first wait, "Another run is writing into FOLDER: waiting up to
    // N s", for standard error.
    std::function<void(const std::string& notice)> notice;
};

// Removes what interrupted saves left in `folder`, as known by the temporary names of
// atomic_file.h: a ".NAME.rez-new-XXXXXX" file or private folder is removed; a
// ".NAME.rez-old-XXXXXX" old version is removed when NAME exists and renamed back to NAME
// when it does not. Nothing else is touched; links are removed, never followed. Call it only
// while holding the folder's lock, since the temporary files of a save in progress have the
// same names. Best effort: what cannot be removed stays for the next sweep.
void SweepLeftovers(const std::filesystem::path& folder);

// The locks of a run on the folders it writes into, held as long as the object lives. Each
// folder is locked once however many paths name it (folders are told apart by device and
// inode, also across the sets of one process), with `flock` on its FolderLockFileName
// (Windows: LockFileEx on its first byte), opened without following a link. A folder whose
// lock file cannot be created (a read-only or missing folder) is not locked: its saves say
// why they fail. Each folder newly locked is swept (SweepLeftovers) at once.
class FolderLocks {
public:
    FolderLocks();
    // Locks every folder of `folders`. Throws RezError "Another run is writing into FOLDER"
    // when a folder stays locked by another run longer than `waiting` allows, and "Cannot
    // create file FOLDER/.rez-lock: REASON" when the lock file is refused otherwise (a link
    // or no regular file on its name, too many open files).
    explicit FolderLocks(const std::vector<std::filesystem::path>& folders,
                         const LockWaiting& waiting = {});
    FolderLocks(FolderLocks&&) noexcept;
    FolderLocks& operator=(FolderLocks&&) noexcept;
    ~FolderLocks();

    // How many distinct folders are locked.
    std::size_t size() const { return held_.size(); }

    class Held;

private:
    std::vector<std::shared_ptr<Held>> held_;
};

// Writes one file as WriteFileAtomically does while holding its folder's lock without waiting
// (the window's saves): another run writing there makes it fail at once with "Another run is
// writing into FOLDER"; leftovers of killed saves in the folder are swept first.
void WriteFileInLockedFolder(const std::filesystem::path& target, std::string_view bytes);

} // namespace rez
