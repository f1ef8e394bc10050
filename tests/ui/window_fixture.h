// The main window with fake dialogs and platform shell, shared by the window's tests. Its
// controls are found by their object names, as a reader of the code finds them.
#pragma once

#include "about_box.h"
#include "analysis_memo.h"
#include "fakes.h"
#include "profile_chart.h"
#include "results_grid.h"
#include "results_model.h"
#include "tform1.h"

#include <QAction>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <memory>

namespace rez::test {

// Opens the window's protected native-event hook to the tests.
class Form1Probe : public TForm1 {
public:
    using TForm1::nativeEvent;
    using TForm1::TForm1;
};

class WindowTest : public testing::Test {
protected:
    WindowTest() { Create(); }

    // A fresh window on the current dialogs and shell logs.
    void Create() {
        form = std::make_unique<Form1Probe>(std::make_unique<FakeDialogs>(dialogs),
                                            std::make_unique<FakeShell>(shell));
        about = new TAboutBox(form.get());
        form->setAboutBox(about);
    }

    template <typename T = QWidget> T* Child(const char* name) const {
        T* child = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QAction* Action(const char* name) const { return Child<QAction>(name); }
    ResultsModel& Model() const { return *Child<ResultsModel>("results"); }
    ResultsGrid& Table() const { return *Child<ResultsGrid>("sgResF"); }
    AnalysisMemo& Memo() const { return *Child<AnalysisMemo>("meInfo"); }
    ProfileChart& ScaleChart() const { return *Child<ProfileChart>("ChartScale"); }
    ProfileChart& FactorChart() const { return *Child<ProfileChart>("ChartFactor"); }
    QWidget& Panel() const { return *Child("paTest"); }
    // The panel is shown (inside its scroll area) once a Group run has completed.
    bool PanelShown() const { return Panel().isVisibleTo(form.get()); }

    // The user chooses `file` in the Group dialog.
    void RunOn(const QString& file) {
        dialogs->openAnswer = file;
        Action("mmGroup")->trigger();
    }
    // A Group run on one of the sample groups built beside the program.
    void RunOnSample(const char* group) {
        RunOn(QString::fromUtf8(REZ_SAMPLE_DATA_DIR) + u'/' + QString::fromUtf8(group) +
              QStringLiteral("/x.cry"));
        ASSERT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join(u'\n').toStdString();
    }

    std::shared_ptr<DialogLog> dialogs = std::make_shared<DialogLog>();
    std::shared_ptr<ShellLog> shell = std::make_shared<ShellLog>();
    std::unique_ptr<Form1Probe> form;
    TAboutBox* about = nullptr; // owned by the form
};

} // namespace rez::test
