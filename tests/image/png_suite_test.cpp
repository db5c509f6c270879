// The loader against the PNG conformance images: every valid file decodes to the same
// pixels as libpng's own simplified reader, every damaged or cut-short file is refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/report.h"
#include "image/png_load.h"
#include "png_files.h"
#include "support/test_data.h"

namespace fs = std::filesystem;

namespace {

// The folder of the conformance images; a test that reads it fails, naming it, when it is missing.
std::string SuiteFolder()
{
    EXPECT_TRUE(TestDataFolderExists(PNG_SUITE_DIR));
    return PNG_SUITE_DIR;
}

std::vector<fs::path> SuiteFiles(bool corrupt)
{
    std::vector<fs::path> files;
    const std::string folder = SuiteFolder();
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const fs::path& path = entry.path();
        if (path.extension() != ".png") continue;
        if ((path.filename().string()[0] == 'x') == corrupt) files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The loader's bytes for one reference pixel: alpha 0 without transparency information,
// otherwise 255 − alpha. A 16-bit sample keeps its high byte; the colour of a partly
// transparent 16-bit pixel comes back from the premultiplied one within its rounding.
bool PixelMatches(const uint8_t* got, const uint16_t* want, const ReferencePicture& reference)
{
    if (!reference.sixteenBit) {
        const int alpha = reference.transparency ? 255 - want[3] : 0;
        return got[0] == want[0] && got[1] == want[1] && got[2] == want[2] && got[3] == alpha;
    }
    const long a = want[3];
    if (got[3] != (reference.transparency ? 255 - (a >> 8) : 0)) return false;
    for (int c = 0; c < 3; ++c) {
        if (a == 65535 && got[c] != want[c] >> 8) return false;
        if (a == 0 || a == 65535) continue;
        const long slack = 65535 / (2 * a) + 1;
        const long colour = long{want[c]} * 65535 / a;
        const long low = (colour - slack) / 256, high = (colour + slack) / 256;
        if (got[c] < low || got[c] > high) return false;
    }
    return true;
}

void ExpectSamePixels(const Image& image, const ReferencePicture& reference)
{
    ASSERT_EQ(image.Width(), reference.width);
    ASSERT_EQ(image.Height(), reference.height);
    ASSERT_EQ(image.Pitch(), reference.width);
    ASSERT_EQ(image.BufferSize(), static_cast<size_t>(reference.width) * reference.height * 4);
    EXPECT_EQ(image.Format(), &FormatXRGB8888);
    int mismatches = 0;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const uint8_t* got = image.Pixels() + (static_cast<size_t>(y) * image.Pitch() + x) * 4;
            const uint16_t* want = &reference.rgba[(static_cast<size_t>(y) * reference.width + x) * 4];
            if (!PixelMatches(got, want, reference) && ++mismatches <= 3)
                ADD_FAILURE() << "pixel " << x << ", " << y << ": " << int(got[0]) << " " << int(got[1])
                              << " " << int(got[2]) << " " << int(got[3]) << " against " << want[0]
                              << " " << want[1] << " " << want[2] << " " << want[3];
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PngSuite, EveryValidFileMatchesTheSimplifiedReader)
{
    const std::vector<fs::path> files = SuiteFiles(false);
    ASSERT_EQ(files.size(), 161u);
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const Bytes file = ReadWholeFile(path.string());
        ReferencePicture reference;
        ASSERT_TRUE(ReferenceDecode(file, &reference));

        std::unique_ptr<Image> loaded(LoadPngImage(path.c_str()));
        ASSERT_NE(loaded, nullptr);
        ExpectSamePixels(*loaded, reference);

        std::unique_ptr<Image> decoded(DecodePngImage(file.data(), file.size()));
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(0, std::memcmp(decoded->Pixels(), loaded->Pixels(),
                                 loaded->BufferSize()));
    }
}

TEST(PngSuite, EveryCorruptFileIsRefused)
{
    const std::vector<fs::path> files = SuiteFiles(true);
    ASSERT_EQ(files.size(), 14u);
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        EXPECT_EQ(LoadPngImage(path.c_str()), nullptr);
        const Bytes file = ReadWholeFile(path.string());
        EXPECT_EQ(DecodePngImage(file.data(), file.size()), nullptr);
    }
}

// A private folder under the test temp dir, removed at the end.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::path(::testing::TempDir()) /
                  ("zircon_png_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

using TruncatedPng = ScratchFolder;

TEST_F(TruncatedPng, CopiesCutAnywhereFailCleanly)
{
    for (const fs::path& path : SuiteFiles(false)) {
        const Bytes file = ReadWholeFile(path.string());
        SCOPED_TRACE(path.filename().string());
        for (size_t cut : {size_t{0}, size_t{5}, size_t{8}, size_t{20}, size_t{33}, file.size() / 2,
                           file.size() - 12, file.size() - 1}) {
            const fs::path copy = folder_ / "cut.png";
            ASSERT_TRUE(WriteWholeFile(copy.string(), Bytes(file.begin(), file.begin() + cut)));
            EXPECT_EQ(LoadPngImage(copy.c_str()), nullptr) << "cut at " << cut;
        }
    }
}

TEST(TruncatedPngInMemory, EveryLengthShortOfTheWholeFileFails)
{
    for (const char* name : {"basi6a16.png", "s01n3p01.png", "tbrn2c08.png"}) {
        const Bytes file = ReadWholeFile(SuiteFolder() + "/" + name);
        ASSERT_FALSE(file.empty());
        for (size_t cut = 0; cut < file.size(); ++cut) {
            // A copy of exactly cut bytes, so that reading past it is caught by the sanitizers.
            const std::unique_ptr<uint8_t[]> copy(new uint8_t[cut + 1]);
            std::memcpy(copy.get(), file.data(), cut);
            EXPECT_EQ(DecodePngImage(copy.get(), cut), nullptr) << name << " cut at " << cut;
        }
        std::unique_ptr<Image> whole(DecodePngImage(file.data(), file.size()));
        EXPECT_NE(whole, nullptr) << name;
    }
}

using DataNames = ScratchFolder;

TEST_F(DataNames, BackslashNamesAreRelativeToTheWorkingDirectory)
{
    fs::create_directories(folder_ / "megadata");
    fs::copy_file(fs::path(SuiteFolder()) / "basn2c08.png", folder_ / "megadata" / "envmap.png");
    const fs::path previous = fs::current_path();
    fs::current_path(folder_);
    std::unique_ptr<Image> image(LoadPngImage("megadata\\envmap.png"));
    fs::current_path(previous);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 32);
}

TEST(LoadPngImage, GivesNullForMissingCorruptOrFolderPaths)
{
    EXPECT_EQ(LoadPngImage("megadata\\no_such_picture.png"), nullptr);
    const std::string corrupt = SuiteFolder() + "/xcsn0g01.png";
    EXPECT_EQ(LoadPngImage(corrupt.c_str()), nullptr);
    EXPECT_EQ(LoadPngImage(SuiteFolder().c_str()), nullptr);
    EXPECT_EQ(LoadPngImage(nullptr), nullptr);
}

TEST(LoadPngImage, ReturnsTheImageOfAGoodFile)
{
    const std::string good = SuiteFolder() + "/basn6a08.png";
    std::unique_ptr<Image> image(LoadPngImage(good.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 32);
    EXPECT_EQ(image->Height(), 32);
}

}  // namespace
