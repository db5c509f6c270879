// File names are bytes here: UTF-8 paths pass through unchanged.
#include "platform/file_system.h"

#include <sys/stat.h>

FILE* PlatformOpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool PlatformPathExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool PlatformIsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformMakeFolder(const std::string& path)
{
    mkdir(path.c_str(), 0777);
    return PlatformIsFolder(path);
}

bool PlatformRemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool PlatformRenameFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::vector<std::string> PlatformProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }
