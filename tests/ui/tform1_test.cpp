#include "about_box.h"
#include "fakes.h"
#include "results_grid.h"
#include "rez_error.h"
#include "tag_button.h"
#include "tform1.h"

#include "param_name.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using rez::TForm1;
using rez::test::DialogLog;
using rez::test::ShellLog;

const QColor Maroon(128, 0, 0);

// Opens the window's protected native-event hook to the tests.
class Form1Probe : public TForm1 {
public:
    using TForm1::nativeEvent;
    using TForm1::TForm1;
};

class Form1Test : public testing::Test {
protected:
    void SetUp() override { Create(); }

    void Create() {
        form = std::make_unique<Form1Probe>(std::make_unique<rez::test::FakeDialogs>(dialogs),
                                            std::make_unique<rez::test::FakeShell>(shell));
        about = new rez::TAboutBox(form.get());
        form->setAboutBox(about);
    }

    template <typename T = QWidget> T* Child(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    std::shared_ptr<DialogLog> dialogs = std::make_shared<DialogLog>();
    std::shared_ptr<ShellLog> shell = std::make_shared<ShellLog>();
    std::unique_ptr<Form1Probe> form;
    rez::TAboutBox* about = nullptr; // owned by the form
};

// --- Start-up state and menus

TEST_F(Form1Test, OpensWithItsCaptionGroupEnabledSaveDisabledPanelHidden) {
    EXPECT_EQ(form->objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("КВИРО.REZ - Оценка управленческих умений по Дорвелу"));
    EXPECT_EQ(form->mmGroup->text(), QStringLiteral("Group"));
    EXPECT_TRUE(form->mmGroup->isEnabled());
    EXPECT_EQ(form->mmSave->text(), QStringLiteral("Save"));
    EXPECT_FALSE(form->mmSave->isEnabled());
    const QList<QAction*> saveItems = form->mmSave->menu()->actions();
    ASSERT_EQ(saveItems.size(), 3);
    EXPECT_EQ(saveItems[0], form->mmSaveAnalysis);
    EXPECT_EQ(saveItems[1], form->mmSaveTable);
    EXPECT_EQ(saveItems[2], form->mmSavePlots);
    EXPECT_EQ(form->mmSaveAnalysis->text(), QStringLiteral("Analysis"));
    EXPECT_EQ(form->mmSaveTable->text(), QStringLiteral("Table"));
    EXPECT_EQ(form->mmSavePlots->text(), QStringLiteral("Plots"));
    // The menu bar holds Group and Save only: no About command there.
    EXPECT_EQ(form->menuBar()->actions(), (QList<QAction*>{form->mmGroup, form->mmSave}));
    EXPECT_TRUE(form->paTest->isHidden());
    EXPECT_TRUE(form->meInfo->toPlainText().isEmpty());
    EXPECT_TRUE(form->meBuffer.empty());
    EXPECT_EQ(form->ExeDir, QCoreApplication::applicationDirPath() + u'/');
}

TEST_F(Form1Test, EveryCommandCarriesAPictureOfItsOwn) {
    const QAction* commands[] = {form->mmGroup, form->mmSave, form->mmSaveAnalysis,
                                 form->mmSaveTable, form->mmSavePlots};
    std::vector<QImage> pictures;
    for (const QAction* command : commands) {
        ASSERT_FALSE(command->icon().isNull()) << command->text().toStdString();
        pictures.push_back(command->icon().pixmap(16).toImage());
    }
    for (std::size_t i = 0; i < pictures.size(); ++i)
        for (std::size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i], pictures[j]) << i << " and " << j;
    // On the menu bar the picture stands beside the caption, not in its place.
    form->show();
    QMenuBar* bar = form->menuBar();
    const int captionWidth = bar->fontMetrics().horizontalAdvance(QStringLiteral("Group"));
    EXPECT_GE(bar->actionGeometry(form->mmGroup).width(), captionWidth + 16);
}

TEST_F(Form1Test, DesignedClientAreaIs1024By710) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->centralWidget()->size(), QSize(1024, 710));
}

TEST_F(Form1Test, MaximisedPanelFillsTheClientAreaAndCoversTheBevel) {
    form->showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->paTest->show(); // as a completed Group run does
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->paTest->geometry(), form->centralWidget()->rect());
    EXPECT_EQ(form->Bevel1->geometry(), QRect(0, 0, 1032, 2));
    QWidget* top = form->centralWidget()->childAt(500, 1);
    EXPECT_TRUE(top == form->paTest || form->paTest->isAncestorOf(top));
}

// --- The results panel's controls

struct PlacedCase {
    const char* name;
    QRect geometry;
};
REZ_PRINT_CASE_BY_NAME(PlacedCase)

class PanelControl : public Form1Test, public testing::WithParamInterface<PlacedCase> {};

TEST_P(PanelControl, StandsOnThePanelAtItsPosition) {
    const PlacedCase& c = GetParam();
    QWidget* control = Child(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget(), form->paTest);
    EXPECT_EQ(control->geometry(), c.geometry);
}

INSTANTIATE_TEST_SUITE_P(Areas, PanelControl,
                         testing::Values(PlacedCase{"stPlot", QRect(6, 2, 109, 21)},
                                         PlacedCase{"sgResF", QRect(119, 0, 903, 214)},
                                         PlacedCase{"ChartScale", QRect(2, 212, 1019, 261)},
                                         PlacedCase{"ChartFactor", QRect(2, 472, 415, 257)},
                                         PlacedCase{"meInfo", QRect(416, 472, 606, 257)}),
                         rez::test::ByName());

struct ButtonCase {
    const char* name;
    const char16_t* caption;
    int tag;
    int top;
    bool maroon;
};
REZ_PRINT_CASE_BY_NAME(ButtonCase)

class ViewButton : public Form1Test, public testing::WithParamInterface<ButtonCase> {};

TEST_P(ViewButton, HasItsCaptionTagPlaceAndFont) {
    const ButtonCase& c = GetParam();
    auto* button = Child<rez::TagButton>(c.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), form->paTest);
    EXPECT_EQ(button->text(), QString::fromUtf16(c.caption));
    EXPECT_EQ(button->tag(), c.tag);
    EXPECT_EQ(button->geometry(), QRect(2, c.top, 117, 21));
    EXPECT_EQ(button->font().pixelSize(), 13);
    EXPECT_TRUE(button->font().bold());
    EXPECT_EQ(button->palette().color(QPalette::ButtonText),
              c.maroon ? Maroon : button->palette().color(QPalette::WindowText));
    EXPECT_EQ(button->toolTipDuration(), 50'000);
    // Its place in the column is its place in viewButtons().
    const auto buttons = form->viewButtons();
    EXPECT_EQ(buttons[static_cast<std::size_t>((c.top - 23) / 21)], button);

    // The caption fits between the button's frame edges (the bold "Mean (Р+П+К)" is the widest).
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), contents.width());
}

INSTANTIATE_TEST_SUITE_P(TopToBottom, ViewButton,
                         testing::Values(ButtonCase{"btSelf", u"Самооценка", 0, 23, true},
                                         ButtonCase{"btMang", u"Руководители", 1, 44, true},
                                         ButtonCase{"btSelf_Mang", u"[Сам.-Рук.]", 1, 65, false},
                                         ButtonCase{"btSubr", u"Подчиненные", 2, 86, true},
                                         ButtonCase{"btSelf_Subr", u"[Сам.-Под.]", 2, 107, false},
                                         ButtonCase{"btColl", u"Коллеги", 3, 128, true},
                                         ButtonCase{"btSelf_Coll", u"[Сам.-Кол.]", 3, 149, false},
                                         ButtonCase{"btMean", u"Mean (Р+П+К)", 4, 170, true},
                                         ButtonCase{"btSelf_Mean", u"[Сам.-Mean]", 4, 191, false}),
                         rez::test::ByName());

struct CaptionCase {
    const char* name;
    const char16_t* text;
    int top;
    bool visible;
};
REZ_PRINT_CASE_BY_NAME(CaptionCase)

class RoleCaption : public Form1Test, public testing::WithParamInterface<CaptionCase> {};

TEST_P(RoleCaption, LiesBeneathTheButtonsCoveredByThem) {
    const CaptionCase& c = GetParam();
    auto* label = Child<QLabel>(c.name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromUtf16(c.text));
    EXPECT_EQ(label->pos(), QPoint(3, c.top));
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(label->font().pixelSize(), 16);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(label->toolTipDuration(), 50'000);
    EXPECT_EQ(label->isVisibleTo(form->paTest), c.visible);
    // The view buttons stack above the caption and cover it completely.
    QRegion covered;
    const QObjectList& stack = form->paTest->children(); // bottom to top
    for (rez::TagButton* button : form->viewButtons()) {
        if (!button->geometry().intersects(label->geometry()))
            continue;
        covered += button->geometry();
        EXPECT_GT(stack.indexOf(button), stack.indexOf(label))
            << button->objectName().toStdString();
    }
    EXPECT_TRUE(covered.contains(label->geometry()));
}

INSTANTIATE_TEST_SUITE_P(Roles, RoleCaption,
                         testing::Values(CaptionCase{"stSelf", u"Самооценка", 24, false},
                                         CaptionCase{"stMang", u"Руководители", 42, true},
                                         CaptionCase{"stSubr", u"Подчиненные", 86, true},
                                         CaptionCase{"stColl", u"Коллеги", 130, true}),
                         rez::test::ByName());

TEST_F(Form1Test, PlotCaptionAndMemoHaveTheirFontsAndBehaviour) {
    EXPECT_EQ(form->stPlot->text(), QStringLiteral("Выбор графика"));
    EXPECT_EQ(form->stPlot->font().pixelSize(), 15);
    EXPECT_EQ(form->stPlot->palette().color(QPalette::WindowText), Maroon);
    EXPECT_LE(form->stPlot->fontMetrics().horizontalAdvance(form->stPlot->text()),
              form->stPlot->width());

    QPlainTextEdit* memo = form->meInfo;
    EXPECT_EQ(memo->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(memo->font().pixelSize(), 16);
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(memo->isReadOnly());
}

TEST_F(Form1Test, TableHeaderRowHoldsTheColumnTextsAndDataRowsAreEmpty) {
    const char16_t* headers[rez::ResultsGrid::ColCount] = {
        u" A ", u"Ф.1", u" B ", u" C ", u" D ", u"Ф.2", u" E ", u"Ф.3", u" F ", u"Ф.4", u" G ",
        u" H ", u" I ", u" J ", u"Ф.5", u" K",  u"Ф.6", u" L ", u" M ", u" N ", u" O ", u"F.1",
        u" P ", u" Q ", u" R ", u" S ", u" T ", u" U ", u" V ", u" W ", u"F.2"};
    for (int col = 0; col < rez::ResultsGrid::ColCount; ++col) {
        EXPECT_EQ(form->sgResF->cell(col, 0), QString::fromUtf16(headers[col])) << "column " << col;
        for (int row = 1; row < rez::ResultsGrid::RowCount; ++row)
            EXPECT_TRUE(form->sgResF->cell(col, row).isEmpty()) << col << ", " << row;
    }
}

// --- Start-up and close on the platform shell

TEST_F(Form1Test, StartUpAddsTheAboutEntryHidesTheTaskbarThenFillsTheScreen) {
    EXPECT_EQ(shell->calls, (std::vector<std::string>{"appendAboutEntry", "hideTaskbar",
                                                      "setFullScreenWorkArea"}));
    EXPECT_EQ(shell->window, static_cast<std::uintptr_t>(form->winId()));
}

TEST_F(Form1Test, WithoutATaskbarStartUpLeavesTheWorkAreaAlone) {
    shell = std::make_shared<ShellLog>();
    shell->hasTaskbar = false;
    Create();
    EXPECT_EQ(shell->calls, (std::vector<std::string>{"appendAboutEntry", "hideTaskbar"}));
}

TEST_F(Form1Test, ClosingShowsTheTaskbarRestoresTheWorkAreaOnceAndFreesTheBuffer) {
    form->meBuffer = {"line 0", "line 1"};
    shell->calls.clear();
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(shell->calls, (std::vector<std::string>{"showTaskbar", "restoreWorkArea"}));
    EXPECT_TRUE(form->meBuffer.empty());
    form.reset();
    EXPECT_EQ(shell->calls.size(), 2u) << "destruction after closing repeats nothing";
}

TEST_F(Form1Test, DestroyedWithoutClosingStillGivesTheDesktopBack) {
    shell->calls.clear();
    form.reset();
    EXPECT_EQ(shell->calls, (std::vector<std::string>{"showTaskbar", "restoreWorkArea"}));
}

// --- The About command

TEST_F(Form1Test, AboutCommandShowsTheBoxAndASecondOneLeavesItAsItIs) {
    EXPECT_FALSE(about->isVisible());
    form->SystemMenuCommand(rez::AboutCommandId);
    EXPECT_TRUE(about->isVisible());
    about->move(about->pos() + QPoint(7, 5)); // the user moved it
    const QRect where = about->geometry();
    form->SystemMenuCommand(1025);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->geometry(), where);
}

TEST_F(Form1Test, OtherSystemCommandsDoNotShowTheBox) {
    for (std::uintptr_t command : {0x0u, 1024u, 1026u, 0xF020u, 0xF060u, 0x10401u})
        form->SystemMenuCommand(command);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(Form1Test, WindowsSystemMenuMessageReachesTheCommandAndGoesOnToStandardHandling) {
    shell->nextCommand = rez::AboutCommandId;
    int message = 0;
    qintptr result = 0;
    EXPECT_FALSE(form->nativeEvent(QByteArrayLiteral("xcb_generic_event_t"), &message, &result));
    EXPECT_FALSE(about->isVisible()) << "only Windows messages carry system-menu commands";
    EXPECT_FALSE(form->nativeEvent(QByteArrayLiteral("windows_generic_MSG"), &message, &result));
    EXPECT_TRUE(about->isVisible());
}

TEST_F(Form1Test, MenuBarContextMenuOffersTheAboutEntry) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QMenuBar* bar = form->menuBar();
    const QPoint free(bar->width() - 20, bar->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, free, bar->mapToGlobal(free));
    QCoreApplication::sendEvent(bar, &event);
    auto* menu = bar->findChild<QMenu*>(QStringLiteral("aboutMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("О программе"));
    menu->actions()[0]->trigger();
    menu->hide();
    EXPECT_TRUE(about->isVisible());
}

TEST_F(Form1Test, F1ShowsTheAboutBox) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(Form1Test, MainWindowStaysUsableWhileTheBoxIsOpen) {
    form->show();
    form->SystemMenuCommand(rez::AboutCommandId);
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    form->mmGroup->trigger();
    EXPECT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_TRUE(about->isVisible());
}

// --- The Group command's dialog and the error box

TEST_F(Form1Test, GroupAsksForAFileInTheDataFolderAndHandsItToTheRun) {
    dialogs->openAnswer = QStringLiteral("/data/Иванов/0REZ.cry");
    QStringList runs;
    form->setGroupRun([&](const QString& file) { runs.push_back(file); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QMenuBar* bar = form->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(form->mmGroup).center());

    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    const rez::test::OpenRequest& asked = dialogs->openRequests[0];
    EXPECT_EQ(asked.title,
              QStringLiteral("Данные для анализа умений и навыков менеджера по Дорвелу"));
    EXPECT_EQ(asked.dir, form->ExeDir + QStringLiteral("Data"));
    EXPECT_EQ(asked.filter, QStringLiteral("CRY Files (*.cry)"));
    EXPECT_EQ(runs, QStringList{QStringLiteral("/data/Иванов/0REZ.cry")});
}

TEST_F(Form1Test, CancelledGroupDialogChangesNothing) {
    bool ran = false;
    form->setGroupRun([&](const QString&) { ran = true; });
    form->mmGroup->trigger();
    EXPECT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

TEST_F(Form1Test, FailingCommandEndsInTheErrorBoxWithTheNormalCursor) {
    dialogs->openAnswer = QStringLiteral("/x/0REZ.cry");
    form->setGroupRun([](const QString& file) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        throw rez::RezError(rez::MsgCannotOpenFile(file.toStdString()));
    });
    form->mmGroup->trigger();
    EXPECT_EQ(dialogs->errors, QStringList{QStringLiteral("Cannot open file /x/0REZ.cry.")});
    EXPECT_EQ(dialogs->busyCursorAtError, std::vector<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The window stays usable, in its state before the command.
    EXPECT_TRUE(form->mmGroup->isEnabled());
    EXPECT_FALSE(form->mmSave->isEnabled());
    form->mmGroup->trigger();
    EXPECT_EQ(dialogs->errors.size(), 2);
}

} // namespace
