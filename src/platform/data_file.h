// Data files are named as the program has always written them ("megadata\\envmap.png"):
// relative to the working directory with backslash separators. These helpers map such a
// name onto the local file system.
#pragma once

#include <cstdio>
#include <string>

// "megadata\\envmap.png" -> "megadata/envmap.png" on this system.
std::string DataFilePath(const char* name);
// fopen of the mapped name; null when it cannot be opened.
FILE* OpenDataFile(const char* name, const char* mode);
