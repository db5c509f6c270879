#include "platform/windows_text.h"

#include <windows.h>

std::wstring WideText(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], length);
    return wide;
}

std::string Utf8Text(const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], length, nullptr, nullptr);
    return utf8;
}
