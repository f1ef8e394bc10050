// The Group command on the main window: results, respondent lists, view buttons, the table
// and its painting, the analysis text, and a failed run that changes nothing.
#include "fakes.h"
#include "plain_tooltip.h"
#include "results_grid.h"
#include "tag_button.h"
#include "test_files.h"
#include "tform1.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using rez::TForm1;
using rez::test::RespondentLines;
using rez::test::TempDir;
using rez::test::UniformTotals;

class GroupCommand : public testing::Test {
protected:
    GroupCommand() {
        form = std::make_unique<TForm1>(std::make_unique<rez::test::FakeDialogs>(dialogs),
                                        std::make_unique<rez::test::FakeShell>(shell));
        form->DecimalSeparator = '.';
    }

    // Writes a respondent file into group folder `group` (created on demand).
    void Add(const std::string& group, const std::string& name, const std::string& who,
             const std::vector<std::string>& totals) {
        std::filesystem::create_directories(root.path() / group);
        rez::test::WriteRespondentFile(root.path() / group / name, RespondentLines(who, totals));
    }

    // The user picks `file` in the Group dialog.
    void RunOn(const QString& file) {
        dialogs->openAnswer = file;
        form->mmGroupClick();
    }
    void RunOnGroup(const std::string& group, const std::string& file = "any.cry") {
        RunOn(QString::fromStdString((root.path() / group / file).string()));
    }

    QString Cell(int col, int row) const { return form->sgResF->cell(col, row); }
    bool RowEmpty(int row) const {
        for (int col = 0; col < rez::ResultColumnCount; ++col)
            if (!Cell(col, row).isEmpty())
                return false;
        return true;
    }
    std::vector<bool> ButtonStates() const {
        std::vector<bool> states;
        for (const auto* button : form->viewButtons())
            states.push_back(button->isEnabled());
        return states;
    }

    std::shared_ptr<rez::test::DialogLog> dialogs = std::make_shared<rez::test::DialogLog>();
    std::shared_ptr<rez::test::ShellLog> shell = std::make_shared<rez::test::ShellLog>();
    std::unique_ptr<TForm1> form;
    TempDir root;
};

TEST_F(GroupCommand, FullSampleGroupShowsEverything) {
    const std::string dir = std::string(REZ_SAMPLE_DATA_DIR) + "/Smirnov/";
    RunOn(QString::fromStdString(dir + "2-03REZ.cry"));
    ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join(u'\n').toStdString();
    EXPECT_FALSE(form->paTest->isHidden());
    EXPECT_TRUE(form->mmSave->isEnabled());
    EXPECT_EQ(form->Results.RespondentCounts, (std::array<int, 5>{1, 2, 4, 3, 9}));
    EXPECT_EQ(ButtonStates(), std::vector<bool>(9, true));
    // The memo holds the analysis text, each line ended.
    EXPECT_EQ(form->meInfo->toPlainText().toStdString(),
              rez::test::ReadBytes(std::string(REZ_GOLDEN_DIR) + "/Smirnov.analysis.txt"));
    EXPECT_EQ(
        form->btMang->toolTip(),
        rez::PlainToolTip(u"Руководители\r\nБелова Марина Сергеевна\r\nГришин Олег Петрович"_qs));
    EXPECT_EQ(form->stMang->toolTip(),
              rez::PlainToolTip(QString::fromStdString(form->Results.CaptionLists[1])));
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
    EXPECT_NE(form->btMang->palette().color(QPalette::Disabled, QPalette::ButtonText),
              form->btMang->palette().color(QPalette::Active, QPalette::ButtonText));
    RunOnGroup("b");
    EXPECT_EQ(ButtonStates(),
              (std::vector<bool>{true, false, false, true, true, false, false, true, true}));
    EXPECT_TRUE(RowEmpty(6));
    EXPECT_TRUE(RowEmpty(7));
    EXPECT_EQ(Cell(0, 4), u"3.0"_qs);
    EXPECT_EQ(Cell(0, 5), u"3.0"_qs);
    EXPECT_EQ(form->Results.SelfDifferences[2][0], 0.0);
}

TEST_F(GroupCommand, FailedRunChangesNothing) {
    Add("good", "0REZ.cry", "self", UniformTotals(5));
    Add("good", "1REZ.cry", "mang", UniformTotals(4));
    auto bad = UniformTotals(4);
    bad[3] = "4,5";
    Add("bad", "2aREZ.cry", "sub", UniformTotals(2));
    Add("bad", "2bREZ.cry", "broken", bad);
    RunOnGroup("good");
    const QString memo = form->meInfo->toPlainText();
    const auto results = form->Results;
    const auto buttons = ButtonStates();
    const QString tip = form->btSubr->toolTip();
    const QString cell = Cell(0, 2);

    RunOnGroup("bad");
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_EQ(dialogs->errors[0], u"'4,5' is not a valid floating point value."_qs);
    EXPECT_EQ(dialogs->busyCursorAtError, std::vector<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->meInfo->toPlainText(), memo);
    EXPECT_EQ(form->Results.ScaleResults, results.ScaleResults);
    EXPECT_EQ(form->Results.RespondentCounts, results.RespondentCounts);
    EXPECT_EQ(form->Results.ButtonLists, results.ButtonLists);
    EXPECT_EQ(ButtonStates(), buttons);
    EXPECT_EQ(form->btSubr->toolTip(), tip);
    EXPECT_EQ(Cell(0, 2), cell);
    EXPECT_TRUE(RowEmpty(4));
}

TEST_F(GroupCommand, EveryRunAppendsItsTextOnTheNextLine) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    const QString first = form->meInfo->toPlainText();
    ASSERT_TRUE(first.endsWith(u'\n'));
    RunOnGroup("a");
    EXPECT_EQ(form->meInfo->toPlainText(), first + first);
}

TEST_F(GroupCommand, RemovedFinalLineEndIsPutBackBeforeTheTitle) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    const QString first = form->meInfo->toPlainText();
    // The user deletes the last line end and types a note.
    QTextCursor cursor(form->meInfo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    cursor.insertText(u" note"_qs);
    RunOnGroup("a");
    EXPECT_EQ(form->meInfo->toPlainText(), first.chopped(1) + u" note\n"_qs + first);
}

TEST_F(GroupCommand, UserTextBeforeTheFirstRunStays) {
    form->meInfo->setPlainText(u"Заметки консультанта"_qs);
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    RunOnGroup("a");
    EXPECT_TRUE(form->meInfo->toPlainText().startsWith(
        u"Заметки консультанта\nОценка навыков и умений менеджера - self L2 (self L0)\n"_qs));
}

std::pair<int, int> RedAndBlue(TForm1& form, int col, int row);

TEST_F(GroupCommand, WithoutSelfAssessment) {
    Add("a", "1REZ.cry", "mang", UniformTotals(4));
    RunOnGroup("a");
    EXPECT_FALSE(form->btSelf->isEnabled());
    EXPECT_TRUE(RowEmpty(1));
    EXPECT_EQ(Cell(0, 3), u"4.0"_qs); // the compared row's own value
    for (const int col : {0, 16, 30}) {
        const auto [red, blue] = RedAndBlue(*form, col, 3); // self 0 minus 4: blue
        EXPECT_EQ(red, 0) << col;
        EXPECT_GT(blue, 5) << col;
    }
    EXPECT_TRUE(form->meInfo->toPlainText().startsWith(
        u"Оценка навыков и умений менеджера - mang L2 ()\n\nСамооценка\n\n\nРуководители\n"_qs));
}

TEST_F(GroupCommand, DirectoryWithoutRespondentFilesCompletesEmpty) {
    std::filesystem::create_directories(root.path() / "empty");
    RunOnGroup("empty", "notes.txt");
    EXPECT_TRUE(dialogs->errors.isEmpty());
    EXPECT_FALSE(form->paTest->isHidden());
    EXPECT_EQ(ButtonStates(), std::vector<bool>(9, false));
    for (int row = 1; row < rez::ResultsGrid::RowCount; ++row)
        EXPECT_TRUE(RowEmpty(row)) << row;
}

TEST_F(GroupCommand, CancelledDialogChangesNothing) {
    RunOn(QString());
    EXPECT_TRUE(form->paTest->isHidden());
    EXPECT_FALSE(form->mmSave->isEnabled());
}

// Counts the pure red and pure blue pixels of one grid cell as painted.
std::pair<int, int> RedAndBlue(TForm1& form, int col, int row) {
    QImage image(form.sgResF->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    form.sgResF->paintGrid(painter);
    painter.end();
    const QRect cell = rez::ResultsGrid::cellRect(col, row);
    int red = 0, blue = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 90 && c.blue() < 90;
            blue += c.blue() > 200 && c.red() < 90 && c.green() < 90;
        }
    return {red, blue};
}

TEST_F(GroupCommand, DifferenceRowsArePaintedByTheStoredSign) {
    Add("a", "0REZ.cry", "self", UniformTotals(5));
    Add("a", "1REZ.cry", "mang", UniformTotals(5));
    RunOnGroup("a");
    form->Results.SelfDifferences[0][0] = 0.04; // shown as 0.0, painted red
    form->Results.SelfDifferences[0][1] = 0.0;  // blue
    form->Results.SelfDifferences[0][2] = -2.0; // blue
    form->FillResultsTable();
    EXPECT_EQ(Cell(0, 3), u"0.0"_qs);
    const auto [red0, blue0] = RedAndBlue(*form, 0, 3);
    EXPECT_GT(red0, 5);
    EXPECT_EQ(blue0, 0);
    for (int col : {1, 2}) {
        const auto [red, blue] = RedAndBlue(*form, col, 3);
        EXPECT_EQ(red, 0) << col;
        EXPECT_GT(blue, 5) << col;
    }
    // Rows that are not difference rows keep the grid's own black text.
    const auto [red2, blue2] = RedAndBlue(*form, 0, 2);
    EXPECT_EQ(red2 + blue2, 0);
}

TEST_F(GroupCommand, IdenticalRatingsPaintEveryDifferenceBlue) {
    auto totals = UniformTotals(4);
    totals[0] = "13"; // 13/7: its mean of three equal values is not exact in binary
    for (const char* name : {"0REZ.cry", "1REZ.cry", "2REZ.cry", "3REZ.cry"})
        Add("a", name, name, totals);
    RunOnGroup("a");
    for (int row : {3, 5, 7, 9}) {
        EXPECT_EQ(Cell(0, row), u"0.0"_qs);
        const auto [red, blue] = RedAndBlue(*form, 0, row);
        EXPECT_EQ(red, 0) << row;
        EXPECT_GT(blue, 5) << row;
    }
}

} // namespace
