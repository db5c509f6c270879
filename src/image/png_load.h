// PNG files into 32-bit images: every kind of PNG comes out as 4 bytes per pixel, red,
// green, blue, alpha, rows width × 4 bytes apart (a pitch of width pixels), with alpha
// inverted (0 = opaque). Failures are returned, never ended here: the caller decides.
#pragma once

#include "image/image.h"

// Loads a data file ("megadata\\envmap.png"); null when the file is missing, not a PNG,
// damaged, or too large to hold. The image belongs to the caller and names path as its
// source.
Image* LoadPngImage(const char* path);

// Decodes a PNG held in memory; null when it cannot be decoded.
Image* DecodePngImage(const unsigned char* data, unsigned long size);
