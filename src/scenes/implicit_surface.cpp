// The implicit-surface scene: five tumbling ring-like shapes melt into one surface,
// rebuilt by marching cubes every frame and drawn environment-mapped from a swaying
// camera over the radial background, with two spinning squares behind it on the left and
// the greetings picture flashing in on three beats.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "shell/clock.h"
#include "fx/background.h"
#include "fx/field_polygonizer.h"
#include "fx/screen_quad.h"
#include "fx/shape_field.h"
#include "fx/sorted_faces.h"
#include "fx/spinning_square.h"
#include "fx/surface_mesh.h"
#include "gfx/render_interface.h"
#include "pipeline/clip.h"
#include "pipeline/transform.h"
#include "scenes/frame_pace.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"

namespace {

constexpr int32_t SurfaceMeshVertexRoom = 20000;
constexpr int32_t SurfaceMeshFaceRoom = 40000;
constexpr int32_t SurfacePolygonListSize = 50000;

// The greetings flash on three beats, fading by one step per designed frame afterwards.
constexpr TimeWindow GreetingsWindows[] = {{69038, 69400}, {72038, 72400}, {75038, 75400}};
constexpr double GreetingsFadeStep = 0.02;

// The two squares behind the surface, spinning in opposite directions and bobbing in
// depth, all from the phase t of this frame.
void DrawSpinningSquares(const Camera& camera, float t)
{
    // 4.3 and 4.7 are double constants: the depths are double expressions stored as floats.
    DrawSpinningSquare(camera, -0.5f, 0.0f, 5.0f, static_cast<float>(4 * std::sin(4.3 * t) + 10), 6 * t);
    DrawSpinningSquare(camera, -0.5f, 0.0f, 5.0f, static_cast<float>(4 * std::sin(4.7 * t) + 10), -5 * t);
}

}  // namespace

namespace {

// The scene's working state, written only by the routines below.
struct ImplicitSurfaceScene {
    ShapeField field;
    FieldSurface fieldSurface;   // the field polygonized, copied into the mesh below
    Mesh surface;
    PolygonList list;
    Camera camera{};
    Matrix matrix{};
    ScreenVertex greetingsBlock[4] = {};
    float flashLevel = 0.0f;
} g_scene;

void SetUpImplicitSurface()
{
    AllocateShapeField(&g_scene.field);
    AllocateFieldSurface(&g_scene.fieldSurface);
    AllocateMesh(&g_scene.surface, SurfaceMeshVertexRoom, SurfaceMeshFaceRoom);
    g_scene.list = AllocatePolygonList(SurfacePolygonListSize);
    InitSceneCamera(&g_scene.camera);
}

void EnterImplicitSurface()
{
    std::fill(std::begin(g_scene.greetingsBlock), std::end(g_scene.greetingsBlock), ScreenVertex{});
    SetScreenProjection(0.0f, 0.0f, 1.0f, 1.0f);
    Renderer->SetDepthTest(true);
    Renderer->SetBlendMode(BlendMode::OpaqueBilinear);
    AnimationPhase = 0.0f;
    g_scene.flashLevel = 0.0f;
    InitShapeField(g_scene.field);
    ClearSurfaceOutput(g_scene.fieldSurface);
}

FrameFinish DrawImplicitSurfaceFrame(int32_t demoTime, double frames)
{
    ImplicitSurfaceScene& scene = g_scene;
    Renderer->SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundUpper(1.0f, 1.0f, 1.0f, ToriRadialTexture);

    // The squares first, without depth testing: the surface covers them.
    Renderer->SetDepthTest(false);
    Renderer->BindSecondTexture(NoTexture);
    Renderer->BindTexture(TorusDesignTexture);
    Renderer->SetBlendMode(BlendMode::AlphaBlend);
    // The phase as the previous frame left it (0 on the first frame); the shapes
    // move with the same value.
    const float t = AnimationPhase;
    DrawSpinningSquares(scene.camera, t);

    Renderer->BindTexture(EnvMapTexture);
    Renderer->SetDepthTest(true);
    Renderer->SetBlendMode(BlendMode::OpaqueTrilinear);
    Renderer->BindTexture(EnvMapTexture);

    // The field is built from the positions of the previous frame, then the
    // sources move and the cells around their new places are polygonized.
    EvaluateShapeField(scene.field, *scene.fieldSurface.edgeCache);
    MoveShapeSources(scene.field, t);
    PolygonizeShapeField(scene.field, scene.fieldSurface);
    FillSurfaceMesh(scene.surface, scene.fieldSurface, SurfaceMeshVertexRoom, SurfaceMeshFaceRoom);

    // The camera follows DemoTime; 0.0001 is a double constant.
    AnimationPhase = static_cast<float>((demoTime - 57046) * 0.0001);
    const double sway = 100 * std::sin(static_cast<double>(AnimationPhase));
    Camera& camera = scene.camera;
    camera.positionX = static_cast<float>(sway);
    camera.positionY = static_cast<float>(sway);
    camera.positionZ = 650.0f;
    camera.targetX = -100.0f;
    camera.targetY = 0.0f;
    camera.targetZ = 0.0f;
    camera.roll = 0.0f;

    BuildViewMatrix(&scene.matrix, camera);
    TransformMeshVertices(*scene.surface.vertexBlock, scene.matrix);
    SetSurfaceEnvironmentCoordinates(scene.surface, scene.fieldSurface, scene.matrix);
    ProjectMeshVertices(*scene.surface.vertexBlock, camera);
    DrawSortedFrontFaces(scene.list, SortMeshFaces(scene.surface, scene.list, DepthOrder::NearFirst));

    Renderer->SetDepthTest(false);
    Renderer->SetBlendMode(BlendMode::AlphaBlend);
    Renderer->BindTexture(GreetsTexture);
    UpdateFlashLevel(&scene.flashLevel, GreetingsWindows, 3, GreetingsFadeStep, demoTime, frames);
    // The whole 255 × 255 picture with its top-left corner at about pixel (350, 100).
    DrawScreenQuad(scene.greetingsBlock, 0, 0, 255, 255, 700, 200, 2, 2, scene.flashLevel);
    return FrameFinish::PresentThenTime;
}

void ReleaseImplicitSurface()
{
    FreePolygonList(&g_scene.list);
    FreeMesh(&g_scene.surface);
    FreeFieldSurface(&g_scene.fieldSurface);
    FreeShapeField(&g_scene.field);
}

}  // namespace

const SceneRoutines ImplicitSurfaceSceneRoutines = {
    "implicit surface",
    ImplicitSurfaceSceneEnd,
    SetUpImplicitSurface,
    EnterImplicitSurface,
    DrawImplicitSurfaceFrame,
    [](double frames) { AdvancePhase(&AnimationPhase, ScaledStep(0.003, frames)); },
    nullptr,
    ReleaseImplicitSurface,
};
