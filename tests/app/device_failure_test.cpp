// Graphics-device failures: the exact box, the desktop mode left alone, no context.
#include <gtest/gtest.h>

#include "shell/report.h"
#include "shell/window.h"
#include "gfx/device.h"

namespace {

TEST(DeviceFailure, NoWindowReportsTheDrawableFailureAndMakesNoContext)
{
    ResetWindowState();
    DialogsEnabled = false;
    testing::internal::CaptureStderr();
    std::string failure;
    EXPECT_FALSE(InitOpenGL(&failure));
    EXPECT_EQ(failure, "GetDC on main window failed");
    // The device shows no box: the text is the caller's to show.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(DeviceSettings.renderingContext);
}

TEST(DeviceFailure, ShutdownWithoutContextOrModeChangeReturnsZero)
{
    DeviceSettings = DeviceSettingsRecord{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShutdownOpenGL(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(DeviceFailure, BaseDeviceOffersNoRenderInterfaceAndGLDeviceNoSurface)
{
    GLGraphicsDevice device(640, 480, 32);
    EXPECT_EQ(device.width, 640);
    EXPECT_EQ(device.height, 480);
    EXPECT_EQ(device.bitsPerPixel, 32);
    EXPECT_EQ(device.CreateSurface(0), nullptr);
    EXPECT_FALSE(device.LockSurface(nullptr));
}

TEST(ErrorBoxes, GoToStandardErrorWithTheirCaption)
{
    DialogsEnabled = false;
    testing::internal::CaptureStderr();
    ShowErrorBox("ShutdownOpenGL - wglDeleteContext failed\n", "ERROR");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: ShutdownOpenGL - wglDeleteContext failed\n\n");
}

struct FatalEnding {
    std::string text;
};

TEST(ErrorBoxes, FatalErrorReachesTheEndingHookWithItsText)
{
    FatalEndingHook = [](const std::string& text) { throw FatalEnding{text}; };
    try {
        FatalError("Can't load image megadata\\envmap.png");
        FAIL() << "FatalError returned";
    } catch (const FatalEnding& e) {
        EXPECT_EQ(e.text, "Can't load image megadata\\envmap.png");
    }
    FatalEndingHook = nullptr;
}

}  // namespace
