// Error boxes through MessageBoxW, owned by the demo's window.
#include "platform/windows_message_box.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <windows.h>

#include <string>

namespace {

std::wstring Wide(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) return L"";
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

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
    return MessageBoxW(HandleOf(owner), Wide(text).c_str(), Wide(caption).c_str(), style) != 0;
}
