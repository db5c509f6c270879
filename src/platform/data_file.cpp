#include "platform/data_file.h"

std::string DataFilePath(const char* name)
{
    std::string path = name ? name : "";
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

FILE* OpenDataFile(const char* name, const char* mode)
{
    return std::fopen(DataFilePath(name).c_str(), mode);
}
