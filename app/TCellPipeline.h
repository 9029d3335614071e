#pragma once
// Hands blocks of cells, in order, from the reading thread to a consumer that
// runs on a second thread (or on the calling thread, when not threaded or when
// the system gives no second thread).
// A few blocks are in flight at most, and their buffers are recycled.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TCellPipeline {
public:
    using TBlock = std::vector<double>;
    using TConsumer = std::function<void(const TBlock&)>;

    TCellPipeline(TConsumer Consumer, bool BlnThreaded);
    // Stops the consumer without waiting for blocks still queued.
    ~TCellPipeline();
    TCellPipeline(const TCellPipeline&) = delete;
    TCellPipeline& operator=(const TCellPipeline&) = delete;

    // An empty block to fill (a recycled buffer when one is free).
    TBlock TakeEmpty();
    // Queues a filled block; waits while too many are in flight. Rethrows a
    // failure of the consumer.
    void Push(TBlock&& Block);
    // Waits until every queued block was consumed; rethrows a failure of the
    // consumer.
    void Finish();

private:
    void ConsumeQueued();
    void RethrowFailure();
    // Keeps the consumed block's buffer for TakeEmpty; MbrMutex held.
    void Recycle(TBlock&& Block);

    static constexpr std::size_t MaxInFlight = 4;

    TConsumer MbrConsumer;
    std::mutex MbrMutex;
    std::condition_variable MbrChanged;
    std::deque<TBlock> MbrQueue;
    std::vector<TBlock> MbrFree;
    std::exception_ptr MbrFailure;
    bool MbrBlnBusy = false;
    bool MbrBlnStopping = false;
    std::thread MbrThread;
};
