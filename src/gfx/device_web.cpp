// The graphics device in a page: a WebGL 2 context on the canvas and the WebGL render
// interface. There is no display mode to change; the page asks for fullscreen itself.
#include <GLES3/gl3.h>

#include "gfx/device.h"
#include "gfx/webgl_render_interface.h"
#include "platform/platform.h"
#include "shell/window.h"

DeviceSettingsRecord DeviceSettings;
void (*FramePresentedHook)() = nullptr;

GraphicsDevice* DeviceFactory::CreateDevice(int width, int height, int bitsPerPixel)
{
    return new GLGraphicsDevice(width, height, bitsPerPixel);
}

int DeviceFactory::Shutdown(std::string* failure) { return ShutdownOpenGL(failure); }

Surface* GLGraphicsDevice::CreateSurface(int) { return nullptr; }
bool GLGraphicsDevice::LockSurface(Surface*) { return false; }
void GLGraphicsDevice::UnlockSurface() {}

bool GLGraphicsDevice::Initialise()
{
    DeviceSettings.showCommand = ShowCommand;
    return InitOpenGL(&failure);
}

// The whole canvas: the page keeps it 4:3.
static void FitViewportToCanvas()
{
    int w = 0, h = 0;
    PlatformDrawableSize(&w, &h);
    if (w > 0 && h > 0) glViewport(0, 0, w, h);
}

bool InitOpenGL(std::string* failure)
{
    DeviceSettings.window = MainWindow;
    if (!MainWindow || !PlatformHasWindow()) {
        *failure = "GetDC on main window failed";
        return false;
    }
    DeviceSettings.deviceContext = true;
    if (!PlatformCreateGLContext()) {
        *failure = "This browser offers no WebGL 2";
        DeviceSettings.deviceContext = false;
        return false;
    }
    DeviceSettings.renderingContext = true;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepthf(0.0f);
    FitViewportToCanvas();
    return true;
}

RenderInterface* GLGraphicsDevice::CreateRenderInterface()
{
    WebGLRenderInterface* renderer = new WebGLRenderInterface;
    if (!renderer->Initialise()) {
        failure = "The WebGL 2 shaders do not build";
        delete renderer;
        return nullptr;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return renderer;
}

int ShutdownOpenGL(std::string*)
{
    if (DeviceSettings.renderingContext) PlatformDeleteGLContext();
    DeviceSettings.renderingContext = false;
    DeviceSettings.deviceContext = false;
    return 0;
}

void DevicePresent()
{
    if (FramePresentedHook) FramePresentedHook();
    PlatformSwapBuffers();
}
