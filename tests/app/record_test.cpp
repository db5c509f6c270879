// The recorder's names, ffmpeg command and progress line.
#include <gtest/gtest.h>

#include "app/options.h"
#include "app/record.h"

namespace {

TEST(Record, KindFollowsTheEnding)
{
    EXPECT_EQ(VideoKindOfPath("demo.mp4"), VideoKind::Mp4);
    EXPECT_EQ(VideoKindOfPath("/tmp/a.b/demo.mkv"), VideoKind::Matroska);
    EXPECT_EQ(VideoKindOfPath("demo.webm"), VideoKind::WebM);
    EXPECT_EQ(VideoKindOfPath("demo.avi"), VideoKind::Unknown);
    EXPECT_EQ(VideoKindOfPath("mp4"), VideoKind::Unknown);
}

TEST(Record, PartialNameKeepsTheEndingSoFfmpegKnowsTheContainer)
{
    EXPECT_EQ(PartialVideoPath("build/zircon-megademo.mp4"), "build/zircon-megademo.partial.mp4");
    EXPECT_EQ(PartialVideoPath("/tmp/a.b/clip.webm"), "/tmp/a.b/clip.partial.webm");
    EXPECT_EQ(PartialVideoPath("/tmp/a.b/clip"), "/tmp/a.b/clip.partial");
}

TEST(Record, CommandReadsRawFramesAndTheSoundtrackFromTheStart)
{
    const std::string mp4 = FfmpegCommand(VideoKind::Mp4, 60, 68500, "megadata/demusik.mp3", "out's.partial.mp4");
    EXPECT_EQ(mp4.rfind("nice -n 19 ffmpeg ", 0), 0u);   // the encoder yields to the drawing
    EXPECT_NE(mp4.find("-f rawvideo -pix_fmt bgra -video_size 640x480 -framerate 60 -i pipe:0"), std::string::npos);
    EXPECT_NE(mp4.find("-ss 68.500 -i 'megadata/demusik.mp3'"), std::string::npos);
    EXPECT_NE(mp4.find("-c:v libx264"), std::string::npos);
    EXPECT_NE(mp4.find("-pix_fmt yuv420p"), std::string::npos);
    EXPECT_NE(mp4.find("-c:a aac"), std::string::npos);
    EXPECT_NE(mp4.find("+faststart"), std::string::npos);
    EXPECT_NE(mp4.find("'out'\\''s.partial.mp4'"), std::string::npos);   // quoted for the shell

    const std::string webm = FfmpegCommand(VideoKind::WebM, 30, 0, "m.mp3", "o.webm");
    EXPECT_NE(webm.find("-framerate 30"), std::string::npos);
    EXPECT_NE(webm.find("-ss 0.000"), std::string::npos);
    EXPECT_NE(webm.find("-c:v libvpx-vp9"), std::string::npos);
    EXPECT_NE(webm.find("-c:a libopus"), std::string::npos);
    EXPECT_EQ(webm.find("faststart"), std::string::npos);
}

TEST(Record, ProgressLineShowsPercentRateAndTimeLeft)
{
    EXPECT_EQ(RecordingProgressLine(0.42, 180.4, 72.4), "recording  42%   180 fps  1:12 left");
    EXPECT_EQ(RecordingProgressLine(1.0, 95.0, 0.0), "recording 100%    95 fps  0:00 left");
}

TEST(Record, OptionsImplyTheFixedClockAndNoBoxes)
{
    const char* argv[] = {"zircon-megademo", "--record", "x.mp4", "--until", "70000", "--start", "68500"};
    DemoOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions(7, argv, &o, &error)) << error;
    EXPECT_EQ(o.recordPath, "x.mp4");
    EXPECT_EQ(o.fps, 60);
    EXPECT_TRUE(o.noDialogs);
    EXPECT_EQ(o.untilMs, 70000);

    const char* early[] = {"zircon-megademo", "--start", "5000", "--until", "5000"};
    DemoOptions p;
    EXPECT_FALSE(ParseOptions(5, early, &p, &error));
    EXPECT_EQ(error, "--until must come after --start");
}

}  // namespace
