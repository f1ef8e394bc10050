// Saving files so that an old file is only ever replaced by a complete new one. Each new file
// is written to a temporary file created exclusively in its target's folder; every write, the
// sync to the disk and the close are checked, and only then is it renamed over the target. A
// failure at any step leaves every old file byte for byte and removes the temporary files. A
// link as the last component of a target is replaced by the new file, never written through;
// links among the folders of the path are followed. No Qt: every layer that saves uses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace rez {

// One file of a save: where it goes and its complete content.
struct FileBytes {
    std::filesystem::path target;
    std::string bytes;
};

// Writes a set of files, all or none: every file to its temporary file ".NAME.rez-new-XXXXXX"
// first; then, file by file, the old file gets a second name ".NAME.rez-old-XXXXXX" (a hard
// link, or a copy where the file system has none) and the new one is renamed over it, so that
// a target's name always holds its old or its new file, even when the process is killed; once
// all are in place the old files' second names are removed. When a rename fails, the old files
// are renamed back and the new files that had no old one removed. A set of one is renamed
// straight over its target. Leftovers of a save that was killed are removed by
// SweepLeftovers (folder_lock.h). Throws RezError:
//   "Cannot create file TARGET: REASON" when no temporary file can be created beside TARGET
//   (missing or read-only folder, name too long), when TARGET is a folder, or an existing
//   file that the user may not write; REASON is the system's, left out where it gave none;
//   "Cannot write file TARGET: not a regular file" for a FIFO, a device or a socket at TARGET;
//   "Cannot write file TARGET: REASON" when a write, the sync, the close or a rename fails,
//   REASON being the system's ("No space left on device").
// A new file gets the read and write bits of the file it replaces, or 0666 less the umask.
void WriteFiles(std::span<const FileBytes> files);

// A set of one.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// A new file under a temporary name beside its target, for content that is not at hand as
// bytes. The temporary file or folder is removed again unless CommitFiles puts the file in
// place.
class StagedFile {
public:
    // Who writes the content: this class through Write, or a library that opens the file by
    // its name. A library writes in a private folder ".NAME.rez-new-XXXXXX" that only this
    // user may enter (0700), so a link planted under the name it reopens cannot redirect it.
    enum class Writer { Handle, Library };

    // Creates the temporary file, or the private folder; refuses as WriteFiles says.
    explicit StagedFile(std::filesystem::path target, Writer writer = Writer::Handle);
    StagedFile(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    StagedFile& operator=(StagedFile&&) = delete;
    ~StagedFile();

    const std::filesystem::path& target() const { return target_; }
    // The name to write: the temporary file, or the file in the private folder.
    const std::filesystem::path& temporary() const { return temporary_; }
    // The private folder, where a library may put scratch files too; empty for Writer::Handle.
    const std::filesystem::path& folder() const { return folder_; }

    // Appends `bytes` to the temporary file (Writer::Handle).
    void Write(std::string_view bytes);
    // Syncs the content to the disk and closes the file. For Writer::Library, call it once
    // the library has closed the file.
    void Finish();

private:
    friend void CommitFiles(std::span<StagedFile> files);

    std::filesystem::path target_;
    std::filesystem::path temporary_; // empty when there is nothing to remove
    std::filesystem::path folder_;    // the private folder; empty when there is none
    std::uint64_t written_ = 0;       // bytes written through Write
    int handle_ = -1;                 // the open temporary file; -1 once closed
    bool finished_ = false;
};

// Puts each finished staged file in place of its target, all or none, as WriteFiles does.
void CommitFiles(std::span<StagedFile> files);

// --- Test seam: making a step of a save fail as the system would.
// KeepOld: the old file gets its second name; MoveIn: the new file is renamed over the target;
// RemoveOld: the old file's second name is removed once the whole set is in place.
enum class SaveStep { Write, Sync, Close, KeepOld, MoveIn, RemoveOld };

// Called before each step with the file's target and, for Write, the offset in the file and
// the number of bytes about to be written, which it may lower (never to 0) so that the write
// stops at a boundary. Returns 0 to let the step run, or the errno value it then fails with.
using SaveFaultHook = std::function<int(SaveStep step, const std::filesystem::path& target,
                                        std::uint64_t offset, std::size_t& length)>;

// Installs `hook` for every save of the process (an empty one removes it). Tests only.
void SetSaveFaultHook(SaveFaultHook hook);

} // namespace rez
