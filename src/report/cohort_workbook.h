// The cohort workbook: every completed group of a rez-report call in one spreadsheet file,
// for the consultant. Sheets: "Сводка" (one line per group, marked against the team's
// quartiles), "Нормы" (the quartiles) and one sheet per group with its results table.
#pragma once

#include "cohort_numbers.h"
#include "group_results.h"

#include <ctime>
#include <filesystem>
#include <memory>
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

// The same workbook built while a cohort runs: each group's sheet is filled as the group is
// added, in command-line order; the summary and the norms, which need every group, on saving.
// The file is opened with the first group. Add and Save throw as SaveCohortWorkbook; after a
// failure the workbook is only to be destroyed, which removes its temporary file.
class CohortWorkbook {
public:
    CohortWorkbook(std::filesystem::path target, std::time_t created);
    ~CohortWorkbook();
    CohortWorkbook(const CohortWorkbook&) = delete;
    CohortWorkbook& operator=(const CohortWorkbook&) = delete;

    // `table` is DisplayTable(group), made beforehand so that a worker thread can make it.
    void Add(GroupResults group, const DisplayedTable& table);
    std::size_t size() const; // groups added
    // Writes the summary and the norms and puts the file in place.
    void Save();

private:
    struct Open;
    Open& Opened();

    std::filesystem::path target_;
    std::time_t created_;
    std::unique_ptr<Open> open_;
};

} // namespace rez
