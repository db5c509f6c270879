// Graphics-device failures: the exact box, the desktop mode left alone, no context.
#include <gtest/gtest.h>

#include "shell/report.h"
#include "shell/window.h"
#include "gfx/device.h"
#include "gfx/render_interface.h"

namespace {

TEST(DeviceFailure, NoWindowReportsTheDrawableFailureAndHoldsNothing)
{
    ResetWindowState();
    DialogsEnabled = false;
    testing::internal::CaptureStderr();
    DeviceRequest request;
    request.display = DisplayUse::Window;
    DeviceResult result;
    result.fellBackToDesktop = true;
    std::string failure;
    EXPECT_EQ(OpenDevice(request, &result, &failure), nullptr);
    EXPECT_EQ(failure, "GetDC on main window failed");
    EXPECT_FALSE(result.fullscreen);
    EXPECT_FALSE(result.fellBackToDesktop);
    // The device shows no box: the text is the caller's to show. No context, no mode
    // change: closing has nothing to restore.
    std::string closeFailure;
    EXPECT_EQ(CloseDevice(&closeFailure), 0);
    EXPECT_EQ(closeFailure, "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(DeviceFailure, CloseWithoutOpenReturnsZero)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(CloseDevice(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
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
