#include "app/TInterruptCleanup.h"

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
    if (StgTemporary.size() >= sizeof ArrPendingName)
        return;
    std::memcpy(ArrPendingName, StgTemporary.c_str(), StgTemporary.size() + 1);
    BlnPending = 1;
    for (int LngSignal : ArrSignals)
        std::signal(LngSignal, RemovePendingAndDie);
}

TInterruptCleanup::~TInterruptCleanup()
{
    BlnPending = 0;
    for (int LngSignal : ArrSignals)
        std::signal(LngSignal, SIG_DFL);
}

void TInterruptCleanup::IgnoreWriteSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}
