// The window's icon from the data set: the loader's pixels turned into an icon's, and a
// missing or damaged icon.png skipped without a word.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "image/image.h"
#include "platform/data_file.h"
#include "platform/platform.h"
#include "shell/window.h"

namespace {

TEST(WindowIcon, PixelsLeaveThePitchAndTurnAlphaIntoOpacity)
{
    Image image(2, 2, &FormatXRGB8888, 3);   // one pixel of padding after each row
    ASSERT_NE(image.Pixels(), nullptr);
    for (size_t i = 0; i < 2 * 3 * 4; ++i) image.Pixels()[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> expected = {0,  1,  2,  255 - 3,  4,  5,  6,  255 - 7,
                                           12, 13, 14, 255 - 15, 16, 17, 18, 255 - 19};
    EXPECT_EQ(WindowIconPixels(image), expected);
}

class WindowIconFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("zircon-icon-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        SetDataFolder(dir_.string());
    }
    void TearDown() override
    {
        PlatformDeleteGLContext();
        PlatformDestroyWindow();
        ResetWindowState();
        SetDataFolder("");
        std::filesystem::remove_all(dir_);
    }
    std::string IconPath() const { return (dir_ / "icon.png").string(); }
    // An 8 × 8 RGBA PNG, clear at the left half.
    void WriteIcon() const
    {
        std::vector<uint8_t> rgba(8 * 8 * 4, 200);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 4; ++x) rgba[(y * 8 + x) * 4 + 3] = 0;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = image.height = 8;
        image.format = PNG_FORMAT_RGBA;
        ASSERT_TRUE(png_image_write_to_file(&image, IconPath().c_str(), 0, rgba.data(), 0, nullptr));
    }
    std::filesystem::path dir_;
};

TEST_F(WindowIconFile, SetOnAWindowSkippedWhenMissingOrDamaged)
{
    WriteIcon();
    EXPECT_FALSE(SetWindowIconFromDataSet());   // no window yet
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    MainWindowOptions options;
    options.desktopWindow = true;
    options.hidden = true;
    ASSERT_TRUE(CreateMainWindow(options));
    // As the program does: the context keeps the GL driver loaded to the end (under the
    // leak checker, what a driver unloaded at exit held would show from no known module).
    ASSERT_TRUE(PlatformCreateGLContext());
    EXPECT_TRUE(SetWindowIconFromDataSet());

    std::filesystem::resize_file(IconPath(), 40);   // cut short
    EXPECT_FALSE(SetWindowIconFromDataSet());
    std::filesystem::remove(IconPath());
    EXPECT_FALSE(SetWindowIconFromDataSet());
}

}  // namespace
