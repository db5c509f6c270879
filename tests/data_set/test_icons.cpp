// The program's icon files: the Windows icon's directory and entries, the theme PNGs, the
// window icon, and that the smallest size still reads.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data_dir.h"
#include "icons.h"
#include "image/png_load.h"
#include "pictures/ico_write.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The build's icons/ folder when it is complete, otherwise a private one made once.
const std::string& IconDir()
{
    static const std::string dir = [] {
        std::string build = MEGADATA_ICON_DIR;
        if (!FileBytes(build + "/" + IcoFileName()).empty()) return build;
        std::string own = MakeTempDir(), error;
        if (own.empty() || !WriteIcons(own, &error)) std::fprintf(stderr, "icons: %s\n", error.c_str());
        return own;
    }();
    return dir;
}

uint32_t Le(const Bytes& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

struct Rgba {
    int width = 0, height = 0;
    Bytes pixels;   // straight alpha, rows top first
};

Rgba DecodePng(const Bytes& png)
{
    Rgba out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
    image.format = PNG_FORMAT_RGBA;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) return {};
    out.width = int(image.width);
    out.height = int(image.height);
    return out;
}

Bytes ThemePng(int size) { return FileBytes(IconDir() + "/" + ThemeIconPath(size)); }

float Luma(const Bytes& p, size_t i) { return (0.2126f * p[i] + 0.7152f * p[i + 1] + 0.0722f * p[i + 2]) / 255.0f; }

}  // namespace

TEST(IconFile, DirectoryListsSevenSizesBackToBack)
{
    const Bytes ico = FileBytes(IconDir() + "/" + IcoFileName());
    ASSERT_GT(ico.size(), 6u + 7 * 16);
    EXPECT_EQ(Le(ico, 0, 2), 0u);   // reserved
    EXPECT_EQ(Le(ico, 2, 2), 1u);   // icon
    ASSERT_EQ(Le(ico, 4, 2), 7u);
    const int sizes[7] = {16, 24, 32, 48, 64, 128, 256};
    size_t next = 6 + 7 * 16;
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(sizes[i]);
        const size_t e = 6 + 16 * size_t(i);
        EXPECT_EQ(ico[e], sizes[i] % 256);
        EXPECT_EQ(ico[e + 1], sizes[i] % 256);
        EXPECT_EQ(ico[e + 2], 0);
        EXPECT_EQ(ico[e + 3], 0);
        EXPECT_EQ(Le(ico, e + 4, 2), 1u);
        EXPECT_EQ(Le(ico, e + 6, 2), 32u);
        EXPECT_EQ(Le(ico, e + 12, 4), next);
        next += Le(ico, e + 8, 4);
    }
    EXPECT_EQ(next, ico.size());
}

TEST(IconFile, EntriesDecodeToTheThemePixels)
{
    const Bytes ico = FileBytes(IconDir() + "/" + IcoFileName());
    ASSERT_GT(ico.size(), 6u + 7 * 16);
    for (int i = 0; i < 7; ++i) {
        const size_t e = 6 + 16 * size_t(i);
        const int n = ico[e] == 0 ? 256 : ico[e];
        SCOPED_TRACE(n);
        const size_t offset = Le(ico, e + 12, 4), length = Le(ico, e + 8, 4);
        ASSERT_LE(offset + length, ico.size());
        const Bytes data(ico.begin() + long(offset), ico.begin() + long(offset + length));
        const Rgba theme = DecodePng(ThemePng(n));
        ASSERT_EQ(theme.width, n);
        if (n == 256) {
            // PNG-compressed: the very bytes of the theme PNG.
            EXPECT_TRUE(data == ThemePng(n));
            continue;
        }
        const size_t maskRow = size_t((n + 31) / 32) * 4;
        ASSERT_EQ(length, 40 + size_t(n) * n * 4 + maskRow * n);
        EXPECT_EQ(Le(data, 0, 4), 40u);
        EXPECT_EQ(Le(data, 4, 4), uint32_t(n));
        EXPECT_EQ(Le(data, 8, 4), uint32_t(2 * n));   // colour rows and mask rows
        EXPECT_EQ(Le(data, 12, 2), 1u);
        EXPECT_EQ(Le(data, 14, 2), 32u);
        EXPECT_EQ(Le(data, 16, 4), 0u);
        int wrong = 0, wrongMask = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const size_t dib = 40 + (size_t(n - 1 - y) * n + x) * 4;   // bottom row first, BGRA
                const size_t png = (size_t(y) * n + x) * 4;
                if (data[dib] != theme.pixels[png + 2] || data[dib + 1] != theme.pixels[png + 1] ||
                    data[dib + 2] != theme.pixels[png] || data[dib + 3] != theme.pixels[png + 3])
                    ++wrong;
                const size_t mask = 40 + size_t(n) * n * 4 + size_t(n - 1 - y) * maskRow + x / 8;
                const bool clear = data[mask] & (0x80 >> (x % 8));
                if (clear != (theme.pixels[png + 3] == 0)) ++wrongMask;
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(wrongMask, 0);
    }
}

TEST(IconFile, EncodesBitmapsExactlyAndRefusesBadImages)
{
    // 2 × 2: opaque red, clear / half-clear green, opaque blue (rows top first).
    const IcoImage tiny{2, {255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255}};
    const Bytes ico = EncodeIco({tiny});
    ASSERT_EQ(ico.size(), 6u + 16 + 40 + 16 + 8);
    EXPECT_EQ(Le(ico, 6 + 8, 4), 40u + 16 + 8);
    const size_t colours = 6 + 16 + 40;
    const Bytes bottomFirst = {0, 255, 0, 128, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0};
    EXPECT_TRUE(Bytes(ico.begin() + colours, ico.begin() + colours + 16) == bottomFirst);
    const Bytes mask = {0x00, 0, 0, 0, 0x40, 0, 0, 0};   // only the clear pixel, top row, x = 1
    EXPECT_TRUE(Bytes(ico.begin() + colours + 16, ico.end()) == mask);

    EXPECT_TRUE(EncodeIco({IcoImage{3, Bytes(3 * 3 * 4 - 1)}}).empty());
    EXPECT_TRUE(EncodeIco({IcoImage{257, Bytes(257 * 257 * 4)}}).empty());
}

TEST(IconFile, ThemePngsAndWindowIconHaveTheirSizes)
{
    for (int n : IconSizes()) {
        SCOPED_TRACE(n);
        const Bytes png = ThemePng(n);
        ASSERT_GT(png.size(), 25u);
        EXPECT_EQ(png[25], 6);   // RGBA
        const Rgba decoded = DecodePng(png);
        EXPECT_EQ(decoded.width, n);
        EXPECT_EQ(decoded.height, n);
    }
    // The window icon is the 64 theme PNG; the demo's loader hands its alpha inverted.
    const std::string dir = MakeTempDir(), path = dir + "/" + kWindowIconName;
    ASSERT_TRUE(WriteWindowIcon(path));
    EXPECT_TRUE(FileBytes(path) == ThemePng(kWindowIconSize));
    const std::unique_ptr<Image> loaded(LoadPngImage(path.c_str()));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Width(), 64);
    EXPECT_EQ(loaded->Height(), 64);
    EXPECT_EQ(loaded->Pixels()[3], 255);                        // corner: clear
    EXPECT_EQ(loaded->Pixels()[(32 * 64 + 32) * 4 + 3], 0);     // centre: opaque
    std::filesystem::remove_all(dir);
}

TEST(IconLooks, SixteenIsCrispWithStrongContrast)
{
    const Rgba icon = DecodePng(ThemePng(16));
    ASSERT_EQ(icon.width, 16);
    int opaque = 0, clear = 0;
    float darkest = 1, brightest = 0;
    for (size_t i = 0; i < icon.pixels.size(); i += 4) {
        if (icon.pixels[i + 3] == 0) ++clear;
        if (icon.pixels[i + 3] != 255) continue;
        ++opaque;
        darkest = std::min(darkest, Luma(icon.pixels, i));
        brightest = std::max(brightest, Luma(icon.pixels, i));
    }
    EXPECT_GE(opaque, 150);   // most of the square is solid
    EXPECT_GE(clear, 40);     // the margin and the corners are clear
    EXPECT_LT(darkest, 0.1f);
    EXPECT_GT(brightest, 0.85f);
    // The flat sides lie on pixel boundaries: a clear margin row and column, then solid.
    auto alpha = [&](int x, int y) { return icon.pixels[(size_t(y) * 16 + x) * 4 + 3]; };
    for (int t = 0; t < 16; ++t) {
        EXPECT_EQ(alpha(t, 0), 0);
        EXPECT_EQ(alpha(0, t), 0);
        EXPECT_EQ(alpha(t, 15), 0);
        EXPECT_EQ(alpha(15, t), 0);
    }
    for (int t = 6; t <= 9; ++t) {
        EXPECT_EQ(alpha(t, 1), 255);
        EXPECT_EQ(alpha(1, t), 255);
        EXPECT_EQ(alpha(t, 14), 255);
        EXPECT_EQ(alpha(14, t), 255);
    }
    // A bright table in the middle of a dark outline.
    EXPECT_GT(Luma(icon.pixels, (size_t(7) * 16 + 7) * 4), 0.8f);
    EXPECT_LT(Luma(icon.pixels, (size_t(1) * 16 + 8) * 4), 0.1f);
}

TEST(IconFile, TwoRunsWriteIdenticalBytes)
{
    const std::string dir = MakeTempDir();
    std::string error;
    ASSERT_TRUE(WriteIcons(dir, &error)) << error;
    EXPECT_TRUE(FileBytes(dir + "/" + IcoFileName()) == FileBytes(IconDir() + "/" + IcoFileName()));
    for (int n : IconSizes())
        EXPECT_TRUE(FileBytes(dir + "/" + ThemeIconPath(n)) == ThemePng(n)) << n;
    std::filesystem::remove_all(dir);
}
