// The program's main window Form1: the Group and Save menus, the results panel paTest with
// the results table, the two charts, the nine view buttons and the analysis text, and the
// run-time state the commands share (ExeDir, meBuffer). The window wires controls to
// commands; the commands' work lives elsewhere.
#pragma once

#include "dialogs.h"
#include "group_results.h"
#include "platform_shell.h"
#include "respondent_file.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace rez {

class ProfileChart;
class ResultsGrid;
class TAboutBox;
class TagButton;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` and `shell` default to the real file dialogs and error box and to the
    // platform's shell; tests pass fakes. FormCreate runs here, before the first showing.
    explicit TForm1(std::unique_ptr<Dialogs> dialogs = nullptr,
                    std::unique_ptr<PlatformShell> shell = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- Run-time state shared with the commands.
    // The executable's folder with a trailing '/': the Group dialog opens in ExeDir + "Data",
    // the Save commands propose names in ExeDir + "Results/".
    QString ExeDir;
    // The hidden line buffer: the Group run reads each respondent file into it, the table
    // export composes its file in it. Never shown.
    LineBuffer meBuffer;
    // The results of the last completed Group run; a failed run leaves them unchanged.
    GroupResults Results;
    // Decimal separator of every number shown, read or written (the regional setting).
    char DecimalSeparator = '.';
    // A difference cell's text starts this many pixels left of the cell's right edge.
    static constexpr int DifferenceTextOffset = 25;

    // --- Controls. Non-owning: each is owned by its Qt parent.
    QAction* mmGroup = nullptr;
    // The Save menu's entry on the menu bar: disabled until a Group run has completed.
    QAction* mmSave = nullptr;
    QAction* mmSaveAnalysis = nullptr;
    QAction* mmSaveTable = nullptr;
    QAction* mmSavePlots = nullptr;

    QFrame* Bevel1 = nullptr;
    // The results panel: fills the client area, hidden until a Group run has completed.
    QWidget* paTest = nullptr;
    QLabel* stPlot = nullptr;
    // Role captions beneath the view buttons; their tooltips hold the respondent lists.
    QLabel* stSelf = nullptr;
    QLabel* stMang = nullptr;
    QLabel* stSubr = nullptr;
    QLabel* stColl = nullptr;
    // The view buttons; each one's tag is the view (result row) it selects.
    TagButton* btSelf = nullptr;
    TagButton* btMang = nullptr;
    TagButton* btSelf_Mang = nullptr;
    TagButton* btSubr = nullptr;
    TagButton* btSelf_Subr = nullptr;
    TagButton* btColl = nullptr;
    TagButton* btSelf_Coll = nullptr;
    TagButton* btMean = nullptr;
    TagButton* btSelf_Mean = nullptr;
    ResultsGrid* sgResF = nullptr;
    ProfileChart* ChartScale = nullptr;
    ProfileChart* ChartFactor = nullptr;
    QPlainTextEdit* meInfo = nullptr;

    // The nine view buttons from top to bottom.
    std::array<TagButton*, 9> viewButtons() const;

    // OpenDialog1, SaveDialog and the error box.
    Dialogs& dialogs() { return *dialogs_; }

    // The box that SystemMenuCommand(AboutCommandId) shows. Not owned.
    void setAboutBox(TAboutBox* box);

    // The Group run, given the file the user chose in the open dialog. mmGroupClick calls it
    // inside RunCommand, so a RezError it throws ends the run in the error box.
    using GroupRun = std::function<void(const QString& chosenFile)>;
    void setGroupRun(GroupRun run);

    // Runs one command. When it throws, the command ends there and its message goes to the
    // error box (ShowError); the window stays usable.
    void RunCommand(const std::function<void()>& command);
    // The error box of every command: restores the normal cursor, then shows `message` with
    // a full stop appended when its last character sorts after ".".
    void ShowError(const QString& message);

public Q_SLOTS:
    // Group: asks for a respondent file in ExeDir + "Data", then hands it to the Group run.
    void mmGroupClick();
    void mmSaveAnalysisClick();
    void mmSaveTableClick();
    // Save > Plots.
    void btSaveClick();
    // Shared click handler of the nine view buttons; `sender` is the clicked button.
    void btSelfClick(rez::TagButton* sender);
    // A command of the window's system menu (or of its stand-ins: the menu bar's context
    // menu and F1). AboutCommandId shows the About box; every command then takes the
    // window's standard handling.
    void SystemMenuCommand(std::uintptr_t commandId);

public:
    // The Group run on the directory of `chosenFile`: the results, the respondent lists,
    // the view buttons, the table, view 4 of the charts and the analysis text. Throws
    // RezError, leaving everything as the last completed run left it.
    void RunGroupCommand(const QString& chosenFile);
    // Refills both charts for view 0 to 4 (the result row compared with the self-assessment).
    void ShowView(int viewIndex);
    // Writes the data cells of sgResF from Results.
    void FillResultsTable();
    // Appends this run's analysis text to meInfo, starting on a line of its own.
    void AppendAnalysisText();
    // Composes the table file's lines in meBuffer from sgResF and Results.
    void BuildTableText();
    // sgResF's painting of the difference rows: bold, red or blue by the stored sign.
    void sgResFDrawCell(QPainter& painter, int col, int row, const QRect& rect);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void ApplyRespondentLists();
    void ApplyViewAvailability();
    // ExeDir + "Results" + separator + GroupName + `suffix`.
    QString ProposedName(QStringView suffix) const;
    void BuildMenu();
    void BuildAboutRoutes();
    void BuildResultsPanel(QWidget* client);
    void FormCreate();
    void FormClose();
    // Shows the taskbar and puts back the start-up work area, once.
    void RestoreDesktop();

    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<PlatformShell> shell_;
    QPointer<TAboutBox> aboutBox_;
    GroupRun groupRun_;
    bool desktopRestored_ = false;
};

} // namespace rez
