// The display mode's guardian on Windows: the program started again, waiting on the
// program's process and a release event; when the program ends without a release it asks
// Windows for the desktop's own mode back (ChangeDisplaySettings with no mode). A crash
// also restores the mode in the process itself, from the unhandled-exception filter.
#include "platform/display_mode_guard.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/windows_text.h"

namespace {

HANDLE g_release = nullptr;   // the event the program sets to release its guardian
bool g_guarding = false;      // between a start and a release

LONG WINAPI RestoreOnCrash(EXCEPTION_POINTERS*)
{
    if (g_guarding) ChangeDisplaySettingsA(nullptr, 0);
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

bool StartDisplayModeGuard()
{
    static bool filterSet = false;
    if (!filterSet) SetUnhandledExceptionFilter(RestoreOnCrash);
    filterSet = true;
    g_guarding = true;
    if (g_release) return true;
    wchar_t program[32768];
    const DWORD length = GetModuleFileNameW(nullptr, program, sizeof program / sizeof program[0]);
    if (length == 0 || length >= sizeof program / sizeof program[0]) return false;
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    g_release = CreateEventA(&inherited, TRUE, FALSE, nullptr);
    if (!g_release) return false;
    // The guardian knows the program by its id and the event by its handle's number.
    std::wstring line = std::wstring(L"\"") + program + L"\" " + WideText(DisplayModeGuardArgument) + L" " +
                        std::to_wstring(GetCurrentProcessId()) + L" " +
                        std::to_wstring(reinterpret_cast<uintptr_t>(g_release));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW | DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &started)) {
        CloseHandle(g_release);
        g_release = nullptr;
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void ReleaseDisplayModeGuard()
{
    g_guarding = false;
    if (!g_release) return;
    SetEvent(g_release);
    CloseHandle(g_release);
    g_release = nullptr;
}

void RestoreThroughGuardNow(int)
{
    if (g_guarding) ChangeDisplaySettingsA(nullptr, 0);
}

int RunDisplayModeGuard(int argc, char** argv)
{
    if (argc != 4) return 2;
    const DWORD programId = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    const HANDLE release = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(argv[3], nullptr, 10)));
    const HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, programId);
    // A program gone before it could be watched has not released its guardian either.
    if (program) {
        const HANDLE either[] = {release, program};
        const DWORD woke = WaitForMultipleObjects(2, either, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0) return 0;
    }
    if (WaitForSingleObject(release, 0) == WAIT_OBJECT_0) return 0;
    ChangeDisplaySettingsA(nullptr, 0);
    return 0;
}
