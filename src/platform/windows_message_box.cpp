// Error boxes through MessageBoxW, owned by the demo's window.
#include "platform/windows_message_box.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <windows.h>

#include <string>

#include "platform/windows_text.h"

namespace {

HWND HandleOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return nullptr;
    return info.info.win.window;
}

}  // namespace

bool WindowsMessageBox(const char* text, const char* caption, SDL_Window* owner)
{
    const UINT style = MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST;
    return MessageBoxW(HandleOf(owner), WideText(text).c_str(), WideText(caption).c_str(), style) != 0;
}
