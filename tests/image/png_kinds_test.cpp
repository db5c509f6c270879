// Each kind of PNG comes out as 4 bytes per pixel, red, green, blue and inverted alpha,
// rows width × 4 bytes apart from the top row down.
#include <gtest/gtest.h>
#include <png.h>

#include <memory>
#include <random>
#include <vector>

#include "image/png_load.h"
#include "png_files.h"

namespace {

// The decoded pixels, rows packed together; empty when the loader refuses the file.
Bytes DecodeToRgba(const Bytes& file)
{
    std::unique_ptr<Image> image(DecodePngImage(file.data(), file.size()));
    if (!image) return {};
    EXPECT_EQ(image->Pitch(), image->Width());
    EXPECT_EQ(image->Format(), &FormatXRGB8888);
    const size_t rowBytes = static_cast<size_t>(image->Width()) * 4;
    Bytes rgba;
    for (int y = 0; y < image->Height(); ++y) {
        const uint8_t* row = image->Pixels() + static_cast<size_t>(y) * rowBytes;
        rgba.insert(rgba.end(), row, row + rowBytes);
    }
    return rgba;
}

PngPicture Picture(int width, int height, int colorType, int depth, std::vector<uint16_t> samples)
{
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colorType = colorType;
    p.depth = depth;
    p.samples = std::move(samples);
    return p;
}

std::vector<uint16_t> RandomSamples(size_t count, int depth, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint16_t> samples(count);
    for (uint16_t& s : samples) s = static_cast<uint16_t>(random() & ((1u << depth) - 1));
    return samples;
}

TEST(PngKinds, RgbaAlphaIsInverted)
{
    const Bytes rgba = DecodeToRgba(WritePng(
        Picture(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {9, 8, 7, 255, 9, 8, 7, 0, 9, 8, 7, 100})));
    EXPECT_EQ(rgba, (Bytes{9, 8, 7, 0, 9, 8, 7, 255, 9, 8, 7, 155}));
}

TEST(PngKinds, PaletteEntriesWithAndWithoutTransparency)
{
    PngPicture p = Picture(4, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 1});
    p.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    EXPECT_EQ(DecodeToRgba(WritePng(p)), (Bytes{255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0}));

    // Entries past the end of tRNS are opaque.
    p.paletteAlpha = {0, 200};
    EXPECT_EQ(DecodeToRgba(WritePng(p)), (Bytes{255, 0, 0, 255, 0, 255, 0, 55, 0, 0, 255, 0, 0, 255, 0, 55}));
}

TEST(PngKinds, GreyTransparentLevelGets255)
{
    for (int depth : {2, 8, 16}) {
        SCOPED_TRACE(depth);
        const uint16_t level = depth == 2 ? 1 : depth == 8 ? 77 : 0x4D00;
        const uint16_t other = depth == 2 ? 3 : depth == 8 ? 200 : 0xC800;
        PngPicture p = Picture(2, 1, PNG_COLOR_TYPE_GRAY, depth, {level, other});
        p.transparent = {level};
        const int a = depth == 2 ? 85 : 77;
        const int b = depth == 2 ? 255 : 200;
        EXPECT_EQ(DecodeToRgba(WritePng(p)), (Bytes{uint8_t(a), uint8_t(a), uint8_t(a), 255,
                                                     uint8_t(b), uint8_t(b), uint8_t(b), 0}));
    }
}

// Every 16-bit kind gives the image of its 8-bit reduction (the high byte of each sample).
TEST(PngKinds, SixteenBitEqualsItsEightBitReduction)
{
    const int kinds[] = {PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_GRAY};
    const size_t channels[] = {4, 3, 2, 1};
    for (size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(kinds[k]);
        const PngPicture wide = Picture(5, 4, kinds[k], 16, RandomSamples(20 * channels[k], 16, 40 + k));
        PngPicture narrow = wide;
        narrow.depth = 8;
        for (uint16_t& s : narrow.samples) s >>= 8;
        const Bytes fromWide = DecodeToRgba(WritePng(wide));
        ASSERT_EQ(fromWide.size(), 20u * 4);
        EXPECT_EQ(fromWide, DecodeToRgba(WritePng(narrow)));
    }
}

TEST(PngLayout, ThreeByTwoHasRowsTwelveBytesApartAndTheTopRowFirst)
{
    const Bytes file = WritePng(Picture(3, 2, PNG_COLOR_TYPE_RGB, 8,
                                        {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6}));
    std::unique_ptr<Image> image(DecodePngImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 3);
    EXPECT_EQ(image->Height(), 2);
    EXPECT_EQ(image->Pitch(), 3);
    EXPECT_EQ(image->BufferSize(), 3u * 2u * 4u);
    EXPECT_EQ(image->Pixels()[0], 1);
    EXPECT_EQ(image->Pixels()[3], 0);   // no alpha in the file: 0
    EXPECT_EQ(image->Pixels()[12], 4);
    EXPECT_EQ(image->Pixels()[12 + 8], 6);
}

TEST(PngLayout, Picture256By128HoldsExactlyItsPixels)
{
    const Bytes file = WritePng(Picture(256, 128, PNG_COLOR_TYPE_GRAY, 8, std::vector<uint16_t>(256 * 128, 9)));
    std::unique_ptr<Image> image(DecodePngImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Pitch(), 256);
    EXPECT_EQ(image->BufferSize(), 128u * 1024);
    EXPECT_EQ(image->Pixels()[127 * 1024 + 255 * 4], 9);
}

TEST(PngRefusals, NotAPngOrNoData)
{
    const Bytes file = WritePng(Picture(1, 1, PNG_COLOR_TYPE_GRAY, 8, {0}));
    EXPECT_EQ(DecodePngImage(nullptr, 100), nullptr);
    EXPECT_EQ(DecodePngImage(file.data(), 0), nullptr);
    const Bytes text = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(DecodePngImage(text.data(), text.size()), nullptr);
    Bytes damaged = file;
    damaged[1] = 'p';
    EXPECT_EQ(DecodePngImage(damaged.data(), damaged.size()), nullptr);
    EXPECT_EQ(LoadPngImage(nullptr), nullptr);
}

TEST(PngRefusals, AbsurdDimensionsAreDecodeFailures)
{
    for (auto size : {std::pair<uint32_t, uint32_t>{16385, 1}, {1, 16385}, {4097, 4096}, {0x7FFFFFFF, 1}}) {
        const Bytes file = BlankGreyPng(size.first, size.second);
        EXPECT_EQ(DecodePngImage(file.data(), file.size()), nullptr) << size.first << " x " << size.second;
    }
    for (auto size : {std::pair<uint32_t, uint32_t>{16384, 1}, {1, 16384}}) {
        const Bytes file = BlankGreyPng(size.first, size.second);
        std::unique_ptr<Image> image(DecodePngImage(file.data(), file.size()));
        ASSERT_NE(image, nullptr) << size.first << " x " << size.second;
        EXPECT_EQ(image->Width(), static_cast<int32_t>(size.first));
    }
}

}  // namespace
