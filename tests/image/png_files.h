// PNG helpers for the loader tests: files in memory, a writer for every colour type and
// bit depth, and an independent decode through libpng's simplified reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The whole file; empty when it cannot be read.
Bytes ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const Bytes& bytes);

// What WritePng encodes. samples holds width × height × channels values of the colour
// type (palette indices for palette), each 0 .. 2^depth − 1, rows from the top.
struct PngPicture {
    int width = 0;
    int height = 0;
    int colorType = 0;   // PNG_COLOR_TYPE_*
    int depth = 8;
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;        // red, green, blue per entry
    std::vector<uint8_t> paletteAlpha;   // tRNS of a palette file
    std::vector<uint16_t> transparent;   // tRNS of a grey (1 value) or RGB (3 values) file
};

Bytes WritePng(const PngPicture& picture);

// libpng's simplified reader on the file, with the colour-space chunks dropped first so
// that no gamma conversion takes place. Each pixel is 16-bit red, green, blue, alpha:
// for files of up to 8 bits the 8-bit values (format PNG_FORMAT_RGBA); for 16-bit files
// the samples as stored, the colours premultiplied by alpha (the reader's 16-bit output,
// used because its 8-bit reduction of interlaced 16-bit files is wrong). transparency
// tells whether the file has any alpha information. False when the reader refuses it.
struct ReferencePicture {
    int width = 0;
    int height = 0;
    bool sixteenBit = false;
    bool transparency = false;
    std::vector<uint16_t> rgba;
};
bool ReferenceDecode(const Bytes& file, ReferencePicture* picture);

// A valid 1-bit grey file of the given size, all black, made without holding its
// pixels (for pictures too large to spell out).
Bytes BlankGreyPng(uint32_t width, uint32_t height);
