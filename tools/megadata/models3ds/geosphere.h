// The geodesic ball: an icosahedron whose edges are split into equal parts, pushed out
// onto a sphere, with longitude/latitude texture coordinates.
#pragma once

#include "models3ds/tds_model.h"

// A geodesic sphere of the given radius with 20 × frequency² faces, poles on the Z axis,
// faces wound counter-clockwise seen from outside. u runs once round (0..1 east from the
// seam), v from 0 at the south pole to 1 at the north; vertices on the seam and at the
// poles are duplicated so that no face wraps round the texture.
TdsMesh BuildGeoSphere(const std::string& name, float radius, int frequency);

// The ball file's scene: "GeoSphere0" (radius 200, frequency 11: 2,420 faces) with its
// material, and a light.
TdsScene BallScene();
