// The texts built from group results, shared by the screen, the saved files and the
// command line: the results table's cells, the analysis text and the table file.
#pragma once

#include "group_results.h"

#include <array>
#include <string>
#include <vector>

namespace rez {

inline constexpr int TableRowCount = 10;

// Header texts of the results table, in result column order. Scale headers are the letter
// between two blanks, except " K"; phases and factors show their labels.
extern const std::array<std::string_view, ResultColumnCount> TableHeaderTexts;

// Captions that start the table file's lines, one per table row.
extern const std::array<std::string_view, TableRowCount> TableRowCaptions;

// Table row of a result row: 1 and 2 for self and managers, 2r for the others.
constexpr int TableRowOfResultRow(int row) {
    return row < 2 ? row + 1 : 2 * row;
}
// Table row of the difference self minus result row k (k = 1 to 4), just below row k.
constexpr int TableRowOfDifference(int k) {
    return 2 * k + 1;
}
// Rows 3, 5, 7 and 9 hold differences.
constexpr bool IsDifferenceRow(int tableRow) {
    return tableRow >= 3 && tableRow % 2 == 1;
}
// The result row whose respondents decide whether a table row is filled.
constexpr int ResultRowOfTableRow(int tableRow) {
    return tableRow / 2;
}

using TableCells = std::array<std::array<std::string, ResultColumnCount>, TableRowCount>;

// Every cell text of the results table: the header row, then each result row with
// respondents and its difference row below it (absolute values); rows without respondents
// stay empty.
TableCells BuildTableCells(const GroupResults& results, char decimalSeparator);

// "Оценка навыков и умений менеджера - <GroupName> (<GroupLabel>)".
std::string AnalysisTitle(const GroupResults& results);

// "[С=%3.1f Р=%3.1f П=%3.1f К.=%3.1f М.=%3.1f] <name>" for one column's five values.
std::string ResultLine(const GroupResults& results, int column, char decimalSeparator);

// The analysis text of one run, line by line: title, the four respondent lists, eight
// blocks of result lines.
std::vector<std::string> BuildAnalysisLines(const GroupResults& results, char decimalSeparator);

// The table file, line by line (without line ends): title, the phase block with the rows
// that have respondents, the factor block with all ten rows.
std::vector<std::string> BuildTableLines(const GroupResults& results, const TableCells& cells,
                                         char decimalSeparator);

// Splits at CR LF (a lone CR or LF too), keeping a final empty piece: "a\r\n" gives "a", "".
std::vector<std::string> SplitListLines(std::string_view text);

} // namespace rez
