// The polygonizer's output copied into a mesh, and its environment mapping.
#include "fx/surface_mesh.h"

#include <algorithm>

#include "fx/field_polygonizer.h"
#include "pipeline/transform.h"

void FillSurfaceMesh(Mesh& mesh, const FieldSurface& surface, int32_t vertexRoom, int32_t faceRoom)
{
    if (!mesh.vertexBlock || !mesh.faceBlock) return;
    VertexBlock& block = *mesh.vertexBlock;
    const int32_t held = static_cast<int32_t>(std::min(surface.vertices.size(), size_t(SurfaceVertexCapacity)));
    const int32_t vertices = std::max(0, std::min({surface.vertexCount, vertexRoom, held}));
    for (int32_t i = 0; i < vertices; ++i) {
        block.positions[i] = surface.vertices[i];
        ScreenVertex& s = block.screen[i];
        s.red = s.green = s.blue = 1.0f;
        s.alpha = 1.0f;
    }

    Face* faces = mesh.faceBlock->faces;
    const int32_t indexRoom = static_cast<int32_t>(std::min(surface.indices.size(), size_t(SurfaceIndexCapacity)));
    const int32_t triangles = std::max(0, std::min(surface.indexCount, indexRoom)) / 3;
    int32_t faceCount = 0;
    for (int32_t j = 0; j < triangles && faceCount < faceRoom; ++j) {
        const int32_t* index = &surface.indices[3 * j];
        // One unsigned comparison also turns away a negative index.
        bool inside = true;
        for (int k = 0; k < 3; ++k) inside = inside && uint32_t(index[k]) < uint32_t(vertices);
        if (!inside) continue;
        Face& face = faces[faceCount++];
        for (int k = 0; k < 3; ++k) {
            face.index[k] = index[k];
            face.vertex[k] = &block.screen[index[k]];
        }
    }
    block.count = vertices;
    mesh.faceBlock->count = faceCount;
}

void SetSurfaceEnvironmentCoordinates(Mesh& mesh, FieldSurface& surface, const Matrix& m)
{
    if (!mesh.vertexBlock) return;
    VertexBlock& block = *mesh.vertexBlock;
    // The normal buffers hold SurfaceVertexCapacity points: never transform more.
    const size_t held = std::min({surface.normals.size(), surface.normalsView.size(), size_t(SurfaceVertexCapacity)});
    VertexBlock points = block;
    points.count = std::min(block.count, static_cast<int32_t>(held));
    if (points.count <= 0) return;
    TransformPointBuffer(points, m, &surface.normals[0].x, &surface.normalsView[0].x);
    for (int32_t i = 0; i < points.count; ++i) {
        const Vector3& n = surface.normalsView[i];
        ScreenVertex& s = block.screen[i];
        // 0.3 and 0.5 are double constants: the sums are formed in double, then stored.
        s.u = static_cast<float>(0.3 * n.x + 0.5);
        s.v = static_cast<float>(0.3 * n.y + 0.5);
    }
}
