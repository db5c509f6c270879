// The polygonizer's surface as a drawable mesh: positions, white opaque records and faces
// copied from its output, and environment-map coordinates from its view-space normals.
#pragma once

#include <cstdint>

#include "fx/field_polygonizer.h"
#include "model/mesh.h"
#include "pipeline/vector_math.h"

// Copies the surface's last polygonization into a mesh allocated with room for vertexRoom vertices
// and faceRoom faces, and sets the mesh's vertex and face counts. Vertices beyond the
// room are left out, and so is every triangle that refers to one of them; faces stop
// when the room is full. Each kept triangle's face points at its three records in index
// order. Records get r = g = b = alpha = 1; nothing else in them is touched.
void FillSurfaceMesh(Mesh& mesh, const FieldSurface& surface, int32_t vertexRoom, int32_t faceRoom);

// surface.normalsView := m applied to surface.normals (translation included) for the
// mesh's vertices, then u = 0.3 n'x + 0.5 and v = 0.3 n'y + 0.5 in each record. The translation
// makes the map drift with the camera; the texture repeats.
void SetSurfaceEnvironmentCoordinates(Mesh& mesh, FieldSurface& surface, const Matrix& m);
