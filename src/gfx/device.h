// The graphics device: the display mode, the GL context on the main window, its initial
// state and the render interface drawing on it. One implementation a platform: native GL
// (device_gl.cpp) and WebGL 2 in a page (device_web.cpp). Open once after the main window
// exists; close once at the very end. Failures are reported to the caller with the text
// of their box; the device shows none itself.
#pragma once

#include <memory>
#include <string>

class RenderInterface;

// How the device takes the display.
enum class DisplayUse {
    DesignedMode,        // switch to the requested mode; the desktop's resolution when it fails
    DesktopFullscreen,   // cover the display at its own resolution, no mode change
    Window,              // play in a normal desktop window
};

struct DeviceRequest {
    int width = 640;
    int height = 480;
    int bitsPerPixel = 32;
    DisplayUse display = DisplayUse::DesignedMode;
};

struct DeviceResult {
    bool fullscreen = false;          // the display is covered (mode switched or desktop resolution)
    bool fellBackToDesktop = false;   // the designed mode could not be had: the desktop's resolution instead
};

// Takes the display, makes the context current with the initial GL state and returns the
// render interface on it. Null on failure, with nothing held, the desktop mode back and
// *failure the text of the "FATAL ERROR" box to show. Destroying the interface makes no
// GL call: its textures go with the context.
std::unique_ptr<RenderInterface> OpenDevice(const DeviceRequest& request, DeviceResult* result,
                                            std::string* failure);
// Releases the context and restores the desktop mode; the restore's result (1 for
// success), or 0 when no mode change was made. A context that would not go leaves the
// text of its "ERROR" box in *failure, when given.
int CloseDevice(std::string* failure = nullptr);

// For the render interfaces: hands the finished frame to the display; natively the
// viewport then fits the picture area of a window that may have changed size.
void DevicePresent();
