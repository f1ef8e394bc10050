#include "result_texts.h"

#include "number_text.h"
#include "respondent_file.h"
#include "table_index.h"
#include "utf8.h"

#include <cmath>

namespace rez {
namespace {

// Characters of a table file field after its semicolon; wider texts are kept whole.
constexpr std::size_t TableFieldWidth = 5;

// Right-aligns `text` in a field after a semicolon. Width counts characters, not UTF-8
// bytes, as the file is single-byte.
std::string CellField(const std::string& text) {
    std::size_t characters = 0;
    for (const char c : text)
        if (!IsUtf8ContinuationByte(c))
            ++characters;
    const std::size_t padding = characters < TableFieldWidth ? TableFieldWidth - characters : 0;
    return ";" + std::string(padding, ' ') + text;
}

void AppendListLines(std::vector<std::string>& lines, const std::string& list) {
    for (std::string& line : SplitListLines(list))
        lines.push_back(std::move(line));
}

} // namespace

const std::array<std::string_view, ResultColumnCount> TableHeaderTexts = {
    " A ", "Ф.1", " B ", " C ", " D ", "Ф.2", " E ", "Ф.3", " F ", "Ф.4", " G ",
    " H ", " I ", " J ", "Ф.5", " K",  "Ф.6", " L ", " M ", " N ", " O ", "F.1",
    " P ", " Q ", " R ", " S ", " T ", " U ", " V ", " W ", "F.2"};

const std::array<std::string_view, TableRowCount> TableRowCaptions = {
    "Шкалы",     "Самооценка", "Руководители", "(Сам.-Рук.)",  "Подчиненные",
    "Сам.-Под.", "Коллеги",    "Сам.-Кол.",    "Mean (Р+П+К)", "Сам.-Mean"};

TableCells BuildTableCells(const GroupResults& results, char sep) {
    TableCells cells; // every std::string starts empty
    for (int c = 0; c < ResultColumnCount; ++c)
        cells[0][At(c)] = TableHeaderTexts[At(c)];
    for (int row = rowSelf; row <= rowMean; ++row) {
        if (!results.HasRespondents(row))
            continue;
        const int tableRow = TableRowOfResultRow(row);
        for (int c = 0; c < ResultColumnCount; ++c)
            cells[At(tableRow)][At(c)] = FormatCell(results.CellValue(row, c), sep);
        if (row == rowSelf)
            continue;
        for (int c = 0; c < ResultColumnCount; ++c)
            cells[At(TableRowOfDifference(row))][At(c)] =
                FormatCell(std::fabs(results.SelfDifferences[At(row - 1)][At(c)]), sep);
    }
    return cells;
}

std::string AnalysisTitle(const GroupResults& results) {
    return "Оценка навыков и умений менеджера - " + results.GroupName + " (" + results.GroupLabel +
           ")";
}

std::string ResultLine(const GroupResults& results, int column, char sep) {
    std::string line = "[";
    for (int row = rowSelf; row <= rowMean; ++row) {
        if (row > rowSelf)
            line += ' ';
        line += RowAbbreviations[At(row)];
        line += '=';
        line += FormatCell(results.CellValue(row, column), sep);
    }
    const ResultColumn c = ResultColumns[At(column)];
    line += "] ";
    line += c.isScale() ? ScaleNames[At(c.index)] : PhaseFactorNames[At(c.index)];
    return line;
}

std::vector<std::string> BuildAnalysisLines(const GroupResults& results, char sep) {
    std::vector<std::string> lines;
    lines.push_back(AnalysisTitle(results));
    for (int role = rowSelf; role <= rowColl; ++role) {
        lines.emplace_back();
        AppendListLines(lines, results.ButtonLists[At(role)]);
    }
    lines.emplace_back();
    for (int g = 0; g < PhaseFactorCount; ++g) {
        if (g > 0)
            lines.emplace_back();
        lines.push_back(ResultLine(results, ResultColumnOfPhaseFactor(g), sep));
        for (int s = FirstScaleOf(g); s < EndScaleOf(g); ++s)
            lines.push_back(ResultLine(results, ResultColumnOfScale(s), sep));
    }
    return lines;
}

std::vector<std::string> BuildTableLines(const GroupResults& results, const TableCells& cells,
                                         char sep) {
    const auto dataLine = [&](int tableRow, int firstColumn, int endColumn) {
        std::string line(TableRowCaptions[At(tableRow)]);
        for (int c = firstColumn; c < endColumn; ++c) {
            if (IsDifferenceRow(tableRow))
                line += FormatDifferenceField(
                    results.SelfDifferences[At(ResultRowOfTableRow(tableRow) - 1)][At(c)], sep);
            else
                line += CellField(cells[At(tableRow)][At(c)]);
        }
        return line;
    };
    std::vector<std::string> lines;
    lines.push_back(AnalysisTitle(results));
    lines.emplace_back();
    lines.emplace_back("Таблица шкал и фаз деятельности менеджера");
    lines.emplace_back();
    for (int tableRow = 1; tableRow < TableRowCount; ++tableRow)
        if (results.HasRespondents(ResultRowOfTableRow(tableRow)))
            lines.push_back(dataLine(tableRow, 0, FirstFactorHalfColumn));
    lines.emplace_back();
    lines.emplace_back("Таблица шкал и факторов взаимоотношений и климата в группе");
    lines.emplace_back();
    for (int tableRow = 0; tableRow < TableRowCount; ++tableRow)
        lines.push_back(dataLine(tableRow, FirstFactorHalfColumn, ResultColumnCount));
    return lines;
}

std::vector<std::string> SplitListLines(std::string_view text) {
    LineBuffer lines;
    SplitLines(text, lines, true);
    return lines;
}

} // namespace rez
