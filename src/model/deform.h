// The lattice mesh built in code and the per-frame vertex deformations.
#pragma once

#include "model/mesh.h"

// Largest strip count BuildLatticeMesh accepts; keeps 12·n well inside 32 bits.
constexpr int LatticeMaxStrips = 65536;

// Fills an empty mesh with n strips of three axis-aligned square panels each, spacing s:
// 12·n vertices (all current and rest positions at the panel corners' places, white,
// opaque, quad texture coordinates) and 6·n faces. n outside 1..LatticeMaxStrips gives an
// empty mesh.
void BuildLatticeMesh(Mesh* mesh, int n, float s);

// Current position i := rest position i × factors[i]; factors holds one per vertex.
void ScaleMeshFromRest(Mesh* mesh, const float* factors);

// Rotates every current position about y, z and x by angles that follow phase t and the
// position's distance from the origin. Records and rest positions are untouched.
void TwistMesh(Mesh* mesh, float t);
