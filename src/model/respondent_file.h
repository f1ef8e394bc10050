// Reading respondent files: one completed questionnaire each, Windows-1251 text scrambled
// as a whole, lines identified by number only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rez {

// A list of text lines (UTF-8, without line ends). The reader fills whatever buffer the
// caller hands it.
using LineBuffer = std::vector<std::string>;

// A respondent file is never larger than a few hundred bytes; anything over this is refused
// before it is read into memory.
inline constexpr std::size_t MaxRespondentFileBytes = 1024 * 1024;

// Line numbers of the plain text. Identification lines are read as texts (a missing one
// reads empty); what they hold beyond their use in the respondent lists is the
// data-collection program's business.
// The respondent's first identification line; the self-assessment's is the GroupLabel.
inline constexpr std::size_t GroupLabelLine = 0;
// The assessed manager, the same in every file of a group.
inline constexpr std::size_t GroupNameLine = 2;
// In a self-assessment: the assessed manager's post.
inline constexpr std::size_t ManagerPostLine = 4;
// In the file of a manager, subordinate or colleague: the line that names the respondent in
// the lists, and a further line about him.
inline constexpr std::size_t RespondentNameLine = 6;
inline constexpr std::size_t RespondentDetailLine = 8;
// Two further identification lines of every respondent.
inline constexpr std::size_t FurtherIdLine1 = 9;
inline constexpr std::size_t FurtherIdLine2 = 11;
// Line 13 + s holds the total of scale s.
inline constexpr std::size_t FirstTotalLine = 13;

// Read access to the lines of one respondent file held in a caller's buffer. Does not own
// the buffer; valid while the buffer is not refilled.
class RespondentFile {
public:
    // `path`: where the lines were read from, for messages; empty when they come from
    // elsewhere.
    explicit RespondentFile(const LineBuffer& lines, std::string path = {})
        : lines_(&lines)
        , path_(std::move(path)) {}
    // The text of line n; empty for a line past the end.
    const std::string& Line(std::size_t n) const;
    std::size_t LineCount() const { return lines_->size(); }
    const std::string& Path() const { return path_; }

private:
    const LineBuffer* lines_;
    std::string path_;
};

// Splits plain text into lines at CR LF pairs; a lone CR or LF also ends a line. A line end
// at the very end adds no empty line, so "a\r\n" is one line and "" none; with
// `keepFinalEmpty` the piece after the last line end counts too ("a\r\n" gives "a", "").
void SplitLines(std::string_view text, LineBuffer& lines, bool keepFinalEmpty = false);

// Reads the file at `path` (UTF-8), unscrambles it and fills `lines` with its plain-text
// lines decoded to UTF-8. Throws RezError: "Cannot open file <path>" when it is missing,
// unreadable or not a regular file (directories, FIFOs and devices are refused without
// blocking), "File <path> is too large to be a respondent file" above the size limit.
RespondentFile ReadRespondentFile(const std::string& path, LineBuffer& lines);

// What ReadRespondentFile does after reading: unscrambles `stored` (a file's bytes) and fills
// `lines` with its plain-text lines decoded to UTF-8. `path` names the file in messages.
RespondentFile ParseRespondentBytes(std::string_view stored, LineBuffer& lines,
                                    std::string path = {});

// Result row 0 to 3 of the role digit that starts `fileName` (no directory part). Throws
// RezError "'<c>' is not a valid integer value (file <fullPath>)" when the first character is
// no digit, and
// "'<d>' is not a valid respondent role in file <fullPath>" for the digits 4 to 9.
int RoleFromFileName(std::string_view fileName, std::string_view fullPath);

// Total of scale s (line 13 + s) divided by the scale's item count. Throws RezError
// "'<line>' is not a valid floating point value (file <path>, line <13 + s + 1>)" when the
// line is no number; lines are counted from 1 there, as editors show them.
double ScaleValue(const RespondentFile& file, int s, char decimalSeparator);

} // namespace rez
