#include "app/frame_pacing.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Written by the driver once before the play sequence, then by each present.
PresentPacing g_pacing;

double SteadySeconds()
{
    return std::chrono::duration<double>(SteadyClock::now().time_since_epoch()).count();
}

}  // namespace

double PacedFrameRate(int maxFps, bool fixedClock, bool vsyncOn, int refreshHz)
{
    if (maxFps >= 0) return maxFps;
    if (fixedClock || vsyncOn) return 0;
    return refreshHz > 0 ? refreshHz : 60;
}

double TakePresentSlot(PresentPacing* pacing, double now)
{
    if (pacing->periodSeconds <= 0) return 0;
    double due = pacing->started ? pacing->nextDue : now;
    if (due < now - pacing->periodSeconds) due = now;
    pacing->started = true;
    // A slightly late frame keeps the beat, so waking late now and then costs no rate.
    pacing->nextDue = due + pacing->periodSeconds;
    return std::max(0.0, due - now);
}

void StartPresentPacing(double framesPerSecond)
{
    g_pacing = PresentPacing{};
    g_pacing.periodSeconds = framesPerSecond > 0 ? 1.0 / framesPerSecond : 0;
}

double WaitForPresentSlot()
{
    const double wait = TakePresentSlot(&g_pacing, SteadySeconds());
    if (wait <= 0) return 0;
    const double before = SteadySeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    return (SteadySeconds() - before) * 1000;
}
