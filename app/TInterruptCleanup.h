#pragma once
// Removes half-written temporary files when the process is interrupted
// (SIGINT, SIGTERM, SIGHUP) while their guards live, then dies of the signal
// as it would have. Several guards may live at once, one per file. A signal
// that is ignored when the first guard is made stays ignored.

#include <signal.h>

#include <string>

class TInterruptCleanup {
public:
    // Make it under a THold, so that the file and its guard come into being
    // with no interruption in between.
    explicit TInterruptCleanup(const std::string& StgTemporary);
    ~TInterruptCleanup();
    TInterruptCleanup(const TInterruptCleanup&) = delete;
    TInterruptCleanup& operator=(const TInterruptCleanup&) = delete;

    // Holds the three signals back while it lives.
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
    // closed pipe) come back as failed writes, and notes a closed pipe.
    static void CatchWriteSignals();
    // Once a failure has unwound (temporary files removed): when the reader
    // of a pipe had gone, ends the process by SIGPIPE as cat ends, quietly.
    static void EndIfPipeClosed();

    // For the signal handler only.
    static void RemoveAllPending() noexcept;

private:
    void Link();
    void Unlink();

    std::string MbrStgTemporary;
    // The guards alive, newest first; changed only with the signals held.
    TInterruptCleanup* volatile MbrPtrNext = nullptr;
};
