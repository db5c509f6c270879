// The play sequence and the frame-loop pattern every scene routine follows:
//   PumpMessages (quit: return 1); DemoTime >= end time: return 0; draw the frame;
//   PresentFrame, ClearFrame; DemoTime := tick count - DemoStartTick; advance the phase.
// The closing fade finishes its frames the other way round: DemoTime first, then
// PresentFrame and ClearFrame.
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
// The two ways a frame is finished once it is drawn.
enum class FrameFinish {
    PresentThenTime,   // PresentFrame, ClearFrame, new DemoTime: every scene's frames
    TimeThenPresent,   // new DemoTime, PresentFrame, ClearFrame: the closing fade's frames
};

// Steps 4-5 of a frame in the given order. The frame is counted for the statistics at
// the DemoTime it was drawn at.
void FinishFrame(FrameFinish order = FrameFinish::PresentThenTime);

// One scene's frame loop: drawFrame() builds each frame, advancePhase() runs after the
// frame is finished. Returns non-zero on quit, zero when endTime is reached.
template <typename DrawFrame, typename AdvancePhase>
int RunFrameLoop(int32_t endTime, DrawFrame&& drawFrame, AdvancePhase&& advancePhase,
                 FrameFinish order = FrameFinish::PresentThenTime)
{
    int result = 0;
    while (!FrameLoopShouldStop(endTime, &result)) {
        drawFrame();
        FinishFrame(order);
        advancePhase();
    }
    return result;
}

// Calls the six scenes in play order.
void PlaySequence();
