#include "ordered_pipeline.h"
#include "param_name.h"

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

} // namespace
