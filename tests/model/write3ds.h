// A small 3DS writer for tests and benchmarks: chunks are opened and closed like
// brackets and their lengths filled in on closing (or forced, to make damaged files).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

struct Writer3ds {
    std::vector<uint8_t> bytes;
    std::vector<size_t> open;   // offsets of the headers of open chunks

    void Word(uint16_t w)
    {
        bytes.push_back(static_cast<uint8_t>(w));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    void Dword(uint32_t d)
    {
        for (int k = 0; k < 4; k++) bytes.push_back(static_cast<uint8_t>(d >> (8 * k)));
    }
    void Float(float f)
    {
        uint32_t d;
        std::memcpy(&d, &f, 4);
        Dword(d);
    }
    // The name and its terminator.
    void Name(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    void Raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }

    void Begin(uint16_t id)
    {
        open.push_back(bytes.size());
        Word(id);
        Dword(0);
    }
    // Closes the innermost chunk with its true length.
    void End() { EndWithLength(static_cast<uint32_t>(bytes.size() - open.back())); }
    // Closes the innermost chunk with whatever length the test wants stored.
    void EndWithLength(uint32_t length)
    {
        size_t at = open.back() + 2;
        open.pop_back();
        for (int k = 0; k < 4; k++) bytes[at + k] = static_cast<uint8_t>(length >> (8 * k));
    }
};

// One triangle mesh object as the file stores it: file coordinates, faces of
// (a, b, c, flags), texture coordinates as stored (v not negated).
struct MeshObject3ds {
    std::string name;
    std::vector<float> positions;     // x, y, z per vertex
    std::vector<uint16_t> faces;      // a, b, c, flags per face
    std::vector<float> uvs;           // u, v per entry; no TEX_VERTS chunk when empty
    std::string material;             // no material group when empty
    std::vector<uint16_t> groupFaces;
};

inline void WritePointArray(Writer3ds& w, const std::vector<float>& positions)
{
    w.Begin(0x4110);
    w.Word(static_cast<uint16_t>(positions.size() / 3));
    for (float f : positions) w.Float(f);
    w.End();
}

inline void WriteTexVerts(Writer3ds& w, const std::vector<float>& uvs)
{
    w.Begin(0x4140);
    w.Word(static_cast<uint16_t>(uvs.size() / 2));
    for (float f : uvs) w.Float(f);
    w.End();
}

inline void WriteMeshObject(Writer3ds& w, const MeshObject3ds& object)
{
    w.Begin(0x4000);
    w.Name(object.name);
    w.Begin(0x4100);
    WritePointArray(w, object.positions);
    if (!object.uvs.empty()) WriteTexVerts(w, object.uvs);
    w.Begin(0x4120);
    w.Word(static_cast<uint16_t>(object.faces.size() / 4));
    for (uint16_t v : object.faces) w.Word(v);
    if (!object.material.empty()) {
        w.Begin(0x4130);
        w.Name(object.material);
        w.Word(static_cast<uint16_t>(object.groupFaces.size()));
        for (uint16_t f : object.groupFaces) w.Word(f);
        w.End();
    }
    w.End();
    w.End();
    w.End();
}

// A whole file: MAIN3DS with a version chunk and the editor data holding the objects.
inline std::vector<uint8_t> Make3dsFile(const std::vector<MeshObject3ds>& objects)
{
    Writer3ds w;
    w.Begin(0x4D4D);
    w.Begin(0x0002);
    w.Dword(3);
    w.End();
    w.Begin(0x3D3D);
    for (const MeshObject3ds& object : objects) WriteMeshObject(w, object);
    w.End();
    w.End();
    return w.bytes;
}

inline bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A unit geodesic sphere: an icosahedron whose edges are split into split parts,
// 20·split² faces, shared vertices, texture coordinates from longitude and latitude.
inline MeshObject3ds BuildGeoSphere(const std::string& name, int split)
{
    const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
    const float corners[12][3] = {{-1, g, 0}, {1, g, 0},  {-1, -g, 0}, {1, -g, 0},
                                  {0, -1, g}, {0, 1, g},  {0, -1, -g}, {0, 1, -g},
                                  {g, 0, -1}, {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    const int triangles[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                  {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                  {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                  {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    MeshObject3ds object;
    object.name = name;
    std::map<std::tuple<long, long, long>, uint16_t> known;
    auto vertex = [&](int t, int i, int j) -> uint16_t {
        // Barycentric point (i, j) of triangle t, pushed out to the unit sphere.
        const float* a = corners[triangles[t][0]];
        const float* b = corners[triangles[t][1]];
        const float* c = corners[triangles[t][2]];
        float wb = static_cast<float>(i) / split, wc = static_cast<float>(j) / split;
        float wa = 1.0f - wb - wc;
        float p[3];
        for (int k = 0; k < 3; k++) p[k] = wa * a[k] + wb * b[k] + wc * c[k];
        float len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        for (float& f : p) f /= len;
        auto key = std::make_tuple(std::lround(p[0] * 1e5f), std::lround(p[1] * 1e5f),
                                   std::lround(p[2] * 1e5f));
        auto found = known.find(key);
        if (found != known.end()) return found->second;
        uint16_t index = static_cast<uint16_t>(object.positions.size() / 3);
        object.positions.insert(object.positions.end(), p, p + 3);
        object.uvs.push_back(0.5f + std::atan2(p[2], p[0]) / 6.2831853f);
        object.uvs.push_back(0.5f - std::asin(p[1]) / 3.1415927f);
        known.emplace(key, index);
        return index;
    };
    auto face = [&](uint16_t a, uint16_t b, uint16_t c) {
        object.faces.insert(object.faces.end(), {a, b, c, 7});
    };
    for (int t = 0; t < 20; t++) {
        for (int i = 0; i < split; i++) {
            for (int j = 0; i + j < split; j++) {
                face(vertex(t, i, j), vertex(t, i + 1, j), vertex(t, i, j + 1));
                if (i + j + 1 < split)
                    face(vertex(t, i + 1, j), vertex(t, i + 1, j + 1), vertex(t, i, j + 1));
            }
        }
    }
    return object;
}
