#include "platform/d3d9/WorkerPool.h"

#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// Batches come one after another while a picture is drawn: a thread that has just finished one
// looks for the next for a short while (some tens of microseconds) before it sleeps, since waking
// a sleeping thread costs about as long.
constexpr int kSpins = 4000;

void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

} // namespace

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
        batch_.fetch_add(1, std::memory_order_release);
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
    Finish(); // one batch at a time
    if (count <= 0)
        return;
    if (workers_.empty()) {
        for (int i = 0; i < count; ++i)
            task(context, i);
        return;
    }
    task_ = task;
    context_ = context;
    count_ = count;
    next_.store(0, std::memory_order_relaxed);
    busy_.store(int(workers_.size()), std::memory_order_relaxed);
    bool sleepers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch_.fetch_add(1, std::memory_order_release);
        sleepers = sleeping_ > 0;
    }
    if (sleepers)
        wake_.notify_all();
}

void WorkerPool::Finish() {
    if (!Busy())
        return;
    TakeTasks();
    for (int spin = 0; spin < kSpins; ++spin) {
        if (!Busy())
            return;
        Pause();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    waiting_ = true;
    finished_.wait(lock, [this] { return !Busy(); });
    waiting_ = false;
}

void WorkerPool::TakeTasks() {
    for (;;) {
        const int index = next_.fetch_add(1, std::memory_order_relaxed);
        if (index >= count_)
            return;
        task_(context_, index);
    }
}

// Waits until a batch after `seen` is handed over; false when the pool is closing.
bool WorkerPool::AwaitBatch(std::uint64_t seen) {
    for (int spin = 0; spin < kSpins; ++spin) {
        if (batch_.load(std::memory_order_acquire) != seen)
            break;
        Pause();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    ++sleeping_;
    wake_.wait(lock, [&] { return stop_ || batch_.load(std::memory_order_relaxed) != seen; });
    --sleeping_;
    return !stop_;
}

void WorkerPool::WorkerLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        if (!AwaitBatch(seen))
            return;
        seen = batch_.load(std::memory_order_acquire);
        TakeTasks();
        if (busy_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (waiting_)
                finished_.notify_one();
        }
    }
}
