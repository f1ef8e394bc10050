#include "ordered_pipeline.h"

#include <QThread>

namespace rez {
namespace {
std::atomic<int> threadLimitForTests = -1;
} // namespace

WorkerPool::WorkerPool(int threads) {
    for (int i = 0; i < threads; ++i) {
        const int limit = threadLimitForTests.load();
        auto thread = std::unique_ptr<QThread>(QThread::create([this] { Work(); }));
        if (limit < 0 || i < limit)
            thread->start();
        // A thread the system refuses (no memory for its stack, too many threads) never runs.
        if (!thread->isRunning()) {
            startFailure_ = "the system refused a new thread";
            break;
        }
        threads_.push_back(std::move(thread));
    }
}

void WorkerPool::LimitThreadsForTests(int most) {
    threadLimitForTests = most;
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        tasks_.clear();
    }
    wake_.notify_all();
    for (const std::unique_ptr<QThread>& thread : threads_)
        thread->wait();
}

void WorkerPool::Post(std::function<void()> task, bool urgent) {
    {
        const std::lock_guard lock(mutex_);
        if (urgent)
            tasks_.push_front(std::move(task));
        else
            tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void WorkerPool::Work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (stopping_)
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace rez
