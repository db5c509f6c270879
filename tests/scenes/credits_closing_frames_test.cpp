// What a viewer sees of the credits and the closing scene: frames of the real program
// captured headless and checked against the pictures of the data set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

// Bilinear sample of one channel (0-2 colour, 3 opacity = 255 - file alpha, which is
// what the program reads) at texture coordinates s, t over the whole picture, repeating.
double Sample(const CapturedPicture& p, double s, double t, int channel)
{
    const double x = s * p.width - 0.5, y = t * p.height - 0.5;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    auto texel = [&](int xi, int yi) {
        xi = (xi % p.width + p.width) % p.width;
        yi = (yi % p.height + p.height) % p.height;
        const uint8_t* c = p.At(xi, yi);
        return channel == 3 ? 255.0 - c[3] : static_cast<double>(c[channel]);
    };
    return (texel(x0, y0) * (1 - fx) + texel(x0 + 1, y0) * fx) * (1 - fy) +
           (texel(x0, y0 + 1) * (1 - fx) + texel(x0 + 1, y0 + 1) * fx) * fy;
}

int Sum(const uint8_t* p) { return p[0] + p[1] + p[2]; }

// One run of the demo for a test suite, its frames read on demand.
class FrameRun {
public:
    void Capture(int32_t start, const std::vector<int32_t>& times)
    {
        if (!std::getenv("DISPLAY")) return;
        ran_ = !CaptureDemoFrames(ZIRCON_DEMO, "--fps 60 --start " + std::to_string(start), times, &folder_).empty();
    }
    void Remove()
    {
        if (!folder_.empty()) std::system(("rm -rf " + folder_).c_str());
    }
    bool Ran() const { return ran_; }
    const std::string& Folder() const { return folder_; }
    CapturedPicture Frame(int32_t demoTime) const
    {
        CapturedPicture p;
        EXPECT_TRUE(ReadCapturedPicture(folder_ + "/" + CapturedFrameName(demoTime), &p)) << "no frame at " << demoTime;
        EXPECT_EQ(p.width, 640);
        EXPECT_EQ(p.height, 480);
        return p;
    }

private:
    std::string folder_;
    bool ran_ = false;
};

CapturedPicture DataPicture(const char* name)
{
    CapturedPicture p;
    EXPECT_TRUE(ReadCapturedPicture(std::string("megadata/") + name, &p)) << name;
    return p;
}

FrameRun g_credits;
FrameRun g_closing;

class CreditsFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Frames every 1000/60 ms from 44900: 45033 and 45050 around the first beat,
        // 48000 to 48050 around the second, 51033 and 51050 around the third.
        g_credits.Capture(44900, {45033, 45050, 46000, 48000, 48016, 48033, 48050, 51033, 51050});
    }
    static void TearDownTestSuite() { g_credits.Remove(); }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_TRUE(g_credits.Ran()) << "the demo run failed; see " << g_credits.Folder() << "/out.txt";
    }

    // Mean difference, over the rows just below the centre line, between a frame and two
    // explanations of it from the frame before: with credit band `band` laid over it at
    // alpha 0.99 (first), or unchanged (second).
    static std::pair<double, double> BandErrors(const CapturedPicture& frame, const CapturedPicture& before, int band)
    {
        static const CapturedPicture credits = DataPicture("credits1024.png");
        const float edges[4] = {0.0f, 0.09765f, 0.1953f, 0.29295f};
        double withBand = 0, without = 0;
        int n = 0;
        // The band covers rows 240-314; its edge rows are left out.
        for (int y = 241; y <= 313; ++y)
            for (int x = 0; x < 640; ++x) {
                const double s = (x + 0.5) / 640 * 0.625;
                const double t = edges[band] + (y + 0.5 - 240) / 75 * (edges[band + 1] - edges[band]);
                const double a = 0.99 * Sample(credits, s, t, 3) / 255;
                for (int c = 0; c < 3; ++c) {
                    const double under = before.At(x, y)[c];
                    withBand += std::abs(frame.At(x, y)[c] - (Sample(credits, s, t, c) * a + under * (1 - a)));
                    without += std::abs(frame.At(x, y)[c] - under);
                    ++n;
                }
            }
        return {withBand / n, without / n};
    }
};

TEST_F(CreditsFrames, EachBandShowsJustAfterItsBeatBelowTheCentre)
{
    const int32_t beats[3][2] = {{45033, 45050}, {48033, 48050}, {51033, 51050}};
    for (int band = 0; band < 3; ++band) {
        const auto errors = BandErrors(g_credits.Frame(beats[band][1]), g_credits.Frame(beats[band][0]), band);
        EXPECT_LT(errors.first, 10.0) << "band " << band;
        EXPECT_GT(errors.second, 2.5 * errors.first) << "band " << band;
    }
}

TEST_F(CreditsFrames, NoBandBetween48000And48038)
{
    const int32_t frames[3][2] = {{48000, 48016}, {48016, 48033}, {48033, 48050}};
    for (int i = 0; i < 2; ++i) {
        const auto errors = BandErrors(g_credits.Frame(frames[i][1]), g_credits.Frame(frames[i][0]), 1);
        EXPECT_GT(errors.first, 2.5 * errors.second) << frames[i][1];
    }
}

TEST_F(CreditsFrames, TheModelIsTranslucentOverTheBackdrop)
{
    // Stars of the backdrop (nearest texels: pixel (x, y) shows texel (x, y) of the
    // upper picture) show through the model: a star under the model lifts the frame
    // above its neighbours by a share of its own lift above them.
    const CapturedPicture backdrop = DataPicture("backdropbg_megademo1024.png");
    const CapturedPicture frame = g_credits.Frame(46000);
    auto model = [&](int x, int y) { return frame.At(x, y)[2] > 110 && frame.At(x, y)[1] > 60; };
    int modelPixels = 0, stars = 0;
    double frameLift = 0, starLift = 0;
    for (int y = 3; y < 477; ++y)
        for (int x = 3; x < 637; ++x) {
            modelPixels += model(x, y);
            const double lift = Sum(backdrop.At(x, y)) - (Sum(backdrop.At(x - 3, y)) + Sum(backdrop.At(x + 3, y))) / 2.0;
            if (lift < 250 || !(model(x - 3, y) && model(x + 3, y) && model(x, y - 3) && model(x, y + 3))) continue;
            ++stars;
            starLift += lift;
            frameLift += Sum(frame.At(x, y)) - (Sum(frame.At(x - 3, y)) + Sum(frame.At(x + 3, y))) / 2.0;
        }
    EXPECT_GT(modelPixels, 640 * 480 / 5);
    ASSERT_GE(stars, 10);
    // Model alpha 0.7-0.9 times the texture's opacity (0.51-0.97): 3-60 % shows through.
    EXPECT_GT(frameLift / starLift, 0.15);
    EXPECT_LT(frameLift / starLift, 0.7);
}

class ClosingFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite() { g_closing.Capture(88000, {88900, 89316, 90033, 90050, 93900}); }
    static void TearDownTestSuite() { g_closing.Remove(); }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_TRUE(g_closing.Ran()) << "the demo run failed; see " << g_closing.Folder() << "/out.txt";
    }
};

TEST_F(ClosingFrames, TheLatticeGlowsOverTheVortex)
{
    // The lower vortex picture, texel (x, 512 + y) at pixel (x, y), with the lattice added:
    // never darker, much brighter where panels are, and the plain picture between them.
    const CapturedPicture vortex = DataPicture("vortex_kasser1024.png");
    for (int32_t time : {88900, 89316, 90033}) {
        const CapturedPicture frame = g_closing.Frame(time);
        int darker = 0, glowing = 0, plain = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                int lowest = 255, highest = -255, added = 0;
                for (int c = 0; c < 3; ++c) {
                    const int d = frame.At(x, y)[c] - vortex.At(x, 512 + y)[c];
                    lowest = std::min(lowest, d);
                    highest = std::max(highest, d);
                    added += d;
                }
                darker += lowest < -2;
                glowing += added > 90;
                plain += lowest >= -2 && highest <= 2;
            }
        EXPECT_EQ(darker, 0) << time;
        EXPECT_GT(glowing, 640 * 480 / 4) << time;
        EXPECT_GT(plain, 640 * 480 / 50) << time;
    }
}

TEST_F(ClosingFrames, TheWhitePictureAtFullBrightnessThenBlackBy93900)
{
    // BlendMode::OpaqueNearest: the nearest texel of the 256 × 256 picture stretched over the screen.
    // Where a pixel centre falls on a texel edge either texel may be chosen.
    const CapturedPicture white = DataPicture("whiteflash.png");
    const CapturedPicture first = g_closing.Frame(90050);
    int largest = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const double u = (x + 0.5) * 256 / 640, v = (y + 0.5) * 256 / 480;
            int nearest = 255;
            for (int tx : {static_cast<int>(u - 1e-6), static_cast<int>(u + 1e-6)})
                for (int ty : {static_cast<int>(v - 1e-6), static_cast<int>(v + 1e-6)}) {
                    int error = 0;
                    for (int c = 0; c < 3; ++c)
                        error = std::max(error, std::abs(first.At(x, y)[c] - white.At(std::min(tx, 255), std::min(ty, 255))[c]));
                    nearest = std::min(nearest, error);
                }
            largest = std::max(largest, nearest);
        }
    EXPECT_LE(largest, 2);
    const CapturedPicture last = g_closing.Frame(93900);
    int lit = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) lit += Sum(last.At(x, y)) != 0;
    EXPECT_EQ(lit, 0);
}

}  // namespace
