// The play sequence's table of scenes.
#include "scenes/timeline.h"

#include <algorithm>
#include <iterator>

#include "scenes/frame_steps.h"
#include "scenes/scenes.h"

namespace {

// The play sequence: one row a scene, in the order of SceneId.
constexpr SceneRow PlayOrder[] = {
    {SceneId::Opening, "opening picture", OpeningSceneEnd, &OpeningSceneRoutines},
    {SceneId::SlicedBall, "sliced ball", SlicedBallSceneEnd, &SlicedBallSceneRoutines},
    {SceneId::TwistingBall, "twisting ball", TwistingBallSceneEnd, &TwistingBallSceneRoutines},
    {SceneId::Credits, "credits", CreditsSceneEnd, &CreditsSceneRoutines},
    {SceneId::ImplicitSurface, "implicit surface", ImplicitSurfaceSceneEnd, &ImplicitSurfaceSceneRoutines},
    {SceneId::Closing, "closing", ClosingSceneEnd, &ClosingSceneRoutines},
};

constexpr bool RowsInIdOrder()
{
    for (int i = 0; i < SceneCount; ++i)
        if (static_cast<int>(PlayOrder[i].id) != i || PlayOrder[i].routines == nullptr) return false;
    return true;
}
static_assert(std::size(PlayOrder) == SceneCount, "one row for each SceneId");
static_assert(RowsInIdOrder(), "the rows in the order of SceneId, each with its routines");

const SceneRoutines& SceneRoutinesOf(SceneId scene)
{
    return *PlayOrder[static_cast<int>(scene)].routines;
}

}  // namespace

const SceneRow& SceneRowOf(SceneId scene)
{
    return PlayOrder[static_cast<int>(scene)];
}

int32_t SceneStart(SceneId scene)
{
    const int i = static_cast<int>(scene);
    return i == 0 ? 0 : PlayOrder[i - 1].end;
}

int32_t SceneEnd(SceneId scene)
{
    return PlayOrder[static_cast<int>(scene)].end;
}

int32_t DemoEnd()
{
    return PlayOrder[SceneCount - 1].end;
}

SceneId SceneAtTime(int32_t demoTime)
{
    int i = 0;
    while (i + 1 < SceneCount && demoTime >= PlayOrder[i].end) ++i;
    return static_cast<SceneId>(i);
}

static uint32_t StorageBit(SceneId scene) { return 1u << static_cast<int>(scene); }

void SetUpScene(SceneId scene, SceneStates& states, const Resources& resources)
{
    if (states.storageMade & StorageBit(scene)) return;
    states.storageMade |= StorageBit(scene);
    if (auto setUp = SceneRoutinesOf(scene).setUp) setUp(states, resources);
}

void ReleaseScene(SceneId scene, SceneStates& states)
{
    if (!(states.storageMade & StorageBit(scene))) return;
    states.storageMade &= ~StorageBit(scene);
    if (auto release = SceneRoutinesOf(scene).release) release(states);
}

void EnterScene(SceneId scene, SceneStates& states, FrameContext& frame)
{
    SetUpScene(scene, states, frame.resources);
    if (auto enter = SceneRoutinesOf(scene).enter) enter(states, frame);
}

void DrawScene(SceneId scene, SceneStates& states, FrameContext& frame)
{
    SceneRoutinesOf(scene).drawFrame(states, frame);
}

void AdvanceScene(SceneId scene, SceneStates& states, FrameContext& frame)
{
    if (auto advance = SceneRoutinesOf(scene).advance) advance(states, frame);
}

void LeaveScene(SceneId scene, SceneStates& states, FrameContext& frame)
{
    if (auto leave = SceneRoutinesOf(scene).leave) leave(states, frame);
}

bool SceneTakesTimeFirst(SceneId scene, const SceneStates& states)
{
    const auto timeFirst = SceneRoutinesOf(scene).timeFirst;
    return timeFirst && timeFirst(states);
}

int CarrySceneTo(SceneId scene, SceneStates& states, FrameContext& frame, int fixedFps)
{
    const SceneRoutines& routines = SceneRoutinesOf(scene);
    if (!routines.carry) return 0;
    const int32_t target = frame.demoTime;
    const double elapsed = frame.elapsedFrames;
    // Frame k of a play from 0 is drawn at floor(k × 1000 / fps), each standing for one
    // step of the clock; after it the scene advances with the next frame's time.
    const uint64_t fps = fixedFps > 0 ? static_cast<uint64_t>(fixedFps) : 60u;
    const double step = DesignedFrames(1.0 / static_cast<double>(fps));
    const auto timeOfFrame = [fps](uint64_t k) { return static_cast<int32_t>(k * 1000u / fps); };
    const uint64_t start = static_cast<uint64_t>(std::max<int32_t>(SceneStart(scene), 0));
    int replayed = 0;
    for (uint64_t k = (start * fps + 999u) / 1000u; timeOfFrame(k) < target; ++k, ++replayed) {
        frame.demoTime = timeOfFrame(k);
        frame.elapsedFrames = step;
        routines.carry(states, frame);
        frame.demoTime = timeOfFrame(k + 1);
        AdvanceScene(scene, states, frame);
    }
    frame.demoTime = target;
    frame.elapsedFrames = elapsed;
    return replayed;
}
