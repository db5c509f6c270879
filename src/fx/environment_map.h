// Texture-coordinate effects: a one-time scale of a mesh's texture coordinates, and the
// per-frame environment map that sets the first pair from the view-space normals.
//
// Conventions: u comes from the y component and v from the x component of a vertex's
// mean view-space normal, u = (y + 1)/2 and v = (x + 1)/2; the mean is not normalised
// again, so coordinates stay within 0..1 and drift toward 0.5 where the faces around a
// vertex disagree. Face orientation follows the face drawers: a face whose normal points
// toward the eye is one that DrawSortedFacesCulled draws.
//
// Limits: the normal sums hold EnvironmentMapCapacity vertices. Only what fits is
// mapped: a face with a vertex index outside 0 .. min(vertex count, capacity) - 1 adds
// nothing, and records at or beyond the capacity are treated like vertices without
// faces (u = v = 0.5). Faces of zero area, or with view positions that give no finite
// normal, add nothing either, so no coordinate ever becomes NaN.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "pipeline/mesh_blocks.h"

constexpr int32_t EnvironmentMapCapacity = 20000;

// Scratch of ApplyEnvironmentMap, indexed by vertex number: the summed face normals and
// the number of faces summed, EnvironmentMapCapacity of each once allocated (an
// unallocated record holds no vertex). Written only by ApplyEnvironmentMap, which returns
// every entry it touched to 0 before it ends, so both hold only zeros between calls.
struct EnvironmentMapSums {
    std::vector<std::array<float, 3>> normalSums;
    std::vector<int32_t> faceCounts;
};

void AllocateEnvironmentMapSums(EnvironmentMapSums* sums);
void FreeEnvironmentMapSums(EnvironmentMapSums* sums);

// u, v, u2 and v2 of the first vertexCount records multiplied by factor.
void ScaleTexCoords(ScreenVertex* records, int32_t vertexCount, float factor);

// Unit normal (e1 × e2 with e1 = p1 - p0, e2 = p2 - p0) of the view-space triangle,
// computed in double precision and stored as floats. Returns false, with a zero vector,
// when the triangle has no direction: zero area or positions that are not finite.
bool FaceNormal(float* x, float* y, float* z, const ScreenVertex& p0, const ScreenVertex& p1,
                const ScreenVertex& p2);

// Rewrites u, v, red, green, blue and alpha of the first vertexCount records: the first
// texture pair from the mean of the normals of the faces around each vertex (one pass over
// the faces, one over the vertices), colour opaque white. u2 and v2 stay. Reads view
// positions, so it runs after the frame's transform.
void ApplyEnvironmentMap(EnvironmentMapSums& sums, ScreenVertex* records, const Face* faces, int32_t vertexCount,
                         int32_t faceCount);

// Vertices that a mesh holds more than once at one position: the copies along a texture
// seam, a pole's copy for each face. Each copy averages only the faces that use it, so
// the copies of one point would show different parts of the environment; sharing the
// coordinates closes that seam.
struct CoincidentVertices {
    std::vector<int32_t> members;     // vertex numbers, group after group
    std::vector<int32_t> groupEnds;   // one past each group's last member in members
    std::vector<float> faceCounts;    // faces around each member: its weight in the group
};

// Groups of two or more vertices with equal rest positions, found once at set-up.
CoincidentVertices FindCoincidentVertices(const VertexBlock& rest, const Face* faces, int32_t faceCount);

// After ApplyEnvironmentMap: each group's members get the u and v of the group's whole
// fan of faces (their face-weighted mean), the value one welded vertex would have had.
void ShareEnvironmentCoords(ScreenVertex* records, const CoincidentVertices& groups);
