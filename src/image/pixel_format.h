// Pixel-format descriptors: how the colour channels sit inside a pixel of 16, 24 or 32
// bits. Shifts and losses are derived from the masks when a descriptor is built.
#pragma once

#include <cstdint>

struct PixelFormat {
    int32_t bitsPerPixel;
    uint32_t redMask, greenMask, blueMask;
    uint8_t redShift, greenShift, blueShift;   // lowest set bit of the mask; 32 for 0
    uint8_t redLoss, greenLoss, blueLoss;      // 8 - run of set bits from the shift; mod 256

    PixelFormat(int32_t bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue);
};

// The eleven process-wide descriptors, built by static initialisation in this order.
extern const PixelFormat FormatRGB555;
extern const PixelFormat FormatBGR555;
extern const PixelFormat FormatRGB565;
extern const PixelFormat FormatBGR565;
extern const PixelFormat FormatRGB888;
extern const PixelFormat FormatBGR888;
extern const PixelFormat FormatXRGB8888;
extern const PixelFormat FormatXBGR8888;
extern const PixelFormat FormatRGBX8888;
extern const PixelFormat FormatBGRX8888;
extern const PixelFormat FormatRGB565Wide;

// 2 for 16 bits per pixel, 3 for 24, 4 for 32, 0 otherwise.
int BytesPerPixel(const PixelFormat& format);
