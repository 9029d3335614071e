#pragma once
// Removes a half-written temporary file when the process is interrupted
// (SIGINT, SIGTERM, SIGHUP) while the guard lives, then dies of the signal as
// it would have. A signal that is ignored when the first guard is made stays
// ignored. A few guards may live at once (a grid and its sidecar).

#include <signal.h>

#include <string>

class TInterruptCleanup {
public:
    explicit TInterruptCleanup(const std::string& StgTemporary);
    ~TInterruptCleanup();
    TInterruptCleanup(const TInterruptCleanup&) = delete;
    TInterruptCleanup& operator=(const TInterruptCleanup&) = delete;

    // Holds the three signals back while it lives, so that a file can be
    // created and put under a guard with no interruption in between.
    class THold {
    public:
        THold();
        ~THold();
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

    private:
        sigset_t MbrOldMask;
    };

    // Makes write failures that signals would report (a file size limit, a
    // closed pipe) come back as failed writes the command reports.
    static void IgnoreWriteSignals();

private:
    int MbrLngSlot;  // the guard's pending name, or -1
};
