// The picture on any screen: where the 4:3 picture sits in a frame of any size, and the
// options that choose the display, the window's size, the frames' size and multisampling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "gfx/frame_target.h"

namespace {

std::string Parse(std::vector<const char*> args, DemoOptions* o)
{
    args.insert(args.begin(), "zircon-megademo");
    std::string error;
    return ParseOptions(static_cast<int>(args.size()), args.data(), o, &error) ? "" : error;
}

void ExpectArea(int width, int height, PictureArea expected)
{
    const PictureArea a = FitPictureArea(width, height);
    EXPECT_EQ(a.x, expected.x) << width << "x" << height;
    EXPECT_EQ(a.y, expected.y) << width << "x" << height;
    EXPECT_EQ(a.width, expected.width) << width << "x" << height;
    EXPECT_EQ(a.height, expected.height) << width << "x" << height;
}

TEST(PictureArea, LargestCentredFourByThreeThatFits)
{
    ExpectArea(640, 480, {0, 0, 640, 480});
    ExpectArea(1280, 960, {0, 0, 1280, 960});
    ExpectArea(1920, 1080, {240, 0, 1440, 1080});   // pillarboxed
    ExpectArea(1000, 500, {166, 0, 667, 500});      // 666.7 wide, rounded; the odd pixel of the bars right
    ExpectArea(800, 1000, {0, 200, 800, 600});      // letterboxed
    ExpectArea(1366, 768, {171, 0, 1024, 768});
    ExpectArea(3, 1, {1, 0, 1, 1});
    ExpectArea(0, 480, {0, 0, 0, 0});               // a window not yet shown draws nothing
}

TEST(DisplayOptions, ReadAndCombined)
{
    DemoOptions o;
    EXPECT_EQ(Parse({"--desktop", "--msaa", "4"}, &o), "");
    EXPECT_TRUE(o.desktop);
    EXPECT_EQ(o.msaa, 4);
    int w = 0, h = 0;
    WrittenFrameSize(o, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);

    DemoOptions r;
    EXPECT_EQ(Parse({"--record", "a.mp4", "--size", "1920x1080", "--desktop"}, &r), "");
    EXPECT_TRUE(WritesFrames(r));
    WrittenFrameSize(r, &w, &h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
}

TEST(DisplayOptions, BadInputIsRefusedWithAReason)
{
    const std::string sizeText = "--size takes WIDTHxHEIGHT in pixels, each from 16 to 16384 (e.g. 1920x1080)";
    for (const char* bad : {"1920", "1920x", "x1080", "8x8", "1920x1080x", "20000x100", "-640x480"}) {
        DemoOptions o;
        EXPECT_EQ(Parse({"--size", bad}, &o), sizeText) << bad;
    }
    DemoOptions o, p, q;
    EXPECT_EQ(Parse({"--msaa", "32"}, &o), "--msaa takes a number of samples from 0 to 16");
    EXPECT_EQ(Parse({"--desktop", "--window"}, &p), "--desktop and --window exclude each other");
    EXPECT_EQ(Parse({"--desktop", "--size", "800x600"}, &q),
              "--size sets the size of a window: it does not go with --desktop");
    std::string help = OptionsHelpText();
    for (const char* option : {"--desktop", "--size", "--msaa"}) EXPECT_NE(help.find(option), std::string::npos);
}

}  // namespace
