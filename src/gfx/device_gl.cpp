// The graphics device on native OpenGL (Linux and Windows): the display mode through the
// platform, a GL context on the main window and the GL 1.1 render interface.
#include "gfx/device.h"

#include <GL/gl.h>

#include "gfx/frame_target.h"
#include "gfx/gl11_render_interface.h"
#include "platform/platform.h"
#include "shell/window.h"


namespace {

// Written by OpenDevice and CloseDevice only.
bool g_renderingContext = false;   // a GL context exists
bool g_fullscreen = false;         // the display mode was changed or the desktop covered

// Covers the display as asked; true when the mode change fell back to the desktop's resolution.
// Where the mode is not the program's to change (a Wayland desktop) the desktop's
// resolution is the plain way to play, not a fallback.
bool TakeDisplay(const DeviceRequest& request)
{
    if (request.display == DisplayUse::DesktopFullscreen || !PlatformCanChangeDisplayMode()) {
        PlatformEnterDesktopFullscreen();
        return false;
    }
    // A display without the mode (a flat panel, a virtual screen) may refuse it or switch
    // to another size; the picture would then sit in a corner of the screen. Covering the
    // display at its own resolution shows it whole instead.
    int displayWidth = 0, displayHeight = 0;
    const bool switched = PlatformEnterFullscreen(request.width, request.height, request.bitsPerPixel) &&
                          PlatformDisplaySize(&displayWidth, &displayHeight) && displayWidth == request.width &&
                          displayHeight == request.height;
    if (switched) return false;
    PlatformRestoreDisplayMode();
    PlatformEnterDesktopFullscreen();
    return true;
}

// The context on the main window with the initial state; false with the box text.
bool MakeContext(std::string* failure)
{
    if (!MainWindowOpen() || !PlatformHasWindow()) {
        *failure = "GetDC on main window failed";
        return false;
    }
    if (!PlatformCreateGLContext()) {
        *failure = "wglCreateContext failed\n";
        return false;
    }
    g_renderingContext = true;

    PlatformShowWindow();
    PlatformRaiseWindow();

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(0.0);
    FitViewportToFrame();
    return true;
}

}  // namespace

std::unique_ptr<RenderInterface> OpenDevice(const DeviceRequest& request, DeviceResult* result,
                                            std::string* failure)
{
    *result = DeviceResult{};
    if (request.display != DisplayUse::Window) {
        g_fullscreen = true;
        result->fullscreen = true;
        result->fellBackToDesktop = TakeDisplay(request);
    }
    if (!MakeContext(failure)) {
        PlatformRestoreDisplayMode();
        g_fullscreen = false;
        return nullptr;
    }
    auto renderer = std::make_unique<GL11RenderInterface>();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The program cannot draw without both units: say so instead of calling null.
    if (!renderer->Initialise()) {
        *failure = "The OpenGL driver does not offer GL_ARB_multitexture";
        CloseDevice();
        return nullptr;
    }
    return renderer;
}

int CloseDevice(std::string* failure)
{
    if (g_renderingContext) {
        if (!PlatformDeleteGLContext() && failure) *failure = "ShutdownOpenGL - wglDeleteContext failed\n";
        g_renderingContext = false;
    }
    if (!g_fullscreen) return 0;
    g_fullscreen = false;
    return PlatformRestoreDisplayMode() ? 1 : 0;
}

void DevicePresent()
{
    ShowFinishedFrame();
}
