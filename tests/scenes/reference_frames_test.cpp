// The whole demo as a viewer sees it, against reference frames kept in the repository:
// a frame every 500 ms from 0 to 94000 at --fps 60, each scaled down to 160 × 120 by
// averaging 4 × 4 blocks, compared channel by channel. A frame fails when its mean
// absolute difference exceeds 0.5 of 255 or any averaged pixel is off by more than 16:
// the same program on the same renderer gives 0 and 0, while any change a viewer could
// notice (a moved edge, a changed fade or colour) is far above either. The failure names
// the frame.
//
// The frames are the play through's (play_through.h), or the full-size frames in
// ZIRCON_REFERENCE_SOURCE. ZIRCON_WRITE_REFERENCES=1 writes the references from them
// instead (scripts/update-reference-frames).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "play_through.h"
#include "support/captured_frames.h"

namespace {

constexpr int Scale = 4, SmallWidth = 160, SmallHeight = 120;
constexpr double MeanTolerance = 0.5;
constexpr int PixelTolerance = 16;

// RGB, 4 × 4 blocks averaged with rounding.
std::vector<uint8_t> ScaleDown(const CapturedPicture& p)
{
    std::vector<uint8_t> small(SmallWidth * SmallHeight * 3);
    for (int y = 0; y < SmallHeight; ++y)
        for (int x = 0; x < SmallWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < Scale; ++dy)
                    for (int dx = 0; dx < Scale; ++dx) sum += p.At(x * Scale + dx, y * Scale + dy)[c];
                small[(y * SmallWidth + x) * 3 + c] = static_cast<uint8_t>((sum + Scale * Scale / 2) / (Scale * Scale));
            }
    return small;
}

bool ReadSmall(const std::string& path, std::vector<uint8_t>* rgb)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    if (image.width != SmallWidth || image.height != SmallHeight) {
        png_image_free(&image);
        return false;
    }
    rgb->resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr) != 0;
}

bool WriteSmall(const std::string& path, const std::vector<uint8_t>& rgb)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = SmallWidth;
    image.height = SmallHeight;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

TEST(ReferenceFrames, TheWholeDemoAtSixtyFramesASecondLooksAsItDid)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    const bool write = std::getenv("ZIRCON_WRITE_REFERENCES") != nullptr;
    const char* source = std::getenv("ZIRCON_REFERENCE_SOURCE");
    const std::string folder = source ? source : PlayThroughFolder();

    int compared = 0;
    for (int32_t t : ReferenceTimes()) {
        const std::string name = CapturedFrameName(t);
        CapturedPicture frame;
        ASSERT_TRUE(ReadCapturedPicture(folder + "/" + name, &frame)) << "no frame " << name;
        ASSERT_EQ(frame.width, SmallWidth * Scale);
        ASSERT_EQ(frame.height, SmallHeight * Scale);
        const std::vector<uint8_t> small = ScaleDown(frame);
        const std::string reference = std::string(ZIRCON_REFERENCE_DIR) + "/" + name;
        if (write) {
            ASSERT_TRUE(WriteSmall(reference, small)) << reference;
            continue;
        }
        std::vector<uint8_t> expected;
        ASSERT_TRUE(ReadSmall(reference, &expected)) << "no reference " << reference;
        double sum = 0;
        int worst = 0;
        for (size_t i = 0; i < small.size(); ++i) {
            const int d = std::abs(int(small[i]) - int(expected[i]));
            sum += d;
            worst = std::max(worst, d);
        }
        const double mean = sum / small.size();
        EXPECT_TRUE(mean <= MeanTolerance && worst <= PixelTolerance)
            << "frame " << name << " differs from its reference: mean " << mean << ", worst " << worst;
        ++compared;
    }
    if (!write) {
        EXPECT_EQ(compared, 189);
    }
}

// Apart from any reference: every second of the play through from 1 to 90 s (the fade
// to white starts at 90.046 s) shows a picture. Black is a mean luma (0.299 R + 0.587 G
// + 0.114 B) of 2 or less; flat is less than 5 between the 10th and 90th percentile. The
// darkest designed moment, 1 s into the fade-in, has a mean of 4.9 and a spread of 9.9.
TEST(ReferenceFrames, EverySecondFromOneToNinetyShowsAPictureNeitherBlackNorFlat)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    for (int32_t t = 1000; t <= 90000; t += 1000) {
        const std::string name = CapturedFrameName(t);
        CapturedPicture frame;
        ASSERT_TRUE(ReadCapturedPicture(PlayThroughFolder() + "/" + name, &frame)) << "no frame " << name;
        std::vector<double> luma;
        luma.reserve(frame.rgba.size() / 4);
        for (size_t i = 0; i < frame.rgba.size(); i += 4)
            luma.push_back(0.299 * frame.rgba[i] + 0.587 * frame.rgba[i + 1] + 0.114 * frame.rgba[i + 2]);
        double sum = 0;
        for (double y : luma) sum += y;
        std::sort(luma.begin(), luma.end());
        const double mean = sum / luma.size();
        const double low = luma[luma.size() / 10], high = luma[luma.size() * 9 / 10];
        EXPECT_GT(mean, 2.0) << name << " is black";
        EXPECT_GE(high - low, 5.0) << name << " is flat: luma " << low << " to " << high;
    }
}

}  // namespace
