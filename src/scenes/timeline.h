// The play sequence as a table of scenes. The player plays each frame the same way:
//   PumpMessages (quit: stop); demo time >= the scene's end: the next scene; drawFrame
//   with a FrameContext; finish the frame as drawFrame says (present and clear, new demo
//   time, in the order of FrameFinish); advance the scene's stepped phase.
//
// A scene is set up once (its buffers allocated), entered each time play reaches it (its
// phases reset and its render state set), drawn one frame at a time for the frame
// context's demo time and elapsed designed frames, left when play moves on, and released
// at the end. Nothing is allocated per frame.
#pragma once

#include <cstdint>

#include "scenes/frame_context.h"
#include "scenes/frame_stats.h"

// The value FrameContext::animationPhase has when play starts (and again after a seek).
constexpr float AnimationPhaseAtStart = 3.14f;

// Scene end times (demo time, ms).
constexpr int32_t OpeningSceneEnd = 17950;
constexpr int32_t SlicedBallSceneEnd = 30000;
constexpr int32_t TwistingBallSceneEnd = 42000;
constexpr int32_t CreditsSceneEnd = 54000;
constexpr int32_t ImplicitSurfaceSceneEnd = 78000;
constexpr int32_t ClosingGridPhaseEnd = 90046;
constexpr int32_t ClosingSceneEnd = 94000;

// The two ways a frame is finished once it is drawn.
enum class FrameFinish {
    PresentThenTime,   // PresentFrame, ClearFrame, new demo time: every scene's frames
    TimeThenPresent,   // new demo time, PresentFrame, ClearFrame: the closing fade's frames
};

// One scene of the play sequence: the same routines in every row, none of them null but
// carry.
struct SceneRoutines {
    const char* name;    // as the viewer overlay shows it
    int32_t end;         // demo time at which the next scene takes over
    void (*setUp)(Resources& resources);   // once, before play: working storage allocated
    void (*enter)(FrameContext& frame);    // each time play reaches it: phases reset, render state set
    // Draws one frame; returns how the frame is to be finished.
    FrameFinish (*drawFrame)(FrameContext& frame);
    // What drawFrame changes of the state carried to later frames (a fade's level, a
    // beat's leap, a stepped phase), without drawing; null when nothing carries over.
    void (*carry)(FrameContext& frame);
    void (*advance)(FrameContext& frame);  // after the frame is finished: the stepped phase
    void (*leave)(FrameContext& frame);    // when play moves on, ends or is quit: render state undone
    void (*release)();                     // once, after play: working storage freed
};

// Play order (SceneCount of them); each scene starts where the one before it ends, the
// first at 0.
enum class SceneId { Opening, SlicedBall, TwistingBall, Credits, ImplicitSurface, Closing };

const SceneRoutines& SceneRoutinesOf(SceneId scene);
int32_t SceneStart(SceneId scene);
// The scene that plays at demoTime (before 0: the first; at or after the end: the last).
SceneId SceneAtTime(int32_t demoTime);

void SetUpScene(SceneId scene, Resources& resources);
void ReleaseScene(SceneId scene);
// Enters the scene (the player also tells the frame statistics, whose clock it holds).
void EnterScene(SceneId scene, FrameContext& frame);
void LeaveScene(SceneId scene, FrameContext& frame);
// Brings a scene just entered at frame.demoTime (a start or a seek inside it) into the
// state a play through has there: the frames such a play draws in the scene before that
// time, on the grid of the fixed clock of fixedFps frames a second (the designed 60 on the
// real clock, fixedFps 0), are carried and advanced without drawing. Returns the number of
// frames replayed; frame.demoTime and elapsedFrames are as they were afterwards.
int CarrySceneTo(SceneId scene, FrameContext& frame, int fixedFps);
