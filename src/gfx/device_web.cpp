// The graphics device in a page: a WebGL 2 context on the canvas and the WebGL 2 render
// interface. There is no display mode to change; the page asks for fullscreen itself. A
// context the browser loses and restores gets the same state and objects again.
#include <GLES3/gl3.h>

#include "gfx/device.h"
#include "gfx/webgl2_render_interface.h"
#include "platform/platform.h"
#include "platform/web_graphics.h"
#include "shell/window.h"

namespace {

bool g_renderingContext = false;   // written by OpenDevice and CloseDevice only

// The whole canvas: the page keeps it 4:3.
void FitViewportToCanvas()
{
    int w = 0, h = 0;
    PlatformDrawableSize(&w, &h);
    if (w > 0 && h > 0) glViewport(0, 0, w, h);
}

// The context's state before the render interface draws: depth as 1/z tested GEQUAL
// against 0, a black clear.
void SetInitialState()
{
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepthf(0.0f);
    FitViewportToCanvas();
}

bool RestoreGraphics(void* renderer)
{
    SetInitialState();
    return static_cast<WebGL2RenderInterface*>(renderer)->Restore();
}

}  // namespace

std::unique_ptr<RenderInterface> OpenDevice(const DeviceRequest&, DeviceResult* result, std::string* failure)
{
    *result = DeviceResult{};
    if (!MainWindowOpen() || !PlatformHasWindow()) {
        *failure = "GetDC on main window failed";
        return nullptr;
    }
    if (!PlatformCreateGLContext()) {
        *failure = "This browser offers no WebGL 2";
        return nullptr;
    }
    g_renderingContext = true;
    SetInitialState();
    auto renderer = std::make_unique<WebGL2RenderInterface>();
    if (!renderer->Initialise()) {
        *failure = "The WebGL 2 shaders do not build";
        CloseDevice();
        return nullptr;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The interface lives until CloseDevice (the page's whole life).
    PlatformOnGraphicsRestored(RestoreGraphics, renderer.get());
    return renderer;
}

int CloseDevice(std::string*)
{
    PlatformOnGraphicsRestored(nullptr, nullptr);
    if (g_renderingContext) PlatformDeleteGLContext();
    g_renderingContext = false;
    return 0;
}

void DevicePresent()
{
    PlatformSwapBuffers();
}
