#include "platform/file_system.h"

bool PlatformReadFile(const std::string& path, std::string* contents)
{
    contents->clear();
    FILE* file = PlatformOpenFile(path, "rb");
    if (!file) return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, got);
    const bool whole = !std::ferror(file);
    std::fclose(file);
    return whole;
}
