// SDL2 back end of the platform layer: window, events, display mode, GL context, clock
// and message boxes.
#include "platform/platform.h"

// The entry point is the program's own main, not SDL's.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/address_sanitizer.h"
#include "platform/display_mode_guard.h"
#include "platform/wayland_desktop.h"
#include "platform/x11_window_size.h"
#if defined(_WIN32)
#include "platform/windows_message_box.h"
#endif
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#if !defined(_WIN32)
#include <signal.h>
#endif
#if defined(ZIRCON_ADDRESS_SANITIZER)
#include <dlfcn.h>
#include <link.h>
#endif

namespace {

#if defined(ZIRCON_ADDRESS_SANITIZER)
// Under the leak checker: the GL driver is unloaded at exit before the check runs, and
// what its globals held would be reported from an unknown module. Pinned, it keeps them.
int PinDriverLibrary(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") || std::strstr(name, "libLLVM")))
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
void PinGLDriver() { dl_iterate_phdr(PinDriverLibrary, nullptr); }
#else
void PinGLDriver() {}
#endif

#if !defined(_WIN32)
// A hang-up (the terminal that started the program closed) ends play as a close request
// does; SDL turns SIGINT and SIGTERM into one by itself.
volatile sig_atomic_t g_hangUp = 0;   // written by NoteHangUp (the signal) and TakeHangUp
void NoteHangUp(int) { g_hangUp = 1; }
void CloseOnHangUp()
{
    struct sigaction action {};
    action.sa_handler = NoteHangUp;
    sigemptyset(&action.sa_mask);
    sigaction(SIGHUP, &action, nullptr);
}
bool TakeHangUp()
{
    if (!g_hangUp) return false;
    g_hangUp = 0;
    return true;
}
#else
void CloseOnHangUp() {}
bool TakeHangUp() { return false; }
#endif

SDL_Window* g_window = nullptr;         // written by PlatformCreateWindow, PlatformDestroyWindow, PlatformQuit
SDL_GLContext g_context = nullptr;      // written by PlatformCreateGLContext, PlatformDeleteGLContext
bool g_videoUp = false;                 // written by EnsureVideo, PlatformQuit
// Written by PlatformEnterFullscreen, PlatformEnterDesktopFullscreen, PlatformRestoreDisplayMode.
bool g_fullscreen = false;
Uint32 g_fullscreenKind = 0;   // SDL_WINDOW_FULLSCREEN or _FULLSCREEN_DESKTOP while fullscreen
bool g_hidden = false;         // minimised, or stepped aside from fullscreen; written by the window-change events

bool EnsureVideo()
{
    if (g_videoUp) return true;
    // Focus loss is handled by the program itself (PlatformPollEvent), the same way on
    // every system and also with no window manager to minimise the window.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    SDL_SetMainReady();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) return false;
    // Without a display SDL falls back to drivers that show nothing; a demo nobody can
    // see counts as no display, unless such a driver was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    bool invisible = driver && (!SDL_strcmp(driver, "offscreen") || !SDL_strcmp(driver, "dummy"));
    if (invisible && !(wanted && !SDL_strcmp(wanted, driver))) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS);
        return false;
    }
    g_videoUp = true;
    CloseOnHangUp();
    std::atexit(PlatformQuit);   // the desktop mode comes back however the process ends
    return true;
}

SDL_Window* TryCreate(const PlatformWindowOptions& o, int depthBits, int samples)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples);
    Uint32 flags = SDL_WINDOW_OPENGL;
    if (o.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (o.borderless) flags |= SDL_WINDOW_BORDERLESS;
    if (o.alwaysOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    flags |= o.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    return SDL_CreateWindow(o.title, o.x, o.y, o.width, o.height, flags);
}

}  // namespace

bool PlatformCreateWindow(const PlatformWindowOptions& options)
{
    if (g_window) return true;
    if (!EnsureVideo()) return false;
    // A 32-bit depth buffer is asked for first; 24 bits is the least the 1/z depth needs.
    // Multisampling steps down to what the GL offers, to none at all if need be.
    for (int samples = options.samples;; samples /= 2) {
        for (int depth : {32, 24}) {
            g_window = TryCreate(options, depth, samples);
            if (g_window) break;
        }
        if (g_window || samples == 0) break;
    }
    if (!g_window) return false;
    X11EndOnDisplayLoss();
    if (options.hideCursor) SDL_ShowCursor(SDL_DISABLE);
    return true;
}

bool PlatformHasWindow() { return g_window != nullptr; }

void PlatformShowWindow()
{
    if (g_window) SDL_ShowWindow(g_window);
}

void PlatformRaiseWindow()
{
    if (g_window) SDL_RaiseWindow(g_window);
}

void PlatformDestroyWindow()
{
    if (!g_window) return;
    PlatformRestoreDisplayMode();
    // GL calls made after this point reach no drawable and do nothing.
    if (g_context) SDL_GL_MakeCurrent(g_window, nullptr);
    SDL_DestroyWindow(g_window);
    g_window = nullptr;
}

void PlatformDrawableSize(int* width, int* height)
{
    *width = *height = 0;
    if (!g_window) return;
    // When the display cannot switch modes, SDL reports the fullscreen mode's size while
    // the window keeps its own; the X server knows the window's real size.
    if (X11WindowSize(g_window, width, height)) return;
    SDL_GL_GetDrawableSize(g_window, width, height);
}

bool PlatformSetWindowIcon(const uint8_t* rgba, int width, int height)
{
    if (!g_window || !rgba || width <= 0 || height <= 0) return false;
    // The surface only borrows the pixels; SDL copies them into the window's icon.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return false;
    SDL_SetWindowIcon(g_window, icon);
    SDL_FreeSurface(icon);
    return true;
}

static Key KeyOf(SDL_Keycode code)
{
    switch (code) {
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_SPACE: return Key::Space;
    case SDLK_TAB: return Key::Tab;
    case SDLK_LEFT: return Key::Left;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_PAGEUP: return Key::PageUp;
    case SDLK_PAGEDOWN: return Key::PageDown;
    case SDLK_HOME: return Key::Home;
    case SDLK_F12: return Key::F12;
    default: return Key::Other;
    }
}

namespace {

// Fullscreen at the desktop's resolution. Fullscreen is a request to the window manager;
// with none running (a bare X server) nobody carries it out, so the window covers the
// display by itself.
bool CoverDisplay()
{
    int displayWidth = 0, displayHeight = 0;
    if (!PlatformDisplaySize(&displayWidth, &displayHeight)) return false;
    if (SDL_SetWindowFullscreen(g_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    int width = 0, height = 0;
    PlatformDrawableSize(&width, &height);
    if (width != displayWidth || height != displayHeight) {
        X11MoveResizeWindow(g_window, 0, 0, displayWidth, displayHeight);
        PlatformDrawableSize(&width, &height);
    }
    return width == displayWidth && height == displayHeight;
}

// Out of fullscreen (the desktop's mode comes back) and minimised. The guardian stays:
// the program takes the mode again when it is back.
bool StepAside()
{
    if (g_hidden || !g_fullscreen) return false;
    g_hidden = true;
    SDL_SetWindowFullscreen(g_window, 0);
    SDL_MinimizeWindow(g_window);
    return true;
}

bool ComeBack()
{
    if (!g_hidden) return false;
    g_hidden = false;
    if (!g_fullscreen) return true;
    SDL_RestoreWindow(g_window);
    if (g_fullscreenKind == SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(g_window, SDL_WINDOW_FULLSCREEN);
    else CoverDisplay();
    SDL_RaiseWindow(g_window);
    return true;
}

// What a change of the window's state means to the program: Hidden, Shown or Other.
PlatformEventKind KindOfWindowChange(Uint8 change)
{
    switch (change) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
        return StepAside() ? PlatformEventKind::Hidden : PlatformEventKind::Other;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (g_hidden) return PlatformEventKind::Other;
        if (g_fullscreen) return StepAside() ? PlatformEventKind::Hidden : PlatformEventKind::Other;
        g_hidden = true;
        return PlatformEventKind::Hidden;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_RESTORED:
        return ComeBack() ? PlatformEventKind::Shown : PlatformEventKind::Other;
    default:
        return PlatformEventKind::Other;
    }
}

}  // namespace

bool PlatformPollEvent(PlatformEvent* event)
{
    if (TakeHangUp()) {
        event->kind = PlatformEventKind::CloseRequest;
        event->key = Key::Other;
        return true;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        event->key = Key::Other;
        switch (e.type) {
        case SDL_KEYDOWN:
            event->kind = PlatformEventKind::KeyDown;
            event->key = KeyOf(e.key.keysym.sym);
            return true;
        case SDL_QUIT:
            event->kind = PlatformEventKind::CloseRequest;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: event->kind = PlatformEventKind::CloseRequest; return true;
            default: event->kind = KindOfWindowChange(e.window.event); return true;
            }
        default:
            break;   // events the program has no use for are dropped here
        }
    }
    return false;
}

bool PlatformCanChangeDisplayMode()
{
    return g_window && !OnWaylandDesktop(g_window);
}

bool PlatformEnterFullscreen(int width, int height, int bitsPerPixel)
{
    // No switch and no guardian for a mode the compositor keeps.
    if (!PlatformCanChangeDisplayMode()) return false;
    SDL_DisplayMode mode{};
    mode.format = bitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    mode.w = width;
    mode.h = height;
    SDL_SetWindowDisplayMode(g_window, &mode);
    // The guardian notes the desktop's mode before the switch, and gives it back if the
    // process ends without doing so.
    StartDisplayModeGuard();
    g_fullscreen = SDL_SetWindowFullscreen(g_window, SDL_WINDOW_FULLSCREEN) == 0;
    g_fullscreenKind = g_fullscreen ? SDL_WINDOW_FULLSCREEN : 0;
    if (!g_fullscreen) ReleaseDisplayModeGuard();
    return g_fullscreen;
}

bool PlatformRestoreDisplayMode()
{
    if (!g_window || !g_fullscreen) return true;
    g_fullscreen = false;
    g_fullscreenKind = 0;
    if (SDL_SetWindowFullscreen(g_window, 0) != 0) return false;   // the guardian still will
    ReleaseDisplayModeGuard();
    return true;
}

bool PlatformDisplaySize(int* width, int* height)
{
    *width = *height = 0;
    if (!g_window) return false;
    const int display = SDL_GetWindowDisplayIndex(g_window);
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool PlatformEnterDesktopFullscreen()
{
    if (!g_window) return false;
    const bool covered = CoverDisplay();
    if (SDL_GetWindowFlags(g_window) & SDL_WINDOW_FULLSCREEN) {
        g_fullscreen = true;
        g_fullscreenKind = SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    return covered;
}

bool PlatformCreateGLContext()
{
    if (!g_window) return false;
    if (!g_context) g_context = SDL_GL_CreateContext(g_window);
    if (!g_context) return false;
    PinGLDriver();
    if (SDL_GL_MakeCurrent(g_window, g_context) != 0) return false;
    SDL_GL_SetSwapInterval(0);   // swaps at once until the driver asks for vsync
    return true;
}

bool PlatformDeleteGLContext()
{
    if (!g_context) return true;
    SDL_GL_MakeCurrent(g_window, nullptr);
    SDL_GL_DeleteContext(g_context);
    g_context = nullptr;
    return true;
}

bool PlatformHasGLContext() { return g_context != nullptr; }

void PlatformGLContextInfo(PlatformGLInfo* info)
{
    int r = 0, g = 0, b = 0, a = 0, depth = 0, dbl = 0;
    SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &r);
    SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &g);
    SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &b);
    SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &a);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &dbl);
    info->colorBits = r + g + b + a;
    info->depthBits = depth;
    info->doubleBuffered = dbl != 0;
}

void* PlatformGLProcAddress(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

void PlatformSwapBuffers()
{
    if (g_window && g_context) SDL_GL_SwapWindow(g_window);
}

bool PlatformSetVsync(bool on)
{
    return g_context && SDL_GL_SetSwapInterval(on ? 1 : 0) == 0;
}

int PlatformRefreshRate()
{
    SDL_DisplayMode mode{};
    if (g_window && SDL_GetWindowDisplayMode(g_window, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    return 0;
}

uint32_t PlatformTickCount()
{
    if (!SDL_WasInit(SDL_INIT_TIMER)) {
        SDL_SetMainReady();
        SDL_InitSubSystem(SDL_INIT_TIMER);
    }
    return SDL_GetTicks();
}

bool PlatformMessageBox(const char* text, const char* caption)
{
    if (!g_videoUp) return false;
#if defined(_WIN32)
    return WindowsMessageBox(text, caption, g_window);
#else
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0;
#endif
}

void PlatformQuit()
{
    AudioFree();
    PlatformRestoreDisplayMode();
    PlatformDeleteGLContext();
    if (g_window) SDL_DestroyWindow(g_window);
    g_window = nullptr;
    if (g_videoUp) SDL_Quit();
    g_videoUp = false;
}

std::string PlatformProgramFolder()
{
    char* base = SDL_GetBasePath();
    if (!base) return "";
    std::string folder = base;
    SDL_free(base);
    return folder;
}
