// Pieces the mesh-drawing scenes share: the camera set-up, the per-frame mesh pipeline
// and the beat-driven flash level.
#pragma once

#include <cstdint>

#include "model/mesh.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"

// Half of the 61-degree field of view, radians.
constexpr double HalfFieldOfView = 0.532325436671575;

// Field of view 61, unit factor 1, projection scales 1, focal factors 1/tan(h) and their
// inverses. Position, target and roll are the scene's to set each frame.
void InitSceneCamera(Camera* camera);

// The camera at (x, y, z), looking at (targetX, targetY, targetZ), rolled by roll degrees.
void AimCamera(Camera* camera, float x, float y, float z, float targetX, float targetY, float targetZ, float roll);

// Look-at view matrix scaled by the camera's focal factors.
void BuildViewMatrix(Matrix* matrix, const Camera& camera);

// View positions, clip flags and screen positions of every vertex of the mesh.
void TransformAndProjectMesh(Mesh& mesh, const Matrix& matrix, const Camera& camera);

enum class DepthOrder {
    FarFirst,    // keys are depth sums: back to front
    NearFirst,   // keys are negated depth sums: front to back
};

// Builds, keys and sorts the polygon list over the mesh's faces; returns the number of
// entries a face drawer then walks.
int32_t SortMeshFaces(Mesh& mesh, PolygonList& list, DepthOrder order);

// phase := phase + step, the sum taken in double precision and stored as a float. The
// scenes' steps are written without a float suffix (0.003, 0.009), so the sum is a double
// sum, as C computes it; the result is rounded to float once.
inline void AdvancePhase(float* phase, double step)
{
    *phase = static_cast<float>(static_cast<double>(*phase) + step);
}

// An open interval of DemoTime: after < DemoTime < before.
struct TimeWindow {
    int32_t after;
    int32_t before;
};

inline bool InsideTimeWindow(const TimeWindow& window, int32_t demoTime)
{
    return demoTime > window.after && demoTime < window.before;
}

// Once per frame before use: inside any window the level becomes 1.0; then inside the
// last window, or while the level is above 0, it falls by decayStep per designed frame
// (frames: this frame's elapsed time, frame_steps.h). The fall is a double step stored as
// a float, like every phase step, and stops one designed step below 0, where the fall
// of whole steps from 1.0 ends.
void UpdateFlashLevel(float* level, const TimeWindow* windows, int windowCount, double decayStep,
                      int32_t demoTime, double frames);
