// Frames written at 1280 × 960 and 1920 × 1080 (--size) hold the 640 × 480 picture scaled,
// centred, between black bars: nothing cut, moved or left at its 640 × 480 pixel size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "scenes/play_through.h"
#include "support/captured_frames.h"

namespace {

// One moment of each scene, at larger sizes from a short run started just before it; at
// the designed size the play through's frame (a start shows the same).
const int32_t Starts[] = {4000, 20000, 36000, 45000, 70000, 84000, 90000};
int32_t At(int m) { return Starts[m] + 1000; }
const char* const Sizes[3] = {"", "--size 1280x960", "--size 1920x1080"};
std::vector<std::string> g_folders[3];   // by larger size, then moment

// The area of `big` from column `left`, width × height, averaged down to the size of
// `small`: the mean absolute difference per channel (0-255) and the share of pixels with
// a channel more than 64 apart.
std::pair<double, double> CompareScaledDown(const CapturedPicture& big, int left, int width, int height,
                                            const CapturedPicture& small)
{
    double mean = 0;
    long far = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            const int x0 = left + x * width / small.width, x1 = left + (x + 1) * width / small.width;
            const int y0 = y * height / small.height, y1 = (y + 1) * height / small.height;
            double worst = 0;
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int by = y0; by < y1; ++by)
                    for (int bx = x0; bx < x1; ++bx) sum += big.At(bx, by)[c];
                const double diff = std::abs(sum / ((x1 - x0) * (y1 - y0)) - small.At(x, y)[c]);
                mean += diff;
                worst = std::max(worst, diff);
            }
            far += worst > 64;
        }
    const double pixels = small.width * small.height;
    return {mean / (3 * pixels), far / pixels};
}

class PictureSizes : public ::testing::Test {
protected:
    // Each larger size is captured when a test first needs it (ctest runs each test alone).
    static void Capture(int size)
    {
        for (int m = 0; m < 7; ++m) {
            std::string folder;
            CaptureDemoFrames(ZIRCON_DEMO, std::string(Sizes[size]) + " --start " + std::to_string(Starts[m]),
                              {At(m)}, &folder);
            g_folders[size].push_back(folder);
        }
    }
    static void TearDownTestSuite()
    {
        for (auto& folders : g_folders)
            for (const std::string& f : folders) std::system(("rm -rf " + f).c_str());
    }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    }
    static CapturedPicture Frame(int size, int moment, const std::string& name)
    {
        if (size > 0 && g_folders[size].empty()) Capture(size);
        const std::string folder = size > 0 ? g_folders[size][moment] : PlayThroughFolder();
        CapturedPicture p;
        EXPECT_TRUE(ReadCapturedPicture(folder + "/" + name, &p)) << folder;
        return p;
    }
};

// Twice the size averaged back down is the same picture. Texture filtering and edges fall
// differently on the finer grid, so the bound is on the mean and on the share of pixels
// far apart (measured: mean at most 2.0, far at most 0.15 %).
TEST_F(PictureSizes, FramesAtTwiceTheSizeScaleDownToTheDesignedFrames)
{
    for (int m = 0; m < 7; ++m)
        for (const std::string& name : {CapturedFrameName(At(m)), std::string("loading.png")}) {
            const CapturedPicture small = Frame(0, m, name), big = Frame(1, m, name);
            ASSERT_EQ(big.width, 1280);
            ASSERT_EQ(big.height, 960);
            const auto [mean, farShare] = CompareScaledDown(big, 0, 1280, 960, small);
            EXPECT_LT(mean, 3.0) << name;
            EXPECT_LT(farShare, 0.005) << name;
        }
}

// 1920 × 1080: the picture is 1440 × 1080 from column 240, reaches both of its edges, and
// the bars are black (measured: mean at most 2.7, far at most 0.41 %).
TEST_F(PictureSizes, WideFramesHoldTheWholePictureCentredBetweenBlackBars)
{
    auto lit = [](const uint8_t* p) { return p[0] + p[1] + p[2] > 0; };
    for (int m = 0; m < 7; ++m) {
        const std::string name = CapturedFrameName(At(m));
        const CapturedPicture small = Frame(0, m, name), wide = Frame(2, m, name);
        ASSERT_EQ(wide.width, 1920);
        ASSERT_EQ(wide.height, 1080);
        long barPixels = 0, leftEdge = 0, rightEdge = 0;
        for (int y = 0; y < 1080; ++y) {
            for (int x : {0, 120, 239, 1680, 1800, 1919}) barPixels += lit(wide.At(x, y));
            leftEdge += lit(wide.At(240, y));
            rightEdge += lit(wide.At(1679, y));
        }
        EXPECT_EQ(barPixels, 0) << name;
        if (At(m) < 90046) {   // the fade may be black by then
            EXPECT_GT(leftEdge, 540) << name;
            EXPECT_GT(rightEdge, 540) << name;
        }
        const auto [mean, farShare] = CompareScaledDown(wide, 240, 1440, 1080, small);
        EXPECT_LT(mean, 3.5) << name;
        EXPECT_LT(farShare, 0.01) << name;
    }
}

}  // namespace
