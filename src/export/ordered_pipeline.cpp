#include "ordered_pipeline.h"

#include <QThread>

namespace rez {

WorkerPool::WorkerPool(int threads) {
    for (int i = 0; i < threads; ++i) {
        threads_.emplace_back(QThread::create([this] { Work(); }));
        threads_.back()->start();
    }
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
