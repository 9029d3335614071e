#pragma once
// A progress line on standard error for runs that take a while: shown only
// when standard error is a terminal, once the run has passed about a second,
// and redrawn a few times a second; erased when the run ends.

#include <chrono>
#include <cstdint>
#include <string>

class TProgress {
public:
    // BlnWanted false (--quiet) shows nothing.
    explicit TProgress(bool BlnWanted);
    ~TProgress();
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    // A new stage: what is being read or written, and its size in any unit
    // (0 when unknown: the amount done is then shown instead of a share).
    void Stage(const std::string& StgWhat, std::uint64_t LngTotal);
    // LngDone of the stage's total are done. Cheap enough to call per block.
    void Update(std::uint64_t LngDone);
    // Erases the line, if one was shown.
    void End();

private:
    using TClock = std::chrono::steady_clock;

    void Draw(std::uint64_t LngDone);

    bool MbrBlnEnabled;
    bool MbrBlnShown = false;
    TClock::time_point MbrStart;
    TClock::time_point MbrLastDraw;
    std::string MbrStgWhat;
    std::uint64_t MbrLngTotal = 0;
};
