// What a viewer sees of the twisting ball: frames of the real program, captured headless,
// against the vortex picture they are drawn over.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

// One run from just before the scene, at 60 fps: frame n is drawn at 29990 + n·1000/60,
// so these are the first frames at or after 30.1, 32.0, 33.1, 33.4, 36.2, 39.2, 41.9 s.
const int32_t Start = 29990;
const std::vector<int32_t> Times = {30106, 32006, 33106, 33406, 36206, 39206, 41906};
// Frames in which the whole ball is on screen.
const std::vector<int32_t> WholeBallTimes = {33406, 36206, 39206};

std::string g_folder;
bool g_ran = false;

class TwistingBallFrames : public ::testing::Test {
protected:
    static CapturedPicture background;   // the upper picture of the vortex texture

    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        g_ran = !CaptureDemoFrames(ZIRCON_DEMO, "--fps 60 --start " + std::to_string(Start), Times, &g_folder).empty();
        ReadCapturedPicture("megadata/vortex_kasser1024.png", &background);
    }
    static void TearDownTestSuite()
    {
        if (!g_folder.empty()) std::system(("rm -rf " + g_folder).c_str());
    }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_TRUE(g_ran) << "the demo run failed; see " << g_folder << "/out.txt";
        ASSERT_EQ(background.width, 1024);
    }
    static CapturedPicture Frame(int32_t t)
    {
        CapturedPicture p;
        if (!ReadCapturedPicture(g_folder + "/" + CapturedFrameName(t), &p)) ADD_FAILURE() << "no frame at " << t;
        return p;
    }
    // Largest channel difference between the frame and the background picture; the
    // background is drawn texel for texel, so it matches exactly where nothing covers it.
    static int Difference(const CapturedPicture& frame, int x, int y)
    {
        const uint8_t* a = frame.At(x, y);
        const uint8_t* b = background.At(x, y);
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(a[c] - b[c]));
        return d;
    }
    static bool Ball(const CapturedPicture& frame, int x, int y) { return Difference(frame, x, y) > 24; }
    static int Brightness(const CapturedPicture& frame, int x, int y)
    {
        const uint8_t* p = frame.At(x, y);
        return p[0] + p[1] + p[2];
    }
};

CapturedPicture TwistingBallFrames::background;

TEST_F(TwistingBallFrames, TheBallStandsCentredInFrontOfTheVortexPicture)
{
    for (int32_t t : Times) {
        CapturedPicture frame = Frame(t);
        ASSERT_EQ(frame.width, 640);
        ASSERT_EQ(frame.height, 480);
        long ball = 0, untouched = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                if (Ball(frame, x, y)) ++ball;
                if (Difference(frame, x, y) == 0) ++untouched;
            }
        EXPECT_GT(ball, 640 * 480 / 12) << t;
        EXPECT_GT(untouched, 640 * 480 / 8) << t;
    }
    for (int32_t t : WholeBallTimes) {
        CapturedPicture frame = Frame(t);
        long count = 0, sumX = 0, sumY = 0;
        int left = 640, right = -1, top = 480, bottom = -1;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (Ball(frame, x, y)) {
                    ++count, sumX += x, sumY += y;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GT(count, 0) << t;
        EXPECT_NEAR(sumX / count, 320, 60) << t;
        EXPECT_NEAR(sumY / count, 240, 60) << t;
        EXPECT_NEAR((left + right) / 2, 320, 60) << t;
        EXPECT_NEAR((top + bottom) / 2, 240, 60) << t;
        EXPECT_GT(left, 0) << t;
        EXPECT_LT(right, 639) << t;
        // Around it, the picture is untouched.
        for (int y : {0, 1, 2, 477, 478, 479})
            for (int x = 0; x < 640; ++x) ASSERT_EQ(Difference(frame, x, y), 0) << t << ": " << x << "," << y;
    }
}

TEST_F(TwistingBallFrames, TheMapsSkyIsAboveAndItsFloorBelowWhereverTheCameraIs)
{
    // At the outline the surface faces away from the centre of the view, so the mean
    // normal there is that direction: up at the top of the outline, which the map shows
    // as its bright sky (u near 0), down at the bottom, its dark floor (u near 1). An
    // inside-out ball, a map glued to the surface or a reflection turned the wrong way
    // would not keep this in every frame.
    for (int32_t t : Times) {
        CapturedPicture frame = Frame(t);
        long topSum = 0, topCount = 0, bottomSum = 0, bottomCount = 0;
        for (int x = 0; x < 640; x += 4) {
            int first = -1, last = -1;
            for (int y = 0; y < 480; ++y)
                if (Ball(frame, x, y)) {
                    if (first < 0) first = y;
                    last = y;
                }
            if (first < 0 || last - first < 12) continue;
            if (first > 2) topSum += Brightness(frame, x, first + 3), ++topCount;
            if (last < 477) bottomSum += Brightness(frame, x, last - 3), ++bottomCount;
        }
        ASSERT_GT(topCount, 20) << t;
        ASSERT_GT(bottomCount, 20) << t;
        EXPECT_GT(topSum / topCount, bottomSum / bottomCount + 200) << t;
    }
}

TEST_F(TwistingBallFrames, TheOutlineIsFilledWithoutHoles)
{
    // A face dropped on the near side would let the vortex show through inside the ball,
    // since the far side behind it is dropped too: a patch that matches the picture
    // exactly and does not reach the edge of the screen.
    for (int32_t t : Times) {
        CapturedPicture frame = Frame(t);
        std::vector<int> seen(640 * 480, 0);
        int largest = 0;
        for (int y0 = 0; y0 < 480; ++y0)
            for (int x0 = 0; x0 < 640; ++x0) {
                if (seen[y0 * 640 + x0] || Difference(frame, x0, y0) != 0) continue;
                int size = 0;
                bool reachesEdge = false;
                std::vector<std::pair<int, int>> stack = {{x0, y0}};
                seen[y0 * 640 + x0] = 1;
                while (!stack.empty()) {
                    auto [x, y] = stack.back();
                    stack.pop_back();
                    ++size;
                    if (x == 0 || y == 0 || x == 639 || y == 479) reachesEdge = true;
                    const std::pair<int, int> next[] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
                    for (auto [nx, ny] : next)
                        if (nx >= 0 && ny >= 0 && nx < 640 && ny < 480 && !seen[ny * 640 + nx] &&
                            Difference(frame, nx, ny) == 0) {
                            seen[ny * 640 + nx] = 1;
                            stack.push_back({nx, ny});
                        }
                }
                if (!reachesEdge) largest = std::max(largest, size);
            }
        EXPECT_LE(largest, 16) << t;
    }
}

}  // namespace
