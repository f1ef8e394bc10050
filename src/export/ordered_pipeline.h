// Runs the groups of a cohort on worker threads while everything that must follow the
// command line's order (the check of a group against those before it, messages, the list of
// completed groups) happens on the calling thread, in that order. The result is the serial
// run's, only sooner.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QThread;

namespace rez {

// A fixed set of worker threads taking tasks first in, first out; urgent tasks go first. The
// threads are Qt's own, since the tasks draw with Qt: a thread Qt did not start has its
// per-thread font and drawing data freed by another thread after it ends, which on Windows
// corrupts the heap (Qt 6.4 with mingw-w64).
class WorkerPool {
public:
    explicit WorkerPool(int threads);
    // Drops the tasks not yet started and waits for the running ones.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void Post(std::function<void()> task, bool urgent);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<QThread>> threads_;
};

// The steps of one job. `prepare` and `produce` run on worker threads; `admit` and `finish`
// on the calling thread, in job order. `admit` sees each prepared job after all earlier jobs
// were admitted, and decides whether `produce` runs; `finish` gets the product, or nothing
// when the job was not admitted.
template <typename Prepared, typename Product> struct PipelineSteps {
    std::function<Prepared(std::size_t)> prepare;
    std::function<bool(std::size_t, Prepared&)> admit;
    std::function<Product(std::size_t, Prepared&)> produce;
    std::function<void(std::size_t, Prepared&, std::optional<Product>&)> finish;
};

// Runs jobs 0 to count - 1. With one thread everything runs on the calling thread, job after
// job. With more, at most `2 * threads + 2` jobs are between their start and their finish,
// so memory stays bounded however many jobs there are. A `prepare` or `produce` that throws
// ends the run when its job's turn to finish comes: the exception leaves this function after
// every earlier job finished, as it would in a serial run.
template <typename Prepared, typename Product>
void RunOrdered(std::size_t count, int threads, const PipelineSteps<Prepared, Product>& steps) {
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            Prepared prepared = steps.prepare(i);
            std::optional<Product> product;
            if (steps.admit(i, prepared))
                product = steps.produce(i, prepared);
            steps.finish(i, prepared, product);
        }
        return;
    }

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
    std::unique_lock lock(mutex);
    while (finished < count) {
        bool progress = false;
        for (; started < count && started - finished < window; ++started, progress = true) {
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
        for (; admitted < started; ++admitted, progress = true) {
            Job* job = jobs[admitted - finished].get();
            if (job->stage != Stage::Ready)
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
        if (!progress)
            changed.wait(lock);
    }
}

} // namespace rez
