// The soundtrack as a player hears it: decoded by the mpg123 program (gapless, honouring
// the encoder's info tag, as the demo's audio library does through libmpg123).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data_dir.h"
#include "sound/sequencer.h"

namespace {

struct Pcm {
    std::vector<int16_t> left, right;
};

bool HaveMpg123() { return std::system("command -v mpg123 >/dev/null 2>&1") == 0; }

// The whole soundtrack decoded once per test process.
const Pcm& Decoded()
{
    static const Pcm pcm = [] {
        Pcm p;
        std::string command = "mpg123 -q -s '" + DataPath("demusik.mp3") + "'";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return p;
        int16_t frame[2];
        while (std::fread(frame, sizeof frame, 1, pipe) == 1) {
            p.left.push_back(frame[0]);
            p.right.push_back(frame[1]);
        }
        pclose(pipe);
        return p;
    }();
    return pcm;
}

long Frame(double ms) { return std::lround(ms * 44.1); }

// Level in dB relative to full scale over [fromMs, toMs).
double RmsDb(const Pcm& p, double fromMs, double toMs)
{
    double sum = 0;
    long n = 0;
    for (long i = Frame(fromMs); i < Frame(toMs) && i < long(p.left.size()); ++i, ++n) {
        sum += double(p.left[i]) * p.left[i] + double(p.right[i]) * p.right[i];
    }
    return 10 * std::log10(sum / (2.0 * std::max(1L, n)) / (32768.0 * 32768.0) + 1e-12);
}

// The onset of the loudest hit within 40 ms of `ms`: the first moment the level
// (largest magnitude over the last millisecond) reaches half of that hit's peak. Pre-echo
// of the encoder and the tail of earlier notes stay below half.
double OnsetNear(const Pcm& p, double ms)
{
    long from = Frame(ms - 40), to = Frame(ms + 40), hold = 44;
    auto level = [&](long i) {
        int m = 0;
        for (long k = std::max(0L, i - hold); k <= i; ++k) m = std::max({m, std::abs(int(p.left[k])), std::abs(int(p.right[k]))});
        return m;
    };
    int peak = 0;
    for (long i = from; i < to; ++i) peak = std::max({peak, std::abs(int(p.left[i])), std::abs(int(p.right[i]))});
    for (long i = from; i < to; ++i) {
        if (2 * level(i) >= peak) return double(i) / 44.1;
    }
    return -1;
}

}  // namespace

TEST(Soundtrack, FileIs192kbpsJointStereo44kHzWithAnInfoTag)
{
    std::vector<uint8_t> bytes = FileBytes(DataPath("demusik.mp3"));
    ASSERT_GT(bytes.size(), 400u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1] & 0xFE, 0xFA);          // MPEG-1 layer III
    EXPECT_EQ(bytes[2] >> 4, 11);              // 192 kbit/s
    EXPECT_EQ((bytes[2] >> 2) & 3, 0);         // 44,100 Hz
    EXPECT_EQ(bytes[3] >> 6, 1);               // joint stereo
    std::string head(bytes.begin(), bytes.begin() + 400);
    EXPECT_NE(head.find("Info"), std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);
    // 96 s at 192 kbit/s.
    EXPECT_NEAR(double(bytes.size()), 96.0 * 192000 / 8, 20000.0);
}

TEST(Soundtrack, DecodesGaplesslyToExactlyTheRenderedLength)
{
    if (!HaveMpg123()) GTEST_SKIP() << "the mpg123 program is not installed";
    const Pcm& p = Decoded();
    EXPECT_EQ(long(p.left.size()), Frame(kSongMs));
}

TEST(Soundtrack, KickOnsetsOpenEveryBeatWindow)
{
    if (!HaveMpg123()) GTEST_SKIP() << "the mpg123 program is not installed";
    const Pcm& p = Decoded();
    ASSERT_GE(long(p.left.size()), Frame(80000));
    const double windows[] = {21038, 24052, 27047, 33038, 36038, 39038, 45038, 48038, 51038, 69038, 72038, 75038};
    for (double w : windows) {
        SCOPED_TRACE(w);
        EXPECT_NEAR(OnsetNear(p, w), w, 15.0);
    }
    // The hits are placed on the bar grid to the sample.
    for (double hit : BeatWindowHitsMs()) {
        SCOPED_TRACE(hit);
        EXPECT_NEAR(OnsetNear(p, hit), hit, 1.0);
    }
}

TEST(Soundtrack, LevelsFollowTheScenesAndEndInSilence)
{
    if (!HaveMpg123()) GTEST_SKIP() << "the mpg123 program is not installed";
    const Pcm& p = Decoded();
    ASSERT_EQ(long(p.left.size()), Frame(kSongMs));
    int peak = 0;
    for (size_t i = 0; i < p.left.size(); ++i) peak = std::max({peak, std::abs(int(p.left[i])), std::abs(int(p.right[i]))});
    EXPECT_LT(20 * std::log10(peak / 32768.0), -1.0);

    double intro = RmsDb(p, 0, 3000), swell = RmsDb(p, 12000, 15000);
    double drop = RmsDb(p, 30038, 54038), breakdown = RmsDb(p, 54500, 65500), drop2 = RmsDb(p, 69038, 87038);
    EXPECT_LT(intro, swell - 6);        // the intro swells
    EXPECT_LT(swell, drop);
    EXPECT_GT(drop, -20.0);             // sensible loudness
    EXPECT_LT(breakdown, drop - 4);     // the breakdown drops back
    EXPECT_LT(breakdown, drop2 - 4);
    EXPECT_LT(RmsDb(p, 94000, 96000), -80.0);   // silent after the fade
}
