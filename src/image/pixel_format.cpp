#include "image/pixel_format.h"

namespace {

// Position of the lowest set bit; 32 when no bit is set.
uint8_t MaskShift(uint32_t mask)
{
    for (uint8_t bit = 0; bit < 32; ++bit)
        if (mask & (1u << bit)) return bit;
    return 32;
}

// 8 minus the run of set bits starting at the lowest set bit, kept modulo 256 (a run
// longer than 8 bits wraps, as an 8-bit field does).
uint8_t MaskLoss(uint32_t mask)
{
    for (int i = 0; i < 32 && !(mask & 1u); ++i) mask >>= 1;
    int run = 0;
    while (run < 32 && (mask & 1u)) {
        ++run;
        mask >>= 1;
    }
    return static_cast<uint8_t>(8 - run);
}

}  // namespace

PixelFormat::PixelFormat(int32_t bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue)
    : bitsPerPixel(bitsPerPixel),
      redMask(red),
      greenMask(green),
      blueMask(blue),
      redShift(MaskShift(red)),
      greenShift(MaskShift(green)),
      blueShift(MaskShift(blue)),
      redLoss(MaskLoss(red)),
      greenLoss(MaskLoss(green)),
      blueLoss(MaskLoss(blue))
{
}

// Defined in one unit so that they are built in exactly this order.
const PixelFormat FormatRGB555(16, 0x7C00, 0x03E0, 0x001F);
const PixelFormat FormatBGR555(16, 0x001F, 0x03E0, 0x7C00);
const PixelFormat FormatRGB565(16, 0xF800, 0x07E0, 0x001F);
const PixelFormat FormatBGR565(16, 0x001F, 0x07E0, 0xF800);
const PixelFormat FormatRGB888(24, 0xFF0000, 0x00FF00, 0x0000FF);
const PixelFormat FormatBGR888(24, 0x0000FF, 0x00FF00, 0xFF0000);
const PixelFormat FormatXRGB8888(32, 0x00FF0000, 0x0000FF00, 0x000000FF);
const PixelFormat FormatXBGR8888(32, 0x000000FF, 0x0000FF00, 0x00FF0000);
const PixelFormat FormatRGBX8888(32, 0xFF000000, 0x00FF0000, 0x0000FF00);
const PixelFormat FormatBGRX8888(32, 0x0000FF00, 0x00FF0000, 0xFF000000);
const PixelFormat FormatRGB565Wide(32, 0x0000F800, 0x000007E0, 0x0000001F);

int BytesPerPixel(const PixelFormat& format)
{
    switch (format.bitsPerPixel) {
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}
