#include "app/present_schedule.h"

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"

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

bool VsyncDoesNotWait(VsyncWatch* watch, double now)
{
    if (watch->presents == 0) watch->windowStart = now;
    if (++watch->presents <= VsyncWatchPresents) return false;
    // Presents 2 .. N+1 of the window came within `span`: N refresh periods at the least.
    const double span = now - watch->windowStart;
    const double refreshHz = watch->refreshHz > 0 ? watch->refreshHz : 60;
    const bool tooFast = span < VsyncWatchPresents / (1.25 * refreshHz);
    watch->presents = 0;
    return tooFast;
}

PresentSchedule StartPresentSchedule(double framesPerSecond, int vsyncRefreshHz)
{
    PresentSchedule schedule;
    schedule.pacing.periodSeconds = framesPerSecond > 0 ? 1.0 / framesPerSecond : 0;
    schedule.watchingVsync = vsyncRefreshHz >= 0;
    schedule.vsyncWatch.refreshHz = vsyncRefreshHz > 0 ? vsyncRefreshHz : 60;
    return schedule;
}

double WaitForPresentSlot(PresentSchedule* schedule, SteadySecondsSource now, SleepFunction sleep)
{
    if (schedule->watchingVsync && VsyncDoesNotWait(&schedule->vsyncWatch, now())) {
        PlatformSetVsync(false);
        const double refreshHz = schedule->vsyncWatch.refreshHz;
        *schedule = StartPresentSchedule(refreshHz);
        std::fprintf(stderr, "zircon-megademo: vsync was accepted but does not wait; presents are paced to %.0f Hz\n",
                     refreshHz);
    }
    const double wait = TakePresentSlot(&schedule->pacing, now());
    if (wait <= 0) return 0;
    const double before = now();
    sleep(wait);
    return (now() - before) * 1000;
}
