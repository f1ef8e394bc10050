#include "tform1.h"

#include "about_box.h"
#include "decimal_separator.h"
#include "dialogs.h"
#include "error_box.h"
#include "icons.h"
#include "menu_bar_style.h"
#include "platform_shell.h"
#include "results_grid.h"
#include "tag_button.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>

#include <exception>

using namespace Qt::StringLiterals;

namespace rez {
namespace {

// How long a tooltip stays up before it hides by itself, in milliseconds.
constexpr int ToolTipDurationMs = 50'000;

// The client area as designed, in pixels; the window opens maximised all the same.
constexpr QSize DesignedClientSize{1024, 710};

} // namespace

TForm1::TForm1(std::unique_ptr<Dialogs> dialogs, std::unique_ptr<PlatformShell> shell,
               QWidget* parent)
    : QMainWindow(parent)
    , dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(this))
    , shell_(shell ? std::move(shell) : MakePlatformShell()) {
    setObjectName(u"Form1"_s);
    setWindowTitle(u"КВИРО.REZ - Оценка управленческих умений по Дорвелу"_s);

    auto* client = new QWidget(this);
    client->setObjectName(u"client"_s);
    // Button-face background, like the dialogs of the platform.
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    client->setPalette(palette);
    setCentralWidget(client);

    BuildMenu();
    BuildResultsPanel(client);
    BuildAboutRoutes();
    resize(DesignedClientSize + QSize(0, menuBar()->sizeHint().height()));

    FormCreate();

    groupRun_ = [this](const QString& chosen) { RunGroupCommand(chosen); };
    sgResF->setDrawCellHook([this](QPainter& painter, int col, int row, const QRect& rect) {
        sgResFDrawCell(painter, col, row, rect);
    });
}

TForm1::~TForm1() {
    // A window destroyed without being closed still gives the desktop back.
    RestoreDesktop();
}

void TForm1::BuildMenu() {
    QMenuBar* bar = menuBar();
    auto* style = new MenuBarStyle();
    style->setParent(bar);
    bar->setStyle(style);

    mmGroup = bar->addAction(GroupIcon(), u"Group"_s);
    mmGroup->setObjectName(u"mmGroup"_s);
    connect(mmGroup, &QAction::triggered, this, &TForm1::mmGroupClick);

    QMenu* save = bar->addMenu(SaveIcon(), u"Save"_s);
    mmSave = save->menuAction();
    mmSave->setObjectName(u"mmSave"_s);
    mmSaveAnalysis = save->addAction(AnalysisIcon(), u"Analysis"_s);
    mmSaveAnalysis->setObjectName(u"mmSaveAnalysis"_s);
    connect(mmSaveAnalysis, &QAction::triggered, this, &TForm1::mmSaveAnalysisClick);
    mmSaveTable = save->addAction(TableIcon(), u"Table"_s);
    mmSaveTable->setObjectName(u"mmSaveTable"_s);
    connect(mmSaveTable, &QAction::triggered, this, &TForm1::mmSaveTableClick);
    mmSavePlots = save->addAction(PlotsIcon(), u"Plots"_s);
    mmSavePlots->setObjectName(u"mmSavePlots"_s);
    connect(mmSavePlots, &QAction::triggered, this, &TForm1::btSaveClick);
    mmSave->setEnabled(false);
}

// Where the window manager's system menu is out of reach, the About command is offered by a
// context menu on the menu bar and by F1. On Windows the system menu's entry arrives through
// nativeEvent as well.
void TForm1::BuildAboutRoutes() {
    QMenuBar* bar = menuBar();
    auto* menu = new QMenu(bar);
    menu->setObjectName(u"aboutMenu"_s);
    QAction* about = menu->addAction(u"О программе"_s);
    about->setObjectName(u"aboutAction"_s);
    connect(about, &QAction::triggered, this, [this] { SystemMenuCommand(AboutCommandId); });
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, menu,
            [bar, menu](const QPoint& pos) { menu->popup(bar->mapToGlobal(pos)); });

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setObjectName(u"aboutShortcut"_s);
    connect(f1, &QShortcut::activated, this, [this] { SystemMenuCommand(AboutCommandId); });
}

void TForm1::FormCreate() {
    ExeDir = QCoreApplication::applicationDirPath() + u'/';
    DecimalSeparator = SystemDecimalSeparator();

    shell_->appendAboutEntry(static_cast<std::uintptr_t>(winId()));

    if (shell_->hideTaskbar())
        shell_->setFullScreenWorkArea();

    for (QWidget* carrier : std::initializer_list<QWidget*>{stSelf, stMang, stSubr, stColl})
        carrier->setToolTipDuration(ToolTipDurationMs);
    for (TagButton* button : viewButtons())
        button->setToolTipDuration(ToolTipDurationMs);

    meBuffer.clear();
    meInfo->clear();

    for (int col = 0; col < ResultsGrid::ColCount; ++col)
        sgResF->setCell(col, 0, ResultsHeaderText(col));

    paTest->hide();
}

void TForm1::FormClose() {
    RestoreDesktop();
    LineBuffer().swap(meBuffer);
}

void TForm1::RestoreDesktop() {
    if (desktopRestored_)
        return;
    desktopRestored_ = true;
    shell_->showTaskbar();
    shell_->restoreWorkArea();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

bool TForm1::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType == "windows_generic_MSG"_ba) {
        if (const std::uintptr_t command = shell_->systemCommandOf(message); command != 0)
            SystemMenuCommand(command);
    }
    // Returning the base's answer (false) passes the message on to the standard handling.
    return QMainWindow::nativeEvent(eventType, message, result);
}

void TForm1::SystemMenuCommand(std::uintptr_t commandId) {
    if (commandId == AboutCommandId && aboutBox_)
        aboutBox_->show();
}

std::array<TagButton*, 9> TForm1::viewButtons() const {
    return {btSelf, btMang,      btSelf_Mang, btSubr,     btSelf_Subr,
            btColl, btSelf_Coll, btMean,      btSelf_Mean};
}

void TForm1::setAboutBox(TAboutBox* box) {
    aboutBox_ = box;
}

void TForm1::setGroupRun(GroupRun run) {
    groupRun_ = std::move(run);
}

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& failure) {
        ShowError(QString::fromUtf8(failure.what()));
    }
}

void TForm1::ShowError(const QString& message) {
    RestoreBusyCursor();
    dialogs_->showError(ErrorBoxText(message));
}

void TForm1::mmGroupClick() {
    RunCommand([this] {
        const QString chosen =
            dialogs_->getOpenFileName(u"Данные для анализа умений и навыков менеджера по Дорвелу"_s,
                                      ExeDir + u"Data"_s, u"CRY Files (*.cry)"_s);
        if (chosen.isEmpty())
            return; // cancelled: nothing changes
        if (groupRun_)
            groupRun_(chosen);
    });
}

} // namespace rez
