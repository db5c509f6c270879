#include "models3ds/tds_write.h"

#include <cstdio>
#include <cstring>

namespace {

// Little-endian byte sink with nested chunks whose lengths are filled in on close.
struct ChunkWriter {
    std::vector<uint8_t> bytes;
    std::vector<size_t> open;
};

void PutU8(ChunkWriter& w, uint8_t v) { w.bytes.push_back(v); }

void PutU16(ChunkWriter& w, uint16_t v)
{
    PutU8(w, uint8_t(v));
    PutU8(w, uint8_t(v >> 8));
}

void PutU32(ChunkWriter& w, uint32_t v)
{
    PutU16(w, uint16_t(v));
    PutU16(w, uint16_t(v >> 16));
}

void PutFloat(ChunkWriter& w, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(w, v);
}

void PutString(ChunkWriter& w, const std::string& s)
{
    w.bytes.insert(w.bytes.end(), s.begin(), s.end());
    PutU8(w, 0);
}

void PutVec(ChunkWriter& w, Vec3f v)
{
    PutFloat(w, v.x);
    PutFloat(w, v.y);
    PutFloat(w, v.z);
}

void Begin(ChunkWriter& w, uint16_t id)
{
    w.open.push_back(w.bytes.size());
    PutU16(w, id);
    PutU32(w, 0);  // length, patched by End
}

void End(ChunkWriter& w)
{
    size_t start = w.open.back();
    w.open.pop_back();
    uint32_t length = uint32_t(w.bytes.size() - start);
    for (int i = 0; i < 4; ++i) w.bytes[start + 2 + i] = uint8_t(length >> (8 * i));
}

void PutColour24(ChunkWriter& w, uint16_t id, const std::array<uint8_t, 3>& c)
{
    Begin(w, id);
    Begin(w, 0x0011);  // COLOR_24
    for (uint8_t v : c) PutU8(w, v);
    End(w);
    End(w);
}

void PutMaterial(ChunkWriter& w, const TdsMaterial& m)
{
    Begin(w, 0xAFFF);  // MAT_ENTRY
    Begin(w, 0xA000);  // MAT_NAME
    PutString(w, m.name);
    End(w);
    PutColour24(w, 0xA010, m.ambient);
    PutColour24(w, 0xA020, m.diffuse);
    PutColour24(w, 0xA030, m.specular);
    if (!m.textureFile.empty()) {
        Begin(w, 0xA200);  // MAT_TEXMAP
        Begin(w, 0x0030);  // INT_PERCENTAGE
        PutU16(w, 100);
        End(w);
        Begin(w, 0xA300);  // MAT_MAPNAME
        PutString(w, m.textureFile);
        End(w);
        End(w);
    }
    End(w);
}

void PutMesh(ChunkWriter& w, const TdsMesh& m)
{
    Begin(w, 0x4000);  // NAMED_OBJECT
    PutString(w, m.name);
    Begin(w, 0x4100);  // N_TRI_OBJECT
    Begin(w, 0x4110);  // POINT_ARRAY
    PutU16(w, uint16_t(m.vertices.size()));
    for (const Vec3f& v : m.vertices) PutVec(w, v);
    End(w);
    if (!m.texCoords.empty()) {
        Begin(w, 0x4140);  // TEX_VERTS
        PutU16(w, uint16_t(m.texCoords.size()));
        for (const TexCoord& t : m.texCoords) {
            PutFloat(w, t.u);
            PutFloat(w, t.v);
        }
        End(w);
    }
    Begin(w, 0x4160);  // MESH_MATRIX: identity axes, no offset
    const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (float f : identity) PutFloat(w, f);
    End(w);
    Begin(w, 0x4120);  // FACE_ARRAY
    PutU16(w, uint16_t(m.faces.size()));
    for (const auto& f : m.faces) {
        PutU16(w, f[0]);
        PutU16(w, f[1]);
        PutU16(w, f[2]);
        PutU16(w, 0x0007);  // all three edges visible
    }
    if (!m.material.empty()) {
        Begin(w, 0x4130);  // MSH_MAT_GROUP
        PutString(w, m.material);
        PutU16(w, uint16_t(m.faces.size()));
        for (size_t i = 0; i < m.faces.size(); ++i) PutU16(w, uint16_t(i));
        End(w);
    }
    Begin(w, 0x4150);  // SMOOTH_GROUP: one group for every face
    for (size_t i = 0; i < m.faces.size(); ++i) PutU32(w, 1);
    End(w);
    End(w);  // FACE_ARRAY
    End(w);  // N_TRI_OBJECT
    End(w);  // NAMED_OBJECT
}

void PutCamera(ChunkWriter& w, const TdsCamera& c)
{
    Begin(w, 0x4000);
    PutString(w, c.name);
    Begin(w, 0x4700);  // N_CAMERA
    PutVec(w, c.position);
    PutVec(w, c.target);
    PutFloat(w, c.roll);
    PutFloat(w, c.lens);
    Begin(w, 0x4720);  // CAM_RANGES
    PutFloat(w, 1.0f);
    PutFloat(w, 5000.0f);
    End(w);
    End(w);
    End(w);
}

void PutLight(ChunkWriter& w, const TdsLight& l)
{
    Begin(w, 0x4000);
    PutString(w, l.name);
    Begin(w, 0x4600);  // N_DIRECT_LIGHT
    PutVec(w, l.position);
    Begin(w, 0x0010);  // COLOR_F
    for (float c : l.colour) PutFloat(w, c);
    End(w);
    End(w);
    End(w);
}

// Keyframer data: a header, the frame range, and one node per mesh holding a single
// key of position, rotation and scale, as a still scene is saved.
void PutKeyframer(ChunkWriter& w, const TdsScene& scene)
{
    Begin(w, 0xB000);  // KFDATA
    Begin(w, 0xB00A);  // KFHDR
    PutU16(w, 5);
    PutString(w, "MAXSCENE");
    PutU32(w, 100);
    End(w);
    Begin(w, 0xB008);  // KFSEG
    PutU32(w, 0);
    PutU32(w, 100);
    End(w);
    Begin(w, 0xB009);  // KFCURTIME
    PutU32(w, 0);
    End(w);
    uint16_t id = 0;
    for (const TdsMesh& m : scene.meshes) {
        Begin(w, 0xB002);  // OBJECT_NODE_TAG
        Begin(w, 0xB030);  // NODE_ID
        PutU16(w, id++);
        End(w);
        Begin(w, 0xB010);  // NODE_HDR
        PutString(w, m.name);
        PutU16(w, 0x4000);
        PutU16(w, 0);
        PutU16(w, 0xFFFF);  // no parent
        End(w);
        Begin(w, 0xB013);  // PIVOT
        PutVec(w, {});
        End(w);
        const uint16_t tracks[3] = {0xB020, 0xB021, 0xB022};  // position, rotation, scale
        for (uint16_t track : tracks) {
            Begin(w, track);
            PutU16(w, 0);       // flags
            PutU32(w, 0);       // unused
            PutU32(w, 0);
            PutU32(w, 1);       // one key
            PutU32(w, 0);       // at frame 0
            PutU16(w, 0);       // no spline parameters
            if (track == 0xB021) PutFloat(w, 0.0f);  // rotation angle before its axis
            PutVec(w, track == 0xB020 ? Vec3f{} : track == 0xB021 ? Vec3f{0, 0, 1} : Vec3f{1, 1, 1});
            End(w);
        }
        End(w);
    }
    End(w);
}

}  // namespace

std::vector<uint8_t> EncodeTds(const TdsScene& scene)
{
    ChunkWriter w;
    Begin(w, 0x4D4D);  // MAIN3DS
    Begin(w, 0x0002);  // M3D_VERSION
    PutU32(w, 3);
    End(w);
    Begin(w, 0x3D3D);  // MDATA
    Begin(w, 0x3D3E);  // MESH_VERSION
    PutU32(w, 3);
    End(w);
    for (const TdsMaterial& m : scene.materials) PutMaterial(w, m);
    Begin(w, 0x0100);  // MASTER_SCALE
    PutFloat(w, 1.0f);
    End(w);
    for (const TdsMesh& m : scene.meshes) PutMesh(w, m);
    for (const TdsCamera& c : scene.cameras) PutCamera(w, c);
    for (const TdsLight& l : scene.lights) PutLight(w, l);
    End(w);  // MDATA
    PutKeyframer(w, scene);
    End(w);  // MAIN3DS
    return w.bytes;
}

bool WriteTdsFile(const std::string& path, const TdsScene& scene)
{
    std::vector<uint8_t> bytes = EncodeTds(scene);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
