#include "platform/wayland_desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/extensions/Xrandr.h>
#endif

#include <cstring>

#if defined(SDL_VIDEO_DRIVER_X11)
static bool IsXWayland(Display* display)
{
    int opcode = 0, event = 0, error = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &event, &error)) return true;
    if (!XRRQueryExtension(display, &event, &error)) return false;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return false;
    bool xwayland = false;
    for (int i = 0; i < resources->noutput && !xwayland; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (!output) continue;
        xwayland = output->name && std::strncmp(output->name, "XWAYLAND", 8) == 0;
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return xwayland;
}
#endif

bool OnWaylandDesktop(SDL_Window* window)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "wayland") == 0) return true;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
           IsXWayland(info.info.x11.display);
#else
    (void)window;
    return false;
#endif
}
