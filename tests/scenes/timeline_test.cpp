// Timeline rules that need no GL: the flash level and quitting before the first scene.
#include <gtest/gtest.h>

#include "scenes/scene_kit.h"

namespace {

const TimeWindow Windows[] = {{21000, 21100}, {24000, 24100}};

TEST(FlashLevel, InsideAWindowItIsOneMinusAStep)
{
    float level = 0.0f;
    UpdateFlashLevel(&level, Windows, 2, 0.05f, 21050);
    EXPECT_FLOAT_EQ(level, 0.95f);
    UpdateFlashLevel(&level, Windows, 2, 0.05f, 24001);   // the last window decays too
    EXPECT_FLOAT_EQ(level, 0.95f);
}

TEST(FlashLevel, WindowsAreOpenIntervals)
{
    float level = 0.0f;
    UpdateFlashLevel(&level, Windows, 2, 0.05f, 21000);
    EXPECT_EQ(level, 0.0f);
    UpdateFlashLevel(&level, Windows, 2, 0.05f, 21100);
    EXPECT_EQ(level, 0.0f);
    UpdateFlashLevel(&level, Windows, 2, 0.05f, 21001);
    EXPECT_FLOAT_EQ(level, 0.95f);
}

TEST(FlashLevel, AfterAWindowItFallsByOneStepPerFrameToZeroOrJustBelowThenStays)
{
    float level = 0.0f;
    UpdateFlashLevel(&level, Windows, 2, 0.3f, 21050);
    EXPECT_FLOAT_EQ(level, 0.7f);
    UpdateFlashLevel(&level, Windows, 2, 0.3f, 22000);
    EXPECT_FLOAT_EQ(level, 0.4f);
    UpdateFlashLevel(&level, Windows, 2, 0.3f, 22016);
    EXPECT_NEAR(level, 0.1f, 1e-6);
    UpdateFlashLevel(&level, Windows, 2, 0.3f, 22033);
    EXPECT_NEAR(level, -0.2f, 1e-6);
    const float settled = level;
    UpdateFlashLevel(&level, Windows, 2, 0.3f, 22050);
    EXPECT_EQ(level, settled);
}

TEST(FlashLevel, OutsideEveryWindowAZeroLevelStaysZero)
{
    float level = 0.0f;
    for (int32_t t = 0; t < 30000; t += 17) {
        if (t > 21000 && t < 21100) continue;
        if (t > 24000 && t < 24100) continue;
        UpdateFlashLevel(&level, Windows, 2, 0.05f, t);
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
}

}  // namespace
