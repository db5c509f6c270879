#include "png_files.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

namespace {

// A broken writer is a fault of the test itself: stop at once.
void AbortOnPngError(png_structp, png_const_charp message)
{
    std::fprintf(stderr, "test PNG writer: %s\n", message);
    std::abort();
}

void AppendToBytes(png_structp png, png_bytep data, size_t count)
{
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

int Channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

// Rows as the file stores them: samples packed most significant bit first below 8 bits,
// big-endian at 16.
std::vector<Bytes> PackRows(const PngPicture& p)
{
    const int perRow = p.width * Channels(p.colorType);
    std::vector<Bytes> rows(p.height, Bytes((perRow * p.depth + 7) / 8, 0));
    for (int y = 0; y < p.height; ++y) {
        for (int i = 0; i < perRow; ++i) {
            const uint16_t s = p.samples[static_cast<size_t>(y) * perRow + i];
            Bytes& row = rows[y];
            if (p.depth == 16) {
                row[2 * i] = static_cast<uint8_t>(s >> 8);
                row[2 * i + 1] = static_cast<uint8_t>(s);
            } else if (p.depth == 8) {
                row[i] = static_cast<uint8_t>(s);
            } else {
                const int bit = i * p.depth;
                row[bit / 8] |= static_cast<uint8_t>(s << (8 - p.depth - bit % 8));
            }
        }
    }
    return rows;
}

// libpng's part of WritePng; the objects it fills are owned by the caller.
void EncodeRows(const PngPicture& p, std::vector<png_bytep>* rowPointers, Bytes* out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, AbortOnPngError, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, out, AppendToBytes, FlushNothing);
    png_set_IHDR(png, info, p.width, p.height, p.depth, p.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < p.palette.size(); i += 3)
        palette.push_back({p.palette[i], p.palette[i + 1], p.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!p.paletteAlpha.empty())
        png_set_tRNS(png, info, p.paletteAlpha.data(), static_cast<int>(p.paletteAlpha.size()), nullptr);
    if (!p.transparent.empty()) {
        png_color_16 colour{};
        colour.gray = p.transparent[0];
        if (p.transparent.size() == 3) {
            colour.red = p.transparent[0];
            colour.green = p.transparent[1];
            colour.blue = p.transparent[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers->data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

void AppendUint32(Bytes* out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(Bytes* out, const char* type, const Bytes& data)
{
    AppendUint32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    AppendUint32(out, static_cast<uint32_t>(crc32(0, out->data() + typeAt, static_cast<uInt>(out->size() - typeAt))));
}

const uint8_t Signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// The file without the chunks that would make a reader convert gamma or colour space.
Bytes WithoutColourSpaceChunks(const Bytes& file)
{
    if (file.size() < 8) return file;
    Bytes out(file.begin(), file.begin() + 8);
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = uint32_t(file[at]) << 24 | uint32_t(file[at + 1]) << 16 |
                                uint32_t(file[at + 2]) << 8 | file[at + 3];
        if (length > file.size() - at - 12) break;
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        const size_t end = at + 12 + length;
        if (type != "gAMA" && type != "sRGB" && type != "iCCP" && type != "cHRM")
            out.insert(out.end(), file.begin() + at, file.begin() + end);
        at = end;
    }
    out.insert(out.end(), file.begin() + at, file.end());
    return out;
}

}  // namespace

Bytes WritePng(const PngPicture& picture)
{
    std::vector<Bytes> rows = PackRows(picture);
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) pointers.push_back(row.data());
    Bytes out;
    EncodeRows(picture, &pointers, &out);
    return out;
}

bool ReferenceDecode(const Bytes& file, ReferencePicture* picture)
{
    const Bytes plain = WithoutColourSpaceChunks(file);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, plain.data(), plain.size())) return false;
    // Without colour-space chunks 16-bit samples count as linear, so the 16-bit output
    // keeps them as they are.
    picture->sixteenBit = (image.format & PNG_FORMAT_FLAG_LINEAR) != 0;
    picture->transparency = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = picture->sixteenBit ? PNG_FORMAT_LINEAR_RGB_ALPHA : PNG_FORMAT_RGBA;
    const size_t samples = static_cast<size_t>(image.width) * image.height * 4;
    Bytes narrow(picture->sixteenBit ? 0 : samples);
    picture->rgba.assign(samples, 0);
    void* out = picture->sixteenBit ? static_cast<void*>(picture->rgba.data()) : narrow.data();
    if (!png_image_finish_read(&image, nullptr, out, 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    if (!picture->sixteenBit) std::copy(narrow.begin(), narrow.end(), picture->rgba.begin());
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    return true;
}

Bytes BlankGreyPng(uint32_t width, uint32_t height)
{
    Bytes out(Signature, Signature + 8);
    Bytes header;
    AppendUint32(&header, width);
    AppendUint32(&header, height);
    header.insert(header.end(), {1, 0, 0, 0, 0});   // 1-bit grey, no interlace
    AppendChunk(&out, "IHDR", header);

    // Each row: filter byte 0, then (width + 7) / 8 zero bytes.
    const Bytes row(1 + (width + 7) / 8, 0);
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    Bytes compressed;
    Bytes buffer(1 << 16);
    for (uint32_t y = 0; y <= height; ++y) {
        const bool last = y == height;
        z.next_in = const_cast<Bytef*>(row.data());
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.insert(compressed.end(), buffer.data(), z.next_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    AppendChunk(&out, "IDAT", compressed);
    AppendChunk(&out, "IEND", {});
    return out;
}
