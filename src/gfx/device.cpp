#include "gfx/device.h"

#include <GL/gl.h>
#include <cstring>

#include "shell/window.h"
#include "gfx/frame_target.h"
#include "gfx/gl_extensions.h"
#include "gfx/render_interface.h"
#include "platform/platform.h"

DeviceSettingsRecord DeviceSettings;
void (*FramePresentedHook)() = nullptr;

GraphicsDevice* DeviceFactory::CreateDevice(int width, int height, int bitsPerPixel)
{
    return new GLGraphicsDevice(width, height, bitsPerPixel);
}

int DeviceFactory::Shutdown(std::string* failure)
{
    return ShutdownOpenGL(failure);
}

Surface* GLGraphicsDevice::CreateSurface(int) { return nullptr; }
bool GLGraphicsDevice::LockSurface(Surface*) { return false; }
void GLGraphicsDevice::UnlockSurface() {}

bool GLGraphicsDevice::Initialise()
{
    DeviceSettings.showCommand = ShowCommand;
    DeviceSettings.fellBackToDesktop = false;
    if (DeviceSettings.desktopFullscreen) {
        DeviceSettings.fullscreen = true;
        PlatformEnterDesktopFullscreen();
    } else if (DeviceSettings.changeDisplayMode) {
        DeviceSettings.fullscreen = true;
        // A display without the mode (a flat panel, a virtual screen) may refuse it or
        // switch to another size; the picture would then sit in a corner of the screen.
        // Covering the display at its own resolution shows it whole instead.
        int displayWidth = 0, displayHeight = 0;
        const bool switched = PlatformEnterFullscreen(width, height, bitsPerPixel) &&
                              PlatformDisplaySize(&displayWidth, &displayHeight) && displayWidth == width &&
                              displayHeight == height;
        if (!switched) {
            PlatformRestoreDisplayMode();
            PlatformEnterDesktopFullscreen();
            DeviceSettings.fellBackToDesktop = true;
        }
    }
    return InitOpenGL(&failure);
}

// Back to the desktop mode; the text is the caller's to show.
static bool FailInit(const char* text, std::string* failure)
{
    PlatformRestoreDisplayMode();
    *failure = text;
    return false;
}

static void ReleaseContexts()
{
    if (DeviceSettings.renderingContext) {
        PlatformDeleteGLContext();
        DeviceSettings.renderingContext = false;
    }
    DeviceSettings.deviceContext = false;
}

bool InitOpenGL(std::string* failure)
{
    DeviceSettings.window = MainWindow;
    if (!MainWindow || !PlatformHasWindow()) return FailInit("GetDC on main window failed", failure);
    DeviceSettings.deviceContext = true;

    if (!PlatformCreateGLContext()) {
        bool result = FailInit("wglCreateContext failed\n", failure);
        ReleaseContexts();
        return result;
    }
    DeviceSettings.renderingContext = true;

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

RenderInterface* GLGraphicsDevice::CreateRenderInterface()
{
    RenderInterface* renderer = new RenderInterface;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions && std::strstr(extensions, "GL_ARB_multitexture")) {
        glext::glActiveTextureARB = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(
            PlatformGLProcAddress("glActiveTextureARB"));
        glext::glMultiTexCoord2fARB = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(
            PlatformGLProcAddress("glMultiTexCoord2fARB"));
    }
    // The program cannot draw without both units: say so instead of calling null.
    if (!glext::glActiveTextureARB || !glext::glMultiTexCoord2fARB) {
        PlatformRestoreDisplayMode();
        failure = "The OpenGL driver does not offer GL_ARB_multitexture";
        delete renderer;
        return nullptr;
    }
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    return renderer;
}

int ShutdownOpenGL(std::string* failure)
{
    if (DeviceSettings.renderingContext) {
        if (!PlatformDeleteGLContext() && failure) *failure = "ShutdownOpenGL - wglDeleteContext failed\n";
        DeviceSettings.renderingContext = false;
    }
    DeviceSettings.deviceContext = false;
    if (DeviceSettings.fullscreen) return PlatformRestoreDisplayMode() ? 1 : 0;
    return 0;
}

void DevicePresent()
{
    if (FramePresentedHook) FramePresentedHook();
    ShowFinishedFrame();
}
