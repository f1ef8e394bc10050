// The Group command on the main window: results, respondent lists, view buttons, the table
// and its painting, the analysis text, and a failed run that changes nothing.
#include "cohort_run.h"
#include "plain_tooltip.h"
#include "table_index.h"
#include "test_files.h"
#include "view_buttons.h"
#include "window_fixture.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <map>

namespace {

using rez::test::RespondentLines;
using rez::test::TempDir;
using rez::test::UniformTotals;

class GroupCommand : public rez::test::WindowTest {
protected:
    // Writes a respondent file into group folder `group` (created on demand).
    void Add(const std::string& group, const std::string& name, const std::string& who,
             const std::vector<std::string>& totals) {
        std::filesystem::create_directories(root.path() / group);
        rez::test::WriteRespondentFile(root.path() / group / name, RespondentLines(who, totals));
    }

    void RunOnGroup(const std::string& group, const std::string& file = "any.cry") {
        RunOn(QString::fromStdString((root.path() / group / file).string()));
    }

    QString Cell(int col, int row) const { return Table().cell(col, row); }
    bool RowEmpty(int row) const {
        for (int col = 0; col < rez::ResultColumnCount; ++col)
            if (!Cell(col, row).isEmpty())
                return false;
        return true;
    }
    std::vector<bool> ButtonStates() const {
        std::vector<bool> states;
        for (const rez::ViewButtonEntry& entry : rez::ViewButtonTable)
            states.push_back(
                form->findChild<QWidget*>(QString::fromUtf16(entry.objectName))->isEnabled());
        return states;
    }
    const rez::GroupResults& Results() const { return Model().results(); }

    TempDir root;
};

TEST_F(GroupCommand, FullSampleGroupShowsEverything) {
    RunOnSample("Smirnov");
    EXPECT_TRUE(PanelShown());
    EXPECT_TRUE(Action("mmSave")->isEnabled());
    EXPECT_EQ(Results().RespondentCounts, (std::array<int, 5>{1, 2, 4, 3, 9}));
    EXPECT_EQ(ButtonStates(), std::vector<bool>(9, true));
    // The memo holds the analysis text, each line ended.
    EXPECT_EQ(Memo().toPlainText().toStdString(),
              rez::test::ReadBytes(std::string(REZ_GOLDEN_DIR) + "/Smirnov.analysis.txt"));
    EXPECT_EQ(
        Child("btMang")->toolTip(),
        rez::PlainToolTip(u"Руководители\r\nБелова Марина Сергеевна\r\nГришин Олег Петрович"_qs));
    EXPECT_EQ(Child("btSelf_Mang")->toolTip(), QString());
    EXPECT_EQ(Child("btMean")->toolTip(), QString());
    EXPECT_EQ(Child("stMang")->toolTip(),
              rez::PlainToolTip(QString::fromStdString(Results().CaptionLists[1])));
    EXPECT_EQ(Cell(0, 1), u"4.0"_qs);
    EXPECT_FALSE(RowEmpty(9));
}

TEST_F(GroupCommand, SecondRunReplacesRowsAndButtons) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    Add("a", "3REZ.cry", "coll", UniformTotals(4));
    Add("b", "0REZ.cry", "self", UniformTotals(6));
    Add("b", "2REZ.cry", "sub", UniformTotals(3));
    RunOnGroup("a");
    EXPECT_EQ(ButtonStates(),
              (std::vector<bool>{true, false, false, false, false, true, true, true, true}));
    EXPECT_FALSE(RowEmpty(6));
    // A disabled row button must look unavailable: not in the maroon of enabled ones.
    const QPalette& colours = Child("btMang")->palette();
    EXPECT_NE(colours.color(QPalette::Disabled, QPalette::ButtonText),
              colours.color(QPalette::Active, QPalette::ButtonText));
    RunOnGroup("b");
    EXPECT_EQ(ButtonStates(),
              (std::vector<bool>{true, false, false, true, true, false, false, true, true}));
    EXPECT_TRUE(RowEmpty(6));
    EXPECT_TRUE(RowEmpty(7));
    EXPECT_EQ(Cell(0, 4), u"3.0"_qs);
    EXPECT_EQ(Cell(0, 5), u"3.0"_qs);
    EXPECT_EQ(Results().SelfDifferences[2][0], 0.0);
}

// Files of another manager in the folder: the run completes as the files say, then a warning
// box names the managers. A folder of one manager's files gives none.
TEST_F(GroupCommand, FilesOfDifferentManagersGiveAWarningAfterTheRun) {
    Add("mixed", "0REZ.cry", "self", UniformTotals(5));
    Add("mixed", "1REZ.cry", "mang", UniformTotals(4));
    RunOnGroup("mixed");
    EXPECT_TRUE(dialogs->errors.isEmpty());
    ASSERT_EQ(dialogs->warnings.size(), 1);
    EXPECT_EQ(dialogs->warnings[0], u"Respondent files in "_qs +
                                        QString::fromStdString((root.path() / "mixed").string()) +
                                        u" name different managers: self L2, mang L2"_qs);
    EXPECT_EQ(Results().GroupName, "mang L2");
    EXPECT_TRUE(PanelShown());
    RunOnSample("Smirnov");
    EXPECT_EQ(dialogs->warnings.size(), 1);
}

TEST_F(GroupCommand, FailedRunChangesNothing) {
    Add("good", "0REZ.cry", "self", UniformTotals(5));
    Add("good", "1REZ.cry", "mang", UniformTotals(4));
    auto bad = UniformTotals(4);
    bad[3] = "4,5";
    Add("bad", "2aREZ.cry", "sub", UniformTotals(2));
    Add("bad", "2bREZ.cry", "broken", bad);
    RunOnGroup("good");
    const QString memo = Memo().toPlainText();
    const auto results = Results();
    const auto buttons = ButtonStates();
    const QString tip = Child("btSubr")->toolTip();
    const QString cell = Cell(0, 2);

    RunOnGroup("bad");
    ASSERT_EQ(dialogs->errors.size(), 1);
    // The same text as on the command line: where it happened, and no full stop after ")".
    EXPECT_EQ(dialogs->errors[0],
              u"'4,5' is not a valid floating point value (file "_qs +
                  QString::fromStdString((root.path() / "bad" / "2bREZ.cry").string()) +
                  u", line 17)"_qs);
    EXPECT_EQ(dialogs->busyCursorAtError, std::vector<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Memo().toPlainText(), memo);
    EXPECT_EQ(Results().ScaleResults, results.ScaleResults);
    EXPECT_EQ(Results().RespondentCounts, results.RespondentCounts);
    EXPECT_EQ(Results().ButtonLists, results.ButtonLists);
    EXPECT_EQ(ButtonStates(), buttons);
    EXPECT_EQ(Child("btSubr")->toolTip(), tip);
    EXPECT_EQ(Cell(0, 2), cell);
    EXPECT_TRUE(RowEmpty(4));
}

TEST_F(GroupCommand, EveryRunAppendsItsTextOnTheNextLine) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    const QString first = Memo().toPlainText();
    ASSERT_TRUE(first.endsWith(u'\n'));
    RunOnGroup("a");
    EXPECT_EQ(Memo().toPlainText(), first + first);
}

TEST_F(GroupCommand, RemovedFinalLineEndIsPutBackBeforeTheTitle) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    const QString first = Memo().toPlainText();
    // The user deletes the last line end and types a note.
    QTextCursor cursor(Memo().document());
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    cursor.insertText(u" note"_qs);
    RunOnGroup("a");
    EXPECT_EQ(Memo().toPlainText(), first.chopped(1) + u" note\n"_qs + first);
}

// The memo shows each new analysis from its title on, whatever was in view before.
TEST_F(GroupCommand, MemoScrollsToTheTitleOfEachNewAnalysis) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    int titleBlock = 0;
    for (const char* group : {"Smirnov", "Orlov", "Smirnov"}) {
        Memo().verticalScrollBar()->setValue(0); // the user scrolled back to the top
        RunOnSample(group);
        QCoreApplication::processEvents();
        const QTextBlock top = Memo().cursorForPosition(QPoint(1, 1)).block();
        EXPECT_EQ(top.blockNumber(), titleBlock) << group;
        EXPECT_TRUE(top.text().startsWith(u"Оценка навыков и умений менеджера - "_qs)) << group;
        titleBlock = Memo().document()->blockCount() - 1; // the next title's line
    }
}

TEST_F(GroupCommand, UserTextBeforeTheFirstRunStays) {
    Memo().setPlainText(u"Заметки консультанта"_qs);
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    EXPECT_TRUE(Memo().toPlainText().startsWith(
        u"Заметки консультанта\nОценка навыков и умений менеджера - self L2 (self L0)\n"_qs));
}

std::pair<int, int> RedAndBlue(const rez::ResultsGrid& grid, int col, int row);

TEST_F(GroupCommand, WithoutSelfAssessment) {
    Add("a", "1REZ.cry", "mang", UniformTotals(4));
    RunOnGroup("a");
    EXPECT_FALSE(Child("btSelf")->isEnabled());
    EXPECT_TRUE(RowEmpty(1));
    EXPECT_EQ(Cell(0, 3), u"4.0"_qs); // the compared row's own value
    for (const int col : {0, 16, 30}) {
        const auto [red, blue] = RedAndBlue(Table(), col, 3); // self 0 minus 4: blue
        EXPECT_EQ(red, 0) << col;
        EXPECT_GT(blue, 5) << col;
    }
    EXPECT_TRUE(Memo().toPlainText().startsWith(
        u"Оценка навыков и умений менеджера - mang L2 ()\n\nСамооценка\n\n\nРуководители\n"_qs));
}

// A folder without respondent files is most likely the wrong one: a warning, and the
// results and the Save menu stay as they were, before the first run and after another.
TEST_F(GroupCommand, DirectoryWithoutRespondentFilesWarnsAndChangesNothing) {
    std::filesystem::create_directories(root.path() / "empty");
    const QString warning =
        u"No respondent files in "_qs + QString::fromStdString((root.path() / "empty").string());
    RunOnGroup("empty", "notes.txt");
    EXPECT_TRUE(dialogs->errors.isEmpty());
    EXPECT_EQ(dialogs->warnings, QStringList{warning});
    EXPECT_FALSE(PanelShown());
    EXPECT_FALSE(Action("mmSave")->isEnabled());
    EXPECT_FALSE(Model().hasResults());

    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    const QString memo = Memo().toPlainText();
    RunOnGroup("empty", "notes.txt");
    EXPECT_EQ(dialogs->warnings, (QStringList{warning, warning}));
    EXPECT_EQ(Results().GroupName, "self L2");
    EXPECT_TRUE(Action("mmSave")->isEnabled());
    EXPECT_EQ(Memo().toPlainText(), memo);
    EXPECT_EQ(Cell(0, 1), u"5.0"_qs);
}

TEST_F(GroupCommand, CancelledDialogChangesNothing) {
    RunOn(QString());
    EXPECT_FALSE(PanelShown());
    EXPECT_FALSE(Action("mmSave")->isEnabled());
}

// Counts the pure red and pure blue pixels of `cell` in `image`.
std::pair<int, int> RedAndBlueIn(const QImage& image, const QRect& cell) {
    int red = 0, blue = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 90 && c.blue() < 90;
            blue += c.blue() > 200 && c.red() < 90 && c.green() < 90;
        }
    return {red, blue};
}

// The same for one grid cell as the grid paints it.
std::pair<int, int> RedAndBlue(const rez::ResultsGrid& grid, int col, int row) {
    QImage image(grid.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    grid.paintGrid(painter);
    painter.end();
    return RedAndBlueIn(image, rez::ResultsGrid::cellRect(col, row));
}

TEST_F(GroupCommand, DifferenceRowsArePaintedByTheStoredSign) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    Add("a", "1REZ.cry", "mang", UniformTotals(5));
    RunOnGroup("a");
    rez::GroupResults results = Results();
    results.SelfDifferences[0][0] = 0.04; // shown as 0.0, painted red
    results.SelfDifferences[0][1] = 0.0;  // blue
    results.SelfDifferences[0][2] = -2.0; // blue
    Model().setResults(results);
    EXPECT_EQ(Cell(0, 3), u"0.0"_qs);
    const auto [red0, blue0] = RedAndBlue(Table(), 0, 3);
    EXPECT_GT(red0, 5);
    EXPECT_EQ(blue0, 0);
    for (int col : {1, 2}) {
        const auto [red, blue] = RedAndBlue(Table(), col, 3);
        EXPECT_EQ(red, 0) << col;
        EXPECT_GT(blue, 5) << col;
    }
    // Rows that are not difference rows keep the grid's own black text.
    const auto [red2, blue2] = RedAndBlue(Table(), 0, 2);
    EXPECT_EQ(red2 + blue2, 0);
}

// What the window shows on screen, as the user sees it after the run: only what was repainted
// changed. (Rendering the grid again would repaint every cell and hide a stale one.)
TEST_F(GroupCommand, EveryRunRepaintsEveryDifferenceCellInItsSignColour) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    for (const char* group : {"Smirnov", "Orlov", "Kuznetsova", "Smirnov"}) {
        RunOnSample(group);
        QCoreApplication::processEvents();
        const QImage screen = form->screen()->grabWindow(form->winId()).toImage();
        const QPoint origin = Table().mapTo(form.get(), QPoint(0, 0));
        for (int row : {3, 5, 7, 9}) {
            if (Cell(0, row).isEmpty())
                continue;
            for (int col = 0; col < rez::ResultColumnCount; ++col) {
                const double d = Results().SelfDifferences[rez::At(row / 2 - 1)][rez::At(col)];
                const auto [red, blue] =
                    RedAndBlueIn(screen, rez::ResultsGrid::cellRect(col, row).translated(origin));
                EXPECT_EQ(red > 5, d > 0) << group << " row " << row << " column " << col;
                EXPECT_EQ(blue > 5, d <= 0) << group << " row " << row << " column " << col;
            }
        }
    }
}

TEST_F(GroupCommand, IdenticalRatingsPaintEveryDifferenceBlue) {
    auto totals = UniformTotals(4);
    totals[0] = "13"; // 13/7: its mean of three equal values is not exact in binary
    for (const char* name : {"0REZ.cry", "1REZ.cry", "2REZ.cry", "3REZ.cry"})
        Add("a", name, name, totals);
    RunOnGroup("a");
    for (int row : {3, 5, 7, 9}) {
        EXPECT_EQ(Cell(0, row), u"0.0"_qs);
        const auto [red, blue] = RedAndBlue(Table(), 0, row);
        EXPECT_EQ(red, 0) << row;
        EXPECT_GT(blue, 5) << row;
    }
}

} // namespace

// --- The Cohort command ---------------------------------------------------------------------

namespace rez::test {
namespace {

namespace fs = std::filesystem;

class CohortCommand : public WindowTest {
protected:
    // A folder of groups: copies of the three samples and `generated` made-up ones.
    fs::path MakeCohort(int generated) {
        const fs::path root = work.path() / "cohort";
        fs::create_directories(root);
        for (const char* sample : {"Kuznetsova", "Orlov", "Smirnov"})
            fs::copy(fs::path(REZ_SAMPLE_DATA_DIR) / sample, root / sample,
                     fs::copy_options::recursive);
        for (int i = 0; i < generated; ++i) {
            const fs::path dir = root / ("z" + std::to_string(i));
            fs::create_directories(dir);
            for (const char* file : {"1-01REZ.cry", "2-01REZ.cry", "3-01REZ.cry"}) {
                auto lines = RespondentLines(file, UniformTotals(2 + (i + file[0]) % 5));
                lines[2] = "Сотрудник " + std::to_string(i);
                WriteRespondentFile(dir / file, lines);
            }
        }
        fs::create_directories(work.path() / "out");
        return root;
    }
    // Types the results folder into the "Cohort run" dialog and presses Enter, by keys only,
    // as soon as the dialog is open.
    void AnswerCohortDialogByKeys() {
        QTimer::singleShot(10, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return AnswerCohortDialogByKeys();
            auto* folder = dialog->findChild<QLineEdit*>(QStringLiteral("resultsFolder"));
            auto* workbook = dialog->findChild<QLineEdit*>(QStringLiteral("workbookFile"));
            ASSERT_TRUE(folder && workbook);
            folder->setFocus();
            QTest::keyClick(folder, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(folder, QString::fromStdString((work.path() / "out").string()));
            workbook->setFocus();
            QTest::keyClick(workbook, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(workbook, QStringLiteral("cohort.xlsx"));
            QTest::keyClick(workbook, Qt::Key_Return);
        });
    }
    // The key as typed: to the active window, which must have the keyboard.
    void PressCtrlShiftO() {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        AnswerCohortDialogByKeys(); // once the dialog is open
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_O,
                        Qt::ControlModifier | Qt::ShiftModifier);
    }
    bool WaitForSummary() {
        EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join(u'\n').toStdString();
        for (int i = 0; i < 1200 && dialogs->cohortSummaries.empty(); ++i)
            QTest::qWait(50);
        return !dialogs->cohortSummaries.empty();
    }
    std::map<std::string, std::string> Files(const fs::path& dir) const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename() != ".rez-lock")
                files[entry.path().filename().string()] = ReadBytes(entry.path());
        return files;
    }
    TempDir work;
};

struct NoProgress final : CohortProgress {
    void Message(std::string_view) override {}
    void FileWritten(std::string_view) override {}
    void GroupFinished(int, std::string_view) override {}
    void GroupsEnded() override {}
};

// Ctrl+Shift+O, the folder, Enter: the groups run off the GUI thread, in the order of their
// folder names' bytes, into the files a cohort run of rez-report writes with the same K, T
// and date; the results on screen stay those of the last Group run.
TEST_F(CohortCommand, DrivenByKeysWritesWhatRezReportWrites) {
    RunOnSample("Orlov");
    const fs::path cohort = MakeCohort(2);
    dialogs->folderAnswer = QString::fromStdString(cohort.string());
    dialogs->realCohortDialog = true;
    qputenv("SOURCE_DATE_EPOCH", "1767225600");
    PressCtrlShiftO();
    EXPECT_FALSE(Action("mmGroup")->isEnabled()) << "no Group while a cohort runs";
    EXPECT_FALSE(Action("mmCohort")->isEnabled());
    ASSERT_TRUE(WaitForSummary());
    EXPECT_TRUE(Action("mmGroup")->isEnabled());
    EXPECT_TRUE(Action("mmSave")->isEnabled());
    const CohortSummary& summary = dialogs->cohortSummaries.front();
    EXPECT_EQ(summary.groups, 5);
    EXPECT_EQ(summary.written, 5);
    EXPECT_TRUE(summary.workbookWritten);
    EXPECT_EQ(Model().results().GroupName, "Орлов Виктор Степанович");

    // The same run as rez-report makes it: -r -w, K 3, T 1.0, in LC_ALL=C order.
    const fs::path expected = work.path() / "expected";
    fs::create_directories(expected);
    CohortSettings settings;
    settings.outDir = expected;
    settings.decimalSeparator = Model().decimalSeparator();
    settings.workbook = expected / "cohort.xlsx";
    settings.managerReport = ReportThresholds{};
    std::vector<std::string> groups;
    for (const char* name : {"Kuznetsova", "Orlov", "Smirnov", "z0", "z1"})
        groups.push_back((cohort / name).string());
    NoProgress quiet;
    EXPECT_EQ(RunCohort(groups, settings, quiet).ExitStatus(), 0);
    qunsetenv("SOURCE_DATE_EPOCH");
    const auto written = Files(work.path() / "out");
    EXPECT_EQ(written.size(), 26u);
    EXPECT_TRUE(written == Files(expected)) << "the files differ from rez-report's";
}

// Cancel in the progress dialog: the groups under way finish whole, no other starts, and no
// workbook is made of part of the cohort.
TEST_F(CohortCommand, CancelLeavesWholeGroupsAndNoWorkbook) {
    const fs::path cohort = MakeCohort(40);
    dialogs->folderAnswer = QString::fromStdString(cohort.string());
    dialogs->realCohortDialog = true;
    PressCtrlShiftO();
    // At once: the run, on two threads, has 43 groups to go.
    const QPointer<QProgressDialog> progress =
        form->findChild<QProgressDialog*>(QStringLiteral("cohortProgress"));
    ASSERT_NE(progress, nullptr);
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(WaitForSummary());
    const CohortSummary& summary = dialogs->cohortSummaries.front();
    EXPECT_TRUE(summary.stopped);
    EXPECT_FALSE(summary.workbookWritten);
    EXPECT_LT(summary.written, 43);
    std::map<std::string, int> filesOfGroup;
    for (const auto& [name, bytes] : Files(work.path() / "out")) {
        EXPECT_FALSE(name.starts_with(".")) << name;
        EXPECT_NE(name, "cohort.xlsx");
        ++filesOfGroup[name.substr(0, name.rfind(' '))];
    }
    EXPECT_EQ(filesOfGroup.size(), static_cast<std::size_t>(summary.written));
    for (const auto& [group, files] : filesOfGroup)
        EXPECT_EQ(files, 5) << group;
}

} // namespace
} // namespace rez::test
