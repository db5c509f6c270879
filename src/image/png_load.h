// PNG files into 32-bit images: every kind of PNG comes out as 4 bytes per pixel, red,
// green, blue, alpha, rows width × 4 bytes apart, with alpha inverted (0 = opaque).
#pragma once

#include "image/image.h"

// Loads a data file ("megadata\\envmap.png"). A file that is missing, not a PNG or
// damaged ends the program with the "FATAL ERROR" box "Can't load image <name>".
Image* LoadPngImage(const char* path);

// The same decode without the fatal ending: null when the file cannot be loaded.
Image* TryLoadPngImage(const char* path);
// Decodes a PNG held in memory; null when it cannot be decoded.
Image* TryDecodePngImage(const unsigned char* data, unsigned long size);
