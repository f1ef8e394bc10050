// Runs the groups of a cohort on worker threads while everything that must follow the
// command line's order (the check of a group against those before it, messages, the list of
// completed groups) happens on the calling thread, in that order. The result is the serial
// run's, only sooner.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QThread;

namespace rez {

// A request to end a run early, made from any thread (a signal's thread, the window's Cancel)
// and read by the run's calling thread.
class StopRequest {
public:
    void Request() { requested_.store(true, std::memory_order_release); }
    bool Requested() const { return requested_.load(std::memory_order_acquire); }
    // For the next run, once the last one has ended.
    void Reset() { requested_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> requested_ = false;
};

// A fixed set of worker threads taking tasks first in, first out; urgent tasks go first. The
// threads are Qt's own, since the tasks draw with Qt: a thread Qt did not start has its
// per-thread font and drawing data freed by another thread after it ends, which on Windows
// corrupts the heap (Qt 6.4 with mingw-w64).
class WorkerPool {
public:
    // Starts up to `threads` threads; when the system refuses one (no memory for its stack,
    // too many threads), the pool keeps those it has: size() says how many.
    explicit WorkerPool(int threads);
    // Drops the tasks not yet started and waits for the running ones.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void Post(std::function<void()> task, bool urgent);
    int size() const { return static_cast<int>(threads_.size()); }
    // The system's reason when fewer threads than asked for started; empty otherwise.
    const std::string& startFailure() const { return startFailure_; }

    // Tests only: the number of threads any pool may start from now on (-1: no limit), as
    // if the system refused the next one.
    static void LimitThreadsForTests(int most);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<QThread>> threads_;
    std::string startFailure_;
};

// The steps of one job. `prepare` and `produce` run on worker threads; `admit` and `finish`
// on the calling thread, in job order. `admit` sees each prepared job after all earlier jobs
// were admitted, and decides whether `produce` runs; `finish` gets the product, or nothing
// when the job was not admitted. `fewerWorkers`, when set, hears once on the calling thread
// that only `started` of the threads asked for could be started, and why; the run goes on
// with those (with none, on the calling thread alone).
template <typename Prepared, typename Product> struct PipelineSteps {
    std::function<Prepared(std::size_t)> prepare;
    std::function<bool(std::size_t, Prepared&)> admit;
    std::function<Product(std::size_t, Prepared&)> produce;
    std::function<void(std::size_t, Prepared&, std::optional<Product>&)> finish;
    std::function<void(int started, const std::string& reason)> fewerWorkers = {};
};

namespace detail {
template <typename Prepared, typename Product>
std::size_t RunSerially(std::size_t count, const PipelineSteps<Prepared, Product>& steps,
                        const StopRequest* stop) {
    const auto stopped = [stop] { return stop && stop->Requested(); };
    std::size_t finished = 0;
    for (; finished < count && !stopped(); ++finished) {
        Prepared prepared = steps.prepare(finished);
        if (stopped())
            break;
        std::optional<Product> product;
        if (steps.admit(finished, prepared))
            product = steps.produce(finished, prepared);
        steps.finish(finished, prepared, product);
    }
    return finished;
}
} // namespace detail

// Runs jobs 0 to count - 1. With one thread everything runs on the calling thread, job after
// job. With more, at most `2 * threads + 2` jobs are between their start and their finish,
// so memory stays bounded however many jobs there are. A `prepare` or `produce` that throws
// ends the run when its job's turn to finish comes: the exception leaves this function after
// every earlier job finished, as it would in a serial run.
// Once `stop` is requested, no job starts and no prepared job is admitted; the jobs already
// admitted are produced and finished, in order, and the rest never reach `finish`. Returns
// the number of jobs finished: `count` unless stopped.
template <typename Prepared, typename Product>
std::size_t RunOrdered(std::size_t count, int threads,
                       const PipelineSteps<Prepared, Product>& steps,
                       const StopRequest* stop = nullptr) {
    if (threads <= 1)
        return detail::RunSerially(count, steps, stop);

    enum class Stage { Preparing, Ready, Producing, Done };
    struct Job {
        Stage stage = Stage::Preparing;
        std::optional<Prepared> prepared;
        std::optional<Product> product;
        std::exception_ptr error;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::unique_ptr<Job>> jobs; // jobs[k] is job `finished + k`
    const std::size_t window = 2 * static_cast<std::size_t>(threads) + 2;
    std::size_t started = 0, admitted = 0, finished = 0;

    const auto run = [&](Job* job, const std::function<void()>& step, Stage next) {
        std::exception_ptr error;
        try {
            step();
        } catch (...) {
            error = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        job->error = error;
        job->stage = next;
        changed.notify_one();
    };

    // Destroyed in reverse order: the lock is released, then the pool waits for its running
    // tasks, and only then go the jobs and the function they use.
    WorkerPool pool(threads);
    if (pool.size() < threads && steps.fewerWorkers)
        steps.fewerWorkers(pool.size(), pool.startFailure());
    if (pool.size() == 0)
        return detail::RunSerially(count, steps, stop);
    const auto stopped = [stop] { return stop && stop->Requested(); };
    std::unique_lock lock(mutex);
    // Once stopped, the run ends with the last admitted job: `count` becomes `admitted`.
    while (finished < count) {
        bool progress = false;
        if (stopped() && count > admitted) {
            count = admitted;
            progress = true;
        }
        for (; started < count && started - finished < window && !stopped();
             ++started, progress = true) {
            Job* job = jobs.emplace_back(std::make_unique<Job>()).get();
            const std::size_t i = started;
            pool.Post(
                [&, job, i] {
                    run(
                        job, [&, job, i] { job->prepared.emplace(steps.prepare(i)); },
                        Stage::Ready);
                },
                false);
        }
        for (; admitted < started && admitted < count; ++admitted, progress = true) {
            Job* job = jobs[admitted - finished].get();
            if (job->stage != Stage::Ready || stopped())
                break;
            if (job->error) { // thrown when its turn to finish comes
                job->stage = Stage::Done;
                continue;
            }
            lock.unlock();
            const bool admit = steps.admit(admitted, *job->prepared);
            lock.lock();
            job->stage = admit ? Stage::Producing : Stage::Done;
            if (admit) {
                const std::size_t i = admitted;
                pool.Post(
                    [&, job, i] {
                        run(
                            job,
                            [&, job, i] { job->product.emplace(steps.produce(i, *job->prepared)); },
                            Stage::Done);
                    },
                    true);
            }
        }
        for (; finished < admitted && jobs.front()->stage == Stage::Done; progress = true) {
            std::unique_ptr<Job> job = std::move(jobs.front());
            jobs.pop_front();
            if (job->error)
                std::rethrow_exception(job->error);
            lock.unlock();
            steps.finish(finished, *job->prepared, job->product);
            lock.lock();
            ++finished;
        }
        if (!progress) {
            // A stop comes from another thread without a notification: look again now and then.
            if (stop)
                changed.wait_for(lock, std::chrono::milliseconds(50));
            else
                changed.wait(lock);
        }
    }
    return finished;
}

} // namespace rez
