// Graphics device: the display-mode change, the GL context on the main window, the
// initial GL state, the multitexture entry points and the render interface.
// Use, in this order: a DeviceFactory, CreateDevice(640, 480, 32), Initialise,
// CreateRenderInterface; at the very end the factory's Shutdown. Failures are reported
// to the caller with the text of their box; the device shows none itself.
#pragma once

#include <string>

class RenderInterface;

struct Surface;

class GraphicsDevice {
public:
    GraphicsDevice(int width, int height, int bitsPerPixel)
        : width(width), height(height), bitsPerPixel(bitsPerPixel) {}
    virtual ~GraphicsDevice() = default;

    virtual Surface* CreateSurface(int pixelFormat) = 0;
    virtual bool LockSurface(Surface* surface) = 0;
    virtual void UnlockSurface() = 0;
    virtual bool Initialise() = 0;
    virtual RenderInterface* CreateRenderInterface() { return nullptr; }

    int width;
    int height;
    int bitsPerPixel;
    // Why Initialise or CreateRenderInterface failed: the text of its "FATAL ERROR" box.
    std::string failure;
};

class GLGraphicsDevice : public GraphicsDevice {
public:
    using GraphicsDevice::GraphicsDevice;
    Surface* CreateSurface(int pixelFormat) override;   // none: GL offers no software surface
    bool LockSurface(Surface* surface) override;        // false
    void UnlockSurface() override;                       // nothing
    bool Initialise() override;                          // display mode, then InitOpenGL
    RenderInterface* CreateRenderInterface() override;   // none without GL_ARB_multitexture
};

class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    virtual GraphicsDevice* CreateDevice(int width, int height, int bitsPerPixel);
    virtual int Shutdown(std::string* failure = nullptr);   // ShutdownOpenGL's result
};

// State shared by the device functions.
struct DeviceSettingsRecord {
    int window = 0;                  // copy of MainWindow
    bool deviceContext = false;      // the window's drawable is held
    bool renderingContext = false;   // a GL context exists
    int showCommand = 0;
    bool fullscreen = false;         // the display mode was changed by Initialise
    bool changeDisplayMode = true;   // false: play in a normal desktop window
    bool desktopFullscreen = false;  // cover the display at its own resolution, no mode change
    // Set by Initialise when the designed mode could not be had and the display is
    // covered at its own resolution instead.
    bool fellBackToDesktop = false;
};
extern DeviceSettingsRecord DeviceSettings;

// True when the context is current and the initial GL state is set. On failure the
// desktop mode is back and *failure holds the text of the "FATAL ERROR" box to show.
bool InitOpenGL(std::string* failure);
// Releases the context and restores the desktop mode; the restore's result (1 for
// success), or 0 when no mode change was made. A context that would not go leaves the
// text of its "ERROR" box in *failure, when given.
int ShutdownOpenGL(std::string* failure = nullptr);

// Called just before every buffer swap (frame capture, the fixed-rate clock).
extern void (*FramePresentedHook)();
// Hands the finished frame to the display; the viewport then fits the picture area of a
// window that may have changed size.
void DevicePresent();

