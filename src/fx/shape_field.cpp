// The rotating-shape field: start positions, motion and per-frame evaluation.
#include "fx/shape_field.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "fx/edge_cache.h"

namespace {

// Sources move within centre ± this many grid units: 13 × 0.45454544 as a float.
constexpr float SourceAmplitude = (FieldGridSize - 2 * FieldSourceReach) * 0.45454544f;

}  // namespace

int TruncateGridBound(float v)
{
    return int(std::fmax(-1.0f, std::fmin(v, float(FieldGridSize + 1))));
}

void AllocateShapeField(ShapeField* field)
{
    field->values.assign(FieldPointCount, 0.0f);
    field->visited.assign(FieldPointCount, 0);
}

ShapeField AllocatedShapeField()
{
    ShapeField field;
    AllocateShapeField(&field);
    return field;
}

void FreeShapeField(ShapeField* field)
{
    *field = ShapeField{};
}

void InitShapeField(ShapeField& field)
{
    std::fill(field.values.begin(), field.values.end(), 0.0f);
    std::fill(std::begin(field.sources), std::end(field.sources), Vector3{0, 0, 0});
    const int span = FieldGridSize - 2 * FieldSourceReach;   // 13: starts from 8 to 20
    // The sequence an unseeded generator gives, every time the scene begins, so that
    // playing it again (after a seek) starts from the same places.
    std::srand(1);
    for (Vector3& source : field.sources) {
        // Three statements: the draws go to x, y and z in that order.
        source.x = float(std::rand() % span + FieldSourceReach);
        source.y = float(std::rand() % span + FieldSourceReach);
        source.z = float(std::rand() % span + FieldSourceReach);
    }
    std::fill(field.visited.begin(), field.visited.end(), uint8_t(0));
}

void MoveShapeSources(ShapeField& field, float t)
{
    const int centre = FieldGridSize / 2;
    for (int i = 0; i < FieldSourceCount; ++i) {
        field.sources[i].x = float(centre + SourceAmplitude * std::sin(6.6 * t + 2.5 * i));
        field.sources[i].y = float(centre + SourceAmplitude * std::sin(7.7 * t + 3.6 * i));
        field.sources[i].z = float(centre + SourceAmplitude * std::sin(8.8 * t + 4.7 * i));
    }
}

void EvaluateShapeField(ShapeField& field, EdgeVertexTable& edgeCache)
{
    EmptyEdgeCache(edgeCache);
    // The grids are written below point by point; an unallocated field has none.
    if (field.values.size() < size_t(FieldPointCount) || field.visited.size() < size_t(FieldPointCount)) return;
    std::fill(field.values.begin(), field.values.end(), -0.5f);

    for (const Vector3& c : field.sources) {
        const int x0 = std::max(0, TruncateGridBound(c.x - FieldSourceReach));
        const int x1 = std::min(FieldGridSize, TruncateGridBound(c.x + FieldSourceReach));
        const int y0 = std::max(0, TruncateGridBound(c.y - FieldSourceReach));
        const int y1 = std::min(FieldGridSize, TruncateGridBound(c.y + FieldSourceReach));
        const int z0 = std::max(0, TruncateGridBound(c.z - FieldSourceReach));
        const int z1 = std::min(FieldGridSize, TruncateGridBound(c.z + FieldSourceReach));
        if (x0 >= x1 || y0 >= y1 || z0 >= z1) continue;

        // The shape tumbles with its position: M = Rx(0.2 x)·Ry(0.2 y)·Rz(0.2 z).
        Matrix rotation;
        MatrixRotationXYZ(&rotation, float(0.2 * c.x), float(0.2 * c.y), float(0.2 * c.z));
        const float* m = rotation.m;

        for (int x = x0; x < x1; ++x) {
            const float dx = float(x) - c.x;
            for (int y = y0; y < y1; ++y) {
                const float dy = float(y) - c.y;
                // Local coordinates are the transpose of M applied to d; the sums run
                // left to right, so the parts without dz are formed here once per row.
                const float xPart = m[0] * dx + m[4] * dy;
                const float yPart = m[1] * dx + m[5] * dy;
                const float zPart = m[2] * dx + m[6] * dy;
                const int row = FieldPointIndex(x, y, 0);
                std::memset(&field.visited[row + z0], 0, size_t(z1 - z0));
                float* values = &field.values[row];
                for (int z = z0; z < z1; ++z) {
                    const float dz = float(z) - c.z;
                    const float lx = xPart + m[8] * dz;
                    const float ly = yPart + m[9] * dz;
                    const float lz = zPart + m[10] * dz;
                    const float r2 = lx * lx + ly * ly + lz * lz;
                    // A ring of radius² 20 in the local xy plane, thickened by lz.
                    const float ring = r2 - 20;
                    const float v = float(0.001 * (ring * ring - 64 * (4 - lz * lz)) + 0.3);
                    const float w = 1 - v;
                    // Adding +0 where v >= 1 leaves every value unchanged: a field value
                    // is never -0.0 (it starts at -0.5 and only non-negative terms are
                    // added), and the select keeps the loop free of branches.
                    values[z] += v < 1 ? w * w : 0.0f;
                }
            }
        }
    }
}
