#include "app/present_schedule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/frame_stats.h"
#include "platform/platform.h"

double PacedFrameRate(int maxFps, bool fixedClock, bool vsyncOn, int refreshHz)
{
    if (maxFps >= 0) return maxFps;
    if (fixedClock || vsyncOn) return 0;
    return refreshHz > 0 ? refreshHz : 60;
}

double SlotForFrameReadyAt(const PresentPacing& pacing, double readyAt, int* skipped)
{
    if (skipped) *skipped = 0;
    if (!pacing.started) return readyAt;
    const double period = pacing.periodSeconds;
    // A frame ready after its slot, by more than the tolerance, waits for the first slot of
    // the refresh that it can still make: slots missed are skipped, never caught up.
    const double tolerance = PresentLateTolerance * period;
    if (readyAt <= pacing.nextDue + tolerance) return pacing.nextDue;
    const int missed = static_cast<int>(std::ceil((readyAt - pacing.nextDue - tolerance) / period));
    if (skipped) *skipped = missed;
    return pacing.nextDue + missed * period;
}

double TakePresentSlot(PresentPacing* pacing, double now)
{
    if (pacing->periodSeconds <= 0) return 0;
    const double slot = SlotForFrameReadyAt(*pacing, now, &pacing->slotsSkipped);
    pacing->readyAfterSlot = pacing->started ? now - pacing->nextDue : 0;
    pacing->started = true;
    pacing->nextDue = slot + pacing->periodSeconds;
    return std::max(0.0, slot - now);
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

double WaitForPresentSlot(PresentSchedule* schedule, SteadySecondsSource now, SleepFunction sleep, FrameStats* stats)
{
    if (schedule->watchingVsync && VsyncDoesNotWait(&schedule->vsyncWatch, now())) {
        PlatformSetVsync(false);
        const double refreshHz = schedule->vsyncWatch.refreshHz;
        *schedule = StartPresentSchedule(refreshHz);
        std::fprintf(stderr, "zircon-megademo: vsync was accepted but does not wait; presents are paced to %.0f Hz\n",
                     refreshHz);
    }
    const double before = now();
    const double wait = TakePresentSlot(&schedule->pacing, before);
    if (wait > 0) sleep(wait);
    const double after = wait > 0 ? now() : before;
    const double waitedMs = (after - before) * 1000;
    if (stats) stats->RecordPresent(after, schedule->pacing.readyAfterSlot * 1000, waitedMs, schedule->pacing.periodSeconds);
    return waitedMs;
}
