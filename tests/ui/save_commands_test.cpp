// The three Save commands of the main window: dialogs, proposed names and the files written.
#include "cp1251.h"
#include "fakes.h"
#include "profile_chart.h"
#include "test_files.h"
#include "tform1.h"

#include <QImage>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using rez::TForm1;

// A golden UTF-8 text with LF line ends as the program writes it: Windows-1251, CR LF.

using rez::test::ReadBytes;

// A golden text as the program writes it.
std::string AsWrittenFile(const std::string& goldenName) {
    return rez::test::AsWindowsFile(ReadBytes(fs::path(REZ_GOLDEN_DIR) / goldenName));
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

class SaveCommands : public testing::Test {
protected:
    SaveCommands() {
        form = std::make_unique<TForm1>(std::make_unique<rez::test::FakeDialogs>(dialogs),
                                        std::make_unique<rez::test::FakeShell>(shell));
        form->DecimalSeparator = '.';
        form->ExeDir = Q(out.path()) + u'/';
        fs::create_directory(out.path() / "Results");
        dialogs->openAnswer = QString::fromUtf8(REZ_SAMPLE_DATA_DIR) + u"/Smirnov/x.cry"_qs;
        form->mmGroupClick();
    }

    std::shared_ptr<rez::test::DialogLog> dialogs = std::make_shared<rez::test::DialogLog>();
    std::shared_ptr<rez::test::ShellLog> shell = std::make_shared<rez::test::ShellLog>();
    std::unique_ptr<TForm1> form;
    rez::test::TempDir out;
};

TEST_F(SaveCommands, TableFileOfAFullGroup) {
    const fs::path path = out.path() / "table.txt";
    dialogs->saveAnswers = {Q(path)};
    form->mmSaveTableClick();
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись таблицы данных REZ в rtf.файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[0].proposedPath,
              form->ExeDir + u"Results/Смирнов Андрей Викторович Table.rtf"_qs);
    EXPECT_EQ(ReadBytes(path), AsWrittenFile("Smirnov.table.txt"));
    EXPECT_EQ(form->meBuffer.size(), 26u);
}

TEST_F(SaveCommands, CancelledTableWritesNothingButComposesTheText) {
    form->mmSaveTableClick();
    EXPECT_EQ(form->meBuffer.size(), 26u);
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

TEST_F(SaveCommands, AnalysisFileHoldsTheMemoAsEdited) {
    const fs::path straight = out.path() / "an1";
    const fs::path edited = out.path() / "an2";
    dialogs->saveAnswers = {Q(straight)};
    form->mmSaveAnalysisClick();
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись результатов оценки REZ в rtf.файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[0].proposedPath,
              form->ExeDir + u"Results/Смирнов Андрей Викторович An.rtf"_qs);
    EXPECT_EQ(ReadBytes(straight), AsWrittenFile("Smirnov.analysis.txt"));

    // Type a line at the top, delete the title line's successor, remove the final line end.
    QTextCursor cursor(form->meInfo->document());
    cursor.insertText(u"Итог: хорошо\n"_qs);
    cursor.movePosition(QTextCursor::NextBlock);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    dialogs->saveAnswers = {Q(edited)};
    form->mmSaveAnalysisClick();
    const std::string bytes = ReadBytes(edited);
    std::string expected = AsWrittenFile("Smirnov.analysis.txt");
    const std::size_t titleEnd = expected.find("\r\n");
    expected.erase(titleEnd + 2, 2); // the empty line after the title
    expected = rez::EncodeCp1251("Итог: хорошо\r\n").value() + expected;
    expected.resize(expected.size() - 2);
    EXPECT_EQ(bytes, expected);
}

TEST_F(SaveCommands, MemoCharacterOutsideTheCodePageWritesNothing) {
    form->meInfo->appendPlainText(u"日本"_qs);
    const fs::path path = out.path() / "an";
    dialogs->saveAnswers = {Q(path)};
    form->mmSaveAnalysisClick();
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_TRUE(
        dialogs->errors[0].startsWith(u"Cannot write character '日' in Windows-1251 (line "_qs));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SaveCommands, PlotsAppendGifAndWriteTheChartsAsShown) {
    dialogs->saveAnswers = {Q(out.path() / "x"), Q(out.path() / "y.GIF")};
    form->btSaveClick();
    ASSERT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись графика шкал в gif-файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[1].title, u"Запись графика фаз и факторов в gif-файлы"_qs);
    EXPECT_EQ(dialogs->saveRequests[1].proposedPath,
              form->ExeDir + u"Results/Смирнов Андрей Викторович Factors.gif"_qs);
    const QImage scales(Q(out.path() / "x.gif"));
    const QImage factors(Q(out.path() / "y.GIF.gif"));
    ASSERT_EQ(scales.size(), QSize(1019, 261));
    ASSERT_EQ(factors.size(), QSize(415, 257));
    EXPECT_EQ(scales.convertToFormat(QImage::Format_RGB32), form->ChartScale->picture());
    EXPECT_EQ(factors.convertToFormat(QImage::Format_RGB32), form->ChartFactor->picture());
    EXPECT_EQ(ReadBytes(out.path() / "x.gif").substr(0, 6), "GIF87a");
}

TEST_F(SaveCommands, CancelledFirstDialogWritesOnlyTheFactorChart) {
    dialogs->saveAnswers = {QString(), Q(out.path() / "f.gif")};
    form->btSaveClick();
    EXPECT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_TRUE(fs::exists(out.path() / "f.gif"));
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(out.path()))
        ++files;
    EXPECT_EQ(files, 2); // Results/ and f.gif
}

TEST_F(SaveCommands, FailureOnTheScaleChartEndsTheCommand) {
    const fs::path missing = out.path() / "gone" / "s.gif";
    dialogs->saveAnswers = {Q(missing), Q(out.path() / "f.gif")};
    form->btSaveClick();
    EXPECT_EQ(dialogs->saveRequests.size(), 1u);
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_EQ(dialogs->errors[0], u"Cannot create file "_qs + Q(missing) + u'.');
    EXPECT_FALSE(fs::exists(out.path() / "f.gif"));
}

} // namespace
