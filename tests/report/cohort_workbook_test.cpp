// The cohort workbook read back with a real spreadsheet reader (openpyxl).
#include "atomic_file.h"
#include "cohort_workbook.h"
#include "group_run.h"
#include "param_name.h"
#include "result_texts.h"
#include "rez_error.h"
#include "table_index.h"
#include "test_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <optional>

namespace {

namespace fs = std::filesystem;
using rez::GroupResults;

using rez::At;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "A1" names of a zero-based row and column.
QString CellName(int row, int col) {
    QString letters;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

// The workbook as the reader saw it.
class ReadBack {
public:
    explicit ReadBack(QJsonObject root)
        : root_(std::move(root)) {}

    QStringList Sheets() const {
        QStringList names;
        for (const auto& name : root_[u"sheets"].toArray())
            names.push_back(name.toString());
        return names;
    }
    QJsonObject Sheet(std::string_view name) const { return root_[Q(name)].toObject(); }
    std::optional<QJsonObject> Cell(std::string_view sheet, int row, int col) const {
        const QJsonValue cell = Sheet(sheet)[u"cells"].toObject()[CellName(row, col)];
        return cell.isObject() ? std::optional(cell.toObject()) : std::nullopt;
    }
    QString Text(std::string_view sheet, int row, int col) const {
        const auto cell = Cell(sheet, row, col);
        return cell ? (*cell)[u"v"].toString() : QString();
    }

private:
    QJsonObject root_;
};

std::optional<ReadBack> WriteAndRead(std::span<const GroupResults> groups) {
    rez::test::TempDir dir;
    const fs::path book = dir.path() / "cohort.xlsx";
    rez::SaveCohortWorkbook(book, groups, 1'700'000'000);
    QProcess reader;
    reader.start(QStringLiteral(REZ_OPENPYXL_PYTHON),
                 {QStringLiteral(REZ_READ_WORKBOOK_SCRIPT), QString::fromStdString(book.string())});
    if (!reader.waitForFinished(60'000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "the reader failed: " << reader.readAllStandardError().toStdString();
        return std::nullopt;
    }
    return ReadBack(QJsonDocument::fromJson(reader.readAllStandardOutput()).object());
}

// Each table row's 31 numbers as the table file writes them, by the row's caption; rows
// whose result row has no respondents are left out.
std::map<std::string, std::vector<double>> TableFileNumbers(const GroupResults& g) {
    std::map<std::string, std::vector<double>> rows;
    for (const std::string& line : rez::BuildTableLines(g, rez::BuildTableCells(g, '.'), '.')) {
        const auto first = line.find(';');
        if (first == std::string::npos || line.starts_with(rez::TableRowCaptions[0]))
            continue;
        std::vector<double>& numbers = rows[line.substr(0, first)];
        for (auto pos = first; pos != std::string::npos; pos = line.find(';', pos + 1)) {
            const std::string field = line.substr(pos + 1, 5);
            if (field.find_first_not_of(' ') != std::string::npos)
                numbers.push_back(std::stod(field));
        }
    }
    std::erase_if(rows, [](const auto& row) { return row.second.size() != 31; });
    return rows;
}

GroupResults Sample(const char* name) {
    rez::LineBuffer buffer;
    return rez::RunGroup(std::string(REZ_SAMPLE_DATA_DIR) + "/" + name + "/", '.', buffer);
}

constexpr int kFirstDataRow = 3; // "Сводка": row of the first group
constexpr int kFirstMean = 6;    // column of the first Mean value
constexpr int kFirstDifference = 37;
constexpr int kGroupTableTop = 3; // a group's sheet: row of the table's header

// A group with the given counts whose Mean row is `mean` in every column (self 4.0).
GroupResults WithMean(std::string name, std::array<int, 5> counts, double mean) {
    GroupResults g;
    g.GroupName = std::move(name);
    g.RespondentCounts = counts;
    g.ScaleResults[rez::rowSelf].fill(4.0);
    g.PhaseFactorResults[rez::rowSelf].fill(4.0);
    g.ScaleResults[rez::rowMean].fill(mean);
    g.PhaseFactorResults[rez::rowMean].fill(mean);
    g.SelfDifferences[3].fill(rez::SelfDifference(4.0, mean));
    return g;
}

TEST(CohortWorkbook, EveryNumberIsTheTableFilesNumber) {
    // Orlov has no self-assessment; the made-up group has a self-assessment alone.
    std::vector<GroupResults> groups = {Sample("Smirnov"), Sample("Kuznetsova"), Sample("Orlov"),
                                        WithMean("Один", {1, 0, 0, 0, 0}, 0.0)};
    groups[3].GroupLabel = "только самооценка";
    const auto book = WriteAndRead(groups);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->Sheets(),
              (QStringList{u"Сводка"_qs, u"Нормы"_qs, Q(groups[0].GroupName),
                           Q(groups[1].GroupName), Q(groups[2].GroupName), u"Один"_qs}));
    const auto summary = book->Sheet("Сводка");
    EXPECT_EQ(summary[u"freeze"].toString(), u"C4");
    EXPECT_EQ(summary[u"filter"].toString(), u"A3:BP7");
    EXPECT_EQ(book->Text("Сводка", 2, kFirstMean + 1), u"Ф.1");
    EXPECT_EQ(book->Text("Сводка", 2, kFirstDifference + 15), u"Сам.-Mean K");

    for (std::size_t i = 0; i < groups.size(); ++i) {
        const GroupResults& g = groups[i];
        const std::string sheet = g.GroupName;
        SCOPED_TRACE(sheet);
        const int row = kFirstDataRow + static_cast<int>(i);
        const auto file = TableFileNumbers(g);
        EXPECT_EQ(book->Text("Сводка", row, 0), Q(g.GroupName));
        EXPECT_EQ((*book->Cell("Сводка", row, 0))[u"link"].toString(), Q("'" + sheet + "'!A1"));
        EXPECT_EQ(book->Text("Сводка", row, 1), Q(g.GroupLabel));
        for (int role = 0; role < 4; ++role)
            EXPECT_EQ((*book->Cell("Сводка", row, 2 + role))[u"v"].toInt(),
                      g.RespondentCounts[At(role)]);
        const bool hasMean = file.contains("Mean (Р+П+К)");
        const bool hasDifference = hasMean && g.RespondentCounts[0] > 0;
        for (int c = 0; c < 31; ++c) {
            const auto mean = book->Cell("Сводка", row, kFirstMean + c);
            const auto difference = book->Cell("Сводка", row, kFirstDifference + c);
            ASSERT_EQ(mean.has_value(), hasMean) << c;
            ASSERT_EQ(difference.has_value(), hasDifference) << c;
            if (hasMean) {
                EXPECT_EQ((*mean)[u"v"].toDouble(), file.at("Mean (Р+П+К)")[At(c)]) << c;
                EXPECT_EQ((*mean)[u"fmt"].toString(), u"0.0");
            }
            if (hasDifference) {
                EXPECT_EQ((*difference)[u"v"].toDouble(), file.at("Сам.-Mean")[At(c)]) << c;
                EXPECT_EQ((*difference)[u"color"].toString(),
                          g.SelfDifferences[3][At(c)] > 0 ? u"FFFF0000" : u"FF0000FF");
            }
        }
        // The group's own sheet: the results table with the table file's numbers.
        EXPECT_EQ(book->Text(sheet, 0, 0), Q(rez::AnalysisTitle(g)));
        EXPECT_EQ((*book->Cell(sheet, 1, 0))[u"link"].toString(), u"'Сводка'!A1");
        EXPECT_EQ(book->Text(sheet, kGroupTableTop, 1), u" A ");
        for (int tableRow = 1; tableRow < rez::TableRowCount; ++tableRow) {
            const std::string caption(rez::TableRowCaptions[At(tableRow)]);
            const int row2 = kGroupTableTop + tableRow;
            EXPECT_EQ(book->Text(sheet, row2, 0), Q(caption));
            for (int c = 0; c < 31; ++c) {
                const auto cell = book->Cell(sheet, row2, 1 + c);
                ASSERT_EQ(cell.has_value(), file.contains(caption)) << caption << " " << c;
                if (!cell)
                    continue;
                EXPECT_EQ((*cell)[u"v"].toDouble(), file.at(caption)[At(c)]) << caption << c;
                if (rez::IsDifferenceRow(tableRow)) {
                    EXPECT_EQ((*cell)[u"color"].toString(),
                              g.SelfDifferences[At(tableRow / 2 - 1)][At(c)] > 0 ? u"FFFF0000"
                                                                                 : u"FF0000FF");
                }
            }
        }
    }
}

// --- The team's norms, worked out by hand -------------------------------------------------

enum Mark { None, Below, Above };

struct NormsCase {
    const char* name;
    std::vector<double> means;  // exact Mean values; the norms use them as displayed
    std::array<double, 5> norm; // min, Q1, median, Q3, max
    std::vector<Mark> marks;
};
REZ_PRINT_CASE_BY_NAME(NormsCase)

class CohortNormsSheet : public testing::TestWithParam<NormsCase> {};

TEST_P(CohortNormsSheet, QuartilesAndFills) {
    const auto& c = GetParam();
    std::vector<GroupResults> groups;
    for (std::size_t i = 0; i < c.means.size(); ++i)
        groups.push_back(WithMean("g" + std::to_string(i), {1, 2, 3, 1, 6}, c.means[i]));
    // Without one outside role the Mean divides by three over two roles: such groups stay out.
    groups.push_back(WithMean("без руководителей", {1, 0, 3, 2, 5}, 0.4));
    groups.push_back(WithMean("без подчиненных", {1, 2, 0, 3, 5}, 0.4));
    groups.push_back(WithMean("без коллег", {1, 2, 3, 0, 5}, 0.4));
    const auto book = WriteAndRead(groups);
    ASSERT_TRUE(book);

    const int n = static_cast<int>(c.means.size());
    for (const int column : {0, 30}) {
        const int row = 6 + column;
        EXPECT_EQ((*book->Cell("Нормы", row, 2))[u"v"].toInt(), n);
        for (int k = 0; k < 5; ++k) {
            const auto cell = book->Cell("Нормы", row, 3 + k);
            ASSERT_TRUE(cell);
            EXPECT_EQ((*cell)[u"v"].toDouble(), c.norm[At(k)]) << k;
            EXPECT_EQ((*cell)[u"fmt"].toString(), u"0.00");
        }
    }
    const bool marked = n >= 4;
    EXPECT_EQ(book->Text("Сводка", 0, 0) == u"ниже первого квартиля команды", marked);
    EXPECT_EQ(book->Text("Сводка", 1, 0) == u"выше третьего квартиля команды", marked);
    EXPECT_EQ(book->Text("Нормы", 3, 0).startsWith(u"Групп меньше 4"), !marked);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const Mark expected = i < c.marks.size() ? c.marks[i] : None;
        for (const int column : {0, 17}) {
            const auto cell =
                book->Cell("Сводка", kFirstDataRow + static_cast<int>(i), kFirstMean + column);
            const QString fill = (*cell)[u"fill"].toString();
            EXPECT_EQ(fill, expected == Below   ? u"FFD9D9D9"
                            : expected == Above ? u"FFFFE9A8"
                                                : u"")
                << "group " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ByHand, CohortNormsSheet,
    testing::Values(
        // Displayed 3.0 4.6 5.1 2.2 6.3; positions 1, 2 and 3 of the sorted five. 2.96 and
        // 5.14 show as the quartiles themselves, so they are not marked.
        NormsCase{"FiveGroups",
                  {2.96, 4.55, 5.14, 2.2, 6.26},
                  {2.2, 3.0, 4.6, 5.1, 6.3},
                  {None, None, None, Below, Above}},
        // Displayed 1.0 2.0 3.3 4.1 4.8 5.1 5.8 6.8; positions 1.75, 3.5 and 5.25:
        // Q1 = 2.0 + 0.75 * 1.3, median = (4.1 + 4.8) / 2, Q3 = 5.1 + 0.25 * 0.7, each
        // stored as the double nearest that decimal (in binary, 2.0 + 0.75 * (3.3 - 2.0)
        // gives 2.9749999999999996, shown as 2.97).
        NormsCase{"EightGroups",
                  {0.96, 2.04, 3.26, 4.1, 4.84, 5.1, 5.75, 6.8},
                  {1.0, 2.975, 4.45, 5.275, 6.8},
                  {Below, Below, None, None, None, None, Above, Above}},
        NormsCase{"ThreeGroupsNoFills", {1.0, 4.0, 6.0}, {1.0, 2.5, 4.0, 5.0, 6.0}, {}}),
    rez::test::ByName());

// --- Names and texts from the files ---------------------------------------------------------

TEST(CohortWorkbook, SheetNamesAndTextsFromFilesStayValid) {
    const std::vector<std::string> names = {
        "иванов", "ИВАНОВ", "Сводка", "history", "a/b:c?", "=1+2", "+7 (999)", "-минус", "@user",
        "x\x01y_x0041_", "",
        // equal in their first 31 characters
        "Константинопольский Александр Вячеславович", "Константинопольский Александр Владимирович"};
    std::vector<GroupResults> groups;
    for (const std::string& name : names)
        groups.push_back(WithMean(name, {1, 1, 1, 1, 3}, 4.0));
    groups[0].GroupLabel = "=HYPERLINK(\"http://example.com\")";
    groups[1].GroupLabel = std::string(40'000, 'x');
    const auto book = WriteAndRead(groups);
    ASSERT_TRUE(book);
    const QStringList sheets = {u"иванов"_qs,
                                u"ИВАНОВ (2)"_qs,
                                u"Сводка (2)"_qs,
                                u"history (2)"_qs,
                                u"a_b_c_"_qs,
                                u"=1+2"_qs,
                                u"+7 (999)"_qs,
                                u"-минус"_qs,
                                u"@user"_qs,
                                u"x_y_x0041_"_qs,
                                u"Без имени"_qs,
                                u"Константинопольский Александр В"_qs,
                                u"Константинопольский Алексан (2)"_qs};
    EXPECT_EQ(book->Sheets(), QStringList({u"Сводка"_qs, u"Нормы"_qs}) + sheets);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = kFirstDataRow + static_cast<int>(i);
        const auto cell = book->Cell("Сводка", row, 0);
        ASSERT_TRUE(cell);
        EXPECT_EQ((*cell)[u"t"].toString(), u"s") << "a formula or a number: " << names[i];
        // Control characters show escaped, as in messages ("x\\x01y").
        EXPECT_EQ((*cell)[u"v"].toString(),
                  names[i].empty() ? u"Без имени"_qs : Q(rez::EscapeForMessage(names[i])));
        EXPECT_EQ((*cell)[u"link"].toString(),
                  u"'"_qs + sheets[static_cast<qsizetype>(i)] + u"'!A1"_qs);
    }
    const auto label = book->Cell("Сводка", kFirstDataRow, 1);
    EXPECT_EQ((*label)[u"t"].toString(), u"s");
    EXPECT_EQ((*label)[u"v"].toString(), Q(groups[0].GroupLabel));
    EXPECT_EQ(book->Text("Сводка", kFirstDataRow + 1, 1).size(), 32767);
}

TEST(CohortWorkbook, EqualInputGivesEqualBytes) {
    rez::test::TempDir dir;
    const std::vector<GroupResults> groups = {Sample("Smirnov"), Sample("Kuznetsova")};
    rez::SaveCohortWorkbook(dir.path() / "a.xlsx", groups, 1'700'000'000);
    rez::SaveCohortWorkbook(dir.path() / "b.xlsx", groups, 1'700'000'000);
    EXPECT_EQ(rez::test::ReadBytes(dir.path() / "a.xlsx"),
              rez::test::ReadBytes(dir.path() / "b.xlsx"));
}

struct WorkbookFault {
    const char* name;
    // Called after the first group is added, with the workbook's folder.
    std::function<void(const fs::path& dir)> strike;
    const char* reason;
};
REZ_PRINT_CASE_BY_NAME(WorkbookFault)

class WorkbookSaveFault : public testing::TestWithParam<WorkbookFault> {
protected:
    ~WorkbookSaveFault() override { rez::SetSaveFaultHook({}); }
};

// A save that fails keeps the old workbook, leaves nothing else behind and says why in our
// words alone: nothing the library prints reaches standard error.
TEST_P(WorkbookSaveFault, KeepsTheOldFileAndSaysWhy) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / "cohort.xlsx";
    rez::test::WriteBytes(target, "old workbook");
    const GroupResults group = Sample("Smirnov");
    std::string message = "no error";
    testing::internal::CaptureStderr();
    {
        rez::CohortWorkbook workbook(target, 0);
        workbook.Add(group, rez::DisplayTable(group));
        GetParam().strike(dir.path());
        try {
            workbook.Save();
        } catch (const rez::RezError& e) {
            message = e.what();
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(message, "Cannot write file " + target.string() + ": " + GetParam().reason);
    EXPECT_EQ(rez::test::ReadBytes(target), "old workbook");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WorkbookSaveFault,
    testing::Values(WorkbookFault{"SyncOfTheFinishedFile",
                                  [](const fs::path&) {
                                      rez::SetSaveFaultHook([](rez::SaveStep step, const fs::path&,
                                                               std::uint64_t, std::size_t&) {
                                          return step == rez::SaveStep::Sync ? ENOSPC : 0;
                                      });
                                  },
                                  "No space left on device"},
                    // The library writes in a private folder beside the target, and only there:
                    // without it, the library cannot create the file and prints why.
                    WorkbookFault{"PrivateFolderGone",
                                  [](const fs::path& dir) {
                                      int folders = 0;
                                      for (const auto& entry : fs::directory_iterator(dir)) {
                                          const std::string name = entry.path().filename().string();
                                          if (entry.is_directory() &&
                                              name.rfind(".cohort.xlsx.rez-new-", 0) == 0 &&
                                              entry.status().permissions() ==
                                                  fs::perms::owner_all) {
                                              fs::remove_all(entry.path());
                                              ++folders;
                                          }
                                      }
                                      ASSERT_EQ(folders, 1);
                                  },
                                  "No such file or directory"}),
    rez::test::ByName());

TEST(CohortWorkbook, FolderMissingCannotBeCreated) {
    rez::test::TempDir dir;
    const fs::path target = dir.path() / "missing" / "a.xlsx";
    const std::vector<GroupResults> groups = {Sample("Smirnov")};
    try {
        rez::SaveCohortWorkbook(target, groups, 0);
        ADD_FAILURE() << "no error";
    } catch (const rez::RezError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file " + target.string() + ": No such file or directory");
    }
}

} // namespace
