#pragma once
// The one judgement of how much memory a single result may take. Internal to
// the toolkit; not installed.

class TMemoryLimit {
public:
    // Whether that many bytes fit in half the machine's memory. A result that
    // does not is refused rather than left for the operating system to kill;
    // true where the machine's memory cannot be told.
    static bool Fits(double DblBytes);
};
