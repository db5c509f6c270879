// The same demo times at 24, 60, 144 and 240 frames a second look the same: every step a
// scene takes once per frame follows elapsed time, so a frame differs from the 60 fps
// frame of its time only by where the frames fell inside the beat windows and fades.
// Each moment is filmed from the start of what it depends on (--start), at times that
// every one of the rates draws exactly (multiples of 250 ms).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

// Mean absolute difference of grey ((R + G + B) / 3) over the whole frame, 0..255.
double MeanGreyDifference(const CapturedPicture& a, const CapturedPicture& b)
{
    double sum = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const uint8_t *p = a.At(x, y), *q = b.At(x, y);
            sum += std::fabs((p[0] + p[1] + p[2]) / 3.0 - (q[0] + q[1] + q[2]) / 3.0);
        }
    return sum / (static_cast<double>(a.width) * a.height);
}

struct Stretch {
    int32_t start;                 // --start: the beginning of what the moments depend on
    std::vector<int32_t> moments;
    const char* what;
};

const Stretch Stretches[] = {
    {0, {2000, 4000}, "the title's fade-in"},
    {21000, {21250, 21500}, "the band kicked in the first beat, and after it"},
    {33000, {33250, 34000, 36250, 37000}, "the ball's leaps inside two beats, and after them"},
    {45000, {45250, 46500}, "the first credit held, then fading"},
    {59000, {60000}, "the spinning squares and the field sources"},
    {69000, {69250, 69750}, "the greetings held, then fading"},
    {78000, {80000}, "the closing camera's circle"},
    {90000, {90250, 90750, 91250}, "the final fade"},
};

// A frame at another rate may differ from the 60 fps one only where frames fell
// differently inside a window or fade: measured at most 1.6 (the ball 250 ms into its
// second leap at 24 fps, where a frame's step is 2.5 designed frames of 0.012 each).
// The fault this guards against differs by 10 to 100.
constexpr double Bound = 3.0;

TEST(PaceFrames, EveryRateShowsTheSixtyFramesASecondPictureAtTheSameTime)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    for (const Stretch& s : Stretches) {
        std::string folders[4];
        const int rates[4] = {60, 24, 144, 240};
        for (int r = 0; r < 4; ++r)
            ASSERT_NE(CaptureDemoFrames(ZIRCON_DEMO, "--fps " + std::to_string(rates[r]) + " --start " +
                                                         std::to_string(s.start),
                                        s.moments, &folders[r]),
                      "")
                << rates[r] << " fps from " << s.start << ": see " << folders[r] << "/out.txt";
        for (int32_t t : s.moments) {
            CapturedPicture at60;
            ASSERT_TRUE(ReadCapturedPicture(folders[0] + "/" + CapturedFrameName(t), &at60)) << t;
            for (int r = 1; r < 4; ++r) {
                CapturedPicture other;
                ASSERT_TRUE(ReadCapturedPicture(folders[r] + "/" + CapturedFrameName(t), &other))
                    << rates[r] << " fps, " << t;
                const double d = MeanGreyDifference(at60, other);
                std::printf("%-50s %6d ms  %3d fps: %.2f\n", s.what, t, rates[r], d);
                EXPECT_LE(d, Bound) << s.what << ", " << t << " ms at " << rates[r] << " fps";
            }
        }
        for (const std::string& f : folders) std::system(("rm -rf " + f).c_str());
    }
}

}  // namespace
