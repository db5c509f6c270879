// The pace of the per-frame steps: elapsed time in designed frames of 1000/60 ms, the
// three scaling rules, the stall bound, and the scenes' stepped values under them.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/frame_steps.h"
#include "scenes/scene_kit.h"
#include "scenes/sliced_ball.h"
#include "scenes/twisting_ball.h"

namespace {

TEST(FrameSteps, ElapsedTimeCountsDesignedFramesUpToTheStallBound)
{
    EXPECT_EQ(DesignedFrames(0.0), 0.0);
    EXPECT_EQ(DesignedFrames(-0.02), 0.0);   // a clock that stepped back adds nothing
    EXPECT_EQ(DesignedFrames(1.0 / 120), 0.5);
    EXPECT_EQ(DesignedFrames(1.0 / 60), 1.0);   // exactly: no step changes at 60 fps
    EXPECT_DOUBLE_EQ(DesignedFrames(0.05), 3.0);
    EXPECT_DOUBLE_EQ(DesignedFrames(0.1), 6.0);
    EXPECT_DOUBLE_EQ(DesignedFrames(2.5), 6.0);   // a stall of 2.5 s steps 100 ms

    // A fixed-rate clock's frame of 1/N s.
    EXPECT_DOUBLE_EQ(DesignedFrames(1.0 / 24), 2.5);
    EXPECT_DOUBLE_EQ(DesignedFrames(1.0 / 240), 0.25);
    EXPECT_DOUBLE_EQ(DesignedFrames(1.0 / 5), 6.0);   // 200 ms frames: held to the bound
}

TEST(FrameSteps, StepsFactorsAndWindowsScaleWithTheElapsedFrames)
{
    const double step = 0.003, factor = 0.9;
    const double frames[] = {0.0, 0.5, 1.0, 3.0, 6.0};
    const double steps[] = {0.0, 0.0015, 0.003, 0.009, 0.018};
    const double factors[] = {1.0, std::sqrt(0.9), 0.9, 0.729, 0.531441};
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(ScaledStep(step, frames[i]), steps[i]) << frames[i];
        EXPECT_DOUBLE_EQ(ScaledFactor(factor, frames[i]), factors[i]) << frames[i];
        EXPECT_DOUBLE_EQ(StepInWindow(0.012, true, frames[i]), 0.012 * frames[i]) << frames[i];
        EXPECT_EQ(StepInWindow(0.012, false, frames[i]), 0.0) << frames[i];
    }
    // One frame gives the very step and factor, bit for bit.
    EXPECT_EQ(ScaledStep(0.002, 1.0), 0.002);
    EXPECT_EQ(ScaledFactor(0.97, 1.0), 0.97);
    EXPECT_EQ(FallBy(0.37f, 0.01, 1.0, -0.01), static_cast<float>(0.37f - 0.01));
    // A fall stops at its floor.
    EXPECT_EQ(FallBy(0.03f, 0.01, 6.0, -0.01), static_cast<float>(-0.01));
    EXPECT_EQ(FallBy(560.0f, 10.0, 2.5, 550.0), 550.0f);
}

// Runs a stepped value over `ms` of demo time at `fps` frames a second.
template <typename Step>
void RunAt(int fps, int32_t from, int32_t ms, Step step)
{
    const double frames = DesignedFrames(1.0 / fps);
    for (int n = 0; from + n * 1000LL / fps < from + ms; ++n) step(static_cast<int32_t>(from + n * 1000LL / fps), frames);
}

TEST(FrameSteps, TheScenesSteppedValuesFollowTimeAtAnyFrameRate)
{
    for (int fps : {24, 60, 144, 240}) {
        // A beat leap: 0.012 per designed frame over the 462 ms window, 0.33 in all; a
        // frame's worth either side at most.
        float offset = 0.0f;
        RunAt(fps, 33000, 600, [&](int32_t t, double f) { AddBeatLeap(&offset, t, f); });
        EXPECT_NEAR(offset, 0.012 * 461 * 60 / 1000, 0.012 * 60.0 / fps + 1e-5) << fps;

        // The band's kick: back at rest 25 designed frames (417 ms) after it, whatever
        // the rate, then kicked again.
        float length = 550.0f;
        int32_t kickedAgain = 0;
        RunAt(fps, 21030, 600, [&](int32_t t, double f) {
            const float before = length;
            UpdatePulseLength(&length, t, f);
            if (length == 800.0f && before != 800.0f && t > 21100 && !kickedAgain) kickedAgain = t;
            EXPECT_GE(length, 550.0f);
        });
        EXPECT_NEAR(kickedAgain, 21039 + 417, 1000.0 / fps + 1) << fps;

        // A flash: 1.0 in the window, then 0.02 per designed frame, zero about 817 ms (49 steps)
        // after the window and never further below than one step.
        const TimeWindow window[1] = {{69038, 69400}};
        float level = 0.0f;
        int32_t dark = 0;
        RunAt(fps, 69000, 1500, [&](int32_t t, double f) {
            UpdateFlashLevel(&level, window, 1, 0.02, t, f);
            if (level <= 0.0f && t > 69400 && !dark) dark = t;
        });
        EXPECT_NEAR(dark, 69400 + 817, 1000.0 / fps + 17) << fps;
        EXPECT_GE(level, -0.02f);
    }
}

}  // namespace
