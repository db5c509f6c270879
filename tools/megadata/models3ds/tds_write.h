// Writes 3DS files: the chunks a modelling package writes for a scene (version, mesh
// version, materials, named objects with points, texture coordinates, a local matrix,
// faces with material and smoothing groups, cameras, lights, and keyframer data).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "models3ds/tds_model.h"

// The file's bytes for the scene.
std::vector<uint8_t> EncodeTds(const TdsScene& scene);
// Writes EncodeTds(scene) to path; false when the file cannot be written.
bool WriteTdsFile(const std::string& path, const TdsScene& scene);
