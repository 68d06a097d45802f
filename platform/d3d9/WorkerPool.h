#pragma once
// A fixed set of threads that share out numbered tasks with the calling thread. The device hands
// it the bands of a target; the caller waits until every band is done, or goes on recording while
// the pool's threads draw, and waits before it touches what they draw.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool {
public:
    using Task = void (*)(void* context, int index);

    // `threads` counts the calling thread: 1 makes no thread and runs every task on the caller.
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int Threads() const { return int(workers_.size()) + 1; }

    // Runs task(context, i) for every i in [0, count), each exactly once, in any order and on any
    // of the threads; returns when all have finished.
    void Run(int count, Task task, void* context);

    // The same in two steps: Begin hands the tasks to the pool's threads and returns at once (with
    // no thread of its own the pool runs them there and then); Finish has the caller take what is
    // left and returns when all have finished. One batch at a time.
    void Begin(int count, Task task, void* context);
    void Finish();
    // Whether a batch handed over by Begin is still running.
    bool Busy() const { return busy_.load(std::memory_order_acquire) != 0; }

private:
    void WorkerLoop();
    bool AwaitBatch(std::uint64_t seen);
    void TakeTasks();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    Task task_ = nullptr;
    void* context_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> busy_{0};            // threads of the pool still on the current batch
    std::atomic<std::uint64_t> batch_{0}; // counts the batches handed over
    int sleeping_ = 0;                    // threads waiting on wake_ (under mutex_)
    bool waiting_ = false;                // the caller waits on finished_ (under mutex_)
    bool stop_ = false;
};
