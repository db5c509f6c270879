// The cut band built from the plane slice's edge list.
#include "fx/cut_band.h"

#include <algorithm>

namespace {

// A whole copy of the source record with the band's colour, opaque; its position also
// becomes the block's model-space position, so the block stays consistent.
void PutBandVertex(VertexBlock& vertices, int32_t index, const ScreenVertex& source, float grey)
{
    ScreenVertex& v = vertices.screen[index];
    v = source;
    v.red = v.green = v.blue = grey;
    v.alpha = 1.0f;
    vertices.positions[index] = Vector3{v.x, v.y, v.z};
}

ScreenVertex Pushed(const ScreenVertex& source, float length, const Vector3& normal)
{
    ScreenVertex v = source;
    v.x = v.x - length * normal.x;
    v.y = v.y - length * normal.y;
    v.z = v.z - length * normal.z;
    return v;
}

void SetFace(Face* face, ScreenVertex* records, int32_t i0, int32_t i1, int32_t i2)
{
    face->vertex[0] = &records[i0];
    face->vertex[1] = &records[i1];
    face->vertex[2] = &records[i2];
}

}  // namespace

void AllocateCutBand(CutBand* band)
{
    band->positionStorage.assign(CutBandVertexCapacity, Vector3{});
    band->recordStorage.assign(CutBandVertexCapacity, ScreenVertex{});
    band->faceStorage.assign(CutBandFaceCapacity, Face{});
    band->vertices = VertexBlock{band->positionStorage.data(), band->recordStorage.data(), 0};
    band->faces = FaceBlock{band->faceStorage.data(), 0};
}

void FreeCutBand(CutBand* band)
{
    band->vertices = VertexBlock{nullptr, nullptr, 0};
    band->faces = FaceBlock{nullptr, 0};
    band->positionStorage = std::vector<Vector3>();
    band->recordStorage = std::vector<ScreenVertex>();
    band->faceStorage = std::vector<Face>();
}

void BuildCutBand(CutBand& band, const CutEdges& cut, float length, const Vector3& normal)
{
    // The slice never counts past the list; a count set by other means is held to it, and
    // to what the band holds (nothing before it is allocated).
    const int32_t held = static_cast<int32_t>(std::min({cut.edges.size(), band.positionStorage.size() / 4,
                                                        band.recordStorage.size() / 4, band.faceStorage.size() / 2}));
    const int32_t n = std::clamp(cut.count, 0, held);
    band.vertices.count = 4 * n;
    band.faces.count = 2 * n;
    ScreenVertex* records = band.vertices.screen;
    for (int32_t i = 0; i < n; ++i) {
        const CutEdge& edge = cut.edges[i];
        const int32_t a = 4 * i, b = a + 1, c = a + 2, d = a + 3;
        PutBandVertex(band.vertices, a, edge.first, 1.0f);
        PutBandVertex(band.vertices, b, edge.second, 1.0f);
        PutBandVertex(band.vertices, c, Pushed(edge.first, length, normal), 0.0f);
        PutBandVertex(band.vertices, d, Pushed(edge.second, length, normal), 0.0f);
        SetFace(&band.faces.faces[2 * i], records, a, b, c);
        SetFace(&band.faces.faces[2 * i + 1], records, c, b, d);
    }
}
