#include "models3ds/tds_read.h"

#include <cstdio>
#include <cstring>

namespace {

struct Cursor {
    const std::vector<uint8_t>& bytes;
    size_t pos;
};

uint16_t U16(Cursor& c)
{
    if (c.pos + 2 > c.bytes.size()) return c.pos = c.bytes.size(), 0;
    uint16_t v = uint16_t(c.bytes[c.pos] | (c.bytes[c.pos + 1] << 8));
    c.pos += 2;
    return v;
}

uint32_t U32(Cursor& c)
{
    uint32_t lo = U16(c);
    return lo | (uint32_t(U16(c)) << 16);
}

float F32(Cursor& c)
{
    uint32_t v = U32(c);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

std::string Str(Cursor& c)
{
    std::string s;
    while (c.pos < c.bytes.size() && c.bytes[c.pos] != 0) s.push_back(char(c.bytes[c.pos++]));
    ++c.pos;
    return s;
}

// Walks the chunks between `begin` and `end` at the given depth.
void Walk(Cursor& c, size_t end, int depth, bool inWanted, const std::string& name, TdsReadResult& r)
{
    while (c.pos + 6 <= end) {
        size_t start = c.pos;
        uint16_t id = U16(c);
        uint32_t length = U32(c);
        size_t chunkEnd = start + length;
        r.chunks.push_back({id, depth});
        if (length < 6 || chunkEnd > end) {
            r.wellFormed = false;
            c.pos = end;
            return;
        }
        if (depth == 0 || (depth == 1 && id == 0x3D3D) || (depth == 3 && id == 0x4100 && inWanted)) {
            Walk(c, chunkEnd, depth + 1, inWanted, name, r);
        } else if (depth == 2 && id == 0x4000) {
            std::string object = Str(c);
            r.objectNames.push_back(object);
            bool wanted = object == name;
            Walk(c, chunkEnd, depth + 1, wanted, name, r);
        } else if (depth == 4 && inWanted && id == 0x4110) {
            uint16_t n = U16(c);
            r.points.clear();
            for (uint16_t i = 0; i < n; ++i) {
                float x = F32(c), y = F32(c), z = F32(c);
                r.points.push_back({x, y, z});
            }
            r.found = true;
        } else if (depth == 4 && inWanted && id == 0x4120) {
            uint16_t n = U16(c);
            r.faces.clear();
            r.faceFlags.clear();
            for (uint16_t i = 0; i < n; ++i) {
                uint16_t a = U16(c), b = U16(c), d = U16(c);
                r.faces.push_back({a, b, d});
                r.faceFlags.push_back(U16(c));
            }
            Walk(c, chunkEnd, depth + 1, inWanted, name, r);
        } else if (depth == 4 && inWanted && id == 0x4140) {
            uint16_t n = U16(c);
            r.texCoords.clear();
            for (uint16_t i = 0; i < n; ++i) {
                float u = F32(c), v = F32(c);
                r.texCoords.push_back({u, v});
            }
        }
        c.pos = chunkEnd;
    }
    c.pos = end;
}

}  // namespace

TdsReadResult ReadTdsObject(const std::vector<uint8_t>& bytes, const std::string& objectName)
{
    TdsReadResult r;
    Cursor c{bytes, 0};
    Walk(c, bytes.size(), 0, false, objectName, r);
    return r;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}
