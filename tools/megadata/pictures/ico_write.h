// Windows icon files (.ico): one directory of images, each size as a 32-bit BGRA
// bitmap with its 1-bit AND mask, or as PNG bytes from 256 × 256 up.
#pragma once

#include <vector>

// One square image: 8-bit RGBA pixels, rows top first, alpha = opacity.
struct IcoImage {
    int size = 0;                      // 1..256 pixels a side
    std::vector<unsigned char> rgba;   // size × size × 4
};

// Images from this size up are stored as PNG, smaller ones as bitmaps.
inline constexpr int kIcoPngFromSize = 256;

// The whole file for the images in the given order; empty when an image has a size
// outside 1..256, pixels that do not match it, or cannot be encoded.
std::vector<unsigned char> EncodeIco(const std::vector<IcoImage>& images);
