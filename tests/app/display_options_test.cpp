// Where the 4:3 picture sits in a frame of any size, and the display options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "gfx/frame_target.h"

namespace {

TEST(PictureArea, LargestCentredFourByThreeThatFits)
{
    const int cases[][6] = {{640, 480, 0, 0, 640, 480},    {1920, 1080, 240, 0, 1440, 1080},
                            {1000, 500, 166, 0, 667, 500}, {800, 1000, 0, 200, 800, 600},
                            {1366, 768, 171, 0, 1024, 768}, {0, 480, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        const PictureArea a = FitPictureArea(c[0], c[1]);
        EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}), (std::vector<int>{c[2], c[3], c[4], c[5]}))
            << c[0] << "x" << c[1];
    }
}

std::string Parse(std::vector<const char*> args, DemoOptions* o)
{
    args.insert(args.begin(), "zircon-megademo");
    std::string error;
    return ParseOptions(static_cast<int>(args.size()), args.data(), o, &error) ? "" : error;
}

TEST(DisplayOptions, ReadCombinedAndRefused)
{
    DemoOptions r, o, p, q;
    EXPECT_EQ(Parse({"--record", "a.mp4", "--size", "1920x1080", "--desktop", "--msaa", "4"}, &r), "");
    int w = 0, h = 0;
    WrittenFrameSize(r, &w, &h);
    EXPECT_EQ((std::vector<int>{w, h, r.msaa, r.desktop}), (std::vector<int>{1920, 1080, 4, 1}));
    for (const char* bad : {"1920", "x1080", "8x8", "1920x1080x", "20000x100"})
        EXPECT_EQ(Parse({"--size", bad}, &o), "--size takes WIDTHxHEIGHT in pixels, each from 16 to 16384 (e.g. 1920x1080)");
    EXPECT_EQ(Parse({"--desktop", "--window"}, &p), "--desktop and --window exclude each other");
    EXPECT_EQ(Parse({"--desktop", "--size", "800x600"}, &q), "--size sets the size of a window: it does not go with --desktop");
}

}  // namespace
