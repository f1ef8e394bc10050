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

// Saves the workbook of `groups` (in command-line order) as `target`, as every save is made:
// written under a temporary name beside it and renamed in only when complete, so a failure
// keeps the old file byte for byte. `created` is the creation time stored in the file, so
// equal input and time give equal bytes. Throws RezError "Cannot create file TARGET" or
// "Cannot write file TARGET: REASON".
void SaveCohortWorkbook(const std::filesystem::path& target, std::span<const GroupResults> groups,
                        std::time_t created);

} // namespace rez
