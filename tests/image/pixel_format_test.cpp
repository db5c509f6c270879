// Pixel-format descriptors and the per-pixel operations of images.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>

#include "image/image.h"
#include "image/pixel_format.h"

namespace {

struct DescriptorRow {
    const PixelFormat* format;
    int bits;
    uint32_t red, green, blue;
    int shifts[3];
    int losses[3];
};

// The eleven descriptors in the order they are built.
const DescriptorRow Descriptors[] = {
    {&FormatRGB555, 16, 0x7C00, 0x03E0, 0x001F, {10, 5, 0}, {3, 3, 3}},
    {&FormatBGR555, 16, 0x001F, 0x03E0, 0x7C00, {0, 5, 10}, {3, 3, 3}},
    {&FormatRGB565, 16, 0xF800, 0x07E0, 0x001F, {11, 5, 0}, {3, 2, 3}},
    {&FormatBGR565, 16, 0x001F, 0x07E0, 0xF800, {0, 5, 11}, {3, 2, 3}},
    {&FormatRGB888, 24, 0xFF0000, 0x00FF00, 0x0000FF, {16, 8, 0}, {0, 0, 0}},
    {&FormatBGR888, 24, 0x0000FF, 0x00FF00, 0xFF0000, {0, 8, 16}, {0, 0, 0}},
    {&FormatXRGB8888, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, {16, 8, 0}, {0, 0, 0}},
    {&FormatXBGR8888, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, {0, 8, 16}, {0, 0, 0}},
    {&FormatRGBX8888, 32, 0xFF000000, 0x00FF0000, 0x0000FF00, {24, 16, 8}, {0, 0, 0}},
    {&FormatBGRX8888, 32, 0x0000FF00, 0x00FF0000, 0xFF000000, {8, 16, 24}, {0, 0, 0}},
    {&FormatRGB565Wide, 32, 0x0000F800, 0x000007E0, 0x0000001F, {11, 5, 0}, {3, 2, 3}},
};

TEST(PixelFormat, ElevenDescriptorsInTableOrder)
{
    for (size_t i = 0; i < std::size(Descriptors); ++i) {
        const DescriptorRow& row = Descriptors[i];
        const PixelFormat& f = *row.format;
        SCOPED_TRACE(i);
        EXPECT_EQ(f.bitsPerPixel, row.bits);
        EXPECT_EQ(f.redMask, row.red);
        EXPECT_EQ(f.greenMask, row.green);
        EXPECT_EQ(f.blueMask, row.blue);
        EXPECT_EQ(f.redShift, row.shifts[0]);
        EXPECT_EQ(f.greenShift, row.shifts[1]);
        EXPECT_EQ(f.blueShift, row.shifts[2]);
        EXPECT_EQ(f.redLoss, row.losses[0]);
        EXPECT_EQ(f.greenLoss, row.losses[1]);
        EXPECT_EQ(f.blueLoss, row.losses[2]);
        EXPECT_EQ(BytesPerPixel(f), row.bits / 8);
    }
}

TEST(PixelFormat, EmptyWideAndGappedMasks)
{
    const PixelFormat empty(32, 0, 0, 0);
    EXPECT_EQ(empty.redShift, 32);
    EXPECT_EQ(empty.redLoss, 8);

    // More than 8 consecutive bits: the loss goes negative and wraps as a byte.
    const PixelFormat wide(32, 0xFFFFFFFFu, 0x000003FF, 0x80000000u);
    EXPECT_EQ(wide.redShift, 0);
    EXPECT_EQ(wide.redLoss, static_cast<uint8_t>(8 - 32));
    EXPECT_EQ(wide.greenLoss, static_cast<uint8_t>(8 - 10));
    EXPECT_EQ(wide.blueShift, 31);
    EXPECT_EQ(wide.blueLoss, 7);

    // Only the run from the lowest set bit counts.
    const PixelFormat gapped(16, 0x0B00, 0x0001, 0x0000);
    EXPECT_EQ(gapped.redShift, 8);
    EXPECT_EQ(gapped.redLoss, 6);
    EXPECT_EQ(gapped.greenLoss, 7);
}

TEST(PixelFormat, BytesPerPixelOnlyFor16And24And32Bits)
{
    for (int bits : {0, 1, 8, 15, 17, 23, 25, 31, 33, 64, -16})
        EXPECT_EQ(BytesPerPixel(PixelFormat(bits, 0, 0, 0)), 0) << bits;
}

TEST(Image, StoresItsValuesAndSizesTheBufferByFormat)
{
    Image image(5, 3, &FormatRGB888, 7);
    EXPECT_EQ(image.Width(), 5);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(image.Pitch(), 7);
    EXPECT_EQ(image.Format(), &FormatRGB888);
    ASSERT_NE(image.Pixels(), nullptr);
    EXPECT_EQ(image.BufferSize(), 3u * 7u * 3u);

    const PixelFormat eightBits(8, 0xE0, 0x1C, 0x03);
    Image empty(4, 4, &eightBits, 4);
    EXPECT_EQ(empty.BufferSize(), 0u);
}

TEST(Image, UnallocatableBufferLeavesPixelsNull)
{
    Image negative(4, -1, &FormatXRGB8888, 16);
    EXPECT_EQ(negative.Pixels(), nullptr);
    Image huge(INT32_MAX, INT32_MAX, &FormatXRGB8888, INT32_MAX);
    EXPECT_EQ(huge.Pixels(), nullptr);
    EXPECT_EQ(huge.BufferSize(), 0u);
    uint8_t r = 1, g = 2, b = 3, a = 4;
    huge.SetPixel(0, 0, 9, 9, 9, 9);
    huge.GetPixel(0, 0, &r, &g, &b, &a);
    EXPECT_EQ(r + g + b + a, 1 + 2 + 3 + 4);
}

TEST(Image, SixteenBitPixelsPackAs565)
{
    Image image(4, 2, &FormatRGB565, 4);
    image.SetPixel(1, 1, 255, 255, 255, 7);
    uint16_t stored;
    std::memcpy(&stored, image.Pixels() + 2 * (1 + 1 * 4), 2);
    EXPECT_EQ(stored, 0xFFFF);
    uint8_t r, g, b, a = 99;
    image.GetPixel(1, 1, &r, &g, &b, &a);
    EXPECT_EQ(r, 248);
    EXPECT_EQ(g, 252);
    EXPECT_EQ(b, 248);
    EXPECT_EQ(a, 0);

    image.SetPixel(0, 0, 0x12, 0x34, 0x56, 0);
    std::memcpy(&stored, image.Pixels(), 2);
    EXPECT_EQ(stored, (0x12 >> 3) << 11 | (0x34 >> 2) << 5 | (0x56 >> 3));
}

TEST(Image, TwentyFourAndThirtyTwoBitPixelsAreBytesInOrder)
{
    Image rgb(3, 2, &FormatRGB888, 3);
    rgb.SetPixel(2, 1, 10, 20, 30, 40);
    EXPECT_EQ(rgb.Pixels()[3 * 5 + 0], 10);
    EXPECT_EQ(rgb.Pixels()[3 * 5 + 1], 20);
    EXPECT_EQ(rgb.Pixels()[3 * 5 + 2], 30);
    uint8_t r, g, b, a = 99;
    rgb.GetPixel(2, 1, &r, &g, &b, &a);
    EXPECT_EQ(r * 10000 + g * 100 + b, 10 * 10000 + 20 * 100 + 30);
    EXPECT_EQ(a, 0);

    Image rgba(3, 2, &FormatXBGR8888, 3);
    rgba.SetPixel(1, 1, 1, 2, 3, 4);
    EXPECT_EQ(rgba.Pixels()[4 * 4 + 3], 4);
    rgba.GetPixel(1, 1, &r, &g, &b, &a);
    EXPECT_EQ(r * 1000 + g * 100 + b * 10 + a, 1234);
}

TEST(Image, PutElementStoresTheLowByteAtXPlusYTimesPitch)
{
    Image image(4, 2, &FormatXRGB8888, 16);
    image.PutElement(3, 1, 0x1234ABu);
    EXPECT_EQ(image.Pixels()[3 + 16], 0xAB);
}

TEST(Image, OtherSizesAndPixelsOutsideTheBufferAreLeftAlone)
{
    const PixelFormat eightBits(8, 0xE0, 0x1C, 0x03);
    Image none(2, 2, &eightBits, 2);
    uint8_t r = 1, g = 2, b = 3, a = 4;
    none.SetPixel(0, 0, 9, 9, 9, 9);
    none.GetPixel(0, 0, &r, &g, &b, &a);
    EXPECT_EQ(r * 1000 + g * 100 + b * 10 + a, 1234);

    Image image(2, 2, &FormatXRGB8888, 2);
    std::memset(image.Pixels(), 0, image.BufferSize());
    image.SetPixel(2, 1, 9, 9, 9, 9);    // element 4: one past the last
    image.SetPixel(-1, 0, 9, 9, 9, 9);
    image.PutElement(0, 8, 9);            // byte 16: one past the last
    for (size_t i = 0; i < image.BufferSize(); ++i) EXPECT_EQ(image.Pixels()[i], 0) << i;
    image.GetPixel(0, 2, &r, &g, &b, &a);
    EXPECT_EQ(r * 1000 + g * 100 + b * 10 + a, 1234);
}

}  // namespace
