// The cohort workbook: every completed group of a rez-report call in one spreadsheet file,
// for the consultant. Sheets: "Сводка" (one line per group, marked against the team's
// quartiles), "Нормы" (the quartiles) and one sheet per group with its results table.
#pragma once

#include "group_results.h"

#include <ctime>
#include <filesystem>
#include <span>

namespace rez {

// Texts of the workbook that users read; the tests check them.
inline constexpr std::string_view BelowFirstQuartileLegend = "ниже первого квартиля команды";
inline constexpr std::string_view AboveThirdQuartileLegend = "выше третьего квартиля команды";

// Writes the workbook of `groups` (in command-line order) straight to `path`, replacing
// whatever is there; `created` is the creation time stored in the file (and in its zip
// entries), so equal input and time give equal bytes. Throws RezError "Cannot write file
// PATH: REASON" when the file cannot be completed; what is left at `path` is then undefined,
// so callers write to a temporary name and put it in place afterwards.
void WriteCohortWorkbookFile(const std::filesystem::path& path,
                             std::span<const GroupResults> groups, std::time_t created);

} // namespace rez
