#include "image/png_load.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/data_file.h"

namespace {

// Pictures larger than this are taken for damaged headers, not textures.
constexpr png_uint_32 MaxPngSide = 16384;
constexpr unsigned long long MaxPngPixels = 1ull << 24;

constexpr size_t PngSignatureBytes = 8;

// Where the compressed bytes come from: an open file, or a buffer in memory when file
// is null.
struct PngSource {
    FILE* file;
    const unsigned char* data;
    size_t size;
    size_t offset;
};

// Exactly count bytes from the source; false on a short read.
bool ReadSourceBytes(PngSource* source, unsigned char* buffer, size_t count)
{
    if (source->file) return std::fread(buffer, 1, count, source->file) == count;
    if (source->size - source->offset < count) return false;
    std::memcpy(buffer, source->data + source->offset, count);
    source->offset += count;
    return true;
}

// libpng's read callback. A short read is a libpng error: libpng must never decode
// whatever its buffer happened to hold.
void ReadPngBytes(png_structp png, png_bytep buffer, size_t count)
{
    if (!ReadSourceBytes(static_cast<PngSource*>(png_get_io_ptr(png)), buffer, count))
        png_error(png, "Read error: the file ends early");
}

// Returning hands over to libpng's default handling: the message goes to standard
// error and control jumps back to the recovery point.
void PassPngError(png_structp, png_const_charp) {}

// Warnings are dropped.
void DropPngWarning(png_structp, png_const_charp) {}

// Everything one decode holds. It lives in the frame that calls ReadPngImage, not in
// the frame that sets the recovery point, so its members keep their values across a
// libpng error.
struct PngDecode {
    png_structp png;
    png_infop info;
    png_infop endInfo;
    png_bytep* rows;
    Image* image;
};

// Asks libpng to turn every kind of PNG into 8-bit red, green, blue, alpha.
void RequestRgba8(png_structp png, png_infop info)
{
    int depth = png_get_bit_depth(png, info);
    int color = png_get_color_type(png, info);
    if (color == PNG_COLOR_TYPE_PALETTE) {
        png_set_expand(png);
        color = PNG_COLOR_TYPE_RGB;
        depth = 8;
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_expand(png);   // the transparent colour or the entries' alphas become a channel
        color |= PNG_COLOR_MASK_ALPHA;
    }
    // Grey keeps its alpha (its own or the one made from tRNS) when it becomes RGB.
    if (!(color & PNG_COLOR_MASK_COLOR)) {
        png_set_gray_to_rgb(png);
        color |= PNG_COLOR_MASK_COLOR;
    }
    if (depth == 16) {
        png_set_strip_16(png);
        depth = 8;
    }
    // Only grey is left below 8 bits here: scale its levels to 0..255, a byte each.
    if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    // Files without alpha get a fourth byte of 0; inversion leaves it alone.
    if (color == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0, PNG_FILLER_AFTER);
}

// Reads the header, makes the image and fills every row. False after a libpng error or
// for a picture that cannot be held; no object with a destructor lives in this frame.
bool ReadPngImage(PngDecode* decode, PngSource* source)
{
    png_structp png = decode->png;
    png_infop info = decode->info;
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_sig_bytes(png, static_cast<int>(PngSignatureBytes));
    png_set_read_fn(png, source, ReadPngBytes);
    png_set_user_limits(png, MaxPngSide, MaxPngSide);
    png_set_invert_alpha(png);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || static_cast<unsigned long long>(width) * height > MaxPngPixels)
        return false;

    RequestRgba8(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    // The rows are laid width × 4 bytes apart: anything else must not be read into them.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (png_get_rowbytes(png, info) != rowBytes) return false;

    // Exactly width × height pixels: the pitch counts pixels.
    decode->image = new (std::nothrow) Image(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                             &FormatXRGB8888, static_cast<int32_t>(width));
    if (!decode->image || !decode->image->Pixels()) return false;
    decode->rows = static_cast<png_bytep*>(std::malloc(height * sizeof(png_bytep)));
    if (!decode->rows) return false;
    for (png_uint_32 r = 0; r < height; ++r) decode->rows[r] = decode->image->Pixels() + r * rowBytes;

    png_read_image(png, decode->rows);
    // The rest of the file through IEND: a file cut short or with a damaged end fails
    // here even when every row came out.
    png_read_end(png, decode->endInfo);
    return true;
}

// Decodes a whole PNG from the source; null when it cannot be decoded.
Image* DecodePng(PngSource* source)
{
    unsigned char signature[PngSignatureBytes];
    if (!ReadSourceBytes(source, signature, PngSignatureBytes) ||
        png_sig_cmp(signature, 0, PngSignatureBytes) != 0)
        return nullptr;

    PngDecode decode{};
    decode.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PassPngError, DropPngWarning);
    if (!decode.png) return nullptr;
    decode.info = png_create_info_struct(decode.png);
    decode.endInfo = png_create_info_struct(decode.png);
    const bool decoded = decode.info && decode.endInfo && ReadPngImage(&decode, source);

    std::free(decode.rows);
    png_destroy_read_struct(&decode.png, &decode.info, &decode.endInfo);
    if (decoded) return decode.image;
    delete decode.image;   // never hand out a half-filled picture
    return nullptr;
}

}  // namespace

Image* LoadPngImage(const char* path)
{
    FILE* file = path ? OpenDataFile(path, "rb") : nullptr;
    if (!file) return nullptr;
    PngSource source{file, nullptr, 0, 0};
    Image* image = DecodePng(&source);
    std::fclose(file);
    if (image) image->SetSource(path);
    return image;
}

Image* DecodePngImage(const unsigned char* data, unsigned long size)
{
    if (!data) return nullptr;
    PngSource source{nullptr, data, static_cast<size_t>(size), 0};
    return DecodePng(&source);
}
