// Picture building blocks: tiling noise and lettering.
#include <gtest/gtest.h>

#include "pictures/lettering.h"
#include "pictures/noise.h"

TEST(PictureParts, NoiseRepeatsAfterItsPeriod)
{
    for (float x = 0; x < 8; x += 0.37f) {
        for (float y = 0; y < 8; y += 0.41f) {
            ASSERT_NEAR(ValueNoise(x, y, 8, 4, 3), ValueNoise(x + 8, y + 4, 8, 4, 3), 1e-5f);
            ASSERT_NEAR(Fbm(x, y, 8, 4, 3, 9), Fbm(x + 8, y - 4, 8, 4, 3, 9), 1e-5f);
        }
    }
}

TEST(PictureParts, LetteringHasInkAndStretches)
{
    TextStyle style;
    style.pixelSize = 40;
    Mask plain = RenderText("CODE", style, 4);
    ASSERT_GT(plain.width, 0);
    style.stretchY = 4.0f / 3.0f;
    Mask tall = RenderText("CODE", style, 4);
    style.stretchY = 1;
    style.tracking = 10;
    Mask wide = RenderText("CODE", style, 4);
    EXPECT_NEAR(float(tall.height - 8), float(plain.height - 8) * 4.0f / 3.0f, 3.0f);
    EXPECT_NEAR(InkWidth(wide) - InkWidth(plain), 30, 2);   // three gaps between four letters
    float ink = 0;
    for (float c : plain.coverage) ink += c;
    EXPECT_GT(ink, 0.1f * InkWidth(plain) * (plain.height - 8));
}
