// Windows implementation of the operating-system services: process times and memory
// counters, the parent's console, CreateProcess with an inherited pipe.
#include "platform/system.h"

#include "platform/command_line.h"
#include "platform/windows_text.h"

#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdlib>

struct ChildProcess {
    HANDLE process;
    FILE* input;
};

namespace {

double Seconds(const FILETIME& time)
{
    ULARGE_INTEGER hundredNs;
    hundredNs.LowPart = time.dwLowDateTime;
    hundredNs.HighPart = time.dwHighDateTime;
    return hundredNs.QuadPart / 1e7;
}

// A standard handle that leads somewhere: a console, a file or a pipe.
bool Usable(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

bool PlatformProcessFigures(ProcessFigures* figures)
{
    *figures = ProcessFigures{};
    FILETIME created, exited, kernel, user;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    const HANDLE self = GetCurrentProcess();
    if (!GetProcessTimes(self, &created, &exited, &kernel, &user)) return false;
    figures->cpuSeconds = Seconds(kernel) + Seconds(user);
    if (!GetProcessMemoryInfo(self, &memory, sizeof memory)) return false;
    figures->peakResidentKb = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    return true;
}

void PlatformUseParentConsole()
{
    const bool outGiven = Usable(GetStdHandle(STD_OUTPUT_HANDLE));
    const bool errorGiven = Usable(GetStdHandle(STD_ERROR_HANDLE));
    if ((outGiven && errorGiven) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!outGiven && std::freopen("CONOUT$", "w", stdout)) std::setvbuf(stdout, nullptr, _IOLBF, 4096);
    if (!errorGiven && std::freopen("CONOUT$", "w", stderr)) std::setvbuf(stderr, nullptr, _IONBF, 0);
}

bool PlatformIsTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

std::string PlatformFindProgram(const std::string& name)
{
    const wchar_t* path = _wgetenv(L"PATH");
    for (const std::string& candidate : ProgramCandidates(path ? Utf8Text(path) : "", name, PathRules::Windows)) {
        const DWORD attributes = GetFileAttributesW(WideText(candidate).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return candidate;
    }
    return "";
}

ChildProcess* PlatformStartChild(const std::string& path, const std::vector<std::string>& arguments,
                                 bool lowPriority, size_t pipeBytes)
{
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, static_cast<DWORD>(pipeBytes))) return nullptr;
    // Only the reading end goes to the child, or it would never see the end of its input.
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = WideText(WindowsCommandLine(path, arguments));
    const DWORD flags = CREATE_NO_WINDOW | (lowPriority ? BELOW_NORMAL_PRIORITY_CLASS : 0);
    const BOOL ok = CreateProcessW(WideText(path).c_str(), &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                                   &startup, &started);
    CloseHandle(readEnd);
    if (!ok) {
        CloseHandle(writeEnd);
        return nullptr;
    }
    CloseHandle(started.hThread);
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_BINARY | _O_WRONLY);
    FILE* input = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
    if (!input) {
        if (descriptor >= 0) _close(descriptor);
        else CloseHandle(writeEnd);
        WaitForSingleObject(started.hProcess, INFINITE);
        CloseHandle(started.hProcess);
        return nullptr;
    }
    return new ChildProcess{started.hProcess, input};
}

FILE* PlatformChildInput(ChildProcess* child) { return child->input; }

int PlatformFinishChild(ChildProcess* child)
{
    std::fclose(child->input);
    DWORD code = 0;
    const bool ended = WaitForSingleObject(child->process, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(child->process, &code);
    CloseHandle(child->process);
    delete child;
    return ended ? static_cast<int>(code) : -1;
}
