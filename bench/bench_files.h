// Respondent files and group folders made up for the benchmarks, written once per process
// into a scratch folder; and the plain file read that serves as the floor the reader and the
// Group run are measured against.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rez::bench {

// A fresh folder under the system's temporary directory, removed with everything in it.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the Group run takes it: UTF-8 with a trailing separator.
    std::string dirText() const;

private:
    std::filesystem::path path_;
};

// The 36 UTF-8 lines of one completed questionnaire: 13 identification lines in Cyrillic of
// about the length the data-collection program writes, then the 23 scale totals. Each total
// is the sum of its items' answers (1 to 9 points, drawn from `seed`), as a whole number.
std::vector<std::string> MadeUpRespondentLines(int role, int number, unsigned seed);

// Writes `lines` as the data-collection program stores them: Windows-1251, each line followed
// by CR LF, the whole scrambled.
void WriteRespondentFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Fills `dir` with one group's respondent files: one self-assessment ("0-001REZ.cry") when
// `withSelf`, and `perRole` files each of managers ("1-..."), subordinates ("2-...") and
// colleagues ("3-..."). A `groupName` replaces the made-up manager's name, and `seed` varies
// the answers, so that the groups of a cohort differ. Returns the number of files written.
int WriteGroupDirectory(const std::filesystem::path& dir, int perRole, bool withSelf,
                        const std::string& groupName = {}, unsigned seed = 0);

// Opens `path`, reads it whole into `bytes` (sized from the file's length) and closes it: the
// least any reader must do. Returns false when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace rez::bench
