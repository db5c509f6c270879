#include "pipeline/transform.h"

#include <cstddef>
#include <cstdint>

#include "pipeline/classify.h"

void TransformMeshVertices(VertexBlock& block, const Matrix& m)
{
    const int32_t count = block.count;
    const Vector3* __restrict positions = block.positions;
    ScreenVertex* __restrict out = block.screen;
    // Matrix elements in locals: the stores below cannot alias them.
    const float m00 = m.m[0], m01 = m.m[1], m02 = m.m[2], m03 = m.m[3];
    const float m10 = m.m[4], m11 = m.m[5], m12 = m.m[6], m13 = m.m[7];
    const float m20 = m.m[8], m21 = m.m[9], m22 = m.m[10], m23 = m.m[11];
    for (int32_t i = 0; i < count; ++i) {
        const float px = positions[i].x, py = positions[i].y, pz = positions[i].z;
        out[i].x = ((pz * m02 + py * m01) + px * m00) + m03;
        out[i].y = ((pz * m12 + py * m11) + px * m10) + m13;
        out[i].z = ((pz * m22 + py * m21) + px * m20) + m23;
    }
}

void ProjectMeshVertices(VertexBlock& block, const Camera& camera)
{
    const int32_t count = block.count;
    ScreenVertex* __restrict v = block.screen;
    const float scaleX = camera.projectionScaleX;
    const float scaleY = camera.projectionScaleY;
    for (int32_t i = 0; i < count; ++i) {
        const float x = v[i].x, y = v[i].y, z = v[i].z;
        v[i].clipFlags = ClassifyViewPoint(x, y, z);
        // z = 0 gives an infinite reciprocal; such a record is flagged behind and
        // never reaches the screen unclipped.
        const float r = 1.0f / z;
        v[i].screenX = r * x * scaleX;
        v[i].screenY = -(r * y * scaleY);
    }
}

void TransformPointBuffer(const VertexBlock& block, const Matrix& m, const float* source,
                          float* destination)
{
    const int32_t count = block.count;
    const float m00 = m.m[0], m01 = m.m[1], m02 = m.m[2], m03 = m.m[3];
    const float m10 = m.m[4], m11 = m.m[5], m12 = m.m[6], m13 = m.m[7];
    const float m20 = m.m[8], m21 = m.m[9], m22 = m.m[10], m23 = m.m[11];
    for (int32_t i = 0; i < count; ++i) {
        const size_t k = 3 * static_cast<size_t>(i);   // no int overflow for any count
        const float px = source[k], py = source[k + 1], pz = source[k + 2];
        destination[k] = ((pz * m02 + py * m01) + px * m00) + m03;
        destination[k + 1] = ((pz * m12 + py * m11) + px * m10) + m13;
        destination[k + 2] = ((pz * m22 + py * m21) + px * m20) + m23;
    }
}
