// The system calls of a save, one function each, for POSIX and Windows. Internal to rez_files:
// the writer, the sweep of leftovers and the folder lock are built on them. Handles are C
// runtime descriptors on both platforms; a failed call returns -1 or its error.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace rez::files {

namespace fs = std::filesystem;

// The error of the last failed C runtime call (errno).
std::error_code LastError();

// Whether an error says that a name is absent, or taken.
bool IsMissing(const std::error_code& error);
bool IsTaken(const std::error_code& error);

// ".NAME" + `tag` + six random letters or digits, beside `target`.
fs::path TemporaryName(const fs::path& target, std::string_view tag);

// Creates a new empty file that nothing else has: new files get 0666 less the umask.
int OpenExclusive(const fs::path& path);
// Opens a file a library wrote into our private folder, to sync it: never through a link.
int OpenWritten(const fs::path& path);
long long WriteSome(int handle, const char* data, std::size_t length);
int SyncHandle(int handle);
int CloseHandle(int handle);

// Renames `from` to `to`, replacing what `to` names (a file or a link) in one step.
std::error_code RenameReplacing(const fs::path& from, const fs::path& to);
std::error_code RemoveFile(const fs::path& path);
// Removes a folder with everything in it; links inside are removed, never followed.
void RemoveTree(const fs::path& folder);

// Creates a folder with a new temporary name beside `target` that only this user may enter
// (0700), for a library that writes by file name. Returns its path, or empty and `error`.
fs::path MakePrivateFolder(const fs::path& target, std::error_code& error);

// Gives the entry `from` (a file or a link) the second name `to`, which must not exist, by a
// hard link. ENOENT when `from` is absent, EEXIST when `to` is taken.
std::error_code HardLink(const fs::path& from, const fs::path& to);
// Whether a failed HardLink means that the file system has no hard links (for this file).
bool NoHardLinks(const std::error_code& error);
// The same by a copy: the file's bytes and permissions, or the link itself.
std::error_code CopyEntry(const fs::path& from, const fs::path& to);

// What a target's name holds now. `error` is the system's reason for a file the user may not
// write.
enum class EntryKind { None, File, ReadOnlyFile, Folder, Link, Other };
EntryKind KindOfEntry(const fs::path& path, std::error_code& error);

// Gives the new file behind `handle` the read and write bits of the file it replaces (a
// private file stays private); never execute, setuid, setgid or sticky bits. Best effort.
void KeepModeOfOldFile(int handle, const fs::path& target);

// Makes the renames in `target`'s folder durable. Best effort: the files are in place already.
void SyncFolder(const fs::path& target);

} // namespace rez::files
