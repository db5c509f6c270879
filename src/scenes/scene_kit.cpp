#include "scenes/scene_kit.h"

#include <cmath>

#include "pipeline/transform.h"
#include "scenes/frame_steps.h"

void InitSceneCamera(Camera* camera)
{
    const double t = std::tan(HalfFieldOfView);
    camera->fieldOfView = 61.0f;
    camera->unitFactor = 1.0f;
    camera->projectionScaleX = static_cast<float>(t / t);
    camera->projectionScaleY = static_cast<float>(t / t);
    camera->focalX = static_cast<float>(1.0 / t);
    camera->focalY = static_cast<float>(1.0 / t);
    camera->inverseFocalX = 1.0f / camera->focalX;
    camera->inverseFocalY = 1.0f / camera->focalY;
}

void AimCamera(Camera* camera, float x, float y, float z, float targetX, float targetY, float targetZ, float roll)
{
    camera->positionX = x;
    camera->positionY = y;
    camera->positionZ = z;
    camera->targetX = targetX;
    camera->targetY = targetY;
    camera->targetZ = targetZ;
    camera->roll = roll;
}

void BuildViewMatrix(Matrix* matrix, const Camera& camera)
{
    MatrixLookAt(matrix, camera);
    MatrixScale(matrix, Vector3{camera.focalX, camera.focalY, 1.0f});
}

void TransformAndProjectMesh(Mesh& mesh, const Matrix& matrix, const Camera& camera)
{
    if (!mesh.vertexBlock) return;
    TransformMeshVertices(*mesh.vertexBlock, matrix);
    ProjectMeshVertices(*mesh.vertexBlock, camera);
}

int32_t SortMeshFaces(Mesh& mesh, PolygonList& list, DepthOrder order)
{
    if (!mesh.faceBlock) return 0;
    Face* faces = mesh.faceBlock->faces;
    const int32_t count = mesh.faceBlock->count;
    BuildPolygonList(list, faces, count);
    if (order == DepthOrder::FarFirst)
        ComputeDepthKeys(list, faces, count);
    else
        ComputeNegatedDepthKeys(list, faces, count);
    SortPolygonList(list, count);
    return PolygonListCount(list, count);
}

void UpdateFlashLevel(float* level, const TimeWindow* windows, int windowCount, double decayStep,
                      int32_t demoTime, double frames)
{
    auto inside = [demoTime](const TimeWindow& w) { return InsideTimeWindow(w, demoTime); };
    for (int i = 0; i < windowCount; ++i)
        if (inside(windows[i])) *level = 1.0f;
    if ((windowCount > 0 && inside(windows[windowCount - 1])) || *level > 0.0f)
        *level = FallBy(*level, decayStep, frames, -decayStep);
}
