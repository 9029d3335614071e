#pragma once
// Removes a half-written temporary file when the process is interrupted
// (SIGINT, SIGTERM, SIGHUP) while the guard lives, then dies of the signal as
// it would have.

#include <string>

class TInterruptCleanup {
public:
    explicit TInterruptCleanup(const std::string& StgTemporary);
    ~TInterruptCleanup();
    TInterruptCleanup(const TInterruptCleanup&) = delete;
    TInterruptCleanup& operator=(const TInterruptCleanup&) = delete;

    // Makes write failures that signals would report (a file size limit, a
    // closed pipe) come back as failed writes the command reports.
    static void IgnoreWriteSignals();
};
