#include "results_panel.h"
#include "rez_error.h"
#include "view_buttons.h"
#include "window_fixture.h"

#include "param_name.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>

namespace {

using rez::View;
using rez::test::DialogLog;
using rez::test::ShellLog;

const QColor Maroon(128, 0, 0);

class Form1Test : public rez::test::WindowTest {};

// --- Start-up state and menus

// The tests' texts hold "4.0", whatever locale the tests are started in.
TEST_F(Form1Test, NumbersFollowThePinnedCLocale) {
    EXPECT_EQ(QLocale().name(), QStringLiteral("C"));
    EXPECT_EQ(QLocale::system().decimalPoint(), QStringLiteral("."));
    EXPECT_EQ(Model().decimalSeparator(), '.');
}

// The captions as shown: the "&" of a mnemonic is not drawn.
QString Shown(const QAction* action) {
    return QString(action->text()).remove(u'&');
}

TEST_F(Form1Test, OpensWithItsCaptionGroupEnabledSaveDisabledPanelHidden) {
    EXPECT_EQ(form->objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("КВИРО.REZ - Оценка управленческих умений по Дорвелу"));
    QAction* group = Action("mmGroup");
    QAction* save = Action("mmSave");
    EXPECT_EQ(Shown(group), QStringLiteral("Group"));
    EXPECT_TRUE(group->isEnabled());
    EXPECT_EQ(Shown(save), QStringLiteral("Save"));
    EXPECT_FALSE(save->isEnabled());
    const QList<QAction*> saveItems = save->menu()->actions();
    ASSERT_EQ(saveItems.size(), 4);
    EXPECT_EQ(saveItems[0], Action("mmSaveAnalysis"));
    EXPECT_EQ(saveItems[1], Action("mmSaveTable"));
    EXPECT_EQ(saveItems[2], Action("mmSavePlots"));
    EXPECT_EQ(saveItems[3], Action("mmSaveReport"));
    EXPECT_EQ(Shown(saveItems[0]), QStringLiteral("Analysis"));
    EXPECT_EQ(Shown(saveItems[1]), QStringLiteral("Table"));
    EXPECT_EQ(Shown(saveItems[2]), QStringLiteral("Plots"));
    EXPECT_EQ(Shown(saveItems[3]), QStringLiteral("Report (PDF)"));
    // The menu bar holds Group, Save and Cohort: no About command there.
    QAction* cohort = Action("mmCohort");
    EXPECT_EQ(Shown(cohort), QStringLiteral("Cohort"));
    EXPECT_TRUE(cohort->isEnabled());
    EXPECT_EQ(cohort->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    EXPECT_EQ(form->menuBar()->actions(), (QList<QAction*>{group, save, cohort}));
    EXPECT_FALSE(PanelShown());
    // Until then the empty area says what to do first, naming the samples' folder.
    const auto* first = form->findChild<QLabel*>(QStringLiteral("firstScreen"));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisibleTo(form.get()));
    EXPECT_TRUE(first->text().contains(QDir::toNativeSeparators(form->folders().data)));
    EXPECT_TRUE(Memo().toPlainText().isEmpty());
    // The test programs lie beside the sample groups, as in a self-contained folder.
    EXPECT_EQ(form->folders().data, QCoreApplication::applicationDirPath() + u"/Data"_qs);
    EXPECT_EQ(form->folders().resultsHome, QCoreApplication::applicationDirPath() + u'/');
    EXPECT_FALSE(form->folders().makeResults);
}

TEST_F(Form1Test, EveryCommandCarriesAPictureOfItsOwn) {
    const QAction* commands[] = {Action("mmGroup"),        Action("mmSave"),
                                 Action("mmSaveAnalysis"), Action("mmSaveTable"),
                                 Action("mmSavePlots"),    Action("mmSaveReport"),
                                 Action("mmCohort")};
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
    EXPECT_GE(bar->actionGeometry(Action("mmGroup")).width(), captionWidth + 16);
}

// The whole panel fits the restored window; a smaller window scrolls it, the controls keeping
// their pixel positions in the panel.
TEST_F(Form1Test, RestoredClientAreaHoldsThePanelAndASmallerOneScrolls) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    RunOnSample("Smirnov");
    QCoreApplication::processEvents();
    EXPECT_EQ(form->centralWidget()->size(), QSize(1024, 729));
    auto* scroll = Child<QScrollArea>("resultsScroll");
    EXPECT_EQ(scroll->viewport()->size(), QSize(1024, 729));
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    const QRect memo = Memo().geometry();
    const auto inView = [&](const QWidget& control) {
        const QRect shown(control.mapTo(scroll->viewport(), QPoint(0, 0)), control.size());
        return scroll->viewport()->rect().contains(shown);
    };
    EXPECT_TRUE(inView(Memo()));
    EXPECT_TRUE(inView(FactorChart()));

    form->resize(800, 500);
    QCoreApplication::processEvents();
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    EXPECT_EQ(Panel().size(), rez::ResultsPanel::DesignedSize);
    EXPECT_EQ(Memo().geometry(), memo);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
    // Scrolled to the end, the memo's lower right corner is in view.
    EXPECT_TRUE(scroll->viewport()->rect().contains(
        Memo().mapTo(scroll->viewport(), Memo().rect().bottomRight())));
}

// A maximised window on a large screen: the panel fills the client area.
TEST_F(Form1Test, LargerWindowsPanelFillsTheClientAreaAndCoversTheBevel) {
    form->resize(1600, 1000);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    RunOnSample("Smirnov");
    QCoreApplication::processEvents();
    EXPECT_EQ(Child("resultsScroll")->geometry(), form->centralWidget()->rect());
    EXPECT_EQ(Panel().size(), Child<QScrollArea>("resultsScroll")->viewport()->size());
    EXPECT_EQ(Child("Bevel1")->geometry(), QRect(0, 0, 1032, 2));
    QWidget* top = form->centralWidget()->childAt(500, 1);
    EXPECT_TRUE(top == &Panel() || Panel().isAncestorOf(top));
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
    EXPECT_EQ(control->parentWidget(), &Panel());
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
    rez::View view;
    int top;
    bool maroon;
};
REZ_PRINT_CASE_BY_NAME(ButtonCase)

class ViewButton : public Form1Test, public testing::WithParamInterface<ButtonCase> {};

TEST_P(ViewButton, HasItsCaptionTagPlaceAndFont) {
    const ButtonCase& c = GetParam();
    auto* button = Child<rez::ViewButton>(c.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), &Panel());
    EXPECT_EQ(button->text(), QString::fromUtf16(c.caption));
    EXPECT_EQ(button->view(), c.view);
    EXPECT_EQ(button->geometry(), QRect(2, c.top, 117, 21));
    EXPECT_EQ(button->font().pixelSize(), 13);
    EXPECT_TRUE(button->font().bold());
    EXPECT_EQ(button->palette().color(QPalette::ButtonText),
              c.maroon ? Maroon : button->palette().color(QPalette::WindowText));
    EXPECT_EQ(button->toolTipDuration(), 50'000);

    // The caption fits between the button's frame edges (the bold "Mean (Р+П+К)" is the widest).
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), contents.width());
}

INSTANTIATE_TEST_SUITE_P(
    TopToBottom, ViewButton,
    testing::Values(ButtonCase{"btSelf", u"Самооценка", View::SelfOnly, 23, true},
                    ButtonCase{"btMang", u"Руководители", View::Managers, 44, true},
                    ButtonCase{"btSelf_Mang", u"[Сам.-Рук.]", View::Managers, 65, false},
                    ButtonCase{"btSubr", u"Подчиненные", View::Subordinates, 86, true},
                    ButtonCase{"btSelf_Subr", u"[Сам.-Под.]", View::Subordinates, 107, false},
                    ButtonCase{"btColl", u"Коллеги", View::Colleagues, 128, true},
                    ButtonCase{"btSelf_Coll", u"[Сам.-Кол.]", View::Colleagues, 149, false},
                    ButtonCase{"btMean", u"Mean (Р+П+К)", View::Mean, 170, true},
                    ButtonCase{"btSelf_Mean", u"[Сам.-Mean]", View::Mean, 191, false}),
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
    EXPECT_EQ(label->isVisibleTo(&Panel()), c.visible);
    // The view buttons stack above the caption and cover it completely.
    QRegion covered;
    const QObjectList& stack = Panel().children(); // bottom to top
    for (rez::ViewButton* button : Panel().findChildren<rez::ViewButton*>()) {
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
    auto* caption = Child<QLabel>("stPlot");
    EXPECT_EQ(caption->text(), QStringLiteral("Выбор графика"));
    EXPECT_EQ(caption->font().pixelSize(), 15);
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), Maroon);
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()), caption->width());

    QPlainTextEdit* memo = &Memo();
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
        EXPECT_EQ(Table().cell(col, 0), QString::fromUtf16(headers[col])) << "column " << col;
        for (int row = 1; row < rez::ResultsGrid::RowCount; ++row)
            EXPECT_TRUE(Table().cell(col, row).isEmpty()) << col << ", " << row;
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

TEST_F(Form1Test, ClosingShowsTheTaskbarAndRestoresTheWorkAreaOnce) {
    shell->calls.clear();
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(shell->calls, (std::vector<std::string>{"showTaskbar", "restoreWorkArea"}));
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
    form->systemMenuCommand(rez::AboutCommandId);
    EXPECT_TRUE(about->isVisible());
    about->move(about->pos() + QPoint(7, 5)); // the user moved it
    const QRect where = about->geometry();
    form->systemMenuCommand(1025);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->geometry(), where);
}

TEST_F(Form1Test, OtherSystemCommandsDoNotShowTheBox) {
    for (std::uintptr_t command : {0x0u, 1024u, 1026u, 0xF020u, 0xF060u, 0x10401u})
        form->systemMenuCommand(command);
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
    form->systemMenuCommand(rez::AboutCommandId);
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    Action("mmGroup")->trigger();
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
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(Action("mmGroup")).center());

    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    const rez::test::OpenRequest& asked = dialogs->openRequests[0];
    EXPECT_EQ(asked.title,
              QStringLiteral("Данные для анализа умений и навыков менеджера по Дорвелу"));
    EXPECT_EQ(asked.dir, form->folders().data);
    EXPECT_EQ(asked.filter, QStringLiteral("CRY Files (*.cry)"));
    EXPECT_EQ(runs, QStringList{QStringLiteral("/data/Иванов/0REZ.cry")});
}

TEST_F(Form1Test, CancelledGroupDialogChangesNothing) {
    bool ran = false;
    form->setGroupRun([&](const QString&) { ran = true; });
    Action("mmGroup")->trigger();
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
    Action("mmGroup")->trigger();
    EXPECT_EQ(dialogs->errors, QStringList{QStringLiteral("Cannot open file /x/0REZ.cry.")});
    EXPECT_EQ(dialogs->busyCursorAtError, std::vector<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The window stays usable, in its state before the command.
    EXPECT_TRUE(Action("mmGroup")->isEnabled());
    EXPECT_FALSE(Action("mmSave")->isEnabled());
    Action("mmGroup")->trigger();
    EXPECT_EQ(dialogs->errors.size(), 2);
}

// --- Keyboard access

class Keyboard : public Form1Test {
protected:
    void SetUp() override {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Save dialogs' titles asked so far.
    QStringList SaveTitles() const {
        QStringList titles;
        for (const rez::test::SaveRequest& request : dialogs->saveRequests)
            titles.push_back(request.title);
        return titles;
    }
    // A key as typed: to the open menu, else to the widget with the keyboard focus. A lone
    // Alt arrives, as from the keyboard, with the Alt modifier set.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* const focus = nullptr;
        if (key == Qt::Key_Alt) {
            QTest::keyPress(focus, key, Qt::AltModifier);
            QTest::keyRelease(focus, key, Qt::AltModifier);
        } else {
            QTest::keyClick(focus, key, modifiers);
        }
    }
};

const QString TableTitle = QStringLiteral("Запись таблицы данных REZ в rtf.файл");
const QString AnalysisTitle = QStringLiteral("Запись результатов оценки REZ в rtf.файл");
const QString ScalesTitle = QStringLiteral("Запись графика шкал в gif-файл");
const QString FactorsTitle = QStringLiteral("Запись графика фаз и факторов в gif-файлы");
const QString ReportTitle = QStringLiteral("Запись отчета для руководителя в pdf-файл");
constexpr Qt::KeyboardModifiers CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

// Every command without the mouse: Alt+G and Ctrl+O run Group; Alt+S with the item's letter
// and Ctrl+Shift with it reach the Save commands, once a Group run has completed.
TEST_F(Keyboard, ReachesEveryCommand) {
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_T, Qt::Key_P, Qt::Key_R})
        Press(key, CtrlShift);
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the Save menu is disabled";
    EXPECT_TRUE(dialogs->saveRequests.empty()) << "nothing to save before a run";

    Press(Qt::Key_G, Qt::AltModifier); // cancelled
    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    dialogs->openAnswer = QString::fromUtf8(REZ_SAMPLE_DATA_DIR) + QStringLiteral("/Orlov/x.cry");
    Press(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs->openRequests.size(), 2u);
    ASSERT_TRUE(PanelShown());
    EXPECT_FALSE(form->findChild<QLabel*>(QStringLiteral("firstScreen"))->isVisibleTo(form.get()));

    Press(Qt::Key_T, CtrlShift);
    Press(Qt::Key_A, CtrlShift);
    Press(Qt::Key_P, CtrlShift);
    Press(Qt::Key_R, CtrlShift);
    EXPECT_EQ(SaveTitles(),
              (QStringList{TableTitle, AnalysisTitle, ScalesTitle, FactorsTitle, ReportTitle}));

    dialogs->saveRequests.clear();
    Press(Qt::Key_S, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    Press(Qt::Key_T);
    Press(Qt::Key_S, Qt::ControlModifier); // opens the menu to choose from
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    Press(Qt::Key_A);
    Press(Qt::Key_S, Qt::AltModifier);
    Press(Qt::Key_R);
    EXPECT_EQ(SaveTitles(), (QStringList{TableTitle, AnalysisTitle, ReportTitle}));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// Pixels of the palette's highlight colour on the Group item, as the menu bar draws it.
int HighlightedPixels(QMenuBar& bar, QAction* item) {
    const QImage image = bar.grab(bar.actionGeometry(item)).toImage();
    const QRgb highlight = bar.palette().color(QPalette::Highlight).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == highlight ? 1 : 0;
    return count;
}

// A lone Alt or F10 takes the keyboard to the menu bar, its current item highlighted: Enter
// runs Group, Escape leaves.
TEST_F(Keyboard, LoneAltOrF10FocusesTheMenuBar) {
    QMenuBar* bar = form->menuBar();
    ASSERT_EQ(HighlightedPixels(*bar, Action("mmGroup")), 0);
    for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_F10}) {
        Press(key);
        EXPECT_TRUE(bar->hasFocus()) << key;
        EXPECT_EQ(bar->activeAction(), Action("mmGroup")) << key;
        EXPECT_GT(HighlightedPixels(*bar, Action("mmGroup")), 20) << key;
        EXPECT_TRUE(bar->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, bar)) << key;
        Press(Qt::Key_Escape);
        EXPECT_EQ(bar->activeAction(), nullptr) << key;
        EXPECT_FALSE(bar->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, bar)) << key;
    }
    Press(Qt::Key_F10);
    Press(Qt::Key_Return);
    EXPECT_EQ(dialogs->openRequests.size(), 1u);
}

// The menu bar as drawn: mnemonics underlined only while Alt is held.
TEST_F(Keyboard, UnderlinesMnemonicsOnlyWhileAltIsHeld) {
    QMenuBar* bar = form->menuBar();
    const QImage plain = bar->grab().toImage();
    EXPECT_FALSE(bar->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, bar));
    QTest::keyPress(form.get(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_TRUE(bar->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, bar));
    EXPECT_NE(bar->grab().toImage(), plain);
    QTest::keyClick(form.get(), Qt::Key_Shift, Qt::AltModifier); // not a lone Alt
    QTest::keyRelease(form.get(), Qt::Key_Alt);
    EXPECT_FALSE(bar->hasFocus());
    EXPECT_EQ(bar->grab().toImage(), plain);
}

} // namespace
