#include "app/TInterruptCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace {

const int ArrSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only what a signal handler may touch: fixed buffers and flags.
constexpr int MaxPending = 4;
char ArrPendingNames[MaxPending][4096];
volatile std::sig_atomic_t ArrBlnPending[MaxPending] = {};

// Kept by the guards alone, with the signals held or not yet caught.
int LngLiveGuards = 0;
sigset_t Caught;  // the signals the guards took over

extern "C" void RemovePendingAndDie(int LngSignal)
{
    for (int LngSlot = 0; LngSlot < MaxPending; ++LngSlot)
        if (ArrBlnPending[LngSlot])
            unlink(ArrPendingNames[LngSlot]);
    std::signal(LngSignal, SIG_DFL);
    std::raise(LngSignal);
}

void CatchSignals()
{
    sigemptyset(&Caught);
    struct sigaction Cleanup = {};
    Cleanup.sa_handler = RemovePendingAndDie;
    sigemptyset(&Cleanup.sa_mask);
    for (int LngSignal : ArrSignals) {
        // A signal ignored from the start (nohup, a background job) stays so.
        struct sigaction Current = {};
        if (sigaction(LngSignal, nullptr, &Current) != 0 || Current.sa_handler == SIG_IGN)
            continue;
        sigaction(LngSignal, &Cleanup, nullptr);
        sigaddset(&Caught, LngSignal);
    }
}

int FreeSlot()
{
    for (int LngSlot = 0; LngSlot < MaxPending; ++LngSlot)
        if (!ArrBlnPending[LngSlot])
            return LngSlot;
    return -1;
}

}  // namespace

TInterruptCleanup::TInterruptCleanup(const std::string& StgTemporary) : MbrLngSlot(FreeSlot())
{
    if (LngLiveGuards++ == 0)
        CatchSignals();
    if (MbrLngSlot < 0 || StgTemporary.size() >= sizeof ArrPendingNames[0]) {
        MbrLngSlot = -1;
        return;
    }
    std::memcpy(ArrPendingNames[MbrLngSlot], StgTemporary.c_str(), StgTemporary.size() + 1);
    ArrBlnPending[MbrLngSlot] = 1;
}

TInterruptCleanup::~TInterruptCleanup()
{
    if (MbrLngSlot >= 0)
        ArrBlnPending[MbrLngSlot] = 0;
    if (--LngLiveGuards == 0)
        for (int LngSignal : ArrSignals)
            if (sigismember(&Caught, LngSignal) == 1)
                std::signal(LngSignal, SIG_DFL);
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

void TInterruptCleanup::IgnoreWriteSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}
