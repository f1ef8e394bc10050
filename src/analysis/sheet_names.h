// Names and texts as a spreadsheet accepts them: sheet names made from group names, unique
// regardless of letter case in any alphabet, and cell texts within the cell limit.
#pragma once

#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rez {

inline constexpr std::string_view SummarySheetName = "Сводка";
inline constexpr std::string_view NormsSheetName = "Нормы";
// Reserved by the spreadsheet program itself (English versions), whatever the letter case.
inline constexpr std::string_view ReservedSheetName = "History";
// Given to a group whose name leaves nothing for a sheet name.
inline constexpr std::string_view UnnamedSheetName = "Без имени";

// Limits counted in UTF-16 code units, as the spreadsheet program counts characters.
inline constexpr int MaxSheetNameLength = 31;
inline constexpr int MaxCellTextLength = 32767;

// The code point that `c` and all its case variants fold to ("Ж" and "ж" alike).
char32_t FoldCase(char32_t c);
// The folded form of a UTF-8 text, for comparing names regardless of letter case.
std::string FoldCase(std::string_view text);

// One sheet name per group, in the given order: `[ ] : * ? / \` and control characters
// become "_", leading and trailing apostrophes are dropped, the name is cut to
// MaxSheetNameLength; a name that folds equal to an earlier one or to a reserved name
// (the summary, the norms, "History") gets " (2)", " (3)" ..., its stem shortened to fit.
std::vector<std::string> GroupSheetNames(std::span<const std::string> groupNames);

// The same names one group at a time, for a workbook whose sheets are added as groups come.
class GroupSheetNamer {
public:
    GroupSheetNamer();
    // The sheet name of the next group, given the names handed out before.
    std::string Next(std::string_view groupName);

private:
    std::set<std::string> taken_; // folded names in use, the reserved ones among them
};

// A text as a cell holds it: cut to MaxCellTextLength characters at a character boundary,
// malformed UTF-8 replaced by U+FFFD, control characters escaped as in messages ("\x00",
// "\u202e"), and a literal "_xHHHH_" (the file format's escape of a
// character) protected so that it reads back as typed. The caller writes it as a string,
// never as a formula, so "=1+2" stays text.
std::string CellText(std::string_view text);

// The target of a link to cell A1 of a sheet in the same workbook.
std::string InternalLink(std::string_view sheetName);

} // namespace rez
