// The cut band: the rim of a plane slice (this frame's cut edges) turned into a band of
// geometry pushed along the plane normal, white at the rim and black at its far edge, so
// that drawn additively it glows at the rim and fades out.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/plane_slice.h"
#include "pipeline/mesh_blocks.h"

// Four vertices and two faces for every edge the cut-edge list can hold.
constexpr int32_t CutBandVertexCapacity = 4 * CutEdgeCapacity;
constexpr int32_t CutBandFaceCapacity = 2 * CutEdgeCapacity;

// The band as a vertex block and a face block over storage sized once by AllocateCutBand;
// rewritten by BuildCutBand only. Vertices 4i .. 4i + 3 and faces 2i, 2i + 1 belong to cut
// edge i. Their records hold view-space coordinates: project and draw them like a mesh's,
// without a transform. The blocks point into the storage, so a band is not copied.
struct CutBand {
    VertexBlock vertices{nullptr, nullptr, 0};
    FaceBlock faces{nullptr, 0};
    std::vector<Vector3> positionStorage;
    std::vector<ScreenVertex> recordStorage;
    std::vector<Face> faceStorage;

    CutBand() = default;
    CutBand(const CutBand&) = delete;
    CutBand& operator=(const CutBand&) = delete;
};

void AllocateCutBand(CutBand* band);
void FreeCutBand(CutBand* band);

// From the first cut.count edges of cut (as many as the band holds): for edge i, A and B
// are its first and second point in white, C and D the same points moved by
// -length·normal in black (all opaque), each a whole copy of its source record (cut
// texture coordinates kept; screen fields and ClipFlags left for ProjectMeshVertices).
// Faces (A, B, C) and (C, B, D). The block counts become 4 and 2 per edge.
void BuildCutBand(CutBand& band, const CutEdges& cut, float length, const Vector3& normal);
