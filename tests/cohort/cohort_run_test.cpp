// A cohort run and its machinery: the ordered pipeline, the progress line, the run itself
// with its outcome, progress and stop request.
#include "cohort_folders.h"
#include "cohort_run.h"
#include "ordered_pipeline.h"
#include "param_name.h"
#include "progress_line.h"
#include "rez_error.h"
#include "test_files.h"

#include <QGuiApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>

namespace {

struct ThreadsCase {
    const char* name;
    int threads;
};
REZ_PRINT_CASE_BY_NAME(ThreadsCase)

class OrderedPipeline : public testing::TestWithParam<ThreadsCase> {};

// Jobs take uneven times, so that on several threads they complete out of order.
void Busy(std::size_t i) {
    std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 13 * 150));
}

TEST_P(OrderedPipeline, AdmitsAndFinishesInJobOrderOnTheCallingThread) {
    const int threads = GetParam().threads;
    constexpr std::size_t count = 60;
    const auto caller = std::this_thread::get_id();
    std::vector<std::size_t> admitted, finished;
    std::atomic<int> inFlight = 0, mostInFlight = 0;
    bool offCaller = true;
    rez::PipelineSteps<int, int> steps{
        [&](std::size_t i) {
            mostInFlight = std::max(mostInFlight.load(), ++inFlight);
            Busy(i);
            return static_cast<int>(i) * 10;
        },
        [&](std::size_t i, int& prepared) {
            offCaller = offCaller && std::this_thread::get_id() == caller;
            admitted.push_back(i);
            EXPECT_EQ(prepared, static_cast<int>(i) * 10);
            return i % 3 != 1; // every third job is turned away
        },
        [&](std::size_t i, int& prepared) {
            Busy(count - i);
            return prepared + 1;
        },
        [&](std::size_t i, int& prepared, std::optional<int>& product) {
            offCaller = offCaller && std::this_thread::get_id() == caller;
            --inFlight;
            finished.push_back(i);
            EXPECT_EQ(product.has_value(), i % 3 != 1) << i;
            EXPECT_EQ(product.value_or(prepared + 1), prepared + 1);
        }};
    rez::RunOrdered(count, threads, steps);
    std::vector<std::size_t> all(count);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(admitted, all);
    EXPECT_EQ(finished, all);
    EXPECT_TRUE(offCaller) << "admit and finish must run on the calling thread";
    EXPECT_LE(mostInFlight, threads <= 1 ? 1 : 2 * threads + 2) << "memory must stay bounded";
}

TEST_P(OrderedPipeline, AFailingJobEndsTheRunAtItsTurn) {
    std::vector<std::size_t> finished;
    rez::PipelineSteps<int, int> steps{
        [](std::size_t i) {
            Busy(i);
            if (i == 7)
                throw std::runtime_error("job 7");
            return 0;
        },
        [](std::size_t, int&) { return true; },
        [](std::size_t i, int&) {
            if (i == 9)
                throw std::runtime_error("job 9");
            return 0;
        },
        [&](std::size_t i, int&, std::optional<int>&) { finished.push_back(i); }};
    EXPECT_THROW(
        try { rez::RunOrdered(40, GetParam().threads, steps); } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "job 7");
            throw;
        },
        std::runtime_error);
    EXPECT_EQ(finished, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
}

// A stop request from another thread while job 10 is being prepared: no later job is
// prepared after it is seen, the jobs finished are a prefix, each of them produced whole.
TEST_P(OrderedPipeline, AStopEndsTheRunWithTheJobsAlreadyAdmitted) {
    const int threads = GetParam().threads;
    rez::StopRequest stop;
    std::atomic<std::size_t> preparedAfterStop = 0;
    std::vector<std::size_t> finished;
    rez::PipelineSteps<int, int> steps{[&](std::size_t i) {
                                           if (stop.Requested())
                                               ++preparedAfterStop;
                                           if (i == 10)
                                               std::thread([&] { stop.Request(); }).join();
                                           Busy(i);
                                           return 0;
                                       },
                                       [](std::size_t, int&) { return true; },
                                       [](std::size_t i, int&) {
                                           Busy(i);
                                           return static_cast<int>(i);
                                       },
                                       [&](std::size_t i, int&, std::optional<int>& product) {
                                           EXPECT_EQ(product,
                                                     std::optional<int>(static_cast<int>(i)));
                                           finished.push_back(i);
                                       }};
    const std::size_t count = rez::RunOrdered(100, threads, steps, &stop);
    std::vector<std::size_t> prefix(count);
    std::iota(prefix.begin(), prefix.end(), 0);
    EXPECT_EQ(finished, prefix);
    EXPECT_LE(count, 10u) << "job 10 was being prepared when the stop came";
    // Jobs already handed to workers may still be prepared, never more than the window.
    EXPECT_LE(preparedAfterStop.load(), threads <= 1 ? 0u : 2u * threads + 2);
}

// The system refuses threads: the run goes on with those it has, or on the calling thread.
TEST_P(OrderedPipeline, RunsOnWithTheWorkersThatCouldStart) {
    for (const int limit : {0, 1}) {
        rez::WorkerPool::LimitThreadsForTests(limit);
        std::vector<std::size_t> finished;
        std::vector<int> heard;
        rez::PipelineSteps<int, int> steps{[](std::size_t i) { return static_cast<int>(i); },
                                           [](std::size_t, int&) { return true; },
                                           [](std::size_t, int& prepared) { return prepared; },
                                           [&](std::size_t i, int&, std::optional<int>& product) {
                                               EXPECT_EQ(product,
                                                         std::optional<int>(static_cast<int>(i)));
                                               finished.push_back(i);
                                           },
                                           [&](int started, const std::string& reason) {
                                               heard.push_back(started);
                                               EXPECT_FALSE(reason.empty());
                                           }};
        EXPECT_EQ(rez::RunOrdered(20, GetParam().threads, steps), 20u) << limit;
        rez::WorkerPool::LimitThreadsForTests(-1);
        EXPECT_EQ(finished.size(), 20u) << limit;
        // One thread runs on the calling thread and asks for none; more hear it once.
        EXPECT_EQ(heard, GetParam().threads > std::max(limit, 1) ? std::vector<int>{limit}
                                                                 : std::vector<int>{})
            << limit;
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, OrderedPipeline,
                         testing::Values(ThreadsCase{"Serial", 1}, ThreadsCase{"Two", 2},
                                         ThreadsCase{"Five", 5}),
                         rez::test::ByName());

// --- Progress line ------------------------------------------------------------------------

// What the line wrote, with a clock that moves only when told.
class ProgressOutput {
public:
    ~ProgressOutput() { std::fclose(file_); }
    std::FILE* file() { return file_; }
    std::function<rez::ProgressLine::Clock::time_point()> Clock() {
        return [this] { return rez::ProgressLine::Clock::time_point() + now_; };
    }
    void Wait(int ms) { now_ += std::chrono::milliseconds(ms); }
    std::string Text() {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        for (int c; (c = std::fgetc(file_)) != EOF;)
            text += static_cast<char>(c);
        return text;
    }

private:
    std::FILE* file_ = std::tmpfile();
    std::chrono::milliseconds now_{0};
};

TEST(ProgressLine, OnATerminalIsOneLineRewrittenInPlaceAndClearedAtTheEnd) {
    ProgressOutput out;
    rez::ProgressLine line(out.file(), true, 24, 4, out.Clock());
    out.Wait(500);
    line.Advance(1, "Петров\x1b[2J");
    out.Wait(50);
    line.Advance(2, "skipped: too soon after the last");
    out.Wait(200);
    line.Advance(3, "Ли"); // shorter: blanks cover the rest of the old line
    line.Message("g3: Cannot open file x");
    out.Wait(61'000);
    line.Advance(4, "Орлов А. Б. with a name too long for the line");
    line.Clear();
    EXPECT_EQ(out.Text(), "\r[1/4] Петров_[2J  0:00"
                          "\r[3/4] Ли  0:00        \r[3/4] Ли  0:00"
                          "\r              \rg3: Cannot open file x\n"
                          "\r[4/4] Орлов А. Б.   1:01"
                          "\r                        \r");
}

TEST(ProgressLine, OffATerminalOnlyTheMessagesAppear) {
    ProgressOutput out;
    rez::ProgressLine line(out.file(), false, 80, 2, out.Clock());
    line.Advance(1, "a");
    line.Message("b: failed");
    line.Advance(2, "c");
    line.Clear();
    EXPECT_EQ(out.Text(), "b: failed\n");
}

// --- The run -------------------------------------------------------------------------------

namespace fs = std::filesystem;

// What a run told its user, in order.
struct Recorder final : rez::CohortProgress {
    void Message(std::string_view line) override { said.push_back("! " + std::string(line)); }
    void FileWritten(std::string_view path) override {
        said.push_back("+ " + fs::path(std::string(path)).filename().string());
    }
    void GroupFinished(int done, std::string_view name) override {
        said.push_back(std::to_string(done) + " " + std::string(name));
        if (onFinished)
            onFinished(done);
    }
    void GroupsEnded() override { said.push_back("end"); }
    std::vector<std::string> said;
    std::function<void(int)> onFinished;
};

// A group of one manager, one subordinate and one colleague, `name` on line 2 of each file
// unless `other` names someone else in the colleague's.
std::string MakeGroup(const fs::path& dir, const std::string& name, const std::string& other = {}) {
    fs::create_directories(dir);
    for (const char* file : {"1-01REZ.cry", "2-01REZ.cry", "3-01REZ.cry"}) {
        auto lines = rez::test::RespondentLines(file, rez::test::UniformTotals(4));
        lines[2] = other.empty() || file[0] != '3' ? name : other;
        rez::test::WriteRespondentFile(dir / file, lines);
    }
    return dir.string();
}

std::vector<std::string> FilesOf(const std::string& name, bool report) {
    std::vector<std::string> files;
    for (const char* suffix : {" Table.rtf", " An.rtf", " Scales.gif", " Factors.gif"})
        files.push_back("+ " + name + suffix);
    if (report)
        files.push_back("+ " + name + " Report.pdf");
    return files;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class CohortRun : public testing::TestWithParam<ThreadsCase> {
protected:
    rez::CohortSettings Settings(bool report) const {
        rez::CohortSettings settings;
        settings.outDir = work_.path() / "out";
        settings.threads = GetParam().threads;
        if (report)
            settings.managerReport = rez::ReportThresholds{};
        fs::create_directories(settings.outDir);
        return settings;
    }
    std::size_t FilesWritten() const {
        std::size_t n = 0;
        for (const auto& entry : fs::directory_iterator(work_.path() / "out")) {
            if (entry.path().filename() == ".rez-lock")
                continue;
            EXPECT_FALSE(entry.path().filename().string().starts_with("."))
                << "a hidden file stayed behind: " << entry.path();
            ++n;
        }
        return n;
    }
    rez::test::TempDir work_;
};

// Each group's messages and files in the groups' order, counted in the outcome; a group whose
// files name another manager (its name then comes from the file that sorts last) is refused
// when it would get a manager's report, and only then.
TEST_P(CohortRun, TellsEachGroupInOrderAndCountsTheOutcome) {
    const fs::path root = work_.path();
    const std::string mixed = (root / "mixed").string();
    const std::vector<std::string> groups = {
        MakeGroup(root / "a", "Андреев"), (root / "missing").string(),
        MakeGroup(root / "mixed", "Борисов", "Сидорова (коллега)"),
        MakeGroup(root / "c", "Ветров")};
    for (const bool report : {false, true}) {
        fs::remove_all(root / "out");
        Recorder progress;
        const rez::CohortOutcome outcome = rez::RunCohort(groups, Settings(report), progress);
        const std::string mixedMessage = "Respondent files in " + mixed +
                                         " name different managers: Борисов, Сидорова (коллега)";
        EXPECT_EQ(progress.said,
                  Concat({FilesOf("Андреев", report),
                          {"1 Андреев",
                           "! " + groups[1] + ": Cannot open file " + groups[1] +
                               "/: No such file or directory",
                           "2 " + groups[1]},
                          report ? std::vector<std::string>{"! " + mixed + ": " + mixedMessage,
                                                            "3 " + mixed}
                                 : Concat({{"! warning: " + mixedMessage},
                                           FilesOf("Сидорова (коллега)", false),
                                           {"3 Сидорова (коллега)"}}),
                          FilesOf("Ветров", report),
                          {"4 Ветров", "end"}}));
        EXPECT_EQ(outcome.groups, 4);
        EXPECT_EQ(outcome.written, report ? 2 : 3);
        EXPECT_EQ(outcome.failed, report ? 2 : 1);
        EXPECT_FALSE(outcome.stopped);
        EXPECT_EQ(outcome.ExitStatus(), 1);
    }
}

// Cancel after the second group: the groups finished are whole, no other group is written,
// and no workbook is made of a part of the cohort.
TEST_P(CohortRun, AStopWritesWholeGroupsAndNoWorkbook) {
    std::vector<std::string> groups;
    for (int i = 0; i < 30; ++i)
        groups.push_back(
            MakeGroup(work_.path() / ("g" + std::to_string(i)), "Группа " + std::to_string(i)));
    rez::CohortSettings settings = Settings(true);
    settings.workbook = work_.path() / "out" / "cohort.xlsx";
    rez::StopRequest stop;
    Recorder progress;
    progress.onFinished = [&](int done) {
        if (done == 2)
            stop.Request();
    };
    const rez::CohortOutcome outcome = rez::RunCohort(groups, settings, progress, &stop);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_GE(outcome.written, 2);
    EXPECT_LT(outcome.written, 30);
    EXPECT_EQ(outcome.failed, 0);
    EXPECT_FALSE(outcome.workbookFailed);
    EXPECT_EQ(outcome.ExitStatus(), 0);
    EXPECT_EQ(FilesWritten(), 5u * outcome.written) << "whole groups only, no workbook";
    EXPECT_EQ(progress.said.back(), "end");
}

// The groups of a folder: its sub-folders holding respondent files, in the order of their
// names' bytes (as a shell glob under LC_ALL=C); else the folder itself; else nothing to run.
TEST(CohortFolders, SubFoldersInByteOrderElseTheFolderItself) {
    rez::test::TempDir work;
    const fs::path root = work.path() / "cohort";
    for (const char* name : {"b", "B", "a", "Яков", "Z"})
        MakeGroup(root / name, name);
    fs::create_directories(root / "empty");
    rez::test::WriteBytes(root / "notes.txt", "x");
    std::vector<std::string> expected;
    for (const char* name : {"B", "Z", "a", "b", "Яков"})
        expected.push_back((root / name).string());
    rez::CohortFolders found = rez::FindCohortGroups(root);
    EXPECT_EQ(found.groups, expected);
    EXPECT_FALSE(found.warning);

    // Respondent files of its own besides the groups: the groups, with a warning.
    MakeGroup(root, "Сам");
    found = rez::FindCohortGroups(root);
    EXPECT_EQ(found.groups, expected);
    ASSERT_TRUE(found.warning);
    EXPECT_NE(found.warning->find("only the sub-folders are run"), std::string::npos);

    // A group folder chosen itself is the one group.
    EXPECT_EQ(rez::FindCohortGroups(root / "a").groups, std::vector<std::string>{expected[2]});
    EXPECT_THROW(rez::FindCohortGroups(root / "empty"), rez::RezError);
    EXPECT_THROW(rez::FindCohortGroups(root / "missing"), rez::RezError);
}

INSTANTIATE_TEST_SUITE_P(Threads, CohortRun,
                         testing::Values(ThreadsCase{"Serial", 1}, ThreadsCase{"Three", 3}),
                         rez::test::ByName());

} // namespace

// Charts draw with fonts, which need a QGuiApplication; no widgets, no display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
