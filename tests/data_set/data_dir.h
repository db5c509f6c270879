// Where the tests find the data set: the build's megadata/ folder when it holds every
// file, otherwise a private folder generated once per test process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folder holding all eighteen files.
const std::string& DataDir();
// Full path of one data file.
std::string DataPath(const std::string& name);
// A new empty folder under the system's temporary folder.
std::string MakeTempDir();
// The bytes of a file (empty when it cannot be read).
std::vector<uint8_t> FileBytes(const std::string& path);
