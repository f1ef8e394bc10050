// The program's main window Form1: the Group and Save menus and, below them, the results
// panel inside a scroll area. The window builds the controls and connects them to the one
// results model and to the commands; it holds no result state and computes nothing.
//
// Tests find its controls with findChild by object name; the object names are the controls'
// historical names (sgResF, meInfo, paTest, mmSavePlots ...).
#pragma once

#include "dialogs.h"
#include "platform_shell.h"
#include "program_folders.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QProgressDialog;
class QScrollArea;

namespace rez {

class CohortRunner;
class ResultsModel;
class ResultsPanel;
class TAboutBox;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` and `shell` default to the real file dialogs and error box and to the
    // platform's shell; tests pass fakes. Start-up runs here, before the first showing.
    explicit TForm1(std::unique_ptr<Dialogs> dialogs = nullptr,
                    std::unique_ptr<PlatformShell> shell = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // Where the Group dialog opens and the Save commands propose their names: found beside
    // the program at start-up.
    const ProgramFolders& folders() const { return folders_; }
    // Also names the samples' folder on the first screen.
    void setFolders(const ProgramFolders& folders);

    // The box that systemMenuCommand(AboutCommandId) shows. Not owned.
    void setAboutBox(TAboutBox* box);

    // The Group run, given the file the user chose in the open dialog. The Group command
    // calls it and shows what it throws in the error box. Tests put their own in.
    using GroupRun = std::function<void(const QString& chosenFile)>;
    void setGroupRun(GroupRun run);

    // The Group run on the directory of `chosenFile`: on success the results model takes the
    // new results and the panel and the Save menu become available. Throws RezError and then
    // leaves everything as the last completed run left it.
    void runGroup(const QString& chosenFile);

    // A command of the window's system menu (or of its stand-ins: the menu bar's context menu
    // and F1). AboutCommandId shows the About box; every command then takes the window's
    // standard handling.
    void systemMenuCommand(std::uintptr_t commandId);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void buildMenu();
    void buildAboutRoutes();
    void buildClientArea();
    void startUp();
    // Shows the taskbar and puts back the start-up work area, once.
    void restoreDesktop();

    // The commands of the menus. Each runs inside runCommand.
    void groupCommand();
    void saveAnalysis();
    void saveTable();
    void savePlots();
    // The manager's report of the results as a PDF file.
    void saveReport();
    // Many groups at once: the files of each, their reports and the workbook, on a thread of
    // its own while a progress dialog shows how far it came.
    void cohortCommand();
    // The end of a cohort run: the commands come back and the summary is shown.
    void cohortFinished();
    // Group, Save and Cohort, disabled while a cohort runs.
    void setCommandsEnabled(bool enabled);

    // Runs one command. When it throws, the command ends there and its message goes to the
    // error box; the window stays usable.
    void runCommand(const std::function<void()>& command);
    // The error box of every command: restores the normal cursor, then shows `message` with
    // a full stop appended when its last character sorts after ".".
    void showError(const QString& message);
    // folders().resultsHome + "Results" + separator + the group name + `suffix`, the Results
    // folder made first where the folders ask for it.
    QString proposedName(QStringView suffix) const;

    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<PlatformShell> shell_;
    ProgramFolders folders_;
    GroupRun groupRun_;
    bool desktopRestored_ = false;

    // Owned by the window through Qt's parent chain.
    ResultsModel* results_ = nullptr;
    QAction* groupAction_ = nullptr;
    QAction* saveMenuAction_ = nullptr;
    QAction* cohortAction_ = nullptr;
    CohortRunner* cohortRunner_ = nullptr;
    QProgressDialog* cohortProgress_ = nullptr; // while a cohort runs
    CohortSummary cohortSummary_;               // of the cohort running, or the last one
    QLabel* firstScreen_ = nullptr;             // until the first Group run
    QFrame* topBevel_ = nullptr;
    QScrollArea* resultsScroll_ = nullptr;
    ResultsPanel* resultsPanel_ = nullptr;
    QPointer<TAboutBox> aboutBox_;
};

} // namespace rez
