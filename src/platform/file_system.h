// Files and folders named by UTF-8 paths, on every system: on Windows through the
// wide-character calls, so a folder named "Zoë" or "デモ" works whatever the code page.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// fopen of a UTF-8 path; null when it cannot be opened.
FILE* PlatformOpenFile(const std::string& path, const char* mode);
bool PlatformPathExists(const std::string& path);
bool PlatformIsFolder(const std::string& path);
// Makes the folder (not its parents) unless it exists; true when it is a folder afterwards.
bool PlatformMakeFolder(const std::string& path);
bool PlatformRemoveFile(const std::string& path);
// Renames a file, replacing one of the new name.
bool PlatformRenameFile(const std::string& from, const std::string& to);
// The whole file, or false when it cannot be read.
bool PlatformReadFile(const std::string& path, std::string* contents);

// The program's arguments as UTF-8, the program's own name first. On Windows they are
// read from the wide command line (argv holds the ANSI code page's lossy copy).
std::vector<std::string> PlatformProgramArguments(int argc, char** argv);
