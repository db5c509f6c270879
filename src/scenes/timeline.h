// The play sequence and the frame-loop pattern every scene routine follows:
//   PumpMessages (quit: return 1); DemoTime >= end time: return 0; draw the frame;
//   PresentFrame, ClearFrame; DemoTime := tick count - DemoStartTick; advance the phase.
#pragma once

#include <cstdint>

extern float AnimationPhase;   // 3.14 at program start; carried from scene to scene

// Scene end times (DemoTime, ms).
constexpr int32_t OpeningSceneEnd = 17950;
constexpr int32_t SlicedBallSceneEnd = 30000;
constexpr int32_t TwistingBallSceneEnd = 42000;
constexpr int32_t CreditsSceneEnd = 54000;
constexpr int32_t ImplicitSurfaceSceneEnd = 78000;
constexpr int32_t ClosingGridPhaseEnd = 90046;
constexpr int32_t ClosingSceneEnd = 94000;

// Steps 1-2 of a frame: true when the loop must stop, with the scene's result in *result
// (non-zero for quit, zero for the end time).
bool FrameLoopShouldStop(int32_t endTime, int* result);
// Steps 4-5 of a frame: present, clear, new DemoTime.
void FinishFrame();

// One scene's frame loop: drawFrame() builds each frame, advancePhase() runs after the
// DemoTime update. Returns non-zero on quit, zero when endTime is reached.
template <typename DrawFrame, typename AdvancePhase>
int RunFrameLoop(int32_t endTime, DrawFrame&& drawFrame, AdvancePhase&& advancePhase)
{
    int result = 0;
    while (!FrameLoopShouldStop(endTime, &result)) {
        drawFrame();
        FinishFrame();
        advancePhase();
    }
    return result;
}

// Calls the six scenes in play order.
void PlaySequence();
