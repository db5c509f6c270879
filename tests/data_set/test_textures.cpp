// The fifteen pictures, loaded with the demo's own PNG loader.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "data_dir.h"
#include "image/png_load.h"
#include "pictures/picture_pixels.h"
#include "pictures/png_write.h"

namespace {

struct TextureSpec {
    const char* name;
    int width, height;
    bool translucent;   // drawn with alpha blending: RGBA with inverted alpha
};

const TextureSpec kTextures[] = {
    {"whiteflash.png", 256, 256, false},     {"loading.png", 256, 256, true},
    {"envmap.png", 256, 256, false},         {"radialmap.png", 256, 256, false},
    {"vertnoise.png", 256, 256, true},       {"envmap2.png", 256, 256, false},
    {"tori_radial_bg1024.png", 1024, 1024, false}, {"backdropbg_megademo1024.png", 1024, 1024, false},
    {"linenoise.png", 256, 256, true},       {"credits1024.png", 1024, 1024, true},
    {"ondtexture512.png", 512, 512, true},   {"grid128.png", 128, 128, false},
    {"vortex_kasser1024.png", 1024, 1024, false}, {"torusdesign.png", 256, 256, true},
    {"greets.png", 256, 256, true},
};

std::unique_ptr<Image> Load(const std::string& name)
{
    return std::unique_ptr<Image>(LoadPngImage(DataPath(name).c_str()));
}

// Byte c (0 red .. 3 alpha as loaded: 255 = fully shown) of pixel (x, y).
int At(const Image& im, int x, int y, int c) { return im.Pixels()[(size_t(y) * im.Width() + x) * 4 + c]; }

float Luma(const Image& im, int x, int y)
{
    return (0.2126f * At(im, x, y, 0) + 0.7152f * At(im, x, y, 1) + 0.0722f * At(im, x, y, 2)) / 255.0f;
}

// Mean and standard deviation of luminance over a rectangle, weighted by what a viewer
// sees: opaque pictures as they are, translucent ones composited over black.
struct Stats {
    double mean = 0, deviation = 0, shown = 0;
};
Stats Measure(const Image& im, bool translucent, int x0, int y0, int x1, int y1)
{
    double sum = 0, sum2 = 0, shown = 0;
    long n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            double k = translucent ? At(im, x, y, 3) / 255.0 : 1.0;
            double l = Luma(im, x, y) * k;
            sum += l;
            sum2 += l * l;
            shown += k;
            ++n;
        }
    }
    Stats s;
    s.mean = sum / n;
    s.deviation = std::sqrt(std::max(0.0, sum2 / n - s.mean * s.mean));
    s.shown = shown / n;
    return s;
}

int FileColourType(const std::string& name)
{
    std::vector<uint8_t> bytes = FileBytes(DataPath(name));
    return bytes.size() > 25 ? bytes[25] : -1;   // IHDR colour type
}

}  // namespace

TEST(Textures, LoadWithTheDemoLoaderAtTheirSizes)
{
    for (const TextureSpec& t : kTextures) {
        SCOPED_TRACE(t.name);
        std::unique_ptr<Image> im = Load(t.name);
        ASSERT_NE(im, nullptr);
        EXPECT_EQ(im->Width(), t.width);
        EXPECT_EQ(im->Height(), t.height);
        EXPECT_EQ(FileColourType(t.name), t.translucent ? 6 : 2);   // RGBA or RGB, 8 bits
    }
}

TEST(Textures, OpaqueFilesLoadWithZeroAlphaTranslucentOnesWithVaryingOpacity)
{
    for (const TextureSpec& t : kTextures) {
        SCOPED_TRACE(t.name);
        std::unique_ptr<Image> im = Load(t.name);
        ASSERT_NE(im, nullptr);
        int lo = 255, hi = 0;
        for (int y = 0; y < im->Height(); ++y) {
            for (int x = 0; x < im->Width(); ++x) {
                lo = std::min(lo, At(*im, x, y, 3));
                hi = std::max(hi, At(*im, x, y, 3));
            }
        }
        if (!t.translucent) {
            EXPECT_EQ(hi, 0);   // RGB files: the loader's filler byte
        } else {
            EXPECT_GE(hi - lo, 100);   // which parts show is checked picture by picture below
        }
    }
}

TEST(Textures, TranslucentPicturesAreClearWhereNothingShouldShow)
{
    // The loading and greetings squares and the spinning emblem: clear corners, solid
    // lettering inside. Loaded alpha is opacity: 0 clear, 255 fully shown.
    std::unique_ptr<Image> loading = Load("loading.png"), torus = Load("torusdesign.png");
    ASSERT_TRUE(loading && torus);
    for (const Image* im : {loading.get(), torus.get()}) {
        EXPECT_EQ(At(*im, 0, 0, 3), 0);
        EXPECT_EQ(At(*im, 255, 0, 3), 0);
        EXPECT_EQ(At(*im, 0, 255, 3), 0);
        EXPECT_EQ(At(*im, 255, 255, 3), 0);
    }
    EXPECT_GT(Measure(*loading, true, 0, 160, 256, 200).shown, 0.05);   // the word "loading"

    // Credits: three bands of 100 rows in columns 0-639; the rest of the picture is unseen
    // and clear.
    std::unique_ptr<Image> credits = Load("credits1024.png");
    ASSERT_TRUE(credits);
    for (int band = 0; band < 3; ++band) {
        SCOPED_TRACE(band);
        Stats s = Measure(*credits, true, 0, band * 100, 640, band * 100 + 100);
        EXPECT_GT(s.shown, 0.1);
        EXPECT_GT(s.deviation, 0.08);   // lettering, not a plain strip
        EXPECT_EQ(Measure(*credits, true, 640, band * 100, 1024, band * 100 + 100).shown, 0.0);
    }
    EXPECT_EQ(Measure(*credits, true, 0, 300, 1024, 1024).shown, 0.0);

    // The overlays lie over whole scenes: mostly see-through.
    for (const char* name : {"vertnoise.png", "linenoise.png"}) {
        SCOPED_TRACE(name);
        std::unique_ptr<Image> im = Load(name);
        ASSERT_TRUE(im);
        Stats s = Measure(*im, true, 0, 0, 256, 256);
        EXPECT_GT(s.shown, 0.02);
        EXPECT_LT(s.shown, 0.3);
    }
    // The credits model's skin is never fully clear: the model must stay visible.
    std::unique_ptr<Image> skin = Load("ondtexture512.png");
    ASSERT_TRUE(skin);
    int least = 255;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) least = std::min(least, At(*skin, x, y, 3));
    }
    EXPECT_GE(least, 100);
}

TEST(Textures, NoPictureIsBlankOrFlat)
{
    for (const TextureSpec& t : kTextures) {
        SCOPED_TRACE(t.name);
        std::unique_ptr<Image> im = Load(t.name);
        ASSERT_NE(im, nullptr);
        Stats s = Measure(*im, t.translucent, 0, 0, std::min(640, t.width), std::min(480, t.height));
        EXPECT_GT(s.mean, 0.02);
        EXPECT_GT(s.deviation, t.name == std::string("whiteflash.png") ? 0.004 : 0.03);
    }
    // Each background holds two different full screens.
    for (const char* name : {"tori_radial_bg1024.png", "backdropbg_megademo1024.png", "vortex_kasser1024.png"}) {
        SCOPED_TRACE(name);
        std::unique_ptr<Image> im = Load(name);
        ASSERT_TRUE(im);
        Stats upper = Measure(*im, false, 0, 0, 640, 480), lower = Measure(*im, false, 0, 512, 640, 992);
        EXPECT_GT(upper.deviation, 0.03);
        EXPECT_GT(lower.deviation, 0.03);
        long differing = 0;
        for (int y = 0; y < 480; y += 4) {
            for (int x = 0; x < 640; x += 4) differing += std::fabs(Luma(*im, x, y) - Luma(*im, x, y + 512)) > 0.05f;
        }
        EXPECT_GT(differing, 160 * 120 / 4);
    }
    // The closing picture is white; the lattice panel is black inside, bright at its rim.
    std::unique_ptr<Image> white = Load("whiteflash.png"), grid = Load("grid128.png");
    ASSERT_TRUE(white && grid);
    EXPECT_GT(Measure(*white, false, 0, 0, 256, 256).mean, 0.9);
    EXPECT_LT(Measure(*grid, false, 24, 24, 104, 104).mean, 0.01);
    EXPECT_GT(Measure(*grid, false, 0, 0, 128, 1).mean, 0.2);
}

TEST(Textures, WriterStoresOpacityAsInvertedFileAlpha)
{
    Picture p = MakePicture(3, 1, {0.5f, 0.25f, 1.0f}, 1.0f);
    PixelAt(p, 1, 0)[3] = 0.0f;
    PixelAt(p, 2, 0)[3] = 0.25f;
    std::string path = MakeTempDir() + "/alpha.png";
    ASSERT_TRUE(WritePng(path, p, PngKind::Translucent));
    std::unique_ptr<Image> im(LoadPngImage(path.c_str()));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(At(*im, 0, 0, 3), 255);   // fully shown: file alpha 0
    EXPECT_EQ(At(*im, 1, 0, 3), 0);     // clear: file alpha 255
    EXPECT_EQ(At(*im, 2, 0, 3), 64);
    EXPECT_NEAR(At(*im, 0, 0, 0), 128, 1);
    EXPECT_EQ(At(*im, 0, 0, 2), 255);
    std::remove(path.c_str());
}
