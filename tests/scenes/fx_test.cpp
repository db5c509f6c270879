// Screen-space effects and the opening scene, checked call by call without GL.
#include <gtest/gtest.h>

#include <cmath>

#include "fx/background.h"
#include "fx/screen_overlay.h"
#include "fx/screen_quad.h"
#include "scenes/opening.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"
#include "support/played_scene.h"

namespace {

// Pixel position of a normalised device x (0 at the left edge) and y (0 at the top).
double PixelX(float ndc) { return (ndc + 1.0) * 320.0; }
double PixelY(float ndc) { return (1.0 - ndc) * 240.0; }

TEST(ScreenQuad, WholeTextureAtTheTopLeftCoversPixelsFromThreeQuartersIn)
{
    CallRecorder r;
    ScreenVertex block[4] = {};
    DrawScreenQuad(r, block, 0, 0, 255, 255, 1, 1, 2, 2, 1.0f);
    ASSERT_EQ(r.Ops(), std::vector<std::string>{"DrawQuad"});
    const std::vector<ScreenVertex>& v = r.calls[0].vertices;
    // Top-left and bottom-right corners, within the rounding of the layout constants
    // (1/639 and 1/479 per layout unit).
    EXPECT_NEAR(PixelX(v[0].screenX), 0.75, 2e-3);
    EXPECT_NEAR(PixelY(v[0].screenY), 0.75, 2e-3);
    EXPECT_NEAR(PixelX(v[2].screenX), 255.75, 2e-3);
    EXPECT_NEAR(PixelY(v[2].screenY), 255.75, 2e-3);
    EXPECT_EQ(v[1].screenX, v[2].screenX);
    EXPECT_EQ(v[1].screenY, v[0].screenY);
    EXPECT_EQ(v[3].screenX, v[0].screenX);
    EXPECT_EQ(v[3].screenY, v[2].screenY);
    const float s[4] = {0, 1, 1, 0}, t[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(v[i].u, s[i], 1e-6) << i;
        EXPECT_NEAR(v[i].v, t[i], 1e-6) << i;
        EXPECT_EQ(v[i].u2, v[i].u);
        EXPECT_EQ(v[i].v2, v[i].v);
        EXPECT_EQ(v[i].red, 1.0f);
        EXPECT_EQ(v[i].green, 1.0f);
        EXPECT_EQ(v[i].blue, 1.0f);
        EXPECT_EQ(v[i].alpha, 1.0f);
        EXPECT_EQ(v[i].z, 1.0f);   // a fixed view depth: 1/z stays inside the depth range
    }
    // The block is the one submitted.
    EXPECT_EQ(block[2].screenX, v[2].screenX);
}

TEST(ScreenQuad, StartingLeftOfTheScreenShowsTheRightPartOfTheWindow)
{
    CallRecorder r;
    ScreenVertex block[4] = {};
    DrawScreenQuad(r, block, 0, 0, 255, 255, -200, 1, 2, 2, 0.5f);
    ASSERT_EQ(r.calls.size(), 1u);
    const std::vector<ScreenVertex>& v = r.calls[0].vertices;
    EXPECT_EQ(v[0].screenX, -1.0f);
    EXPECT_EQ(v[3].screenX, -1.0f);
    // The rectangle would start 99.9 pixels left of the screen: that much of its 255-pixel
    // width is cut, and the texture window with it.
    double cut = -PixelX(-200 * 0.0015649452f - 1.0f + 0.00078125f);
    EXPECT_NEAR(v[0].u, cut / 255.0, 1e-5);
    EXPECT_NEAR(v[1].u, 1.0, 1e-6);
    EXPECT_NEAR(v[0].v, 0.0, 1e-6);
    EXPECT_EQ(v[0].alpha, 0.5f);
}

TEST(ScreenQuad, LargerThanTheScreenIsCutLeftTopRightBottomInThatOrder)
{
    CallRecorder r;
    ScreenVertex block[4] = {};
    // Layout 2556 × 1916 units from (-639, -479): twice the screen, centred on it.
    DrawScreenQuad(r, block, 0, 0, 255, 255, -639, -479, 10.023529f, 7.5137253f, 1.0f);
    const std::vector<ScreenVertex>& v = r.calls.at(0).vertices;
    EXPECT_EQ(v[0].screenX, -1.0f);
    EXPECT_EQ(v[0].screenY, 1.0f);
    EXPECT_EQ(v[2].screenX, 1.0f);
    EXPECT_EQ(v[2].screenY, -1.0f);
    // The middle half of the texture shows, within rounding of the layout constants.
    EXPECT_NEAR(v[0].u, 0.25, 2e-3);
    EXPECT_NEAR(v[2].u, 0.75, 2e-3);
    EXPECT_NEAR(v[0].v, 0.25, 2e-3);
    EXPECT_NEAR(v[2].v, 0.75, 2e-3);
}

TEST(ScreenQuad, WhollyOffScreenDrawsNothing)
{
    CallRecorder r;
    ScreenVertex block[4] = {};
    DrawScreenQuad(r, block, 0, 0, 255, 255, 1300, 1, 2, 2, 1.0f);    // right
    DrawScreenQuad(r, block, 0, 0, 255, 255, -600, 1, 2, 2, 1.0f);    // left
    DrawScreenQuad(r, block, 0, 0, 255, 255, 1, 1000, 2, 2, 1.0f);    // below
    DrawScreenQuad(r, block, 0, 0, 255, 255, 1, -600, 2, 2, 1.0f);    // above
    EXPECT_TRUE(r.calls.empty());
}

TEST(Background, LowerAndUpperPicturesOfTheTextureAsTwoAffineTriangles)
{
    CallRecorder r;
    DrawBackgroundLower(r, 0.25f, 0.5f, 0.75f, TextureId{1234});
    DrawBackgroundUpper(r, 1.0f, 1.0f, 1.0f, TextureId{99});
    ASSERT_EQ(r.Ops(), (std::vector<std::string>{"BindTexture", "DrawTriangleAffine", "DrawTriangleAffine",
                                                 "BindTexture", "DrawTriangleAffine", "DrawTriangleAffine"}));
    EXPECT_EQ(r.calls[0].a, 1234);
    EXPECT_EQ(r.calls[3].a, 99);
    // Corners 0, 1, 2 then 0, 2, 3 of (-1,-1), (1,-1), (1,1), (-1,1).
    const float x[4] = {-1, 1, 1, -1}, y[4] = {-1, -1, 1, 1}, u[4] = {0, 0.625f, 0.625f, 0};
    const float vLower[4] = {0.96875f, 0.96875f, 0.5f, 0.5f}, vUpper[4] = {0.46875f, 0.46875f, 0, 0};
    const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int call : {1, 2, 4, 5}) {
        const bool lower = call < 3;
        const int* corners = order[(call - 1) % 3];
        for (int k = 0; k < 3; ++k) {
            const ScreenVertex& p = r.calls[call].vertices[k];
            const int c = corners[k];
            EXPECT_EQ(p.screenX, x[c]);
            EXPECT_EQ(p.screenY, y[c]);
            EXPECT_EQ(p.z, 0.0f);
            EXPECT_EQ(p.u, u[c]);
            EXPECT_EQ(p.v, lower ? vLower[c] : vUpper[c]);
            EXPECT_EQ(p.red, lower ? 0.25f : 1.0f);
            EXPECT_EQ(p.green, lower ? 0.5f : 1.0f);
            EXPECT_EQ(p.blue, lower ? 0.75f : 1.0f);
        }
    }
}

TEST(ScreenOverlay, DepthOffAlphaBlendedScrollingWindow)
{
    CallRecorder r;
    DrawScreenOverlay(r, 0.5f, 0.25f, 2.0f, 0.1f, 0.2f, 0.3f, 0.4f, TextureId{77});
    ASSERT_EQ(r.Ops(), (std::vector<std::string>{"SetDepthTest", "BindTexture", "SetBlendMode",
                                                 "DrawTriangle", "DrawTriangle"}));
    EXPECT_EQ(r.calls[0].a, 0);   // depth test off
    EXPECT_EQ(r.calls[1].a, 77);
    EXPECT_EQ(r.calls[2].a, static_cast<int>(BlendMode::AlphaBlendBilinear));
    // Corners 0, 1, 2: (ou, ov), (ou + 1, ov), (ou + 1, ov + 1), all times the scale.
    const ScreenVertex* p = r.calls[3].vertices.data();
    EXPECT_EQ(p[0].u, 1.0f);
    EXPECT_EQ(p[0].v, 0.5f);
    EXPECT_EQ(p[1].u, 3.0f);
    EXPECT_EQ(p[1].v, 0.5f);
    EXPECT_EQ(p[2].u, 3.0f);
    EXPECT_EQ(p[2].v, 2.5f);
    EXPECT_EQ(r.calls[4].vertices[2].u, 1.0f);   // corner 3
    EXPECT_EQ(r.calls[4].vertices[2].v, 2.5f);
    for (const RecordedCall* call : {&r.calls[3], &r.calls[4]})
        for (const ScreenVertex& q : call->vertices) {
            EXPECT_EQ(q.z, -1.0f);
            EXPECT_EQ(q.alpha, 0.4f);
            EXPECT_EQ(q.red, 0.1f);
        }
    EXPECT_EQ(p[0].screenY, -1.0f);   // the texture's first row at the bottom
}

TEST(OpeningSceneRun, FadesInPerFrameAndFlaresAfter17100And17250)
{
    Resources resources{};
    resources.textures.titleCreditsBackground = TextureId{4242};
    PlayedScene run(SceneId::Opening, 0, resources);
    run.Play();
    std::vector<std::vector<RecordedCall>> frames = run.Frames();
    // Entry: depth test off before the first frame.
    ASSERT_FALSE(frames.empty());
    ASSERT_GE(frames[0].size(), 1u);
    EXPECT_EQ(frames[0][0].op, "SetDepthTest");
    EXPECT_EQ(frames[0][0].a, 0);
    frames[0].erase(frames[0].begin());

    const std::vector<std::string> plain = {"BindSecondTexture", "SetBlendMode", "BindTexture",
                                            "DrawTriangleAffine", "DrawTriangleAffine", "PresentFrame", "ClearFrame"};
    const std::vector<RecordedCall>& first = frames[0];
    std::vector<std::string> ops;
    for (const RecordedCall& c : first) ops.push_back(c.op);
    EXPECT_EQ(ops, plain);
    EXPECT_EQ(first[0].a, 0);      // nothing on the second unit
    EXPECT_EQ(first[1].a, static_cast<int>(BlendMode::OpaqueNearest));
    EXPECT_EQ(first[2].a, 4242);
    EXPECT_EQ(first[3].vertices[0].red, 0.0f);   // the first frame is black

    // Brightness steps by 0.002 per frame in double precision, stored as a float.
    float b = 0.0f;
    for (size_t n = 0; n < frames.size(); ++n) {
        const std::vector<RecordedCall>& frame = frames[n];
        const int32_t t = static_cast<int32_t>(n * 1000LL / 60);
        ASSERT_GE(frame.size(), 4u) << "frame " << n;
        ASSERT_EQ(frame[3].vertices[0].red, b) << "frame " << n;
        if (b < 1.0f) b = static_cast<float>(static_cast<double>(b) + 0.002);
        const size_t expectedCalls = plain.size() + (t > 17100 ? 4 : 0) + (t > 17250 ? 4 : 0);
        ASSERT_EQ(frame.size(), expectedCalls) << "frame " << n << " at " << t;
        if (t > 17100) {
            EXPECT_EQ(frame[5].op, "SetBlendMode");
            EXPECT_EQ(frame[5].a, static_cast<int>(BlendMode::AdditiveFiltersKept));
            EXPECT_EQ(frame[7].vertices[0].red, b);   // the value after this frame's step
        }
    }
    EXPECT_EQ(frames.size(), 1077u);
    EXPECT_EQ(run.recorder.presentTimes.back(), 17933);
    EXPECT_FLOAT_EQ(b, 1.0019943f);
    EXPECT_EQ(run.States().opening.brightness, b);
}

}  // namespace
