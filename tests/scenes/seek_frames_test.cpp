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

#include "play_through.h"
#include "support/captured_frames.h"

namespace {

std::string CaptureAt(const std::string& options, const std::vector<int32_t>& times)
{
    std::string folder;
    CaptureDemoFrames(ZIRCON_DEMO, std::string(PlayThroughOptions()) + " " + options, times, &folder);
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
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        ASSERT_EQ(std::system(("test -f " + straight + "/t0091000.png").c_str()), 0)
            << "no play through in " << straight << " (the frames_play_through fixture)";
    }
    const std::string straight = PlayThroughFolder();
};

TEST_F(SeekFrames, AStartInsideEachSceneShowsThePlayThroughsFrames)
{
    for (const Landing& l : Starts) {
        SCOPED_TRACE(std::string(l.scene) + " from " + std::to_string(l.start));
        const std::string folder = CaptureAt("--start " + std::to_string(l.start), l.compared);
        ASSERT_FALSE(folder.empty()) << "the run failed";
        for (int32_t t : l.compared)
            EXPECT_TRUE(SamePicture(folder + "/" + CapturedFrameName(t), straight + "/" + CapturedFrameName(t)))
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
        const std::string command = "cd " + folder + " && " + ZIRCON_DEMO + " " + PlayThroughOptions() + " --start " +
                                    std::to_string(s.start) + " --keys keys > out.txt 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << "see " << folder << "/out.txt";
        char shot[40];
        std::snprintf(shot, sizeof shot, "/zircon-t%07d.png", static_cast<int>(s.shot));
        EXPECT_TRUE(SamePicture(folder + shot, straight + "/" + CapturedFrameName(s.shot)));
        std::system(("rm -rf " + folder).c_str());
    }
}

}  // namespace
