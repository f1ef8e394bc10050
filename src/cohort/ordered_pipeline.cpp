#include "ordered_pipeline.h"

#include <cerrno>
#include <system_error>

namespace rez {
namespace {
std::atomic<int> threadLimitForTests = -1;
} // namespace

WorkerPool::WorkerPool(int threads) {
    for (int i = 0; i < threads; ++i) {
        try {
            const int limit = threadLimitForTests.load();
            if (limit >= 0 && i >= limit)
                throw std::system_error(EAGAIN, std::generic_category());
            threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error& e) {
            startFailure_ = e.code().message();
            break;
        }
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
    for (std::thread& thread : threads_)
        thread.join();
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
