// Screen-space effects and the opening scene, checked call by call without GL.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/clock.h"
#include "shell/window.h"
#include "fx/background.h"
#include "fx/screen_overlay.h"
#include "fx/screen_quad.h"
#include "scenes/resources.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"
#include "support/call_recorder.h"

namespace {

// Pixel position of a normalised device x (0 at the left edge) and y (0 at the top).
double PixelX(float ndc) { return (ndc + 1.0) * 320.0; }
double PixelY(float ndc) { return (1.0 - ndc) * 240.0; }

TEST(ScreenQuad, WholeTextureAtTheTopLeftCoversPixelsFromThreeQuartersIn)
{
    ScopedCallRecorder r;
    ScreenVertex block[4] = {};
    DrawScreenQuad(block, 0, 0, 255, 255, 1, 1, 2, 2, 1.0f);
    ASSERT_EQ(r.recorder.Ops(), std::vector<std::string>{"DrawQuad"});
    const std::vector<ScreenVertex>& v = r.recorder.calls[0].vertices;
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
    ScopedCallRecorder r;
    ScreenVertex block[4] = {};
    DrawScreenQuad(block, 0, 0, 255, 255, -200, 1, 2, 2, 0.5f);
    ASSERT_EQ(r.recorder.calls.size(), 1u);
    const std::vector<ScreenVertex>& v = r.recorder.calls[0].vertices;
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
    ScopedCallRecorder r;
    ScreenVertex block[4] = {};
    // Layout 2556 × 1916 units from (-639, -479): twice the screen, centred on it.
    DrawScreenQuad(block, 0, 0, 255, 255, -639, -479, 10.023529f, 7.5137253f, 1.0f);
    const std::vector<ScreenVertex>& v = r.recorder.calls.at(0).vertices;
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
    ScopedCallRecorder r;
    ScreenVertex block[4] = {};
    DrawScreenQuad(block, 0, 0, 255, 255, 1300, 1, 2, 2, 1.0f);    // right
    DrawScreenQuad(block, 0, 0, 255, 255, -600, 1, 2, 2, 1.0f);    // left
    DrawScreenQuad(block, 0, 0, 255, 255, 1, 1000, 2, 2, 1.0f);    // below
    DrawScreenQuad(block, 0, 0, 255, 255, 1, -600, 2, 2, 1.0f);    // above
    EXPECT_TRUE(r.recorder.calls.empty());
}

TEST(Background, LowerAndUpperPicturesOfTheTextureAsTwoAffineTriangles)
{
    ScopedCallRecorder r;
    DrawBackgroundLower(0.25f, 0.5f, 0.75f, TextureId{1234});
    DrawBackgroundUpper(1.0f, 1.0f, 1.0f, TextureId{99});
    ASSERT_EQ(r.recorder.Ops(), (std::vector<std::string>{"BindTexture", "DrawTriangleAffine", "DrawTriangleAffine",
                                                           "BindTexture", "DrawTriangleAffine", "DrawTriangleAffine"}));
    EXPECT_EQ(r.recorder.calls[0].a, 1234);
    EXPECT_EQ(r.recorder.calls[3].a, 99);
    // Corners 0, 1, 2 then 0, 2, 3 of (-1,-1), (1,-1), (1,1), (-1,1).
    const float x[4] = {-1, 1, 1, -1}, y[4] = {-1, -1, 1, 1}, u[4] = {0, 0.625f, 0.625f, 0};
    const float vLower[4] = {0.96875f, 0.96875f, 0.5f, 0.5f}, vUpper[4] = {0.46875f, 0.46875f, 0, 0};
    const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int call : {1, 2, 4, 5}) {
        const bool lower = call < 3;
        const int* corners = order[(call - 1) % 3];
        for (int k = 0; k < 3; ++k) {
            const ScreenVertex& p = r.recorder.calls[call].vertices[k];
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
    ScopedCallRecorder r;
    DrawScreenOverlay(0.5f, 0.25f, 2.0f, 0.1f, 0.2f, 0.3f, 0.4f, TextureId{77});
    ASSERT_EQ(r.recorder.Ops(), (std::vector<std::string>{"SetDepthTest", "BindTexture", "SetBlendMode",
                                                           "DrawTriangle", "DrawTriangle"}));
    EXPECT_EQ(r.recorder.calls[0].a, 0);   // depth test off
    EXPECT_EQ(r.recorder.calls[1].a, 77);
    EXPECT_EQ(r.recorder.calls[2].a, 10);
    // Corners 0, 1, 2: (ou, ov), (ou + 1, ov), (ou + 1, ov + 1), all times the scale.
    const ScreenVertex* p = r.recorder.calls[3].vertices.data();
    EXPECT_EQ(p[0].u, 1.0f);
    EXPECT_EQ(p[0].v, 0.5f);
    EXPECT_EQ(p[1].u, 3.0f);
    EXPECT_EQ(p[1].v, 0.5f);
    EXPECT_EQ(p[2].u, 3.0f);
    EXPECT_EQ(p[2].v, 2.5f);
    EXPECT_EQ(r.recorder.calls[4].vertices[2].u, 1.0f);   // corner 3
    EXPECT_EQ(r.recorder.calls[4].vertices[2].v, 2.5f);
    for (const RecordedCall* call : {&r.recorder.calls[3], &r.recorder.calls[4]})
        for (const ScreenVertex& q : call->vertices) {
            EXPECT_EQ(q.z, -1.0f);
            EXPECT_EQ(q.alpha, 0.4f);
            EXPECT_EQ(q.red, 0.1f);
        }
    EXPECT_EQ(p[0].screenY, -1.0f);   // the texture's first row at the bottom
}

class OpeningSceneCalls : public ::testing::Test {
protected:
    ScopedCallRecorder r;
    void SetUp() override
    {
        ResetWindowState();
        MainWindow = 1;
        UseFixedFrameClock(60);
        DemoStartTick = DemoClockTicks();
        DemoTime = 0;
        BackdropTexture = TextureId{4242};
    }
    void TearDown() override
    {
        UseFixedFrameClock(0);
        ResetWindowState();
    }
    // The calls of frame n (0-based): from its BindSecondTexture to its ClearFrame.
    std::vector<RecordedCall> FrameCalls(int n)
    {
        std::vector<RecordedCall> frame;
        int seen = -1;
        for (const RecordedCall& c : r.recorder.calls) {
            if (c.op == "BindSecondTexture") ++seen;
            if (seen == n) frame.push_back(c);
            if (seen > n) break;
        }
        return frame;
    }
};

TEST_F(OpeningSceneCalls, FadesInPerFrameAndFlaresAfter17100And17250)
{
    const float phaseBefore = AnimationPhase;
    PlayOpeningScene();
    // Set-up: depth test off before the first frame.
    ASSERT_GE(r.recorder.calls.size(), 1u);
    EXPECT_EQ(r.recorder.calls[0].op, "SetDepthTest");
    EXPECT_EQ(r.recorder.calls[0].a, 0);

    std::vector<std::string> plain = {"BindSecondTexture", "SetBlendMode", "SetBlendMode", "BindTexture",
                                      "DrawTriangleAffine", "DrawTriangleAffine", "PresentFrame", "ClearFrame"};
    std::vector<RecordedCall> first = FrameCalls(0);
    std::vector<std::string> ops;
    for (const RecordedCall& c : first) ops.push_back(c.op);
    EXPECT_EQ(ops, plain);
    EXPECT_EQ(first[0].a, 0);      // nothing on the second unit
    EXPECT_EQ(first[1].a, 20);
    EXPECT_EQ(first[2].a, 64);
    EXPECT_EQ(first[3].a, 4242);
    EXPECT_EQ(first[4].vertices[0].red, 0.0f);   // the first frame is black

    // Brightness steps by 0.002 per frame in double precision, stored as a float.
    float b = 0.0f;
    int frames = 0;
    for (int n = 0;; ++n) {
        std::vector<RecordedCall> frame = FrameCalls(n);
        if (frame.empty()) break;
        ++frames;
        const int32_t t = static_cast<int32_t>(n * 1000LL / 60);
        ASSERT_EQ(frame[4].vertices[0].red, b) << "frame " << n;
        if (b < 1.0f) b = static_cast<float>(static_cast<double>(b) + 0.002);
        const size_t expectedCalls = plain.size() + (t > 17100 ? 4 : 0) + (t > 17250 ? 4 : 0);
        ASSERT_EQ(frame.size(), expectedCalls) << "frame " << n << " at " << t;
        if (t > 17100) {
            EXPECT_EQ(frame[6].op, "SetBlendMode");
            EXPECT_EQ(frame[6].a, 9);
            EXPECT_EQ(frame[8].vertices[0].red, b);   // the value after this frame's step
        }
    }
    EXPECT_EQ(frames, 1077);
    EXPECT_FLOAT_EQ(b, 1.0019943f);
    float phase = phaseBefore;
    // Each step is a double sum stored as a float, not a float sum.
    for (int i = 0; i < 1077; ++i) phase = static_cast<float>(static_cast<double>(phase) + 0.003);
    EXPECT_EQ(AnimationPhase, phase);
}

}  // namespace
