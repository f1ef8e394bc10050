// Names of the files a group's results are saved under, and paths as bytes: the same names
// on every platform, never reaching outside the chosen folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rez {

// What follows the stem in the names of a group's files, in the order they are written.
inline constexpr std::string_view GroupFileSuffixes[] = {" Table.rtf", " An.rtf", " Scales.gif",
                                                         " Factors.gif"};

// The manager's report, written beside them on request: its name is no longer than theirs,
// so the stem's limit below holds for it too.
inline constexpr std::string_view ManagerReportSuffix = " Report.pdf";
static_assert([] {
    for (const std::string_view suffix : GroupFileSuffixes)
        if (ManagerReportSuffix.size() <= suffix.size())
            return true;
    return false;
}());

// The longest file name most file systems take, in bytes (UTF-8 here; Windows counts UTF-16
// units, never more than the UTF-8 bytes).
inline constexpr std::size_t MaxFileNameBytes = 255;

// The two kinds of temporary name a save gives beside its target NAME, ".NAME" + tag + six
// random letters or digits: a new file being written (or a private folder that a library
// writes it in), and the old version kept until the new one is in place. Nothing else in a
// folder has these names, so leftovers of an interrupted save are known by them.
inline constexpr std::string_view NewFileTag = ".rez-new-";
inline constexpr std::string_view OldFileTag = ".rez-old-";
inline constexpr std::size_t TemporaryNameRandomBytes = 6;
static_assert(NewFileTag.size() == OldFileTag.size());

// Bytes that a temporary name adds to its target's name.
inline constexpr std::size_t TemporaryNameExtraBytes =
    1 + NewFileTag.size() + TemporaryNameRandomBytes;

// The file name stem of a group, from its GroupName (UTF-8): / \ : * ? " < > |, NUL and every
// other control character (C0, DEL, C1) become "_", the same on every platform, so a name
// never reaches into another folder and a group's names do not depend on the machine. A stem
// is shortened at a character boundary so that its longest file name, plus the extra bytes
// of a temporary name, stays within MaxFileNameBytes. An empty GroupName gives an empty stem.
std::string ReportFileStem(std::string_view groupName);

// `name` with letter case folded as Windows file systems ignore it, for every letter that
// Windows-1251 holds (Latin and Cyrillic): two stems name the same files on such a file system
// when their folded texts are equal.
std::string FoldFileNameCase(std::string_view name);

// The stems of the groups of one call, claimed in command-line order before any group's files
// are written: two groups whose stems name the same files (letter case ignored, as on
// Windows) would otherwise replace each other's files without a word.
class StemClaims {
public:
    // Claims `stem` for the group in `folder` (as messages name it). Returns the message for
    // the later group when an earlier one holds the stem already; nothing when it is free.
    std::optional<std::string> Claim(const std::string& stem, const std::string& folder);

private:
    std::map<std::string, std::string> folderOfStem_; // by the folded stem
};

// A path from text given by the user or the system: on POSIX the bytes as given (never
// re-encoded, so a folder name that is not UTF-8 still opens); on Windows UTF-8.
std::filesystem::path PathFromBytes(std::string_view bytes);

// The bytes of a path, the inverse of PathFromBytes (UTF-8 on Windows).
std::string BytesOfPath(const std::filesystem::path& path);

// A path as messages show it: its bytes, with the platform's separators. Messages escape
// bytes that are not UTF-8 (see RezError), so the text stays readable.
std::string DisplayPath(const std::filesystem::path& path);

} // namespace rez
