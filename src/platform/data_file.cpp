// Data file names as the program writes them, mapped onto this file system.
#include "platform/data_file.h"

#include <cstring>

#include "platform/file_system.h"

namespace {
constexpr char DataPrefix[] = "megadata\\";
std::string g_dataFolder = "megadata";   // written by SetDataFolder only (the entry point)
}

void SetDataFolder(const std::string& folder)
{
    g_dataFolder = folder.empty() ? "megadata" : folder;
}

const std::string& DataFolder() { return g_dataFolder; }

std::string DataFilePath(const char* name)
{
    std::string path = name ? name : "";
    if (path.compare(0, std::strlen(DataPrefix), DataPrefix) == 0)
        path = g_dataFolder + "/" + path.substr(std::strlen(DataPrefix));
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

FILE* OpenDataFile(const char* name, const char* mode)
{
    return PlatformOpenFile(DataFilePath(name), mode);
}
