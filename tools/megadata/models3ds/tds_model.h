// A 3DS scene as the writer sees it: materials, triangle meshes, cameras and lights,
// all in the file's own coordinates (Z up).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Vec3f {
    float x = 0, y = 0, z = 0;
};

struct TexCoord {
    float u = 0, v = 0;   // v grows upward in the picture, as 3DS files store it
};

struct TdsMaterial {
    std::string name;
    std::array<uint8_t, 3> ambient{}, diffuse{}, specular{};
    std::string textureFile;   // empty: no texture map
};

struct TdsMesh {
    std::string name;
    std::string material;                      // one material for all faces
    std::vector<Vec3f> vertices;
    std::vector<TexCoord> texCoords;           // empty or one per vertex
    std::vector<std::array<uint16_t, 3>> faces;
};

struct TdsCamera {
    std::string name;
    Vec3f position, target;
    float roll = 0;       // degrees
    float lens = 50;      // millimetres
};

struct TdsLight {
    std::string name;
    Vec3f position;
    std::array<float, 3> colour{1, 1, 1};
};

struct TdsScene {
    std::vector<TdsMaterial> materials;
    std::vector<TdsMesh> meshes;
    std::vector<TdsCamera> cameras;
    std::vector<TdsLight> lights;
};
