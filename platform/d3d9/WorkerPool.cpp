#include "platform/d3d9/WorkerPool.h"

#include <system_error>

WorkerPool::WorkerPool(int threads) {
    for (int i = 1; i < threads; ++i) {
        try {
            workers_.emplace_back([this] { WorkerLoop(); });
        } catch (const std::system_error&) {
            break; // fewer threads than asked for still draw the same picture
        }
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void WorkerPool::Run(int count, Task task, void* context) {
    Begin(count, task, context);
    Finish();
}

void WorkerPool::Begin(int count, Task task, void* context) {
    if (count <= 0)
        return;
    if (workers_.empty()) {
        for (int i = 0; i < count; ++i)
            task(context, i);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = task;
        context_ = context;
        count_ = count;
        next_.store(0, std::memory_order_relaxed);
        busy_ = int(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
}

void WorkerPool::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (busy_ == 0)
        return;
    lock.unlock();
    TakeTasks();
    lock.lock();
    finished_.wait(lock, [this] { return busy_ == 0; });
}

bool WorkerPool::Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return busy_ != 0;
}

void WorkerPool::TakeTasks() {
    for (;;) {
        const int index = next_.fetch_add(1, std::memory_order_relaxed);
        if (index >= count_)
            return;
        task_(context_, index);
    }
}

void WorkerPool::WorkerLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_)
                return;
            seen = generation_;
        }
        TakeTasks();
        std::lock_guard<std::mutex> lock(mutex_);
        if (--busy_ == 0)
            finished_.notify_one();
    }
}
