// The implicit-surface scene: five tumbling ring-like shapes melt into one surface,
// rebuilt by marching cubes every frame and drawn environment-mapped from a swaying
// camera over the radial background, with two spinning squares behind it on the left and
// the greetings picture flashing in on three beats.
#include "scenes/implicit_surface.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

namespace {

// The two squares behind the surface, spinning in opposite directions and bobbing in
// depth, all from the phase t of this frame.
void DrawSpinningSquares(RenderInterface& render, const Camera& camera, float t)
{
    // 4.3 and 4.7 are double constants: the depths are double expressions stored as floats.
    DrawSpinningSquare(render, camera, -0.5f, 0.0f, 5.0f, static_cast<float>(4 * std::sin(4.3 * t) + 10), 6 * t);
    DrawSpinningSquare(render, camera, -0.5f, 0.0f, 5.0f, static_cast<float>(4 * std::sin(4.7 * t) + 10), -5 * t);
}

void SetUpImplicitSurface(ImplicitSurfaceScene& scene, const Resources&)
{
    AllocateShapeField(&scene.field);
    AllocateFieldSurface(&scene.fieldSurface);
    AllocateMesh(&scene.surface, SurfaceMeshVertexRoom, SurfaceMeshFaceRoom);
    scene.list = AllocatePolygonList(SurfacePolygonListSize);
    InitSceneCamera(&scene.camera);
}

void EnterImplicitSurface(ImplicitSurfaceScene& scene, FrameContext& frame)
{
    std::fill(std::begin(scene.greetingsBlock), std::end(scene.greetingsBlock), ScreenVertex{});
    frame.render.SetDepthTest(true);
    frame.render.SetBlendMode(BlendMode::OpaqueBilinear);
    scene.phase = 0.0f;
    scene.flashLevel = 0.0f;
    InitShapeField(scene.field);
    ClearSurfaceOutput(scene.fieldSurface);
}

// The shapes moved with the carried phase, the camera's phase carried on, the greetings'
// flash level.
void CarryImplicitSurface(ImplicitSurfaceScene& scene, FrameContext& frame)
{
    MoveShapeSources(scene.field, scene.phase);
    scene.phase = static_cast<float>((frame.demoTime - SurfaceCameraOrigin) * 0.0001);
    UpdateFlashLevel(&scene.flashLevel, GreetingsWindows, 3, GreetingsFadeStep, frame.demoTime, frame.elapsedFrames);
}

void DrawImplicitSurfaceFrame(ImplicitSurfaceScene& scene, FrameContext& frame)
{
    RenderInterface& render = frame.render;
    const SceneTextures& textures = frame.resources.textures;
    render.SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundUpper(render, 1.0f, 1.0f, 1.0f, textures.ringsBackground);

    // The squares first, without depth testing: the surface covers them.
    render.SetDepthTest(false);
    render.BindSecondTexture(NoTexture);
    render.BindTexture(textures.squareEmblem);
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);
    // The carried phase as the previous frame left it (0 on the first frame); the shapes
    // move with the same value.
    const float shapesPhase = scene.phase;
    DrawSpinningSquares(render, scene.camera, shapesPhase);

    render.BindTexture(textures.studioReflections);
    render.SetDepthTest(true);
    render.SetBlendMode(BlendMode::OpaqueTrilinearMinFilter);
    render.BindTexture(textures.studioReflections);

    // The field is built from the positions of the previous frame, then the
    // sources move (with the carried state) and the cells around their new places are
    // polygonized.
    EvaluateShapeField(scene.field, *scene.fieldSurface.edgeCache);
    CarryImplicitSurface(scene, frame);
    PolygonizeShapeField(scene.field, scene.fieldSurface);
    FillSurfaceMesh(scene.surface, scene.fieldSurface, SurfaceMeshVertexRoom, SurfaceMeshFaceRoom);

    // The camera follows the demo time: the phase just carried.
    const float cameraPhase = scene.phase;
    const double sway = 100 * std::sin(static_cast<double>(cameraPhase));
    Camera& camera = scene.camera;
    AimCamera(&camera, static_cast<float>(sway), static_cast<float>(sway), 650.0f, -100.0f, 0.0f, 0.0f, 0.0f);

    BuildViewMatrix(&scene.matrix, camera);
    TransformMeshVertices(*scene.surface.vertexBlock, scene.matrix);
    SetSurfaceEnvironmentCoordinates(scene.surface, scene.fieldSurface, scene.matrix);
    ProjectMeshVertices(*scene.surface.vertexBlock, camera);
    DrawSortedFrontFaces(render, frame.projection, scene.list, SortMeshFaces(scene.surface, scene.list, DepthOrder::NearFirst));

    render.SetDepthTest(false);
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);
    render.BindTexture(textures.greetingsCard);
    // The whole 255 × 255 picture with its top-left corner at about pixel (350, 100).
    DrawScreenQuad(render, scene.greetingsBlock, 0, 0, 255, 255, 700, 200, 2, 2, scene.flashLevel);
}

void AdvanceImplicitSurface(ImplicitSurfaceScene& scene, FrameContext& frame)
{
    AdvancePhase(&scene.phase, ScaledStep(SurfacePhaseStep, frame.elapsedFrames));
}

void ReleaseImplicitSurface(ImplicitSurfaceScene& scene)
{
    FreePolygonList(&scene.list);
    FreeMesh(&scene.surface);
    FreeFieldSurface(&scene.fieldSurface);
    FreeShapeField(&scene.field);
}

using ImplicitSurface = RoutinesOn<&SceneStates::implicitSurface>;

}  // namespace

const SceneRoutines ImplicitSurfaceSceneRoutines = {
    .setUp = ImplicitSurface::SetUp<SetUpImplicitSurface>,
    .enter = ImplicitSurface::Frame<EnterImplicitSurface>,
    .drawFrame = ImplicitSurface::Frame<DrawImplicitSurfaceFrame>,
    .carry = ImplicitSurface::Frame<CarryImplicitSurface>,
    .advance = ImplicitSurface::Frame<AdvanceImplicitSurface>,
    .release = ImplicitSurface::Release<ReleaseImplicitSurface>,
};
