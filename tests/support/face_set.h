// View-space records and a sorted-order face list over them, for the face drawers' tests.
#pragma once

#include <cstdint>
#include <vector>

#include "pipeline/mesh_blocks.h"
#include "pipeline/polygon_list.h"

// A white, opaque record at view position (x, y, z) with the given ClipFlags.
inline ScreenVertex At(float x, float y, float z, int32_t flags = 0)
{
    ScreenVertex v{};
    v.x = x;
    v.y = y;
    v.z = z;
    v.clipFlags = flags;
    v.red = v.green = v.blue = v.alpha = 1.0f;
    return v;
}

// Every three records make a face, listed in order, over records the set owns.
struct FaceSet {
    std::vector<ScreenVertex> vertices;
    std::vector<Face> faces;
    PolygonList list{};

    explicit FaceSet(std::vector<ScreenVertex> v) : vertices(std::move(v))
    {
        for (size_t i = 0; i + 2 < vertices.size(); i += 3) {
            Face f{};
            for (int k = 0; k < 3; ++k) {
                f.vertex[k] = &vertices[i + k];
                f.index[k] = static_cast<int32_t>(i + k);
            }
            faces.push_back(f);
        }
        list = AllocatePolygonList(static_cast<int32_t>(faces.size()) + 2);
        BuildPolygonList(list, faces.data(), static_cast<int32_t>(faces.size()));
    }
    ~FaceSet() { FreePolygonList(&list); }
    FaceSet(const FaceSet&) = delete;
    FaceSet& operator=(const FaceSet&) = delete;
    int32_t Count() const { return static_cast<int32_t>(faces.size()); }
};
