// The graphics device in a page: a WebGL 2 context on the canvas and the WebGL 2 render
// interface. There is no display mode to change; the page asks for fullscreen itself.
#include <GLES3/gl3.h>

#include "gfx/device.h"
#include "gfx/webgl2_render_interface.h"
#include "platform/platform.h"
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
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepthf(0.0f);
    FitViewportToCanvas();
    auto renderer = std::make_unique<WebGL2RenderInterface>();
    if (!renderer->Initialise()) {
        *failure = "The WebGL 2 shaders do not build";
        CloseDevice();
        return nullptr;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return renderer;
}

int CloseDevice(std::string*)
{
    if (g_renderingContext) PlatformDeleteGLContext();
    g_renderingContext = false;
    return 0;
}

void DevicePresent()
{
    PlatformSwapBuffers();
}
