// The recorder's names, ffmpeg command and progress line.
#include <gtest/gtest.h>

#include <algorithm>

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
    EXPECT_EQ(PartialVideoPath("C:\\clips.2026\\demo"), "C:\\clips.2026\\demo.partial");
    EXPECT_EQ(PartialVideoPath("C:\\clips\\demo.mkv"), "C:\\clips\\demo.partial.mkv");
}

std::string Joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& a : arguments) line += (line.empty() ? "" : " ") + a;
    return line;
}

TEST(Record, ArgumentsReadRawFramesAndTheSoundtrackFromTheStart)
{
    const std::vector<std::string> mp4 =
        FfmpegArguments(VideoKind::Mp4, 60, 68500, "my music/demusik.mp3", "out's.partial.mp4");
    const std::string line = Joined(mp4);
    EXPECT_EQ(line.rfind("-hide_banner -loglevel error -nostdin -y "
                         "-f rawvideo -pix_fmt bgra -video_size 640x480 -framerate 60 -i pipe:0 "
                         "-ss 68.500 -i my music/demusik.mp3 -map 0:v:0 -map 1:a:0 -c:v libx264", 0),
              0u);
    EXPECT_NE(line.find("-pix_fmt yuv420p -c:a aac -b:a 192k -movflags +faststart"), std::string::npos);
    // Paths reach ffmpeg whole: no shell splits or unquotes them.
    EXPECT_EQ(mp4[mp4.size() - 2], "-shortest");
    EXPECT_EQ(mp4.back(), "out's.partial.mp4");
    EXPECT_EQ(std::count(mp4.begin(), mp4.end(), "my music/demusik.mp3"), 1);

    const std::string webm = Joined(FfmpegArguments(VideoKind::WebM, 30, 0, "m.mp3", "o.webm", 1920, 1080));
    EXPECT_NE(webm.find("-video_size 1920x1080 -framerate 30"), std::string::npos);
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
