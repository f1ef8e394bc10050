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

// Writes a set of files, all or none: every file to its temporary file first; then, file by
// file, the old file is moved aside and the new one renamed in; when a rename fails, the new
// files are taken out again and the old ones put back. A set of one is renamed straight over
// its target. Throws RezError:
//   "Cannot create file TARGET" when no temporary file can be created beside TARGET (missing or
//   read-only folder, name too long), when TARGET is a folder, or an existing file that the
//   user may not write;
//   "Cannot write file TARGET: REASON" when a write, the sync, the close or a rename fails,
//   REASON being the system's ("No space left on device").
void WriteFiles(std::span<const FileBytes> files);

// A set of one.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// A new file under a temporary name beside its target, for content that is not at hand as
// bytes: a library that writes to a file name writes to temporary(). The temporary file is
// removed again unless CommitFiles puts it in place.
class StagedFile {
public:
    // Creates the temporary file; refuses as WriteFiles says.
    explicit StagedFile(std::filesystem::path target);
    StagedFile(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    StagedFile& operator=(StagedFile&&) = delete;
    ~StagedFile();

    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporary() const { return temporary_; }

    // Appends `bytes` to the temporary file.
    void Write(std::string_view bytes);
    // Syncs the content to the disk and closes the file. Call it also for a file that a library
    // wrote by its temporary name, once the library has closed it.
    void Finish();

private:
    friend void CommitFiles(std::span<StagedFile> files);

    std::filesystem::path target_;
    std::filesystem::path temporary_; // empty when there is nothing to remove
    std::uint64_t written_ = 0;       // bytes written through Write
    int handle_ = -1;                 // the open temporary file; -1 once closed
    bool finished_ = false;
};

// Puts each finished staged file in place of its target, all or none, as WriteFiles does.
void CommitFiles(std::span<StagedFile> files);

// --- Test seam: making a step of a save fail as the system would.
enum class SaveStep { Write, Sync, Close, MoveAside, MoveIn };

// Called before each step with the file's target and, for Write, the offset in the file and
// the number of bytes about to be written, which it may lower (never to 0) so that the write
// stops at a boundary. Returns 0 to let the step run, or the errno value it then fails with.
using SaveFaultHook = std::function<int(SaveStep step, const std::filesystem::path& target,
                                        std::uint64_t offset, std::size_t& length)>;

// Installs `hook` for every save of the process (an empty one removes it). Tests only.
void SetSaveFaultHook(SaveFaultHook hook);

} // namespace rez
