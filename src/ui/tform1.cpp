#include "tform1.h"

#include "about_box.h"
#include "cohort_runner.h"
#include "decimal_separator.h"
#include "error_box.h"
#include "icons.h"
#include "menu_bar_style.h"
#include "results_model.h"
#include "results_panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <exception>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

// The client area as designed: the results panel's layout. The window opens maximised; when
// it is made smaller than this, the panel scrolls.
constexpr QSize DesignedClientSize = ResultsPanel::DesignedSize;

// A two-pixel sunken line across the top of the client area, covered by the results panel
// once it is shown.
constexpr QRect TopBevelGeometry{0, 0, 1032, 2};

// One item of the Save menu. The caption's "&" marks its mnemonic, underlined while Alt is
// held; the shortcut works once a Group run has completed, like the menu.
struct SaveItem {
    const char16_t* objectName;
    const char16_t* caption;
    QIcon (*icon)();
    QKeyCombination shortcut;
    void (TForm1::*command)();
};

} // namespace

TForm1::TForm1(std::unique_ptr<Dialogs> dialogs, std::unique_ptr<PlatformShell> shell,
               QWidget* parent)
    : QMainWindow(parent)
    , dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(this))
    , shell_(shell ? std::move(shell) : MakePlatformShell())
    , results_(new ResultsModel(SystemDecimalSeparator(), this)) {
    setObjectName(u"Form1"_s);
    setWindowTitle(u"КВИРО.REZ - Оценка управленческих умений по Дорвелу"_s);
    results_->setObjectName(u"results"_s);

    buildMenu();
    buildClientArea();
    buildAboutRoutes();
    resize(DesignedClientSize + QSize(0, menuBar()->sizeHint().height()));

    groupRun_ = [this](const QString& chosen) { runGroup(chosen); };
    startUp();
}

TForm1::~TForm1() {
    // A window destroyed without being closed still gives the desktop back.
    restoreDesktop();
}

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    auto* style = new MenuBarStyle(bar);
    bar->setStyle(style);

    groupAction_ = bar->addAction(GroupIcon(), u"&Group"_s);
    groupAction_->setObjectName(u"mmGroup"_s);
    groupAction_->setShortcut(QKeySequence::Open);
    connect(groupAction_, &QAction::triggered, this,
            [this] { runCommand([this] { groupCommand(); }); });

    QMenu* save = bar->addMenu(SaveIcon(), u"&Save"_s);
    save->setObjectName(u"saveMenu"_s);
    save->setStyle(style);
    saveMenuAction_ = save->menuAction();
    saveMenuAction_->setObjectName(u"mmSave"_s);
    const SaveItem items[] = {
        {u"mmSaveAnalysis", u"&Analysis", AnalysisIcon, Qt::CTRL | Qt::SHIFT | Qt::Key_A,
         &TForm1::saveAnalysis},
        {u"mmSaveTable", u"&Table", TableIcon, Qt::CTRL | Qt::SHIFT | Qt::Key_T,
         &TForm1::saveTable},
        {u"mmSavePlots", u"&Plots", PlotsIcon, Qt::CTRL | Qt::SHIFT | Qt::Key_P,
         &TForm1::savePlots},
        {u"mmSaveReport", u"&Report (PDF)", ReportIcon, Qt::CTRL | Qt::SHIFT | Qt::Key_R,
         &TForm1::saveReport},
    };
    for (const SaveItem& item : items) {
        QAction* action = save->addAction(item.icon(), QString::fromUtf16(item.caption));
        action->setObjectName(QString::fromUtf16(item.objectName));
        action->setShortcut(item.shortcut);
        // The items' shortcuts reach them while the menu is closed, so the command itself
        // waits for a completed run.
        connect(action, &QAction::triggered, this, [this, command = item.command] {
            if (results_->hasResults())
                runCommand([this, command] { (this->*command)(); });
        });
    }
    saveMenuAction_->setEnabled(false);

    cohortAction_ = bar->addAction(CohortIcon(), u"&Cohort"_s);
    cohortAction_->setObjectName(u"mmCohort"_s);
    cohortAction_->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
    connect(cohortAction_, &QAction::triggered, this,
            [this] { runCommand([this] { cohortCommand(); }); });

    // Ctrl+S, the save key of every desktop program, opens the Save menu to choose from.
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    saveKey->setObjectName(u"saveMenuShortcut"_s);
    connect(saveKey, &QShortcut::activated, this, [this, bar] {
        if (saveMenuAction_->isEnabled())
            bar->setActiveAction(saveMenuAction_);
    });
    // F10, like a lone Alt, takes the keyboard to the menu bar.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(u"menuBarShortcut"_s);
    connect(menuKey, &QShortcut::activated, this, [this, bar] {
        bar->setFocus(Qt::MenuBarFocusReason);
        bar->setActiveAction(groupAction_);
    });
}

// The client area: the top bevel beneath a scroll area that holds the results panel, hidden
// until a Group run has completed.
void TForm1::buildClientArea() {
    auto* client = new QWidget(this);
    client->setObjectName(u"client"_s);
    // Button-face background, like the dialogs of the platform.
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    client->setPalette(palette);
    setCentralWidget(client);

    topBevel_ = new QFrame(client);
    topBevel_->setObjectName(u"Bevel1"_s);
    topBevel_->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    topBevel_->setGeometry(TopBevelGeometry);

    resultsPanel_ = new ResultsPanel(*results_);
    resultsPanel_->setAutoFillBackground(true);
    resultsPanel_->setPalette(palette);
    resultsScroll_ = new QScrollArea(client);
    resultsScroll_->setObjectName(u"resultsScroll"_s);
    resultsScroll_->setFrameShape(QFrame::NoFrame);
    // The panel fills the window when there is room, and scrolls when the window is smaller.
    resultsScroll_->setWidgetResizable(true);
    resultsScroll_->setWidget(resultsPanel_);
    // Until the first Group run the empty area says what to do first.
    firstScreen_ = new QLabel;
    firstScreen_->setObjectName(u"firstScreen"_s);
    firstScreen_->setTextFormat(Qt::PlainText);
    firstScreen_->setWordWrap(true);
    firstScreen_->setAlignment(Qt::AlignCenter);
    firstScreen_->setMargin(48);
    auto* fill = new QVBoxLayout(client);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(firstScreen_);
    fill->addWidget(resultsScroll_);
}

// Where the window manager's system menu is out of reach, the About command is offered by a
// context menu on the menu bar and by F1. On Windows the system menu's entry arrives through
// nativeEvent as well.
void TForm1::buildAboutRoutes() {
    QMenuBar* bar = menuBar();
    auto* menu = new QMenu(bar);
    menu->setObjectName(u"aboutMenu"_s);
    QAction* about = menu->addAction(u"О программе"_s);
    about->setObjectName(u"aboutAction"_s);
    connect(about, &QAction::triggered, this, [this] { systemMenuCommand(AboutCommandId); });
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, menu,
            [bar, menu](const QPoint& pos) { menu->popup(bar->mapToGlobal(pos)); });

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setObjectName(u"aboutShortcut"_s);
    connect(f1, &QShortcut::activated, this, [this] { systemMenuCommand(AboutCommandId); });
}

void TForm1::startUp() {
    folders_ =
        FindProgramFolders(QCoreApplication::applicationDirPath() + u'/',
                           QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    shell_->appendAboutEntry(static_cast<std::uintptr_t>(winId()));
    if (shell_->hideTaskbar())
        shell_->setFullScreenWorkArea();
    resultsScroll_->hide();
    setFolders(folders_);
}

void TForm1::setFolders(const ProgramFolders& folders) {
    folders_ = folders;
    firstScreen_->setText(
        u"Чтобы начать, выберите командой Group (Ctrl+O) любой файл ответов группы — "
        u"результаты руководителя появятся здесь.\n\n"
        u"Чтобы обработать сразу много руководителей, выберите командой Cohort "
        u"(Ctrl+Shift+O) папку, в которой у каждой группы своя папка.\n\n"
        u"Примеры групп лежат в папке %1."_s.arg(QDir::toNativeSeparators(folders_.data)));
}

void TForm1::restoreDesktop() {
    if (desktopRestored_)
        return;
    desktopRestored_ = true;
    shell_->showTaskbar();
    shell_->restoreWorkArea();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A cohort still running stops: the groups being written are finished whole first.
    if (cohortRunner_ && cohortRunner_->isRunning()) {
        cohortRunner_->stop();
        cohortRunner_->wait();
    }
    restoreDesktop();
    event->accept();
}

bool TForm1::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType == "windows_generic_MSG"_ba) {
        if (const std::uintptr_t command = shell_->systemCommandOf(message); command != 0)
            systemMenuCommand(command);
    }
    // Returning the base's answer (false) passes the message on to the standard handling.
    return QMainWindow::nativeEvent(eventType, message, result);
}

void TForm1::systemMenuCommand(std::uintptr_t commandId) {
    if (commandId == AboutCommandId && aboutBox_)
        aboutBox_->show();
}

void TForm1::setAboutBox(TAboutBox* box) {
    aboutBox_ = box;
}

void TForm1::setGroupRun(GroupRun run) {
    groupRun_ = std::move(run);
}

void TForm1::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& failure) {
        showError(QString::fromUtf8(failure.what()));
    }
}

void TForm1::showError(const QString& message) {
    RestoreBusyCursor();
    dialogs_->showError(ErrorBoxText(message));
}

} // namespace rez
