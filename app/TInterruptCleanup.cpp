#include "app/TInterruptCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>

namespace {

const int ArrSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only what a signal handler may touch: the list of guards, changed with
// the signals held, and the signals taken over.
TInterruptCleanup* volatile PtrFirstGuard = nullptr;
sigset_t SetCaught;

extern "C" void RemovePendingAndDie(int LngSignal)
{
    TInterruptCleanup::RemoveAllPending();
    std::signal(LngSignal, SIG_DFL);
    std::raise(LngSignal);
}

void TakeOverSignals()
{
    sigemptyset(&SetCaught);
    struct sigaction Cleanup = {};
    Cleanup.sa_handler = RemovePendingAndDie;
    sigemptyset(&Cleanup.sa_mask);
    for (int LngSignal : ArrSignals) {
        // A signal ignored from the start (nohup, a background job) stays so.
        struct sigaction Current = {};
        if (sigaction(LngSignal, nullptr, &Current) != 0 || Current.sa_handler == SIG_IGN)
            continue;
        sigaction(LngSignal, &Cleanup, nullptr);
        sigaddset(&SetCaught, LngSignal);
    }
}

void GiveBackSignals()
{
    for (int LngSignal : ArrSignals)
        if (sigismember(&SetCaught, LngSignal) == 1)
            std::signal(LngSignal, SIG_DFL);
}

}  // namespace

TInterruptCleanup::TInterruptCleanup(const std::string& StgTemporary)
    : MbrStgTemporary(StgTemporary)
{
    const THold Hold;
    Link();
}

TInterruptCleanup::~TInterruptCleanup()
{
    const THold Hold;
    Unlink();
}

void TInterruptCleanup::Link()
{
    if (!PtrFirstGuard)
        TakeOverSignals();
    MbrPtrNext = PtrFirstGuard;
    PtrFirstGuard = this;
}

void TInterruptCleanup::Unlink()
{
    TInterruptCleanup* volatile* PtrLink = &PtrFirstGuard;
    while (*PtrLink != this)
        PtrLink = &(*PtrLink)->MbrPtrNext;
    *PtrLink = MbrPtrNext;
    if (!PtrFirstGuard)
        GiveBackSignals();
}

void TInterruptCleanup::RemoveAllPending() noexcept
{
    for (TInterruptCleanup* PtrGuard = PtrFirstGuard; PtrGuard; PtrGuard = PtrGuard->MbrPtrNext)
        unlink(PtrGuard->MbrStgTemporary.c_str());
}

TInterruptCleanup::THold::THold()
{
    sigset_t Held;
    sigemptyset(&Held);
    for (int LngSignal : ArrSignals)
        sigaddset(&Held, LngSignal);
    pthread_sigmask(SIG_BLOCK, &Held, &MbrOldMask);
}

TInterruptCleanup::THold::~THold()
{
    pthread_sigmask(SIG_SETMASK, &MbrOldMask, nullptr);
}

namespace {

volatile std::sig_atomic_t BlnPipeClosed = 0;

void NotePipeClosed(int)
{
    BlnPipeClosed = 1;
}

}  // namespace

void TInterruptCleanup::CatchWriteSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    // A process that was told to ignore SIGPIPE keeps reporting the failed
    // write, as cat does then.
    if (std::signal(SIGPIPE, NotePipeClosed) == SIG_IGN)
        std::signal(SIGPIPE, SIG_IGN);
}

void TInterruptCleanup::EndIfPipeClosed()
{
    if (!BlnPipeClosed)
        return;
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
}
