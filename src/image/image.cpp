#include "image/image.h"

#include <cstring>
#include <new>

namespace {

// height × pitch × bytes per pixel, or -1 when negative or beyond what can be allocated.
long long BufferBytes(int32_t height, int32_t pitch, int bytesPerPixel)
{
    if (height < 0 || pitch < 0) return -1;
    const unsigned long long bytes =
        static_cast<unsigned long long>(height) * static_cast<unsigned long long>(pitch) *
        static_cast<unsigned long long>(bytesPerPixel);   // below 2^31 · 2^31 · 4 = 2^64
    if (bytes > static_cast<unsigned long long>(PTRDIFF_MAX)) return -1;
    return static_cast<long long>(bytes);
}

}  // namespace

Image::Image(int32_t width, int32_t height, const PixelFormat* format, int32_t pitch)
    : width_(width), height_(height), pitch_(pitch), format_(format), pixels_(nullptr),
      bufferSize_(0)
{
    const long long bytes = BufferBytes(height, pitch, format ? BytesPerPixel(*format) : 0);
    if (bytes < 0) return;
    pixels_ = new (std::nothrow) uint8_t[static_cast<size_t>(bytes)];
    if (pixels_) bufferSize_ = static_cast<size_t>(bytes);
}

Image::~Image()
{
    delete[] pixels_;
}

long long Image::ElementOffset(int32_t x, int32_t y, int bytes) const
{
    if (!pixels_ || x < 0 || y < 0) return -1;
    // Below 2^63 for any int32 arguments and a non-negative pitch.
    const long long index = static_cast<long long>(x) + static_cast<long long>(y) * pitch_;
    if (index >= static_cast<long long>(bufferSize_ / static_cast<size_t>(bytes))) return -1;
    return index * bytes;
}

void Image::PutElement(int32_t x, int32_t y, uint32_t value)
{
    const long long offset = ElementOffset(x, y, 1);
    if (offset >= 0) pixels_[offset] = static_cast<uint8_t>(value);
}

void Image::SetPixel(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    const int bytes = format_ ? BytesPerPixel(*format_) : 0;
    const long long offset = bytes ? ElementOffset(x, y, bytes) : -1;
    if (offset < 0) return;
    uint8_t* p = pixels_ + offset;
    if (bytes == 2) {
        const uint16_t value = static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
        std::memcpy(p, &value, sizeof value);
    } else {
        p[0] = red;
        p[1] = green;
        p[2] = blue;
        if (bytes == 4) p[3] = alpha;
    }
}

void Image::GetPixel(int32_t x, int32_t y, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* alpha) const
{
    const int bytes = format_ ? BytesPerPixel(*format_) : 0;
    const long long offset = bytes ? ElementOffset(x, y, bytes) : -1;
    if (offset < 0) return;
    const uint8_t* p = pixels_ + offset;
    if (bytes == 2) {
        uint16_t value;
        std::memcpy(&value, p, sizeof value);
        *red = static_cast<uint8_t>((value >> 8) & 0xF8);
        *green = static_cast<uint8_t>((value >> 3) & 0xFC);
        *blue = static_cast<uint8_t>((value << 3) & 0xF8);
        *alpha = 0;
    } else {
        *red = p[0];
        *green = p[1];
        *blue = p[2];
        *alpha = bytes == 4 ? p[3] : 0;
    }
}
