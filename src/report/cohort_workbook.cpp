#include "cohort_workbook.h"

#include "atomic_file.h"
#include "cohort_numbers.h"
#include "file_names.h"
#include "result_texts.h"
#include "rez_error.h"
#include "sheet_names.h"
#include "table_index.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace rez {
namespace {

// Colours as the window paints differences, and two fills that do not suggest good or bad.
constexpr lxw_color_t PositiveDifferenceColor = 0xFF0000;
constexpr lxw_color_t OtherDifferenceColor = 0x0000FF;
constexpr lxw_color_t BelowFirstQuartileFill = 0xD9D9D9; // light grey
constexpr lxw_color_t AboveThirdQuartileFill = 0xFFE9A8; // pale sand

// "Сводка": two legend lines, the title row, then one line per group.
constexpr lxw_row_t SummaryTitleRow = 2;
constexpr lxw_row_t SummaryFirstDataRow = 3;
constexpr lxw_col_t SummaryFirstCountColumn = 2;
constexpr lxw_col_t SummaryFirstMeanColumn = SummaryFirstCountColumn + 4;
constexpr lxw_col_t SummaryFirstDifferenceColumn = SummaryFirstMeanColumn + ResultColumnCount;
// A group's sheet: title, link back, an empty line, then the results table.
constexpr lxw_row_t GroupTableRow = 3;
// "Нормы": four lines of explanation, an empty line, the title row, one line per column.
constexpr lxw_row_t NormsTitleRow = 5;

// Owns the libxlsxwriter workbook that writes `file`; every call's result is checked, and
// the first failure ends the writing with the name of `target` and the library's reason.
class Book {
public:
    Book(const std::filesystem::path& file, const std::filesystem::path& target,
         std::time_t created)
        : target_(target) {
        // The library's own scratch files go beside the target, not into a system folder
        // that may be small or, on some Windows set-ups, not writable.
        const std::string folder =
            BytesOfPath(file.parent_path().empty() ? "." : file.parent_path());
        lxw_workbook_options options{};
        options.tmpdir = const_cast<char*>(folder.c_str());
        book_ = workbook_new_opt(BytesOfPath(file).c_str(), &options);
        if (!book_)
            Fail("out of memory");
        lxw_doc_properties properties{};
        properties.created = created;
        Check(workbook_set_properties(book_, &properties));
    }
    ~Book() {
        if (book_)
            workbook_close(book_); // only after a failure: frees the library's memory
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR)
            Fail(lxw_strerror(error));
    }

    lxw_worksheet* AddSheet(std::string_view name) {
        lxw_worksheet* sheet = workbook_add_worksheet(book_, std::string(name).c_str());
        if (!sheet)
            Fail("cannot add the sheet " + std::string(name));
        return sheet;
    }

    lxw_format* Format() { return workbook_add_format(book_); }

    void Close() {
        lxw_workbook* book = book_;
        book_ = nullptr;
        errno = 0;
        const lxw_error error = workbook_close(book);
        if (error != LXW_NO_ERROR)
            Fail(errno != 0 ? std::strerror(errno) : lxw_strerror(error));
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const {
        throw RezError(MsgCannotWriteFile(DisplayPath(target_), reason));
    }

    std::filesystem::path target_;
    lxw_workbook* book_ = nullptr;
};

struct Formats {
    lxw_format* bold;
    lxw_format* title;    // bold, wrapped, bottom line
    lxw_format* value;    // one decimal
    lxw_format* below;    // one decimal on the below-first-quartile fill
    lxw_format* above;    // one decimal on the above-third-quartile fill
    lxw_format* positive; // a difference above zero: bold red
    lxw_format* other;    // any other difference: bold blue
    lxw_format* quartile; // two decimals
    lxw_format* link;     // a link to a group's sheet

    explicit Formats(Book& book) {
        bold = book.Format();
        format_set_bold(bold);
        title = book.Format();
        format_set_bold(title);
        format_set_text_wrap(title);
        format_set_align(title, LXW_ALIGN_VERTICAL_TOP);
        format_set_bottom(title, LXW_BORDER_THIN);
        value = Number(book, "0.0");
        below = Number(book, "0.0");
        format_set_bg_color(below, BelowFirstQuartileFill);
        above = Number(book, "0.0");
        format_set_bg_color(above, AboveThirdQuartileFill);
        positive = Number(book, "0.0");
        format_set_bold(positive);
        format_set_font_color(positive, PositiveDifferenceColor);
        other = Number(book, "0.0");
        format_set_bold(other);
        format_set_font_color(other, OtherDifferenceColor);
        quartile = Number(book, "0.00");
        link = book.Format();
        format_set_underline(link, LXW_UNDERLINE_SINGLE);
        format_set_font_color(link, LXW_COLOR_BLUE);
    }

    static lxw_format* Number(Book& book, const char* pattern) {
        lxw_format* format = book.Format();
        format_set_num_format(format, pattern);
        return format;
    }

    lxw_format* Difference(bool positiveValue) const { return positiveValue ? positive : other; }
};

class Sheet {
public:
    Sheet(const Book& book, lxw_worksheet* sheet)
        : book_(book)
        , sheet_(sheet) {}

    // Every text goes in as a string, never as a formula, within the cell limit.
    void Text(lxw_row_t row, lxw_col_t col, std::string_view text, lxw_format* format = nullptr) {
        book_.Check(worksheet_write_string(sheet_, row, col, CellText(text).c_str(), format));
    }
    void Number(lxw_row_t row, lxw_col_t col, double value, lxw_format* format) {
        book_.Check(worksheet_write_number(sheet_, row, col, value, format));
    }
    // A link to another sheet of the workbook, showing `text`.
    void Link(lxw_row_t row, lxw_col_t col, std::string_view sheetName, std::string_view text,
              lxw_format* format) {
        // The library also copies the shown text into an attribute, where control characters
        // would break the file; the cell's own text is written over it afterwards.
        std::string plain = CellText(text);
        for (char& c : plain)
            if (static_cast<unsigned char>(c) < 0x20)
                c = '_';
        book_.Check(worksheet_write_url_opt(sheet_, row, col, InternalLink(sheetName).c_str(),
                                            format, plain.c_str(), nullptr));
        Text(row, col, text, format);
    }
    void Columns(lxw_col_t first, lxw_col_t last, double width) {
        book_.Check(worksheet_set_column(sheet_, first, last, width, nullptr));
    }
    void RowHeight(lxw_row_t row, double height) {
        book_.Check(worksheet_set_row(sheet_, row, height, nullptr));
    }
    void Check(lxw_error error) const { book_.Check(error); }
    lxw_worksheet* get() const { return sheet_; }

private:
    const Book& book_;
    lxw_worksheet* sheet_;
};

lxw_col_t Col(int column) {
    return static_cast<lxw_col_t>(column);
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string_view::npos ? std::string()
                                           : std::string(text.substr(first, last - first + 1));
}

int NormGroupCount(const CohortNorms& norms) {
    return norms[0].Groups; // every column takes the same groups
}

void WriteSummary(Sheet sheet, const Formats& f, std::span<const GroupResults> groups,
                  const std::vector<std::string>& sheetNames, const CohortNorms& norms) {
    if (NormGroupCount(norms) >= MinGroupsForQuartileMarks) {
        sheet.Text(0, 0, BelowFirstQuartileLegend, f.below);
        sheet.Text(1, 0, AboveThirdQuartileLegend, f.above);
    } else {
        sheet.Text(0, 0,
                   "Квартили команды не выделены: групп с оценками всех трех ролей "
                   "окружения меньше 4 (см. лист «Нормы»).");
    }
    sheet.Text(0, SummaryFirstMeanColumn, TableRowCaptions[At(TableRowOfResultRow(rowMean))],
               f.bold);

    const lxw_row_t t = SummaryTitleRow;
    sheet.Text(t, 0, "Менеджер", f.title);
    sheet.Text(t, 1, "Организация", f.title);
    for (int role = rowSelf; role <= rowColl; ++role)
        sheet.Text(t, SummaryFirstCountColumn + Col(role),
                   std::string(RowNames[At(role)]) + ", чел.", f.title);
    const std::string differenceTitle(TableRowCaptions[At(TableRowOfDifference(rowMean))]);
    for (int c = 0; c < ResultColumnCount; ++c) {
        sheet.Text(t, SummaryFirstMeanColumn + Col(c), TableHeaderTexts[At(c)], f.title);
        sheet.Text(t, SummaryFirstDifferenceColumn + Col(c),
                   differenceTitle + " " + Trimmed(TableHeaderTexts[At(c)]), f.title);
    }

    lxw_row_t row = SummaryFirstDataRow;
    for (std::size_t i = 0; i < groups.size(); ++i, ++row) {
        const GroupResults& g = groups[i];
        // A group without a name (a folder without respondent files) still gets a link.
        sheet.Link(row, 0, sheetNames[i], g.GroupName.empty() ? sheetNames[i] : g.GroupName,
                   f.link);
        sheet.Text(row, 1, g.GroupLabel);
        for (int role = rowSelf; role <= rowColl; ++role)
            sheet.Number(row, SummaryFirstCountColumn + Col(role), g.RespondentCounts[At(role)],
                         nullptr);
        if (!HasSummaryMean(g))
            continue;
        const int meanRow = TableRowOfResultRow(rowMean);
        const int differenceRow = TableRowOfDifference(rowMean);
        for (int c = 0; c < ResultColumnCount; ++c) {
            const NormMark mark = MarkAgainstNorm(g, c, norms[At(c)]);
            lxw_format* fill = mark == NormMark::BelowFirstQuartile   ? f.below
                               : mark == NormMark::AboveThirdQuartile ? f.above
                                                                      : f.value;
            sheet.Number(row, SummaryFirstMeanColumn + Col(c), *DisplayedTableValue(g, meanRow, c),
                         fill);
            if (HasSummaryDifference(g))
                sheet.Number(row, SummaryFirstDifferenceColumn + Col(c),
                             *DisplayedTableValue(g, differenceRow, c),
                             f.Difference(DifferenceIsPositive(g, differenceRow, c)));
        }
    }

    const lxw_col_t lastColumn = SummaryFirstDifferenceColumn + ResultColumnCount - 1;
    sheet.Columns(0, 0, 30);
    sheet.Columns(1, 1, 28);
    sheet.Columns(SummaryFirstCountColumn, SummaryFirstMeanColumn - 1, 12);
    sheet.Columns(SummaryFirstMeanColumn, SummaryFirstDifferenceColumn - 1, 6);
    sheet.Columns(SummaryFirstDifferenceColumn, lastColumn, 9);
    sheet.RowHeight(t, 30);
    // Names and titles stay in view; the filter spans the title row and every group.
    worksheet_freeze_panes(sheet.get(), SummaryFirstDataRow, SummaryFirstCountColumn);
    sheet.Check(worksheet_autofilter(sheet.get(), t, 0, groups.empty() ? t : row - 1, lastColumn));
}

void WriteNorms(Sheet sheet, const Formats& f, std::size_t groupCount, const CohortNorms& norms) {
    const int n = NormGroupCount(norms);
    sheet.Text(0, 0,
               "Нормы команды: средние оценки окружения (" +
                   std::string(TableRowCaptions[At(TableRowOfResultRow(rowMean))]) + ")",
               f.bold);
    sheet.Text(1, 0,
               "Учтены группы с оценками руководителей, подчиненных и коллег: " +
                   std::to_string(n) + " из " + std::to_string(groupCount) +
                   ". Без одной из этих ролей среднее делится на 3 с нулем вместо роли "
                   "и исказило бы нормы.");
    sheet.Text(2, 0,
               "Квартили: линейная интерполяция по отсортированным значениям, как в "
               "функции КВАРТИЛЬ.ВКЛ (QUARTILE.INC); значения как в таблице, с одним "
               "знаком после запятой.");
    sheet.Text(3, 0,
               n >= MinGroupsForQuartileMarks
                   ? "В листе «Сводка» значения ниже первого и выше третьего квартиля "
                     "выделены заливкой."
                   : "Групп меньше " + std::to_string(MinGroupsForQuartileMarks) +
                         ": квартили слишком неустойчивы, в листе «Сводка» ничего не "
                         "выделено.");
    const char* titles[] = {"Столбец",         "Название", "Групп",           "Минимум",
                            "Первый квартиль", "Медиана",  "Третий квартиль", "Максимум"};
    for (lxw_col_t col = 0; col < std::size(titles); ++col)
        sheet.Text(NormsTitleRow, col, titles[col], f.title);
    for (int c = 0; c < ResultColumnCount; ++c) {
        const lxw_row_t row = NormsTitleRow + 1 + static_cast<lxw_row_t>(c);
        const ResultColumn column = ResultColumns[At(c)];
        sheet.Text(row, 0, TableHeaderTexts[At(c)]);
        sheet.Text(row, 1,
                   column.isScale() ? ScaleNames[At(column.index)]
                                    : PhaseFactorNames[At(column.index)]);
        const ColumnNorm& norm = norms[At(c)];
        sheet.Number(row, 2, norm.Groups, nullptr);
        if (norm.Groups == 0)
            continue;
        const double stats[] = {norm.Min, norm.FirstQuartile, norm.Median, norm.ThirdQuartile,
                                norm.Max};
        for (lxw_col_t k = 0; k < std::size(stats); ++k)
            sheet.Number(row, 3 + k, stats[k], f.quartile);
    }
    sheet.Columns(0, 0, 8);
    sheet.Columns(1, 1, 52);
    sheet.Columns(2, 7, 11);
    sheet.RowHeight(NormsTitleRow, 30);
    worksheet_freeze_panes(sheet.get(), NormsTitleRow + 1, 0);
}

void WriteGroup(Sheet sheet, const Formats& f, const GroupResults& g) {
    sheet.Text(0, 0, AnalysisTitle(g), f.bold);
    sheet.Link(1, 0, SummarySheetName, SummarySheetName, f.link);
    const lxw_row_t top = GroupTableRow;
    sheet.Text(top, 0, TableRowCaptions[0], f.title);
    for (int c = 0; c < ResultColumnCount; ++c)
        sheet.Text(top, 1 + Col(c), TableHeaderTexts[At(c)], f.title);
    for (int tableRow = 1; tableRow < TableRowCount; ++tableRow) {
        const lxw_row_t row = top + static_cast<lxw_row_t>(tableRow);
        sheet.Text(row, 0, TableRowCaptions[At(tableRow)],
                   IsDifferenceRow(tableRow) ? nullptr : f.bold);
        for (int c = 0; c < ResultColumnCount; ++c) {
            const std::optional<double> value = DisplayedTableValue(g, tableRow, c);
            if (!value)
                break; // a row without respondents stays empty, as in the window
            sheet.Number(row, 1 + Col(c), *value,
                         IsDifferenceRow(tableRow)
                             ? f.Difference(DifferenceIsPositive(g, tableRow, c))
                             : f.value);
        }
    }
    sheet.Columns(0, 0, 14);
    sheet.Columns(1, ResultColumnCount, 5.5);
    worksheet_freeze_panes(sheet.get(), top + 1, 1);
}

} // namespace

void SaveCohortWorkbook(const std::filesystem::path& target, std::span<const GroupResults> groups,
                        std::time_t created) {
    std::vector<std::string> groupNames;
    groupNames.reserve(groups.size());
    for (const GroupResults& g : groups)
        groupNames.push_back(g.GroupName);
    const std::vector<std::string> sheetNames = GroupSheetNames(groupNames);
    const CohortNorms norms = ComputeCohortNorms(groups);

    // libxlsxwriter writes by file name: it writes the staged temporary file, which is then
    // synced and renamed in like every other save.
    StagedFile staged[] = {StagedFile(target)};
    Book book(staged[0].temporary(), target, created);
    const Formats formats(book);
    WriteSummary(Sheet(book, book.AddSheet(SummarySheetName)), formats, groups, sheetNames, norms);
    WriteNorms(Sheet(book, book.AddSheet(NormsSheetName)), formats, groups.size(), norms);
    for (std::size_t i = 0; i < groups.size(); ++i)
        WriteGroup(Sheet(book, book.AddSheet(sheetNames[i])), formats, groups[i]);
    book.Close();
    staged[0].Finish();
    CommitFiles(staged);
}

} // namespace rez
