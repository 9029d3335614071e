#include "app/TCellPipeline.h"

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
        // No thread to be had (a process or memory limit): the calling
        // thread consumes each block as it is pushed.
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
        MbrFree.push_back(std::move(Block));
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
        MbrFree.push_back(std::move(Block));
        MbrChanged.notify_all();
    }
}
