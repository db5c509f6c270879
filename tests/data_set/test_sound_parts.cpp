// Synthesiser parts whose timing the picture depends on, and the encoder's delay
// handling on a short signal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data_dir.h"
#include "sound/mp3_encode.h"
#include "sound/sequencer.h"
#include "sound/synth_effects.h"
#include "sound/synth_voices.h"

TEST(SoundParts, HitsSitOnTheBarGrid)
{
    EXPECT_EQ(SampleAt(38), 1676);
    EXPECT_EQ(SampleAt(kSongMs), 4233600);
    for (double hit : BeatWindowHitsMs()) EXPECT_EQ(std::fmod(hit - 38.0, 3000.0), 0.0) << hit;
}

TEST(SoundParts, KickIsAtFullLevelFromItsFirstSample)
{
    Stereo s = MakeStereo(20000);
    AddKick(s, 1000, 0.8f);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(s.left[i], 0.0f);
    EXPECT_GT(std::fabs(s.left[1000]), 0.5f);
    EXPECT_EQ(s.left[1000], s.right[1000]);
}

TEST(SoundParts, SidechainDucksAtTheTriggerAndRecovers)
{
    Stereo s = MakeStereo(44100);
    for (float& v : s.left) v = 1.0f;
    for (float& v : s.right) v = 1.0f;
    Sidechain(s, {10000}, 0.6f, 0.2f);
    EXPECT_FLOAT_EQ(s.left[5000], 1.0f);
    EXPECT_NEAR(s.left[10000], 0.4f, 1e-5f);
    EXPECT_GT(s.left[10000 + 8820], 0.9f);   // 200 ms later
    EXPECT_LT(s.left[9990], 1.0f);           // the gain is already going down before the hit
}

TEST(SoundParts, MasterKeepsEverySampleUnderTheCeiling)
{
    Stereo s = MakeStereo(44100);
    for (int i = 0; i < 44100; ++i) s.left[i] = s.right[i] = 0.3f * std::sin(i * 0.05f) + (i % 5000 == 0 ? 2.0f : 0.0f);
    Master(s, 1.6f, 0.75f);
    float peak = PeakOf(s);
    EXPECT_LE(peak, 0.75f);
    EXPECT_GT(peak, 0.7f);
}

TEST(SoundParts, EchoesBounceFromLeftToRight)
{
    Stereo s = MakeStereo(2000);
    s.left[10] = 1.0f;
    s.right[10] = 1.0f;
    Stereo wet = PingPongDelay(s, 300, 0.5f);
    EXPECT_FLOAT_EQ(wet.left[310], 1.0f);
    EXPECT_EQ(wet.right[310], 0.0f);
    float later = 0;
    for (int i = 600; i < 700; ++i) later = std::fmax(later, std::fabs(wet.right[i]));
    EXPECT_GT(later, 0.05f);
}

TEST(SoundParts, EncodedBurstDecodesAtItsOwnSample)
{
    if (std::system("command -v mpg123 >/dev/null 2>&1") != 0) GTEST_SKIP() << "the mpg123 program is not installed";
    Stereo s = MakeStereo(44100);
    uint32_t noise = 5;
    for (int i = 12345; i < 14000; ++i) s.left[i] = s.right[i] = 0.5f * NoiseSample(noise);
    std::string path = MakeTempDir() + "/burst.mp3";
    ASSERT_TRUE(EncodeMp3File(path, s));
    FILE* pipe = popen(("mpg123 -q -s '" + path + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<int16_t> left;
    int16_t frame[2];
    while (std::fread(frame, sizeof frame, 1, pipe) == 1) left.push_back(frame[0]);
    pclose(pipe);
    std::remove(path.c_str());
    ASSERT_EQ(left.size(), 44100u);   // encoder delay and padding removed
    long first = -1;
    for (size_t i = 0; i < left.size() && first < 0; ++i) {
        if (std::abs(left[i]) > 4000) first = long(i);
    }
    EXPECT_NEAR(first, 12345, 3);
}
