// Timeline rules that need no GL: the flash level, the scene camera, the scene table and
// the scenes' working storage.
#include <gtest/gtest.h>

#include <string>

#include "scenes/frame_context.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"

namespace {

const TimeWindow Windows[] = {{21000, 21100}, {24000, 24100}};

TEST(FlashLevel, InsideAWindowItIsOneMinusAStep)
{
    float level = 0.0f;
    UpdateFlashLevel(&level, Windows, 2, 0.05, 21050, 1.0);
    EXPECT_FLOAT_EQ(level, 0.95f);
    UpdateFlashLevel(&level, Windows, 2, 0.05, 24001, 1.0);   // the last window decays too
    EXPECT_FLOAT_EQ(level, 0.95f);
}

TEST(FlashLevel, WindowsAreOpenIntervals)
{
    float level = 0.0f;
    UpdateFlashLevel(&level, Windows, 2, 0.05, 21000, 1.0);
    EXPECT_EQ(level, 0.0f);
    UpdateFlashLevel(&level, Windows, 2, 0.05, 21100, 1.0);
    EXPECT_EQ(level, 0.0f);
    UpdateFlashLevel(&level, Windows, 2, 0.05, 21001, 1.0);
    EXPECT_FLOAT_EQ(level, 0.95f);
}

TEST(FlashLevel, AfterAWindowItFallsByOneStepPerFrameToZeroOrJustBelowThenStays)
{
    float level = 0.0f;
    UpdateFlashLevel(&level, Windows, 2, 0.3, 21050, 1.0);
    EXPECT_FLOAT_EQ(level, 0.7f);
    UpdateFlashLevel(&level, Windows, 2, 0.3, 22000, 1.0);
    EXPECT_FLOAT_EQ(level, 0.4f);
    UpdateFlashLevel(&level, Windows, 2, 0.3, 22016, 1.0);
    EXPECT_NEAR(level, 0.1f, 1e-6);
    UpdateFlashLevel(&level, Windows, 2, 0.3, 22033, 1.0);
    EXPECT_NEAR(level, -0.2f, 1e-6);
    const float settled = level;
    UpdateFlashLevel(&level, Windows, 2, 0.3, 22050, 1.0);
    EXPECT_EQ(level, settled);
}

TEST(FlashLevel, OutsideEveryWindowAZeroLevelStaysZero)
{
    float level = 0.0f;
    for (int32_t t = 0; t < 30000; t += 17) {
        if (t > 21000 && t < 21100) continue;
        if (t > 24000 && t < 24100) continue;
        UpdateFlashLevel(&level, Windows, 2, 0.05, t, 1.0);
        if (t < 21000) {
            EXPECT_EQ(level, 0.0f) << t;
        }
    }
}

TEST(SceneCamera, SixtyOneDegreesWithUnitProjection)
{
    Camera camera{};
    InitSceneCamera(&camera);
    EXPECT_EQ(camera.fieldOfView, 61.0f);
    EXPECT_EQ(camera.unitFactor, 1.0f);
    EXPECT_EQ(camera.projectionScaleX, 1.0f);
    EXPECT_EQ(camera.projectionScaleY, 1.0f);
    EXPECT_FLOAT_EQ(camera.focalX, 1.6976631f);
    EXPECT_FLOAT_EQ(camera.focalY, 1.6976631f);
    EXPECT_FLOAT_EQ(camera.inverseFocalX, 0.58904505f);
    EXPECT_FLOAT_EQ(camera.inverseFocalY, 0.58904505f);

    // Aimed: position, target and roll as given; the lens as set up.
    AimCamera(&camera, 1.5f, -2.0f, 650.0f, -100.0f, 30.0f, 0.25f, 180.0f);
    const float placed[7] = {camera.positionX, camera.positionY, camera.positionZ, camera.targetX,
                             camera.targetY,   camera.targetZ,   camera.roll};
    const float given[7] = {1.5f, -2.0f, 650.0f, -100.0f, 30.0f, 0.25f, 180.0f};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(placed[i], given[i]) << i;
    EXPECT_EQ(camera.fieldOfView, 61.0f);
}

TEST(AdvancePhase, AddsInDoublePrecisionAndRoundsOnce)
{
    // Just over half a float step above 1: the double sum rounds up to the next float,
    // while the float sum (a tie, the step rounded to exactly 2^-24) stays at 1.
    const double step = 5.9604644775390625e-08 + 1e-15;
    float phase = 1.0f;
    AdvancePhase(&phase, step);
    EXPECT_EQ(phase, 1.00000012f);
    EXPECT_EQ(1.0f + static_cast<float>(step), 1.0f);

    // The opening scene's step from 3.14.
    phase = 3.14f;
    AdvancePhase(&phase, 0.003);
    EXPECT_EQ(phase, static_cast<float>(static_cast<double>(3.14f) + 0.003));
}

}  // namespace

namespace {

// A routine a scene does not need is null: setUp, enter, drawFrame, carry, advance,
// leave, release, timeFirst in that order, 1 where the scene has it.
TEST(SceneTable, EveryRowHasTheRoutinesItsSceneNeedsAndTheEndsRiseTo94000)
{
    const char* const has[SceneCount] = {"01110000", "11110010", "11110110", "11110010", "11111010", "11111011"};
    const char* const names[SceneCount] = {"opening picture", "sliced ball", "twisting ball",
                                           "credits",         "implicit surface", "closing"};
    int32_t previousEnd = 0;
    for (int i = 0; i < SceneCount; ++i) {
        const SceneId scene = static_cast<SceneId>(i);
        const SceneRow& row = SceneRowOf(scene);
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(row.name, names[i]);
        const SceneRoutines& r = *row.routines;
        const bool present[8] = {r.setUp != nullptr,   r.enter != nullptr, r.drawFrame != nullptr,
                                 r.carry != nullptr,   r.advance != nullptr, r.leave != nullptr,
                                 r.release != nullptr, r.timeFirst != nullptr};
        std::string got;
        for (bool p : present) got += p ? '1' : '0';
        EXPECT_EQ(got, has[i]);
        EXPECT_GT(row.end, previousEnd);
        EXPECT_EQ(SceneStart(scene), previousEnd);
        EXPECT_EQ(SceneAtTime(previousEnd), scene);
        EXPECT_EQ(SceneAtTime(row.end - 1), scene);
        previousEnd = row.end;
    }
    EXPECT_EQ(previousEnd, 94000);
    EXPECT_EQ(DemoEnd(), 94000);
    EXPECT_EQ(SceneAtTime(-1), SceneId::Opening);
    EXPECT_EQ(SceneAtTime(94000), SceneId::Closing);
}

// Storage is made when a scene is first entered, not again while made, kept on leaving
// and freed once by ReleaseScene.
TEST(SceneStorage, MadeOnFirstEnteringAndFreedOnce)
{
    Resources resources;
    CallRecorder recorder;
    SceneStates states;
    FrameContext frame{0, 1.0, recorder, resources};
    const PolygonList& list = states.implicitSurface.list;
    EXPECT_EQ(list.entries, nullptr);
    EnterScene(SceneId::ImplicitSurface, states, frame);
    const PolygonListEntry* const made = list.entries;
    EXPECT_EQ(list.capacity, SurfacePolygonListSize);
    EnterScene(SceneId::ImplicitSurface, states, frame);
    LeaveScene(SceneId::ImplicitSurface, states, frame);
    EXPECT_EQ(list.entries, made);
    ReleaseScene(SceneId::ImplicitSurface, states);
    EXPECT_EQ(list.entries, nullptr);
    ReleaseScene(SceneId::ImplicitSurface, states);
    EXPECT_EQ(states.storageMade, 0u);
}

}  // namespace
