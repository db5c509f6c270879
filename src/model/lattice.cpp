#include "model/deform.h"

namespace {

void SetQuad(Vector3* positions, int first, Vector3 a, Vector3 b, Vector3 c, Vector3 d)
{
    positions[first] = a;
    positions[first + 1] = b;
    positions[first + 2] = c;
    positions[first + 3] = d;
}

void SetFace(Face* face, ScreenVertex* records, int a, int b, int c)
{
    const int indices[3] = {a, b, c};
    for (int k = 0; k < 3; k++) {
        face->vertex[k] = &records[indices[k]];
        face->index[k] = indices[k];
    }
}

}  // namespace

void BuildLatticeMesh(Mesh* mesh, int n, float s)
{
    if (n < 1 || n > LatticeMaxStrips) {
        AllocateMesh(mesh, 0, 0);
        return;
    }
    AllocateMesh(mesh, 12 * n, 6 * n);
    ScreenVertex* records = mesh->vertexBlock->screen;
    for (int i = 0; i < 12 * n; i++) {
        records[i].red = records[i].green = records[i].blue = records[i].alpha = 1.0f;
        // Corners of every quad in order: (0, 0), (1, 0), (1, 1), (0, 1).
        records[i].u = (i % 4 == 1 || i % 4 == 2) ? 1.0f : 0.0f;
        records[i].v = (i % 4 >= 2) ? 1.0f : 0.0f;
    }

    // The rest positions stay at the origin: only the current positions are the lattice.
    Vector3* p = mesh->vertexBlock->positions;
    int half = n / 2;
    float lo = static_cast<float>(-half * static_cast<double>(s));
    float hi = static_cast<float>(half * static_cast<double>(s));
    for (int i = 0; i < n; i++) {
        float h = static_cast<float>(((i - half) + 0.5) * s);
        SetQuad(p, 4 * i, {h, lo, lo}, {h, lo, hi}, {h, hi, hi}, {h, hi, lo});
        SetQuad(p, 4 * n + 4 * i, {lo, h, lo}, {hi, h, lo}, {hi, h, hi}, {lo, h, hi});
        SetQuad(p, 8 * n + 4 * i, {lo, lo, h}, {lo, hi, h}, {hi, hi, h}, {hi, lo, h});
    }

    // Every quad gets its two faces, odd n included; winding alternates from quad to quad.
    Face* faces = mesh->faceBlock->faces;
    for (int q = 0; q < 3 * n; q++) {
        int a = 4 * q, b = a + 1, c = a + 2, d = a + 3;
        if (q % 2 == 0) {
            SetFace(&faces[2 * q], records, a, b, c);
            SetFace(&faces[2 * q + 1], records, c, d, a);
        } else {
            SetFace(&faces[2 * q], records, c, b, a);
            SetFace(&faces[2 * q + 1], records, a, d, c);
        }
    }
}
