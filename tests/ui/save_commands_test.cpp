// The three Save commands of the main window: dialogs, proposed names and the files written.
#include "atomic_file.h"
#include "chart_picture.h"
#include "cp1251.h"
#include "group_report.h"
#include "manager_report.h"
#include "param_name.h"
#include "program_folders.h"
#include "report_settings.h"
#include "rez_error.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextCursor>
#include <QTranslator>

#include <fstream>
#include <functional>
#include <map>
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

// A path as Qt writes it: '/' between names on every system, the names' own characters.
QString Q(const fs::path& path) {
    return QString::fromStdU16String(path.generic_u16string());
}

class SaveCommands : public rez::test::WindowTest {
protected:
    void SetUp() override {
        form->setFolders({Q(out.path() / "Data"), Q(out.path()) + u'/', false});
        fs::create_directory(out.path() / "Results");
        RunOnSample("Smirnov");
    }
    void Save(const char* item) const { Action(item)->trigger(); }

    rez::test::TempDir out;
};

TEST_F(SaveCommands, TableFileOfAFullGroup) {
    const fs::path path = out.path() / "table.txt";
    dialogs->saveAnswers = {Q(path)};
    Save("mmSaveTable");
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись таблицы данных REZ в rtf.файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[0].proposedPath,
              form->folders().resultsHome + u"Results/Смирнов Андрей Викторович Table.rtf"_qs);
    EXPECT_EQ(ReadBytes(path), AsWrittenFile("Smirnov.table.txt"));
}

TEST_F(SaveCommands, AnalysisFileHoldsTheMemoAsEdited) {
    const fs::path straight = out.path() / "an1";
    const fs::path edited = out.path() / "an2";
    dialogs->saveAnswers = {Q(straight)};
    Save("mmSaveAnalysis");
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись результатов оценки REZ в rtf.файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[0].proposedPath,
              form->folders().resultsHome + u"Results/Смирнов Андрей Викторович An.rtf"_qs);
    EXPECT_EQ(ReadBytes(straight), AsWrittenFile("Smirnov.analysis.txt"));

    // Type a line at the top, delete the title line's successor, remove the final line end.
    QTextCursor cursor(Memo().document());
    cursor.insertText(u"Итог: хорошо\n"_qs);
    cursor.movePosition(QTextCursor::NextBlock);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    dialogs->saveAnswers = {Q(edited)};
    Save("mmSaveAnalysis");
    const std::string bytes = ReadBytes(edited);
    std::string expected = AsWrittenFile("Smirnov.analysis.txt");
    const std::size_t titleEnd = expected.find("\r\n");
    expected.erase(titleEnd + 2, 2); // the empty line after the title
    expected = rez::EncodeCp1251("Итог: хорошо\r\n").value() + expected;
    expected.resize(expected.size() - 2);
    EXPECT_EQ(bytes, expected);
}

TEST_F(SaveCommands, MemoCharacterOutsideTheCodePageWritesNothing) {
    Memo().appendPlainText(u"日本"_qs);
    const fs::path path = out.path() / "an";
    dialogs->saveAnswers = {Q(path)};
    Save("mmSaveAnalysis");
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_TRUE(
        dialogs->errors[0].startsWith(u"Cannot write character '日' in Windows-1251 (line "_qs));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SaveCommands, PlotsAppendGifAndWriteTheChartsAsShown) {
    dialogs->saveAnswers = {Q(out.path() / "x"), Q(out.path() / "y.GIF")};
    Save("mmSavePlots");
    ASSERT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись графика шкал в gif-файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[1].title, u"Запись графика фаз и факторов в gif-файлы"_qs);
    EXPECT_EQ(dialogs->saveRequests[1].proposedPath,
              form->folders().resultsHome + u"Results/Смирнов Андрей Викторович Factors.gif"_qs);
    const QImage scales(Q(out.path() / "x.gif"));
    const QImage factors(Q(out.path() / "y.GIF.gif"));
    ASSERT_EQ(scales.size(), QSize(1019, 261));
    ASSERT_EQ(factors.size(), QSize(415, 257));
    EXPECT_EQ(scales.convertToFormat(QImage::Format_RGB32), ScaleChart().picture());
    EXPECT_EQ(factors.convertToFormat(QImage::Format_RGB32), FactorChart().picture());
    EXPECT_EQ(ReadBytes(out.path() / "x.gif").substr(0, 6), "GIF87a");
}

TEST_F(SaveCommands, CancelledFirstDialogWritesOnlyTheFactorChart) {
    dialogs->saveAnswers = {QString(), Q(out.path() / "f.gif")};
    Save("mmSavePlots");
    EXPECT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_TRUE(fs::exists(out.path() / "f.gif"));
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(out.path()))
        ++files;
    EXPECT_EQ(files, 3); // Results/, f.gif and the folder's lock file
}

TEST_F(SaveCommands, FailureOnTheScaleChartEndsTheCommand) {
    const fs::path missing = out.path() / "gone" / "s.gif";
    dialogs->saveAnswers = {Q(missing), Q(out.path() / "f.gif")};
    Save("mmSavePlots");
    EXPECT_EQ(dialogs->saveRequests.size(), 1u);
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_EQ(dialogs->errors[0],
              u"Cannot create file "_qs + Q(missing) + u": No such file or directory."_qs);
    EXPECT_FALSE(fs::exists(out.path() / "f.gif"));
}

// The report with the thresholds its text names (K = 3, T = 1.0), the window's decimal
// separator and the date of SOURCE_DATE_EPOCH; ".pdf" is added unless the name has it.
TEST_F(SaveCommands, ReportIsTheManagersPdfOfTheResultsShown) {
    qputenv("SOURCE_DATE_EPOCH", "1767225600");
    dialogs->saveAnswers = {Q(out.path() / "r"), Q(out.path() / "s.PDF")};
    Save("mmSaveReport");
    Save("mmSaveReport");
    ASSERT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_EQ(dialogs->saveRequests[0].title, u"Запись отчета для руководителя в pdf-файл"_qs);
    EXPECT_EQ(dialogs->saveRequests[0].proposedPath,
              form->folders().resultsHome + u"Results/Смирнов Андрей Викторович Report.pdf"_qs);
    const std::string expected = rez::ManagerReportPdf(
        Model().results(), {3, 1.0}, Model().decimalSeparator(), rez::CurrentReportTime());
    qunsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(ReadBytes(out.path() / "r.pdf"), expected);
    EXPECT_EQ(ReadBytes(out.path() / "s.PDF"), expected);
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

// K and T are asked for first, with the stored pair filled in; the chosen pair makes the
// report and is kept for the next run of the program. A stored pair that is out of range or
// no number gives the defaults, without a word.
TEST_F(SaveCommands, ReportThresholdsAreAskedUsedAndKept) {
    QSettings(QSettings::IniFormat, QSettings::UserScope, u"KVIRO"_qs, u"KVIRO.REZ"_qs).clear();
    dialogs->acceptThresholds = false;
    Save("mmSaveReport");
    EXPECT_TRUE(dialogs->saveRequests.empty()) << "cancelled before the file dialog";
    dialogs->acceptThresholds = true;
    dialogs->thresholdAnswer = rez::ReportThresholds{5, 1.5};
    dialogs->saveAnswers = {Q(out.path() / "k5")};
    qputenv("SOURCE_DATE_EPOCH", "1767225600");
    Save("mmSaveReport");
    const std::string expected = rez::ManagerReportPdf(
        Model().results(), {5, 1.5}, Model().decimalSeparator(), rez::CurrentReportTime());
    qunsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(ReadBytes(out.path() / "k5.pdf"), expected);
    ASSERT_EQ(dialogs->thresholdRequests.size(), 2u);
    EXPECT_EQ(dialogs->thresholdRequests[0].MinRaters, 3);
    EXPECT_EQ(dialogs->thresholdRequests[0].GapThreshold, 1.0);
    // What a program started later reads.
    EXPECT_EQ(rez::LoadReportThresholds().MinRaters, 5);
    EXPECT_EQ(rez::LoadReportThresholds().GapThreshold, 1.5);
    for (const auto& [k, t] :
         {std::pair{u"0"_qs, u"7.1"_qs}, {u"abc"_qs, u"nan"_qs}, {u"21"_qs, u"0.05"_qs}}) {
        QSettings stored(QSettings::IniFormat, QSettings::UserScope, u"KVIRO"_qs, u"KVIRO.REZ"_qs);
        stored.setValue(u"report/minRaters"_qs, k);
        stored.setValue(u"report/gap"_qs, t);
        stored.sync();
        EXPECT_EQ(rez::LoadReportThresholds().MinRaters, 3) << k.toStdString();
        EXPECT_EQ(rez::LoadReportThresholds().GapThreshold, 1.0) << t.toStdString();
    }
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

// The report of a folder whose files name different managers would take its title from one
// of them and count a stranger: refused with the warning's text, before any dialog. The
// consultant's files of the same results are still saved.
TEST_F(SaveCommands, ReportOfFilesNamingDifferentManagersIsRefused) {
    const fs::path group = out.path() / "mixed";
    fs::create_directory(group);
    rez::test::WriteRespondentFile(group / "0REZ.cry",
                                   rez::test::RespondentLines("self", rez::test::UniformTotals(5)));
    rez::test::WriteRespondentFile(group / "3REZ.cry",
                                   rez::test::RespondentLines("coll", rez::test::UniformTotals(4)));
    RunOn(Q(group / "x.cry"));
    dialogs->saveAnswers = {Q(out.path() / "r.pdf")};
    Save("mmSaveReport");
    EXPECT_TRUE(dialogs->saveRequests.empty());
    // The window names folders in the system's spelling.
    EXPECT_EQ(dialogs->errors,
              QStringList{u"Respondent files in "_qs + QDir::toNativeSeparators(Q(group)) +
                          u" name different managers: self L2, coll L2."_qs});
    EXPECT_FALSE(fs::exists(out.path() / "r.pdf"));
    dialogs->saveAnswers = {Q(out.path() / "t.rtf")};
    Save("mmSaveTable");
    EXPECT_TRUE(fs::exists(out.path() / "t.rtf"));
}

struct ResultsPlace {
    const char* name;
    bool makeResults;
};
REZ_PRINT_CASE_BY_NAME(ResultsPlace)

class SaveCommandsPropose : public SaveCommands,
                            public testing::WithParamInterface<ResultsPlace> {};

// Installed from the package the program's own folder (/usr/bin) cannot take the results:
// every Save command proposes its file in the documents folder's KVIRO.REZ/Results, made
// before the dialog opens. A self-contained folder makes no folder, as ever.
TEST_P(SaveCommandsPropose, FilesInTheResultsFolder) {
    const QString home = Q(out.path() / "Документы" / "KVIRO.REZ") + u'/';
    form->setFolders({Q(out.path() / "Data"), home, GetParam().makeResults});
    for (const char* item : {"mmSaveTable", "mmSaveAnalysis", "mmSavePlots", "mmSaveReport"})
        Save(item); // every dialog cancelled
    ASSERT_EQ(dialogs->saveRequests.size(), 5u);
    for (const rez::test::SaveRequest& request : dialogs->saveRequests) {
        EXPECT_TRUE(
            request.proposedPath.startsWith(home + u"Results/Смирнов Андрей Викторович "_qs))
            << request.proposedPath.toStdString();
        EXPECT_EQ(request.folderExisted, GetParam().makeResults);
    }
}

INSTANTIATE_TEST_SUITE_P(Installs, SaveCommandsPropose,
                         testing::Values(ResultsPlace{"Package", true},
                                         ResultsPlace{"SelfContainedFolder", false}),
                         rez::test::ByName());

struct FoldersCase {
    const char* name;
    std::vector<const char*> folders; // made under a fresh root
    const char* program;              // the program's folder, under the root
    const char* data;
    const char* resultsHome; // "docs/..." lies in the documents folder
    bool makeResults;
    const char* marker = nullptr; // the setup program's marker file, under the root
};
REZ_PRINT_CASE_BY_NAME(FoldersCase)

class ProgramFolders : public testing::TestWithParam<FoldersCase> {};

TEST_P(ProgramFolders, BesideTheProgramElseWhereThePackagePutsThem) {
    const FoldersCase& c = GetParam();
    rez::test::TempDir root;
    for (const char* folder : c.folders)
        fs::create_directories(root.path() / folder);
    if (c.marker)
        std::ofstream(root.path() / c.marker) << "setup\n";
    const QString base = Q(root.path()) + u'/';
    const rez::ProgramFolders found =
        rez::FindProgramFolders(base + QString::fromUtf8(c.program), base + u"docs"_qs);
    EXPECT_EQ(found.data, base + QString::fromUtf8(c.data));
    EXPECT_EQ(found.resultsHome, base + QString::fromUtf8(c.resultsHome));
    EXPECT_EQ(found.makeResults, c.makeResults);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProgramFolders,
    testing::Values(FoldersCase{"SelfContained", {"app/Data"}, "app/", "app/Data", "app/", false},
                    FoldersCase{"Package",
                                {"usr/bin", "usr/share/kviro-rez/Data"},
                                "usr/bin/",
                                "usr/share/kviro-rez/Data",
                                "docs/KVIRO.REZ/",
                                true},
                    FoldersCase{"OwnDataFirst",
                                {"usr/bin/Data", "usr/share/kviro-rez/Data"},
                                "usr/bin/",
                                "usr/bin/Data",
                                "usr/bin/",
                                false},
                    FoldersCase{"NoSamplesAnywhere", {"app"}, "app/", "app/Data", "app/", false},
                    FoldersCase{"SetupProgram",
                                {"app/Data"},
                                "app/",
                                "app/Data",
                                "docs/KVIRO.REZ/",
                                true,
                                "app/kviro-rez.installed"},
                    FoldersCase{"MarkerOfAnotherFolder",
                                {"app/Data", "other"},
                                "app/",
                                "app/Data",
                                "app/",
                                false,
                                "other/kviro-rez.installed"}),
    rez::test::ByName());

// Qt's own texts (file dialogs, the overwrite question, standard buttons) are Russian: the
// program finds qtbase_ru.qm where it runs, beside the Windows program or in Qt's folder.
TEST(QtTranslations, AreFoundFromTheProgramsFolder) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(
        u"qtbase_ru"_qs, rez::QtTranslationsFolder(QCoreApplication::applicationDirPath() + u'/')));
    EXPECT_EQ(translator.translate("QPlatformTheme", "Cancel"), u"Отмена"_qs);
    EXPECT_EQ(translator.translate("QFileDialog", "Save As"), u"Сохранить как"_qs);
}

// --- Faults: every save, in the window and on the command line, with its writes failing at
// every 512-byte boundary of each file and at each step of the commit. The old files stay byte
// for byte, the message names the file and the system's reason, nothing temporary is left.

// Where the next saves fail: the file (by name) and either a write boundary or a commit step.
struct FaultPoint {
    std::string file;
    std::optional<std::uint64_t> boundary;
    rez::SaveStep step = rez::SaveStep::Write;
    bool reached = false; // the save came as far as the fault
};

void InstallFault(const std::shared_ptr<FaultPoint>& point) {
    rez::SetSaveFaultHook([point](rez::SaveStep step, const fs::path& target, std::uint64_t offset,
                                  std::size_t& length) {
        if (target.filename() != point->file)
            return 0;
        if (point->boundary) {
            if (step != rez::SaveStep::Write)
                return 0;
            if (offset < *point->boundary) {
                length = std::min<std::uint64_t>(length, *point->boundary - offset);
                return 0;
            }
        } else if (step != point->step) {
            return 0;
        }
        point->reached = true;
        return ENOSPC;
    });
}

// The files of a folder but the lock file that the window's first save there leaves.
std::map<std::string, std::string> FolderBytes(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename() != ".rez-lock")
            files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

struct SaveCase {
    const char* name;
    // The files the save writes into Results/.
    std::vector<std::string> files;
    // Saves; returns the failure's message as the user sees it, empty when the save succeeded.
    std::function<QString(TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results)>
        save;
};
REZ_PRINT_CASE_BY_NAME(SaveCase)

QString ErrorOf(rez::test::DialogLog& dialogs) {
    const QString error = dialogs.errors.isEmpty() ? QString() : dialogs.errors.back();
    dialogs.errors.clear();
    return error;
}

constexpr char kName[] = "Смирнов Андрей Викторович";

class SaveFaults : public SaveCommands, public testing::WithParamInterface<SaveCase> {
protected:
    ~SaveFaults() override { rez::SetSaveFaultHook({}); }
};

TEST_P(SaveFaults, KeepTheOldFilesAtEveryFaultPoint) {
    const fs::path results = out.path() / "Results";
    for (const std::string& file : GetParam().files)
        rez::test::WriteBytes(results / file, "old " + file);
    const auto before = FolderBytes(results);
    int faultPoints = 0;
    // Saves with the fault; false when the save never came to it (the file ends before).
    const auto failAt = [&](FaultPoint planned) {
        const auto point = std::make_shared<FaultPoint>(std::move(planned));
        InstallFault(point);
        const QString message = GetParam().save(*form, *dialogs, results);
        rez::SetSaveFaultHook({});
        if (!point->reached) {
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            for (const auto& [name, bytes] : before)
                rez::test::WriteBytes(results / name, bytes);
            return false;
        }
        SCOPED_TRACE(point->file + (point->boundary
                                        ? " at byte " + std::to_string(*point->boundary)
                                        : " at commit step " + std::to_string(int(point->step))));
        ++faultPoints;
        EXPECT_EQ(message, u"Cannot write file "_qs + Q(results / point->file) +
                               u": No space left on device."_qs);
        EXPECT_EQ(FolderBytes(results), before);
        return true;
    };
    for (const std::string& file : GetParam().files) {
        for (std::uint64_t boundary = 0; failAt({file, boundary}); boundary += 512) {
        }
        for (const auto step : {rez::SaveStep::Sync, rez::SaveStep::Close, rez::SaveStep::MoveIn})
            EXPECT_TRUE(failAt({file, std::nullopt, step}));
        // Only a set keeps its old files under a second name; a file saved alone replaces its
        // old one in one rename, with nothing to put back.
        EXPECT_EQ(failAt({file, std::nullopt, rez::SaveStep::KeepOld}),
                  GetParam().files.size() > 1);
    }
    RecordProperty("faultPoints", faultPoints);
    // At least the first write and the commit steps of every file.
    EXPECT_GE(faultPoints, 4 * static_cast<int>(GetParam().files.size()));
}

QString SaveInWindow(TForm1& form, rez::test::DialogLog& dialogs, const QStringList& answers,
                     const char* item) {
    dialogs.saveAnswers = answers;
    form.findChild<QAction*>(QString::fromLatin1(item))->trigger();
    return ErrorOf(dialogs);
}

// What rez-report writes for the group, all four files as one set.
QString SaveOnCommandLine(TForm1& form, const fs::path& results) {
    static std::vector<rez::FileBytes> files;
    if (files.empty())
        files = rez::GroupReportFiles(form.findChild<rez::ResultsModel*>()->results(), results, '.',
                                      rez::RenderReportChart);
    try {
        rez::WriteFiles(files);
    } catch (const rez::RezError& e) {
        return QString::fromUtf8(e.what()) + u'.';
    }
    return {};
}

INSTANTIATE_TEST_SUITE_P(
    Saves, SaveFaults,
    testing::Values(
        SaveCase{"Table",
                 {std::string(kName) + " Table.rtf"},
                 [](TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results) {
                     return SaveInWindow(form, dialogs,
                                         {Q(results / (std::string(kName) + " Table.rtf"))},
                                         "mmSaveTable");
                 }},
        SaveCase{"Analysis",
                 {std::string(kName) + " An.rtf"},
                 [](TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results) {
                     return SaveInWindow(form, dialogs,
                                         {Q(results / (std::string(kName) + " An.rtf"))},
                                         "mmSaveAnalysis");
                 }},
        // A file smaller than any buffer: it fails at its one write or in the commit.
        SaveCase{"AnalysisOfOneByte",
                 {std::string(kName) + " An.rtf"},
                 [](TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results) {
                     form.findChild<QPlainTextEdit*>(QStringLiteral("meInfo"))
                         ->setPlainText(QStringLiteral("x"));
                     return SaveInWindow(form, dialogs,
                                         {Q(results / (std::string(kName) + " An.rtf"))},
                                         "mmSaveAnalysis");
                 }},
        SaveCase{"ScaleChart",
                 {std::string(kName) + " Scales.gif"},
                 [](TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results) {
                     return SaveInWindow(form, dialogs,
                                         {Q(results / (std::string(kName) + " Scales.gif")), {}},
                                         "mmSavePlots");
                 }},
        SaveCase{"FactorChart",
                 {std::string(kName) + " Factors.gif"},
                 [](TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results) {
                     return SaveInWindow(form, dialogs,
                                         {{}, Q(results / (std::string(kName) + " Factors.gif"))},
                                         "mmSavePlots");
                 }},
        SaveCase{"Report",
                 {std::string(kName) + " Report.pdf"},
                 [](TForm1& form, rez::test::DialogLog& dialogs, const fs::path& results) {
                     return SaveInWindow(form, dialogs,
                                         {Q(results / (std::string(kName) + " Report.pdf"))},
                                         "mmSaveReport");
                 }},
        SaveCase{"CommandLineSet",
                 {std::string(kName) + " Table.rtf", std::string(kName) + " An.rtf",
                  std::string(kName) + " Scales.gif", std::string(kName) + " Factors.gif"},
                 [](TForm1& form, rez::test::DialogLog&, const fs::path& results) {
                     return SaveOnCommandLine(form, results);
                 }}),
    rez::test::ByName());

} // namespace
