#include "app/TCellPipeline.h"

#include <new>
#include <system_error>
#include <utility>

TCellPipeline::TCellPipeline(TConsumer Consumer, bool BlnThreaded)
    : MbrConsumer(std::move(Consumer))
{
    if (!BlnThreaded)
        return;
    try {
        MbrThread = std::thread([this] { ConsumeQueued(); });
    } catch (const std::system_error&) {
        // No thread to be had (a process or memory limit), or no memory for
        // one: the calling thread consumes each block as it is pushed.
    } catch (const std::bad_alloc&) {
    }
}

TCellPipeline::~TCellPipeline()
{
    {
        std::lock_guard<std::mutex> Lock(MbrMutex);
        MbrBlnStopping = true;
        MbrQueue.clear();
    }
    MbrChanged.notify_all();
    if (MbrThread.joinable())
        MbrThread.join();
}

TCellPipeline::TBlock TCellPipeline::TakeEmpty()
{
    std::lock_guard<std::mutex> Lock(MbrMutex);
    if (MbrFree.empty())
        return {};
    TBlock Block = std::move(MbrFree.back());
    MbrFree.pop_back();
    Block.clear();
    return Block;
}

void TCellPipeline::Push(TBlock&& Block)
{
    if (!MbrThread.joinable()) {
        MbrConsumer(Block);
        std::lock_guard<std::mutex> Lock(MbrMutex);
        Recycle(std::move(Block));
        return;
    }
    std::unique_lock<std::mutex> Lock(MbrMutex);
    MbrChanged.wait(Lock, [this] { return MbrFailure || MbrQueue.size() < MaxInFlight; });
    RethrowFailure();
    MbrQueue.push_back(std::move(Block));
    MbrChanged.notify_all();
}

void TCellPipeline::Finish()
{
    std::unique_lock<std::mutex> Lock(MbrMutex);
    MbrChanged.wait(Lock, [this] { return MbrFailure || (MbrQueue.empty() && !MbrBlnBusy); });
    RethrowFailure();
}

void TCellPipeline::RethrowFailure()
{
    if (MbrFailure)
        std::rethrow_exception(MbrFailure);
}

void TCellPipeline::Recycle(TBlock&& Block)
{
    // Recycling only saves allocations: a buffer that finds no room is
    // freed, rather than let std::bad_alloc end the consumer's thread.
    try {
        MbrFree.push_back(std::move(Block));
    } catch (const std::bad_alloc&) {
    }
}

void TCellPipeline::ConsumeQueued()
{
    std::unique_lock<std::mutex> Lock(MbrMutex);
    for (;;) {
        MbrChanged.wait(Lock, [this] { return MbrBlnStopping || !MbrQueue.empty(); });
        if (MbrBlnStopping)
            return;
        TBlock Block = std::move(MbrQueue.front());
        MbrQueue.pop_front();
        MbrBlnBusy = true;
        Lock.unlock();
        try {
            MbrConsumer(Block);
        } catch (...) {
            Lock.lock();
            MbrFailure = std::current_exception();
            MbrBlnBusy = false;
            MbrChanged.notify_all();
            return;
        }
        Lock.lock();
        MbrBlnBusy = false;
        Recycle(std::move(Block));
        MbrChanged.notify_all();
    }
}
