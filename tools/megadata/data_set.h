// The data set as a whole: every file name and the code that makes it.
#pragma once

#include <string>
#include <vector>

// The eighteen file names, in the order the demo loads them (textures, models, music).
const std::vector<std::string>& DataSetFileNames();

// Writes the named files (all of them when `only` is empty) into the existing folder
// dir. Returns false and fills *error on the first file that cannot be made.
bool WriteDataSet(const std::string& dir, const std::vector<std::string>& only, std::string* error);
