#include "app/TInterruptCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace {

const int ArrSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only what a signal handler may touch: a fixed buffer and a flag.
char ArrPendingName[4096];
volatile std::sig_atomic_t BlnPending = 0;

extern "C" void RemovePendingAndDie(int LngSignal)
{
    if (BlnPending)
        unlink(ArrPendingName);
    std::signal(LngSignal, SIG_DFL);
    std::raise(LngSignal);
}

}  // namespace

TInterruptCleanup::TInterruptCleanup(const std::string& StgTemporary)
{
    sigemptyset(&MbrCaught);
    if (StgTemporary.size() >= sizeof ArrPendingName)
        return;
    std::memcpy(ArrPendingName, StgTemporary.c_str(), StgTemporary.size() + 1);
    BlnPending = 1;
    struct sigaction Cleanup = {};
    Cleanup.sa_handler = RemovePendingAndDie;
    sigemptyset(&Cleanup.sa_mask);
    for (int LngSignal : ArrSignals) {
        // A signal ignored from the start (nohup, a background job) stays so.
        struct sigaction Current = {};
        if (sigaction(LngSignal, nullptr, &Current) != 0 || Current.sa_handler == SIG_IGN)
            continue;
        sigaction(LngSignal, &Cleanup, nullptr);
        sigaddset(&MbrCaught, LngSignal);
    }
}

TInterruptCleanup::~TInterruptCleanup()
{
    BlnPending = 0;
    for (int LngSignal : ArrSignals)
        if (sigismember(&MbrCaught, LngSignal) == 1)
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
