#include "platform/x11_window_size.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <unistd.h>
#endif

#include <cstring>

bool X11WindowSize(SDL_Window* window, int* width, int* height)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Window root;
    int x, y;
    unsigned int w, h, border, depth;
    if (!XGetGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &w, &h, &border, &depth))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
#else
    (void)window, (void)width, (void)height;
    return false;
#endif
}

bool X11MoveResizeWindow(SDL_Window* window, int x, int y, int width, int height)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    XMoveResizeWindow(info.info.x11.display, info.info.x11.window, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XSync(info.info.x11.display, False);
    return true;
#else
    (void)window, (void)x, (void)y, (void)width, (void)height;
    return false;
#endif
}

#if defined(SDL_VIDEO_DRIVER_X11)
static int EndOnIOError(Display*)
{
    // Only async-signal-safe calls: the process may be anywhere in Xlib or the GL driver.
    static const char message[] = "zircon-megademo: the connection to the display was lost\n";
    ssize_t written = write(2, message, sizeof message - 1);
    (void)written;
    _exit(1);
}
#endif

void X11EndOnDisplayLoss()
{
#if defined(SDL_VIDEO_DRIVER_X11)
    XSetIOErrorHandler(EndOnIOError);
#endif
}
