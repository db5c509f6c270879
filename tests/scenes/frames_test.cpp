// What a viewer sees: frames of the real program captured headless and checked pixel by
// pixel against the pictures of the data set.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

using Picture = CapturedPicture;

bool ReadPicture(const std::string& path, Picture* picture) { return ReadCapturedPicture(path, picture); }

std::string g_frames;   // capture directory of the one run all tests share
bool g_ran = false;

// Frame n of the fixed 60 fps clock is drawn at DemoTime floor(n × 1000 / 60).
int32_t TimeOfFrame(int n) { return static_cast<int32_t>(n * 1000LL / 60); }

// The opening scene's brightness when frame n is drawn: n steps of 0.002 taken in double
// precision and stored as a float, stopping once at 1.0 or more.
float BrightnessOfFrame(int n)
{
    float b = 0.0f;
    for (int i = 0; i < n; ++i)
        if (b < 1.0f) b = static_cast<float>(static_cast<double>(b) + 0.002);
    return b;
}

class CapturedFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        char dir[] = "/tmp/zircon-frames-XXXXXX";
        if (!mkdtemp(dir)) return;
        g_frames = dir;
        std::string times;
        for (int n : {0, 60, 250, 600, 1026, 1027, 1035, 1036}) times += std::to_string(TimeOfFrame(n)) + ",";
        times.pop_back();
        std::string command = std::string(ZIRCON_DEMO) + " --fps 60 --capture " + g_frames + " --at " + times +
                              " > " + g_frames + "/out.txt 2>&1";
        g_ran = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite()
    {
        if (!g_frames.empty()) std::system(("rm -rf " + g_frames).c_str());
    }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_TRUE(g_ran) << "the demo run failed; see " << g_frames << "/out.txt";
    }
    static Picture Frame(const std::string& name)
    {
        Picture p;
        if (!ReadPicture(g_frames + "/" + name, &p)) {
            ADD_FAILURE() << "no frame " << name;
            return Picture{};
        }
        EXPECT_EQ(p.width, 640);
        EXPECT_EQ(p.height, 480);
        return p;
    }
    static std::string FrameName(int n)
    {
        char name[32];
        std::snprintf(name, sizeof name, "t%07d.png", static_cast<int>(TimeOfFrame(n)));
        return name;
    }
};

// Bilinear sample of one channel (0-2 colour, 3 opacity = 255 - file alpha, which is
// what the program reads), texture coordinates 0..1 over the whole picture.
double Sample(const Picture& p, double s, double t, int channel)
{
    double x = s * p.width - 0.5, y = t * p.height - 0.5;
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    auto texel = [&](int xi, int yi) {
        xi = (xi % p.width + p.width) % p.width;   // repeat wrapping
        yi = (yi % p.height + p.height) % p.height;
        const uint8_t* c = p.At(xi, yi);
        return channel == 3 ? 255.0 - c[3] : static_cast<double>(c[channel]);
    };
    return (texel(x0, y0) * (1 - fx) + texel(x0 + 1, y0) * fx) * (1 - fy) +
           (texel(x0, y0 + 1) * (1 - fx) + texel(x0 + 1, y0 + 1) * fx) * fy;
}

// Alpha blending over black: the filtered colour times the filtered opacity.
double SampleOverBlack(const Picture& p, double s, double t, int channel)
{
    return Sample(p, s, t, channel) * Sample(p, s, t, 3) / 255.0;
}

TEST_F(CapturedFrames, LoadingScreenIsTheLoadingPictureAtTheTopLeftOnBlack)
{
    Picture frame = Frame("loading.png");
    Picture loading;
    ASSERT_TRUE(ReadPicture("megadata/loading.png", &loading));
    // The square covers pixels 0.75 .. 255.75; pixel centres from 1 to 255 lie inside.
    int largestError = 0;
    for (int y = 1; y <= 254; ++y)
        for (int x = 1; x <= 254; ++x)
            for (int c = 0; c < 3; ++c) {
                double s = (x + 0.5 - 0.75) / 255.0, t = (y + 0.5 - 0.75) / 255.0;
                int expected = static_cast<int>(std::lround(SampleOverBlack(loading, s, t, c)));
                largestError = std::max(largestError, std::abs(frame.At(x, y)[c] - expected));
            }
    EXPECT_LE(largestError, 6);
    // Nothing else is drawn.
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (x > 256 || y > 256) {
                for (int c = 0; c < 3; ++c) ASSERT_EQ(frame.At(x, y)[c], 0) << x << "," << y;
            }
}

class OpeningScene : public CapturedFrames {
protected:
    Picture title;   // the lower picture of the backdrop texture
    void SetUp() override
    {
        CapturedFrames::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(ReadPicture("megadata/backdropbg_megademo1024.png", &title));
    }
    // Largest difference between frame n and the title picture at the given brightness
    // drawn `copies` times additively (nearest-neighbour texels: pixel (x, y) shows
    // texel (x, 512 + y)).
    int LargestError(const Picture& frame, float brightness, int copies)
    {
        if (frame.width != 640 || frame.height != 480) return 256;
        int largest = 0;
        float b = std::min(brightness, 1.0f);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                for (int c = 0; c < 3; ++c) {
                    double one = title.At(x, 512 + y)[c] * b;
                    int expected = static_cast<int>(std::min(255.0, std::round(one) * copies));
                    largest = std::max(largest, std::abs(frame.At(x, y)[c] - expected));
                }
        return largest;
    }
    static double Mean(const Picture& p)
    {
        if (p.rgba.empty()) return -1.0;
        double sum = 0;
        for (size_t i = 0; i < p.rgba.size(); i += 4) sum += p.rgba[i] + p.rgba[i + 1] + p.rgba[i + 2];
        return sum / (p.rgba.size() / 4 * 3);
    }
};

TEST_F(OpeningScene, FirstFrameIsBlack)
{
    Picture frame = Frame(FrameName(0));
    EXPECT_EQ(Mean(frame), 0.0);
}

TEST_F(OpeningScene, PictureBrightensByTwoThousandthsPerFrame)
{
    for (int n : {60, 250, 600}) {
        Picture frame = Frame(FrameName(n));
        EXPECT_LE(LargestError(frame, BrightnessOfFrame(n), 1), 3) << "frame " << n;
    }
    EXPECT_NEAR(Mean(Frame(FrameName(250))) / Mean(Frame(FrameName(600))), 0.5, 0.01);
}

TEST_F(OpeningScene, FlaresOnlyAfter17100AndAgainAfter17250)
{
    ASSERT_EQ(TimeOfFrame(1026), 17100);
    ASSERT_EQ(TimeOfFrame(1035), 17250);
    EXPECT_LE(LargestError(Frame(FrameName(1026)), 1.0f, 1), 3);   // at 17100 exactly: no copy yet
    EXPECT_LE(LargestError(Frame(FrameName(1027)), 1.0f, 2), 3);
    EXPECT_LE(LargestError(Frame(FrameName(1035)), 1.0f, 2), 3);   // at 17250 exactly: one copy
    EXPECT_LE(LargestError(Frame(FrameName(1036)), 1.0f, 3), 3);
    EXPECT_GT(Mean(Frame(FrameName(1027))), Mean(Frame(FrameName(1026))) * 1.3);
    EXPECT_GT(Mean(Frame(FrameName(1036))), Mean(Frame(FrameName(1035))) * 1.1);
}

}  // namespace
