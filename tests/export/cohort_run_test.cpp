// The machinery of a cohort run: the ordered pipeline and the progress line.
#include "ordered_pipeline.h"
#include "param_name.h"
#include "progress_line.h"

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

} // namespace
