// The picture at other sizes: frames written at 1280 × 960 and at 1920 × 1080 (--size)
// hold the 640 × 480 picture, scaled, centred, with black bars; nothing is cut, moved or
// left at its 640 × 480 pixel size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

// One moment of each scene (a short run from just before it) and the loading screen.
struct Moment {
    int32_t start, at;
};
const Moment Moments[] = {{4000, 5000},   {20000, 21000}, {36000, 37000}, {45000, 46000},
                          {70000, 71000}, {84000, 85000}, {90000, 91000}};

// The average of a picture's pixels over the box [x0, x1) × [y0, y1), channel c.
double BoxAverage(const CapturedPicture& p, int x0, int x1, int y0, int y1, int c)
{
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) sum += p.At(x, y)[c];
    return sum / ((x1 - x0) * (y1 - y0));
}

struct Difference {
    double mean = 0;        // mean absolute difference per channel, 0-255
    double farShare = 0;    // share of pixels with a channel more than 64 apart
};

// The area of `big` from (left, 0), width × height, averaged down to the size of `small`
// and compared with it.
Difference CompareScaledDown(const CapturedPicture& big, int left, int width, int height, const CapturedPicture& small)
{
    Difference d;
    long far = 0;
    for (int y = 0; y < small.height; ++y) {
        const int y0 = y * height / small.height, y1 = (y + 1) * height / small.height;
        for (int x = 0; x < small.width; ++x) {
            const int x0 = left + x * width / small.width, x1 = left + (x + 1) * width / small.width;
            double worst = 0;
            for (int c = 0; c < 3; ++c) {
                const double diff = std::abs(BoxAverage(big, x0, x1, y0, y1, c) - small.At(x, y)[c]);
                d.mean += diff;
                worst = std::max(worst, diff);
            }
            if (worst > 64) ++far;
        }
    }
    d.mean /= 3.0 * small.width * small.height;
    d.farShare = static_cast<double>(far) / (small.width * small.height);
    return d;
}

// Frames of every moment at one size ("" for the designed 640 × 480), by moment; the
// loading screen comes with the first.
std::vector<std::string> g_folders[3];
const char* const Sizes[3] = {"", "--size 1280x960", "--size 1920x1080"};

class PictureSizes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        for (int s = 0; s < 3; ++s)
            for (const Moment& m : Moments) {
                std::string folder;
                CaptureDemoFrames(ZIRCON_DEMO, std::string(Sizes[s]) + " --start " + std::to_string(m.start), {m.at},
                                  &folder);
                g_folders[s].push_back(folder);
            }
    }
    static void TearDownTestSuite()
    {
        for (auto& folders : g_folders)
            for (const std::string& f : folders)
                if (!f.empty()) std::system(("rm -rf " + f).c_str());
    }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    }
    static CapturedPicture Frame(int size, int moment, const std::string& name)
    {
        CapturedPicture p;
        EXPECT_TRUE(ReadCapturedPicture(g_folders[size][moment] + "/" + name, &p))
            << g_folders[size][moment] << "/" << name << " (see out.txt there)";
        return p;
    }
};

// Twice the size, averaged back down: the same picture. Texture filtering and the
// rasterisation of edges differ at the finer grid, so the bound is on the average
// difference and on the share of pixels far apart, not on every pixel.
TEST_F(PictureSizes, FramesAtTwiceTheSizeScaleDownToTheDesignedFrames)
{
    for (size_t m = 0; m < std::size(Moments); ++m) {
        std::vector<std::string> names = {CapturedFrameName(Moments[m].at)};
        if (m == 0) names.push_back("loading.png");
        for (const std::string& name : names) {
            const CapturedPicture small = Frame(0, m, name), big = Frame(1, m, name);
            ASSERT_EQ(small.width, 640);
            ASSERT_EQ(big.width, 1280);
            ASSERT_EQ(big.height, 960);
            const Difference d = CompareScaledDown(big, 0, 1280, 960, small);
            RecordProperty(name, std::to_string(d.mean) + " " + std::to_string(d.farShare));
            EXPECT_LT(d.mean, 3.0) << name;
            EXPECT_LT(d.farShare, 0.005) << name;
        }
    }
}

// 1920 × 1080: the 4:3 picture is 1440 × 1080 from column 240, the bars are black, and
// the picture reaches both of its edges.
TEST_F(PictureSizes, WideFramesHoldTheWholePictureCentredBetweenBlackBars)
{
    for (size_t m = 0; m < std::size(Moments); ++m) {
        const std::string name = CapturedFrameName(Moments[m].at);
        const CapturedPicture small = Frame(0, m, name), wide = Frame(2, m, name);
        ASSERT_EQ(wide.width, 1920);
        ASSERT_EQ(wide.height, 1080);
        long barPixels = 0, leftEdgeLit = 0, rightEdgeLit = 0;
        for (int y = 0; y < 1080; ++y) {
            for (int x : {0, 120, 239, 1680, 1800, 1919}) {
                const uint8_t* p = wide.At(x, y);
                barPixels += p[0] + p[1] + p[2] > 0;
            }
            leftEdgeLit += wide.At(240, y)[0] + wide.At(240, y)[1] + wide.At(240, y)[2] > 0;
            rightEdgeLit += wide.At(1679, y)[0] + wide.At(1679, y)[1] + wide.At(1679, y)[2] > 0;
        }
        EXPECT_EQ(barPixels, 0) << name;
        if (Moments[m].at < 90046) {   // the fade's last frames may be black everywhere
            EXPECT_GT(leftEdgeLit, 540) << name;
            EXPECT_GT(rightEdgeLit, 540) << name;
        }
        const Difference d = CompareScaledDown(wide, 240, 1440, 1080, small);
        RecordProperty(name, std::to_string(d.mean) + " " + std::to_string(d.farShare));
        EXPECT_LT(d.mean, 3.5) << name;
        EXPECT_LT(d.farShare, 0.01) << name;
    }
}

}  // namespace
