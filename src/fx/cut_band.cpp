// The cut band built from the plane slice's edge list.
#include "fx/cut_band.h"

namespace {

Vector3 BandPositions[CutBandVertexCapacity];
ScreenVertex BandRecords[CutBandVertexCapacity];
Face BandFaces[CutBandFaceCapacity];

// A whole copy of the source record with the band's colour, opaque; its position also
// becomes the block's model-space position, so the block stays consistent.
void PutBandVertex(int32_t index, const ScreenVertex& source, float grey)
{
    ScreenVertex& v = CutBandVertices.screen[index];
    v = source;
    v.red = v.green = v.blue = grey;
    v.alpha = 1.0f;
    CutBandVertices.positions[index] = Vector3{v.x, v.y, v.z};
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

VertexBlock CutBandVertices{BandPositions, BandRecords, 0};
FaceBlock CutBandFaces{BandFaces, 0};

void BuildCutBand(float length, const Vector3& normal)
{
    // The slice never counts past the list; a count set by other means is held to it.
    int32_t n = CutEdgeCount;
    if (n < 0) n = 0;
    if (n > CutEdgeCapacity) n = CutEdgeCapacity;
    CutBandVertices.count = 4 * n;
    CutBandFaces.count = 2 * n;
    ScreenVertex* records = CutBandVertices.screen;
    for (int32_t i = 0; i < n; ++i) {
        const CutEdge& edge = CutEdgeList[i];
        const int32_t a = 4 * i, b = a + 1, c = a + 2, d = a + 3;
        PutBandVertex(a, edge.first, 1.0f);
        PutBandVertex(b, edge.second, 1.0f);
        PutBandVertex(c, Pushed(edge.first, length, normal), 0.0f);
        PutBandVertex(d, Pushed(edge.second, length, normal), 0.0f);
        SetFace(&CutBandFaces.faces[2 * i], records, a, b, c);
        SetFace(&CutBandFaces.faces[2 * i + 1], records, c, b, d);
    }
}
