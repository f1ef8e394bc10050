// Temporary folders and respondent files for tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rez::test {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the Group run takes it: UTF-8 with a trailing separator.
    std::string dirText() const;

private:
    std::filesystem::path path_;
};

// A UTF-8 name or path as a path, on every platform: on Windows a plain std::string would be
// read in the system's ANSI code page and garble Cyrillic names.
std::filesystem::path Utf8Path(const std::string& utf8);

// The whole content of a file (empty when it cannot be read).
std::string ReadBytes(const std::filesystem::path& path);

// A UTF-8 text with LF line ends (a golden file) as the program writes it: Windows-1251 with
// CR LF line ends.
std::string AsWindowsFile(const std::string& utf8WithLf);

// Writes raw bytes to a file, replacing it.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Writes a respondent file as the data-collection program stores it: the UTF-8 `lines`
// become Windows-1251, each followed by CR LF, and the whole is scrambled.
void WriteRespondentFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

// The 36 lines of a complete respondent file: identification lines tagged with `who`
// ("<who> L0", "<who> L2", ...), and the given 23 totals as text.
std::vector<std::string> RespondentLines(const std::string& who,
                                         const std::vector<std::string>& totals);

// 23 totals that give every scale the same value `perItem` (a whole number of points).
std::vector<std::string> UniformTotals(int perItem);

} // namespace rez::test
