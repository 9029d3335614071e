#pragma once
// The commands' one reading of PVX_THREADS: 1 keeps a run on one thread.

class TThreads {
public:
    // The setting, 0 when unset (use what the machine has).
    static unsigned FromEnvironment();
    // Whether a run of LngThreads (0: the machine's choice) may use a second
    // thread.
    static bool UseSecondThread(unsigned LngThreads);
};
