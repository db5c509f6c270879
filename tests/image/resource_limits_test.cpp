// The largest pictures the loader takes, and what they cost: a picture of 2^24 pixels (the
// most it accepts) decodes within its 64 MiB of pixels plus 8 MiB for libpng's rows and
// working buffers; one pixel more is refused before anything is allocated.
#include <gtest/gtest.h>

#include <memory>

#include "image/png_load.h"
#include "png_files.h"
#include "support/peak_memory.h"

namespace {

constexpr long PixelBytesKb = (1L << 24) * 4 / 1024;   // 64 MiB
constexpr long OverheadBoundKb = 8 * 1024;

TEST(ResourceLimits, LargestSquarePictureLoadsWithinItsPixelsAndEightMegabytes)
{
    const Bytes file = BlankGreyPng(4096, 4096);
    const long before = PeakResidentKb();
    std::unique_ptr<Image> image(DecodePngImage(file.data(), file.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->BufferSize(), static_cast<size_t>(1) << 26);
    // Every pixel written: the buffer is really resident, not just reserved.
    EXPECT_EQ(image->Pixels()[(static_cast<size_t>(1) << 26) - 4], 0);
    if (MeasuringMemory) {
        EXPECT_LE(PeakResidentKb() - before, PixelBytesKb + OverheadBoundKb);
    }
}

TEST(ResourceLimits, WidestPictureLoadsAndOnePixelMoreIsRefused)
{
    const Bytes widest = BlankGreyPng(16384, 1024);
    std::unique_ptr<Image> image(DecodePngImage(widest.data(), widest.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 16384);
    image.reset();

    const long before = PeakResidentKb();
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{4097, 4096}, {16385, 1}, {1, 16385}, {65535, 65535}}) {
        const Bytes file = BlankGreyPng(w, h);
        EXPECT_EQ(DecodePngImage(file.data(), file.size()), nullptr) << w << " x " << h;
    }
    if (MeasuringMemory) {
        EXPECT_LE(PeakResidentKb() - before, 4 * 1024);
    }
}

}  // namespace
