// Every moment looks the same however it is reached: frames of the real program on the
// fixed 60 fps clock, from a start inside each scene at two moments, and from each kind of
// seek key, against the frames a play through from 0 draws at the same demo times, byte
// for byte. The carried state (a fade's level, beat leaps, a stepped phase, a camera's
// distance) is what a start or a seek must bring along.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdlib.h>
#include <string>
#include <vector>

#include "support/captured_frames.h"

namespace {

struct Landing {
    const char* scene;
    int32_t start;                  // on the 60 fps grid (a multiple of 50 ms)
    std::vector<int32_t> compared;  // the landing frame and later ones
};

// Two starts in each scene: the first and later frames of each.
const std::vector<Landing> Starts = {
    {"opening", 3000, {3000, 5000}},         {"opening", 9000, {9000, 17300}},
    {"sliced ball", 20000, {20000, 21000}},  {"sliced ball", 26500, {26500, 28500}},
    {"twisting ball", 35000, {35000, 36200}}, {"twisting ball", 39000, {39000, 41000}},
    {"credits", 45300, {45300, 46500}},      {"credits", 51200, {51200, 53000}},
    {"implicit surface", 60000, {60000, 61000}}, {"implicit surface", 76000, {76000, 77500}},
    {"closing", 84000, {84000, 86000}},      {"closing", 89500, {89500, 91000}},
};

// Seeks by key from a start, then F12 saves the frame at the time given: every kind of
// seek, in the three scenes that carry the most.
struct KeySeek {
    const char* what;
    int32_t start;
    const char* keys;   // a --keys script
    int32_t shot;       // the demo time F12 saves
};
const std::vector<KeySeek> Seeks = {
    {"Right into the opening", 0, "1000 right\n1500 f12\n1600 escape\n", 6500},
    {"Home back to the opening", 20000, "500 home\n4000 f12\n4100 escape\n", 3500},
    {"Right inside the twisting ball, over two beats", 31000, "1000 right\n2000 f12\n2100 escape\n", 38000},
    {"Left twice back into the twisting ball", 45000, "500 left\n500 left\n1200 f12\n1300 escape\n", 36200},
    {"Page Up to the twisting ball, then Right", 48000, "500 pageup\n500 right\n1500 f12\n1600 escape\n", 36000},
    {"Page Down to the closing, then Right twice", 70000, "500 pagedown\n500 right\n500 right\n1000 f12\n1100 escape\n",
     88500},
    {"Left inside the closing", 89000, "1000 left\n1500 f12\n1600 escape\n", 85500},
};

std::string g_straight;   // the play through's frames
bool g_ran = false;

std::string CaptureAt(const std::string& options, const std::vector<int32_t>& times)
{
    std::string folder;
    CaptureDemoFrames(ZIRCON_DEMO, "--fps 60 --window --no-dialogs " + options, times, &folder);
    return folder;
}

::testing::AssertionResult SamePicture(const std::string& a, const std::string& b)
{
    CapturedPicture pa, pb;
    if (!ReadCapturedPicture(a, &pa)) return ::testing::AssertionFailure() << "no " << a;
    if (!ReadCapturedPicture(b, &pb)) return ::testing::AssertionFailure() << "no " << b;
    if (pa.width != pb.width || pa.height != pb.height) return ::testing::AssertionFailure() << "sizes differ";
    long differing = 0, sum = 0;
    for (size_t i = 0; i < pa.rgba.size(); ++i) {
        const int d = std::abs(pa.rgba[i] - pb.rgba[i]);
        differing += d != 0;
        sum += d;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " channel values differ, mean difference "
                                         << static_cast<double>(sum) / static_cast<double>(pa.rgba.size());
}

class SeekFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY")) return;
        std::vector<int32_t> times;
        for (const Landing& l : Starts) times.insert(times.end(), l.compared.begin(), l.compared.end());
        for (const KeySeek& s : Seeks) times.push_back(s.shot);
        g_straight = CaptureAt("", times);
        g_ran = !g_straight.empty() && std::system(("test -f " + g_straight + "/t0091000.png").c_str()) == 0;
    }
    static void TearDownTestSuite()
    {
        if (!g_straight.empty()) std::system(("rm -rf " + g_straight).c_str());
    }
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_TRUE(g_ran) << "the play through failed; see " << g_straight << "/out.txt";
    }
};

TEST_F(SeekFrames, AStartInsideEachSceneShowsThePlayThroughsFrames)
{
    for (const Landing& l : Starts) {
        SCOPED_TRACE(std::string(l.scene) + " from " + std::to_string(l.start));
        const std::string folder = CaptureAt("--start " + std::to_string(l.start), l.compared);
        ASSERT_FALSE(folder.empty()) << "the run failed";
        for (int32_t t : l.compared)
            EXPECT_TRUE(SamePicture(folder + "/" + CapturedFrameName(t), g_straight + "/" + CapturedFrameName(t)))
                << "at " << t;
        std::system(("rm -rf " + folder).c_str());
    }
}

TEST_F(SeekFrames, EachSeekKeyLandsOnThePlayThroughsFrames)
{
    for (const KeySeek& s : Seeks) {
        SCOPED_TRACE(s.what);
        char dir[] = "/tmp/zircon-seek-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        const std::string folder = dir;
        const std::string script = folder + "/keys";
        FILE* file = std::fopen(script.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(s.keys, file);
        std::fclose(file);
        const std::string command = "cd " + folder + " && " + ZIRCON_DEMO + " --fps 60 --window --no-dialogs --start " +
                                    std::to_string(s.start) + " --keys keys > out.txt 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << "see " << folder << "/out.txt";
        char shot[40];
        std::snprintf(shot, sizeof shot, "/zircon-t%07d.png", static_cast<int>(s.shot));
        EXPECT_TRUE(SamePicture(folder + shot, g_straight + "/" + CapturedFrameName(s.shot)));
        std::system(("rm -rf " + folder).c_str());
    }
}

}  // namespace
