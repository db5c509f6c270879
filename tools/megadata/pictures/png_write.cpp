#include "pictures/png_write.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "pictures/noise.h"

unsigned char QuantiseChannel(float value, int x, int y, int c)
{
    float dither = HashUnit(x, y, 7001 + c) - 0.5f;
    float v = std::floor(value * 255.0f + 0.5f + dither * 0.9f);
    if (v < 0) v = 0;
    if (v > 255) v = 255;
    return static_cast<unsigned char>(v);
}

bool WritePng(const std::string& path, const Picture& picture, PngKind kind)
{
    const int channels = kind == PngKind::Opaque ? 3 : 4;
    std::vector<unsigned char> bytes(size_t(picture.width) * picture.height * channels);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const float* px = PixelAt(picture, x, y);
            unsigned char* out = &bytes[(size_t(y) * picture.width + x) * channels];
            for (int c = 0; c < 3; ++c) out[c] = QuantiseChannel(px[c], x, y, c);
            // Opacity 1 must stay exactly 0 in the file (fully shown), so no dither here.
            if (channels == 4) {
                float a = std::fmin(1.0f, std::fmax(0.0f, px[3]));
                out[3] = static_cast<unsigned char>(255 - std::lround(a * 255.0f));
            }
        }
    }

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, picture.width, picture.height, 8,
                 channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        png_write_row(png, &bytes[size_t(y) * picture.width * channels]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

namespace {

void AppendPngBytes(png_structp png, png_bytep data, size_t count)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

}  // namespace

bool EncodeRgbaPng(const std::vector<unsigned char>& rgba, int width, int height, std::vector<unsigned char>* out)
{
    out->clear();
    if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * height * 4) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out->clear();
        return false;
    }
    png_set_write_fn(png, out, AppendPngBytes, FlushNothing);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, &rgba[size_t(y) * width * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
