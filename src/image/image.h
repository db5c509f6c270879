// A picture in memory: width, height, row length (pitch), a pixel format and a heap
// buffer of height × pitch × BytesPerPixel bytes. The pitch counts pixels; the PNG loader
// passes the width, so its rows lie width × 4 bytes apart.
// Row 0 is the top row. Loaded images hold 4 bytes per pixel: red, green, blue, alpha.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/pixel_format.h"

class Image {
public:
    // Pixels stay null when the buffer cannot be allocated (or its size is negative or
    // too large to address).
    Image(int32_t width, int32_t height, const PixelFormat* format, int32_t pitch);
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Per-pixel operations, in this order. A pixel that does not lie wholly inside the
    // buffer is neither written nor read.
    virtual void PutElement(int32_t x, int32_t y, uint32_t value);
    virtual void SetPixel(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    virtual void GetPixel(int32_t x, int32_t y, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* alpha) const;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Pitch() const { return pitch_; }
    const PixelFormat* Format() const { return format_; }
    uint8_t* Pixels() const { return pixels_; }
    size_t BufferSize() const { return bufferSize_; }
    // The data file the picture was loaded from ("megadata\\envmap.png"), from which it can
    // be loaded again; empty for a picture made in memory.
    const std::string& Source() const { return source_; }
    void SetSource(const char* path) { source_ = path ? path : ""; }

private:
    int32_t width_;
    int32_t height_;
    int32_t pitch_;
    const PixelFormat* format_;
    uint8_t* pixels_;
    size_t bufferSize_;
    std::string source_;

    // Byte offset of element (x, y) of the given size, or -1 when it is out of the buffer.
    long long ElementOffset(int32_t x, int32_t y, int bytes) const;
};
