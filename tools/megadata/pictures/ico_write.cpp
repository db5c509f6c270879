#include "pictures/ico_write.h"

#include <cstdint>
#include <utility>

#include "pictures/png_write.h"

namespace {

constexpr size_t kDirectoryBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr size_t kBitmapHeaderBytes = 40;

void Put16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A bitmap entry: the header (its height counts both the colour rows and the mask's),
// the BGRA rows bottom first, then the AND mask rows bottom first, each row padded to
// 32 bits, a bit set where the pixel is fully clear.
std::vector<unsigned char> BitmapEntry(const IcoImage& image)
{
    const int n = image.size;
    const size_t maskRow = size_t((n + 31) / 32) * 4;
    std::vector<unsigned char> out;
    Put32(out, kBitmapHeaderBytes);
    Put32(out, n);
    Put32(out, 2 * n);
    Put16(out, 1);    // planes
    Put16(out, 32);   // bits per pixel
    Put32(out, 0);    // no compression
    Put32(out, static_cast<uint32_t>(size_t(n) * n * 4 + maskRow * n));
    for (int i = 0; i < 4; ++i) Put32(out, 0);   // resolution, palette sizes
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const unsigned char* px = &image.rgba[(size_t(y) * n + x) * 4];
            out.insert(out.end(), {px[2], px[1], px[0], px[3]});
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<unsigned char> row(maskRow, 0);
        for (int x = 0; x < n; ++x) {
            if (image.rgba[(size_t(y) * n + x) * 4 + 3] == 0) row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<unsigned char> EncodeIco(const std::vector<IcoImage>& images)
{
    std::vector<std::vector<unsigned char>> data;
    for (const IcoImage& image : images) {
        if (image.size < 1 || image.size > 256 || image.rgba.size() != size_t(image.size) * image.size * 4) return {};
        std::vector<unsigned char> bytes;
        if (image.size >= kIcoPngFromSize) {
            if (!EncodeRgbaPng(image.rgba, image.size, image.size, &bytes)) return {};
        } else {
            bytes = BitmapEntry(image);
        }
        data.push_back(std::move(bytes));
    }
    std::vector<unsigned char> out;
    Put16(out, 0);   // reserved
    Put16(out, 1);   // an icon, not a cursor
    Put16(out, static_cast<uint32_t>(images.size()));
    size_t offset = kDirectoryBytes + kEntryBytes * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const int n = images[i].size;
        out.push_back(static_cast<unsigned char>(n == 256 ? 0 : n));   // 0 stands for 256
        out.push_back(static_cast<unsigned char>(n == 256 ? 0 : n));
        out.push_back(0);   // no palette
        out.push_back(0);   // reserved
        Put16(out, 1);      // planes
        Put16(out, 32);     // bits per pixel
        Put32(out, static_cast<uint32_t>(data[i].size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += data[i].size();
    }
    for (const std::vector<unsigned char>& bytes : data) out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}
