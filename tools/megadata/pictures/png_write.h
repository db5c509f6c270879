// Writes pictures as PNG files the way the demo's loader expects them.
#pragma once

#include <string>
#include <vector>

#include "pictures/picture_pixels.h"

enum class PngKind {
    Opaque,       // 8-bit RGB, no alpha
    Translucent,  // 8-bit RGBA holding 255 − opacity: the loader inverts alpha back
};

// Writes the picture to path; returns false when the file cannot be written. The bytes
// depend only on the picture (no time stamp, fixed compression settings).
bool WritePng(const std::string& path, const Picture& picture, PngKind kind);

// The 8-bit value a channel value in 0..1 is stored as at pixel (x, y) of channel c:
// rounded with a small fixed dither so smooth gradients do not band.
unsigned char QuantiseChannel(float value, int x, int y, int c);

// Encodes 8-bit RGBA pixels, rows top first, alpha = opacity (the convention of files
// other programs read, such as icons), into PNG bytes with WritePng's fixed settings.
// False when the size does not match the pixels or libpng fails.
bool EncodeRgbaPng(const std::vector<unsigned char>& rgba, int width, int height, std::vector<unsigned char>* png);
