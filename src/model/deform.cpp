#include "model/deform.h"

#include <cmath>

void ScaleMeshFromRest(Mesh* mesh, const float* factors)
{
    const VertexBlock* rest = mesh->restBlock;
    VertexBlock* current = mesh->vertexBlock;
    if (!current || !rest) return;   // never built
    for (int32_t i = 0; i < current->count; i++) {
        const Vector3& r = rest->positions[i];
        current->positions[i] = {r.x * factors[i], r.y * factors[i], r.z * factors[i]};
    }
}

void TwistMesh(Mesh* mesh, float t)
{
    const float t7 = static_cast<float>(0.7 * t);
    const float t6 = static_cast<float>(0.6 * t);
    const float t5 = static_cast<float>(0.5 * t);
    VertexBlock* block = mesh->vertexBlock;
    if (!block) return;   // never built
    for (int32_t i = 0; i < block->count; i++) {
        Vector3& p = block->positions[i];
        float r = std::sqrt(p.z * p.z + p.y * p.y + p.x * p.x);
        float e = std::sin(t + 0.007f * r);
        float a1 = e + t7, a2 = e + t6, a3 = e + t5;
        float c1 = std::cos(a1), s1 = std::sin(a1);
        float c2 = std::cos(a2), s2 = std::sin(a2);
        float c3 = std::cos(a3), s3 = std::sin(a3);
        // About y by a2, then about z by a3, then about x by a1.
        float x1 = p.x * c2 - p.z * s2;
        float z1 = p.z * c2 + p.x * s2;
        float x2 = x1 * c3 + p.y * s3;
        float y1 = p.y * c3 - x1 * s3;
        float y2 = y1 * c1 + z1 * s1;
        float z2 = z1 * c1 - y1 * s1;
        p = {x2, y2, z2};
    }
}
