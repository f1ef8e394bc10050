#include "cohort_workbook.h"

#include "result_texts.h"
#include "table_index.h"
#include "workbook_book.h"

#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace rez {
namespace {

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

using xlsx::Book;
using xlsx::Formats;
using xlsx::Sheet;

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

// What the workbook keeps of a group once its sheet is filled: the texts and numbers of its
// summary line, from which its sheet's title is made again, never its raters, lists or table.
// The library keeps the sheet and its name.
struct KeptGroup {
    std::string name;     // GroupName
    std::string label;    // GroupLabel
    lxw_worksheet* sheet; // owned by the library's workbook
    SummaryNumbers numbers;
};

void WriteSummary(Sheet sheet, const Formats& f, const std::deque<KeptGroup>& groups,
                  const CohortNorms& norms) {
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
        const KeptGroup& g = groups[i];
        const SummaryNumbers& n = g.numbers;
        const std::string_view sheetName = g.sheet->name;
        // A group without a name (a folder without respondent files) still gets a link.
        sheet.Link(row, 0, sheetName, g.name.empty() ? sheetName : g.name, f.link);
        sheet.Text(row, 1, g.label);
        for (int role = rowSelf; role <= rowColl; ++role)
            sheet.Number(row, SummaryFirstCountColumn + Col(role), n.Counts[At(role)], nullptr);
        if (!n.HasMean)
            continue;
        for (int c = 0; c < ResultColumnCount; ++c) {
            const NormMark mark = MarkAgainstNorm(n, c, norms[At(c)]);
            lxw_format* fill = mark == NormMark::BelowFirstQuartile   ? f.below
                               : mark == NormMark::AboveThirdQuartile ? f.above
                                                                      : f.value;
            sheet.Number(row, SummaryFirstMeanColumn + Col(c), n.Mean[At(c)], fill);
            if (n.HasDifference)
                sheet.Number(row, SummaryFirstDifferenceColumn + Col(c), n.Difference[At(c)],
                             f.Difference(n.Positive[At(c)]));
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

// A group's sheet in two parts: its numbers, written as the group is added, and its texts,
// written when the workbook is saved, after the summary's and the norms' texts. The library
// lists every text of the workbook once, in the order first written; this order keeps that
// list as it is when the sheets are written one after another.
void WriteGroupNumbers(Sheet sheet, const Formats& f, const DisplayedTable& table) {
    for (int tableRow = 1; tableRow < TableRowCount; ++tableRow) {
        if (!table.Shown[At(tableRow)])
            continue; // a row without respondents stays empty, as in the window
        const lxw_row_t row = GroupTableRow + static_cast<lxw_row_t>(tableRow);
        for (int c = 0; c < ResultColumnCount; ++c)
            sheet.Number(row, 1 + Col(c), table.Values[At(tableRow)][At(c)],
                         IsDifferenceRow(tableRow)
                             ? f.Difference(table.Positive[At(tableRow)][At(c)])
                             : f.value);
    }
    sheet.Columns(0, 0, 14);
    sheet.Columns(1, ResultColumnCount, 5.5);
    worksheet_freeze_panes(sheet.get(), GroupTableRow + 1, 1);
}

void WriteGroupTexts(Sheet sheet, const Formats& f, const std::string& title) {
    sheet.Text(0, 0, title, f.bold);
    sheet.Link(1, 0, SummarySheetName, SummarySheetName, f.link);
    const lxw_row_t top = GroupTableRow;
    sheet.Text(top, 0, TableRowCaptions[0], f.title);
    for (int c = 0; c < ResultColumnCount; ++c)
        sheet.Text(top, 1 + Col(c), TableHeaderTexts[At(c)], f.title);
    for (int tableRow = 1; tableRow < TableRowCount; ++tableRow)
        sheet.Text(top + static_cast<lxw_row_t>(tableRow), 0, TableRowCaptions[At(tableRow)],
                   IsDifferenceRow(tableRow) ? nullptr : f.bold);
}

} // namespace

// The file being written: opened with the first group, so a run without any completed group
// leaves nothing behind. Members are destroyed in reverse: the library's workbook first, then
// the staged file, which removes its temporary unless it was committed.
struct CohortWorkbook::Open {
    Open(const std::filesystem::path& target, std::time_t created)
        : staged{StagedFile(target, StagedFile::Writer::Library)}
        , book(staged[0].temporary(), target, created)
        , formats(book)
        // Sheets appear in the order made: the summary and the norms first, filled on saving.
        , summary(book.AddSheet(SummarySheetName))
        , norms(book.AddSheet(NormsSheetName)) {}

    StagedFile staged[1];
    Book book;
    const Formats formats;
    lxw_worksheet* summary;
    lxw_worksheet* norms;
    GroupSheetNamer namer;
    // One entry per group, in the order added; a deque grows without moving them or
    // holding spare room for as many again.
    std::deque<KeptGroup> groups;
};

CohortWorkbook::CohortWorkbook(std::filesystem::path target, std::time_t created)
    : target_(std::move(target))
    , created_(created) {}

CohortWorkbook::~CohortWorkbook() = default;

CohortWorkbook::Open& CohortWorkbook::Opened() {
    if (!open_)
        open_ = std::make_unique<Open>(target_, created_);
    return *open_;
}

void CohortWorkbook::Add(GroupResults group, const DisplayedTable& table) {
    const xlsx::LibraryOutputSetAside quiet;
    Open& o = Opened();
    lxw_worksheet* sheet = o.book.AddSheet(o.namer.Next(group.GroupName));
    WriteGroupNumbers(Sheet(o.book, sheet), o.formats, table);
    const SummaryNumbers numbers = SummarizeGroup(group, table);
    o.groups.push_back({std::move(group.GroupName), std::move(group.GroupLabel), sheet, numbers});
}

std::size_t CohortWorkbook::size() const {
    return open_ ? open_->groups.size() : 0;
}

void CohortWorkbook::Save() {
    const xlsx::LibraryOutputSetAside quiet;
    Open& o = Opened();
    std::vector<const SummaryNumbers*> numbers;
    numbers.reserve(o.groups.size());
    for (const KeptGroup& g : o.groups)
        numbers.push_back(&g.numbers);
    const CohortNorms norms = ComputeCohortNorms(numbers);
    WriteSummary(Sheet(o.book, o.summary), o.formats, o.groups, norms);
    WriteNorms(Sheet(o.book, o.norms), o.formats, o.groups.size(), norms);
    for (const KeptGroup& g : o.groups) {
        GroupResults titled;
        titled.GroupName = g.name;
        titled.GroupLabel = g.label;
        WriteGroupTexts(Sheet(o.book, g.sheet), o.formats, AnalysisTitle(titled));
    }
    // What was kept of the groups is written: freed before the library builds the file, which
    // needs a few more kilobytes a sheet while every sheet's cells are still in memory.
    std::deque<KeptGroup>().swap(o.groups);
    std::vector<const SummaryNumbers*>().swap(numbers);
    o.namer = GroupSheetNamer();
    // libxlsxwriter writes by file name, in the staged file's private folder; the file is
    // then synced and renamed in like every other save, and the folder removed.
    o.book.Close();
    o.staged[0].Finish();
    CommitFiles(o.staged);
    open_.reset();
}

void SaveCohortWorkbook(const std::filesystem::path& target, std::span<const GroupResults> groups,
                        std::time_t created) {
    CohortWorkbook workbook(target, created);
    for (const GroupResults& g : groups)
        workbook.Add(g, DisplayTable(g));
    workbook.Save();
}

} // namespace rez
