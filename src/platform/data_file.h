// Data files are named as the program has always written them ("megadata\\envmap.png"):
// relative to the working directory with backslash separators. These helpers map such a
// name onto the local file system.
#pragma once

#include <cstdio>
#include <string>

// The folder that names starting "megadata\\" refer to; "megadata" (in the working
// directory) unless the entry point chose another before anything is loaded.
void SetDataFolder(const std::string& folder);
const std::string& DataFolder();

// "megadata\\envmap.png" -> "megadata/envmap.png" on this system, or "<folder>/envmap.png"
// when another data folder is set.
std::string DataFilePath(const char* name);
// fopen of the mapped name; null when it cannot be opened.
FILE* OpenDataFile(const char* name, const char* mode);
