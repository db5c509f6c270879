// A picture in memory: width, height, row length (pitch, in pixels), a pixel format and
// a heap buffer of height × pitch × BytesPerPixel bytes. Row 0 is the top row. Images
// made by the PNG loader hold 4 bytes per pixel: red, green, blue, alpha.
#pragma once

#include <cstdint>

#include "image/pixel_format.h"

class Image {
public:
    Image(int32_t width, int32_t height, const PixelFormat* format, int32_t pitch);
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Per-pixel operations, in this order.
    virtual void PutElement(int32_t x, int32_t y, uint32_t value);
    virtual void SetPixel(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    virtual void GetPixel(int32_t x, int32_t y, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* alpha) const;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Pitch() const { return pitch_; }
    const PixelFormat* Format() const { return format_; }
    uint8_t* Pixels() const { return pixels_; }

private:
    int32_t width_;
    int32_t height_;
    int32_t pitch_;
    const PixelFormat* format_;
    uint8_t* pixels_;
};
