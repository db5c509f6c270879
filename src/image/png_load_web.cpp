// PNG loading in a web page: the page has decoded every picture of the data set with the
// browser's own decoder; this takes its pixels, already in the loader's layout.
#include <new>

#include "image/png_load.h"
#include "platform/data_file.h"
#include "platform/web_page.h"

namespace {

// As the native loader: nothing larger than this many pixels is held.
constexpr long long MaxPixels = 1LL << 24;

}  // namespace

Image* LoadPngImage(const char* path)
{
    if (!path) return nullptr;
    const std::string file = DataFilePath(path);
    int width = 0, height = 0;
    if (!PlatformDecodedPictureSize(file.c_str(), &width, &height)) return nullptr;
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > MaxPixels) return nullptr;
    Image* image = new (std::nothrow) Image(width, height, &FormatXRGB8888, width);
    if (!image || !image->Pixels() || !PlatformCopyDecodedPicture(file.c_str(), image->Pixels())) {
        delete image;
        return nullptr;
    }
    image->SetSource(path);
    return image;
}

// The page decodes files, not bytes in memory.
Image* DecodePngImage(const unsigned char*, unsigned long) { return nullptr; }
