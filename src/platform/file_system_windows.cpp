// UTF-8 paths turned into UTF-16 for the wide-character calls.
#include "platform/file_system.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/windows_text.h"

FILE* PlatformOpenFile(const std::string& path, const char* mode)
{
    return _wfopen(WideText(path).c_str(), WideText(mode).c_str());
}

bool PlatformPathExists(const std::string& path)
{
    return GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PlatformIsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PlatformMakeFolder(const std::string& path)
{
    CreateDirectoryW(WideText(path).c_str(), nullptr);
    return PlatformIsFolder(path);
}

bool PlatformRemoveFile(const std::string& path) { return DeleteFileW(WideText(path).c_str()) != 0; }

bool PlatformRenameFile(const std::string& from, const std::string& to)
{
    return MoveFileExW(WideText(from).c_str(), WideText(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::vector<std::string> PlatformProgramArguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8Text(wide[i]));
    LocalFree(wide);
    return arguments;
}
