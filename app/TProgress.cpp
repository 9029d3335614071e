#include "app/TProgress.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr auto DelayBeforeShown = std::chrono::seconds(1);
constexpr auto Redraw = std::chrono::milliseconds(200);

}  // namespace

TProgress::TProgress(bool BlnWanted)
    : MbrBlnEnabled(BlnWanted && isatty(STDERR_FILENO) == 1), MbrStart(TClock::now())
{
}

TProgress::~TProgress()
{
    End();
}

void TProgress::Stage(const std::string& StgWhat, std::uint64_t LngTotal)
{
    MbrStgWhat = StgWhat;
    MbrLngTotal = LngTotal;
    MbrLastDraw = TClock::time_point();
}

void TProgress::Update(std::uint64_t LngDone)
{
    if (!MbrBlnEnabled)
        return;
    const TClock::time_point Now = TClock::now();
    if (Now - MbrStart < DelayBeforeShown || Now - MbrLastDraw < Redraw)
        return;
    MbrLastDraw = Now;
    Draw(LngDone);
}

void TProgress::Draw(std::uint64_t LngDone)
{
    if (MbrLngTotal > 0)
        std::fprintf(stderr, "\r%s: %3u%%\033[K", MbrStgWhat.c_str(),
                     static_cast<unsigned>(LngDone * 100 / MbrLngTotal));
    else
        std::fprintf(stderr, "\r%s: %.1f MB\033[K", MbrStgWhat.c_str(),
                     static_cast<double>(LngDone) / 1e6);
    std::fflush(stderr);
    MbrBlnShown = true;
}

void TProgress::End()
{
    if (!MbrBlnShown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    MbrBlnShown = false;
}
