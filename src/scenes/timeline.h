// The play sequence as a table of scenes. The player plays each frame the same way:
//   PumpMessages (quit: stop); demo time >= the scene's end: the next scene; drawFrame
//   with a FrameContext; present and clear, then the new demo time (or the new demo time
//   first, for a frame of which timeFirst says so); advance the scene.
//
// A scene is set up once (its buffers allocated), entered each time play reaches it (its
// phases reset and its render state set), drawn one frame at a time for the frame
// context's demo time and elapsed designed frames, left when play moves on, and released
// at the end. Nothing is allocated per frame. Each routine of a scene is written for its
// own scene's record (RoutinesOn hands it that record of the scenes' states, scenes.h).
#pragma once

#include <cstdint>

#include "scenes/frame_context.h"

// Scene end times (demo time, ms).
constexpr int32_t OpeningSceneEnd = 17950;
constexpr int32_t SlicedBallSceneEnd = 30000;
constexpr int32_t TwistingBallSceneEnd = 42000;
constexpr int32_t CreditsSceneEnd = 54000;
constexpr int32_t ImplicitSurfaceSceneEnd = 78000;
constexpr int32_t ClosingGridPhaseEnd = 90046;
constexpr int32_t ClosingSceneEnd = 94000;

struct SceneStates;

// What a scene does; a routine a scene does not need is null, except drawFrame.
struct SceneRoutines {
    // On entering (or SetUpScene), when not made yet: working storage allocated.
    void (*setUp)(SceneStates& states, const Resources& resources) = nullptr;
    void (*enter)(SceneStates& states, FrameContext& frame) = nullptr;    // each time play reaches it: phases reset, render state set
    void (*drawFrame)(SceneStates& states, FrameContext& frame) = nullptr;   // one frame
    // What drawFrame changes of the state carried to later frames (a fade's level, a
    // beat's leap, a stepped phase), without drawing.
    void (*carry)(SceneStates& states, FrameContext& frame) = nullptr;
    void (*advance)(SceneStates& states, FrameContext& frame) = nullptr;  // after the frame is finished: the stepped phase
    void (*leave)(SceneStates& states, FrameContext& frame) = nullptr;    // when play moves on, ends or is quit: render state undone
    void (*release)(SceneStates& states) = nullptr;                       // ReleaseScene: working storage freed
    // True when the frame just drawn is to be shown at the time after it: the clock moves
    // on before it is presented. Null: presented first, then the clock moves on.
    bool (*timeFirst)(const SceneStates& states) = nullptr;
};

// The table's routines made from routines of one scene's own state (Member, e.g.
// &SceneStates::credits), so that each routine is handed only its own scene's record:
//   using Credits = RoutinesOn<&SceneStates::credits>;
//   const SceneRoutines CreditsSceneRoutines = {.enter = Credits::Frame<EnterCredits>, ...};
template <auto Member>
struct RoutinesOn {
    template <auto Routine> static void SetUp(SceneStates& s, const Resources& r) { Routine(s.*Member, r); }
    template <auto Routine> static void Frame(SceneStates& s, FrameContext& f) { Routine(s.*Member, f); }
    template <auto Routine> static void Release(SceneStates& s) { Routine(s.*Member); }
    template <auto Routine> static bool TimeFirst(const SceneStates& s) { return Routine(s.*Member); }
};

// The scenes in play order. A scene is an id here and its row in the play sequence's
// table (timeline.cpp), which a static_assert keeps in step with this list.
enum class SceneId { Opening, SlicedBall, TwistingBall, Credits, ImplicitSurface, Closing, Count };
constexpr int SceneCount = static_cast<int>(SceneId::Count);

// One row of the table: each scene starts where the one before it ends, the first at 0.
struct SceneRow {
    SceneId id;
    const char* name;    // as the viewer overlay shows it
    int32_t end;         // demo time at which the next scene takes over
    const SceneRoutines* routines;
};

const SceneRow& SceneRowOf(SceneId scene);
int32_t SceneStart(SceneId scene);
int32_t SceneEnd(SceneId scene);
// The end of the last scene: the demo's length.
int32_t DemoEnd();
// The scene that plays at demoTime (before 0: the first; at or after the end: the last).
SceneId SceneAtTime(int32_t demoTime);

// The routines above for one scene; a null routine does nothing. A scene's working storage
// is made by SetUpScene, or on entering when not made yet, and freed by ReleaseScene (the
// player chooses when: PlayerSettings::sceneStorageWhileEntered); each of the two does
// nothing when it is already made or freed.
void SetUpScene(SceneId scene, SceneStates& states, const Resources& resources);
void ReleaseScene(SceneId scene, SceneStates& states);
// Enters the scene (the player also tells the frame statistics, whose clock it holds).
void EnterScene(SceneId scene, SceneStates& states, FrameContext& frame);
void DrawScene(SceneId scene, SceneStates& states, FrameContext& frame);
void AdvanceScene(SceneId scene, SceneStates& states, FrameContext& frame);
void LeaveScene(SceneId scene, SceneStates& states, FrameContext& frame);
// Whether the frame just drawn is shown at the time after it (SceneRoutines::timeFirst).
bool SceneTakesTimeFirst(SceneId scene, const SceneStates& states);
// Brings a scene just entered at frame.demoTime (a start or a seek inside it) into the
// state a play through has there: the frames such a play draws in the scene before that
// time, on the grid of the fixed clock of fixedFps frames a second (the designed 60 on the
// real clock, fixedFps 0), are carried and advanced without drawing. Returns the number of
// frames replayed; frame.demoTime and elapsedFrames are as they were afterwards.
int CarrySceneTo(SceneId scene, SceneStates& states, FrameContext& frame, int fixedFps);
