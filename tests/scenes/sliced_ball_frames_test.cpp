// What a viewer sees of the second scene: frames of the real program captured headless
// at 60 frames per second from 17950 ms, compared with the background picture they are
// drawn over.
//
// Where neither the ball nor the band is drawn, a pixel shows texel (x, 512 + y) of the
// background picture under two noise layers. Most columns of the noise picture are
// nearly transparent from top to bottom whatever the scroll, so in those "quiet" columns
// a pixel differs from the background only where the ball or the band covers it. The ball
// is opaque and may be darker than the background; the band is additive and only
// brightens; so pixels darker than the background belong to the ball's cap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

// Frames are drawn at DemoTime 17950 + floor(n × 1000 / 60).
constexpr int32_t Start = 17950;
int32_t SceneFrame(int n) { return Start + TimeOfFrame60(n); }

// The frames looked at: early, mid-scene, four in a row around the first beat (the
// kick lands at 21050, the first DemoTime after 21038), the other two beats, the end.
const int32_t Early = SceneFrame(3);           // 18000
const int32_t Middle = SceneFrame(93);         // 19500
const int32_t BeforeKick = SceneFrame(185);    // 21033
const int32_t Kicked = SceneFrame(186);        // 21050
const int32_t SecondBeat = SceneFrame(369);    // 24100
const int32_t ThirdBeat = SceneFrame(549);     // 27100
const int32_t Last = SceneFrame(717);          // 29900

// The ball's centre on screen: the world origin, moved 250 units left at a distance of
// sqrt(800² + 100²), lies at screen x -250 / 806.2 = -0.31, y 0: pixel (221, 240).
constexpr int CentreX = 221, CentreY = 240;

constexpr int Threshold = 30;   // a difference no filtering or noise layer explains

std::string g_folder;
bool g_ran = false;
CapturedPicture g_background;             // the 1024 × 1024 background texture
std::vector<bool> g_quiet(640, false);    // columns the noise layers leave untouched

// Pixel x of a full-screen layer samples texel columns around (x + 0.5) × 256 / 640 - 0.5;
// the column is quiet when both of those are below 12/255 opaque in every row.
void FindQuietColumns(const CapturedPicture& noise)
{
    for (int x = 0; x < 640; ++x) {
        const double u = (x + 0.5) * noise.width / 640.0 - 0.5;
        const int left = static_cast<int>(std::floor(u));
        int most = 0;
        for (int column : {left, left + 1})
            for (int y = 0; y < noise.height; ++y)
                most = std::max(most, 255 - noise.At((column + noise.width) % noise.width, y)[3]);
        g_quiet[x] = most <= 12;
    }
}

struct Measures {
    int darker = 0;         // quiet pixels darker than the background in some channel (the cap)
    double darkerX = 0;     // their mean position
    double darkerY = 0;
    double disc = 0;        // share of quiet pixels within 50 pixels of the centre that differ
    double discSpread = 0;  // standard deviation of their brightness (a texture, not a flat fill)
    double rightEdge = 0;   // share of quiet pixels with x >= 560 that differ
    double light = 0;       // light added over the background, in channel levels per quiet pixel
    double lit = 0;         // share of quiet pixels brighter than the background in every channel
    double leftLit = 0;     // the same share among pixels with x < 40
};

// Counts and their share of a total.
struct Share {
    int hits = 0, all = 0;
    void Add(bool hit) { hits += hit, ++all; }
    double Of() const { return all ? double(hits) / all : 0; }
};

Measures Measure(const CapturedPicture& frame)
{
    Measures m;
    Share disc, edge, lit, leftLit;
    double light = 0, discSum = 0, discSquares = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            if (!g_quiet[x]) continue;
            const uint8_t* f = frame.At(x, y);
            const uint8_t* b = g_background.At(x, 512 + y);
            int largest = 0, brighter = 0;
            bool darker = false;
            for (int c = 0; c < 3; ++c) {
                const int d = f[c] - b[c];
                largest = std::max(largest, std::abs(d));
                darker = darker || d < -Threshold;
                brighter += d > Threshold;
                if (d > 0) light += d;
            }
            const bool changed = largest > Threshold;
            lit.Add(brighter == 3);
            if (x < 40) leftLit.Add(brighter == 3);
            if (x >= 560) edge.Add(changed);
            if (darker) {
                ++m.darker;
                m.darkerX += x;
                m.darkerY += y;
            }
            if ((x - CentreX) * (x - CentreX) + (y - CentreY) * (y - CentreY) <= 50 * 50) {
                disc.Add(changed);
                const double brightness = f[0] + f[1] + f[2];
                discSum += brightness;
                discSquares += brightness * brightness;
            }
        }
    if (m.darker) {
        m.darkerX /= m.darker;
        m.darkerY /= m.darker;
    }
    m.disc = disc.Of();
    if (disc.all) {
        const double mean = discSum / disc.all;
        m.discSpread = std::sqrt(std::max(0.0, discSquares / disc.all - mean * mean));
    }
    m.rightEdge = edge.all ? edge.Of() : 1;
    m.lit = lit.Of();
    m.leftLit = leftLit.Of();
    m.light = lit.all ? light / lit.all : 0;
    return m;
}

class SlicedBallFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        CapturedPicture noise;
        if (!ReadCapturedPicture("megadata/tori_radial_bg1024.png", &g_background) ||
            !ReadCapturedPicture("megadata/vertnoise.png", &noise))
            return;
        FindQuietColumns(noise);
        std::vector<int32_t> times;
        for (int n : {3, 93, 183, 184, 185, 186, 187, 369, 549, 717}) times.push_back(SceneFrame(n));
        g_ran = !CaptureDemoFrames(ZIRCON_DEMO, "--fps 60 --no-dialogs --start " + std::to_string(Start), times,
                                   &g_folder)
                     .empty();
    }
    static void TearDownTestSuite()
    {
        if (!g_folder.empty()) std::system(("rm -rf " + g_folder).c_str());
    }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_EQ(g_background.width, 1024) << "no background picture in megadata/";
        ASSERT_TRUE(g_ran) << "the demo run failed; see " << g_folder << "/out.txt";
    }
    static Measures Frame(int32_t time)
    {
        CapturedPicture p;
        if (!ReadCapturedPicture(g_folder + "/" + CapturedFrameName(time), &p) || p.width != 640 || p.height != 480) {
            ADD_FAILURE() << "no 640 × 480 frame " << CapturedFrameName(time);
            return Measures{};
        }
        return Measure(p);
    }
};

TEST_F(SlicedBallFrames, TheCapCoversADiscLeftOfTheScreenCentreAndTheRightEdgeShowsTheBackground)
{
    for (int32_t time : {Early, Middle, BeforeKick, SecondBeat, ThirdBeat, Last}) {
        const Measures m = Frame(time);
        EXPECT_GT(m.disc, 0.85) << time;         // covered round the ball's centre...
        EXPECT_GT(m.discSpread, 20.0) << time;   // ...by something textured
        // Far from the ball, the background alone (at 21033 the ball reaches past the
        // screen centre, and the band from that side of the rim runs off to the right).
        if (time != BeforeKick) {
            EXPECT_LT(m.rightEdge, 0.05) << time;
        }
    }
    // Only the opaque cap makes pixels darker than the background: where they lie shows
    // where the ball is drawn.
    for (int32_t time : {Early, Middle, BeforeKick, Last}) {
        const Measures m = Frame(time);
        EXPECT_GT(m.darker, 300) << time;
        EXPECT_LT(m.darkerX, 280.0) << time;
        EXPECT_LT(std::hypot(m.darkerX - CentreX, m.darkerY - CentreY), 100.0) << time;
    }
}

TEST_F(SlicedBallFrames, TheBandAddsLightOutToTheLeftEdge)
{
    for (int32_t time : {Early, Middle, BeforeKick, SecondBeat, ThirdBeat, Last}) {
        const Measures m = Frame(time);
        EXPECT_GT(m.lit, 0.3) << time;
        EXPECT_GT(m.leftLit, 0.6) << time;   // the band runs off the screen's left edge
        EXPECT_GT(m.light, 100.0) << time;
    }
}

TEST_F(SlicedBallFrames, OnTheBeatTheBandShootsOutLongerAndBrighter)
{
    const Measures before = Frame(BeforeKick), kicked = Frame(Kicked), after = Frame(SceneFrame(187));
    EXPECT_GT(kicked.light, before.light * 1.2);
    EXPECT_GT(kicked.lit, before.lit * 1.2);
    // Kicked, it reaches past the eye and lights the far side of the screen too.
    EXPECT_LT(before.rightEdge, 0.5);
    EXPECT_GT(kicked.rightEdge, 0.9);
    // It shrinks by 10 a frame, so the next frame is as bright within a few per cent.
    EXPECT_NEAR(after.light / kicked.light, 1.0, 0.05);
}

TEST_F(SlicedBallFrames, ConsecutiveFramesMoveSmoothly)
{
    std::vector<CapturedPicture> frames(4);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(ReadCapturedPicture(g_folder + "/" + CapturedFrameName(SceneFrame(183 + i)), &frames[i])) << i;
    for (int i = 0; i + 1 < 4; ++i) {
        double difference = 0;
        for (size_t k = 0; k < frames[i].rgba.size(); k += 4)
            for (int c = 0; c < 3; ++c) difference += std::abs(frames[i].rgba[k + c] - frames[i + 1].rgba[k + c]);
        difference /= frames[i].rgba.size() / 4 * 3;
        EXPECT_GT(difference, 0.2) << i;   // the picture moves...
        if (SceneFrame(183 + i + 1) != Kicked) {
            EXPECT_LT(difference, 8.0) << i;   // ...without jumps
        }
    }
    // The cap keeps its place and size from frame to frame: no flicker.
    for (int i = 0; i + 1 < 4; ++i) {
        const Measures a = Frame(SceneFrame(183 + i)), b = Frame(SceneFrame(184 + i));
        EXPECT_LT(std::hypot(a.darkerX - b.darkerX, a.darkerY - b.darkerY), 10.0) << i;
        EXPECT_NEAR(double(b.darker) / a.darker, 1.0, 0.15) << i;
    }
}

}  // namespace
