// The play sequence as a table of scenes, and the pattern every frame follows:
//   PumpMessages (quit: stop); DemoTime >= the scene's end: the next scene; draw the
//   frame; PresentFrame, ClearFrame; DemoTime := tick count - DemoStartTick; advance the
//   scene's stepped phase.
// The closing fade finishes its frames the other way round: DemoTime first, then
// PresentFrame and ClearFrame.
//
// A scene is set up once (its buffers allocated), entered each time play reaches it (its
// phases reset and its render state set), drawn one frame at a time for a demo time and
// the frame's elapsed time in designed frames, left when play moves on, and released at
// the end. Nothing is allocated per frame.
#pragma once

#include <cstdint>

#include "scenes/frame_context.h"
#include "scenes/frame_stats.h"

extern float AnimationPhase;   // 3.14 at the start of play; written by the scenes, reset by a seek

// The value AnimationPhase has when play starts (and again after a seek).
constexpr float AnimationPhaseAtStart = 3.14f;

// Scene end times (DemoTime, ms).
constexpr int32_t OpeningSceneEnd = 17950;
constexpr int32_t SlicedBallSceneEnd = 30000;
constexpr int32_t TwistingBallSceneEnd = 42000;
constexpr int32_t CreditsSceneEnd = 54000;
constexpr int32_t ImplicitSurfaceSceneEnd = 78000;
constexpr int32_t ClosingGridPhaseEnd = 90046;
constexpr int32_t ClosingSceneEnd = 94000;

// The two ways a frame is finished once it is drawn.
enum class FrameFinish {
    PresentThenTime,   // PresentFrame, ClearFrame, new DemoTime: every scene's frames
    TimeThenPresent,   // new DemoTime, PresentFrame, ClearFrame: the closing fade's frames
};

// Steps 4-5 of a frame in the given order. The frame is counted for the statistics at
// the DemoTime it was drawn at.
void FinishFrame(FrameFinish order = FrameFinish::PresentThenTime);

// One scene of the play sequence: the same six routines in every row, none of them null.
struct SceneRoutines {
    const char* name;    // as the viewer overlay shows it
    int32_t end;         // DemoTime at which the next scene takes over
    void (*setUp)(Resources& resources);   // once, before play: working storage allocated
    void (*enter)(FrameContext& frame);    // each time play reaches it: phases reset, render state set
    // Draws one frame; returns how the frame is to be finished.
    FrameFinish (*drawFrame)(FrameContext& frame);
    void (*advance)(FrameContext& frame);  // after the frame is finished: the stepped phase
    void (*leave)();                       // when play moves on, ends or is quit
    void (*release)();                     // once, after play: working storage freed
};

// Play order (SceneCount of them); each scene starts where the one before it ends, the
// first at 0.
enum class SceneId { Opening, SlicedBall, TwistingBall, Credits, ImplicitSurface, Closing };

const SceneRoutines& SceneRoutinesOf(SceneId scene);
int32_t SceneStart(SceneId scene);
// The scene that plays at demoTime (before 0: the first; at or after the end: the last).
SceneId SceneAtTime(int32_t demoTime);

void SetUpScene(SceneId scene);
void ReleaseScene(SceneId scene);
// Enters the scene: the frame statistics count its frames from now on.
void EnterScene(SceneId scene);
void LeaveScene(SceneId scene);

// True when the frame loop must stop: *quit says whether for a quit (true) or because
// DemoTime reached endTime.
bool FrameLoopShouldStop(int32_t endTime, bool* quit);
// One frame of the scene at DemoTime: drawn, finished, then its phase advanced.
void PlaySceneFrame(const SceneRoutines& scene);
// The scene's frames until its end time or a quit; true for a quit.
bool PlaySceneFrames(const SceneRoutines& scene);

// The scene alone, as the program once played each: set up, entered, its frames until
// its end time or a quit, left and released. Returns 1 on quit, 0 at the end time.
int PlaySceneAlone(SceneId scene);
