// The credits scene: the crystal model over the backdrop from a swaying camera, pulsing
// in translucency, two line-noise layers scrolling in opposite directions, and three
// credit bands that flash in on the beats at 45038, 48038 and 51038 ms.
#include "scenes/credits.h"

#include <cmath>
#include <vector>
#include <initializer_list>

#include "fx/background.h"
#include "fx/credit_strips.h"
#include "fx/screen_overlay.h"
#include "fx/sorted_faces.h"
#include "fx/vertex_alpha.h"
#include "gfx/render_interface.h"
#include "pipeline/clip.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"

// The formulas below are double expressions (their constants carry no float suffix),
// each rounded to float once where it is stored.

void PlaceCreditsCamera(Camera* camera, float t, float flashLevel)
{
    AimCamera(camera, static_cast<float>(100.0 * std::sin(1.5 * t)), static_cast<float>(100.0 * std::sin(1.3 * t) + 200.0),
              static_cast<float>(100.0 * std::sin(2.1 * t) - 500.0 + 200.0 * std::sin(1.57 * flashLevel)), 30.0f,
              30.0f, 0.0f, 180.0f);
}

float CreditsModelAlpha(float t)
{
    return static_cast<float>(0.1 * std::sin(13.0 * t) + 0.8);
}

namespace {

// The beats: each raises the flash level and opens its band's window.
const TimeWindow CreditBeats[3] = {{45038, 45500}, {48038, 48500}, {51038, 51500}};
constexpr double CreditFlashDecay = 0.01;

// Each band shows from its beat until just before the next one.
const TimeWindow CreditBandWindows[3] = {{45038, 48000}, {48038, 51000}, {51038, 54000}};
void (*const CreditBands[3])(RenderInterface&, float, float, float, float, TextureId) = {DrawCreditStripA, DrawCreditStripB,
                                                                      DrawCreditStripC};

// The two line-noise layers, mirror images of each other in t.
void DrawLineNoiseLayers(RenderInterface& render, TextureId lineNoise, float t)
{
    for (const double sign : {1.0, -1.0}) {
        const double st = sign * t;
        DrawScreenOverlay(render, static_cast<float>(std::sin(3.0 * st) + st), 0.0f,
                          static_cast<float>(0.4 * std::sin(23.0 * st) + 1.0), 1.0f, 1.0f, 1.0f,
                          static_cast<float>(0.2 * std::sin(33.0 * st) + 0.6), lineNoise);
    }
}

}  // namespace

void UpdateCreditFlash(float* flashLevel, int32_t demoTime, double frames)
{
    UpdateFlashLevel(flashLevel, CreditBeats, 3, CreditFlashDecay, demoTime, frames);
}

void DrawCreditBands(RenderInterface& render, TextureId credits, float flashLevel, int32_t demoTime)
{
    render.SetDepthTest(false);
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);
    render.BindTexture(credits);
    for (int i = 0; i < 3; ++i)
        if (InsideTimeWindow(CreditBandWindows[i], demoTime))
            CreditBands[i](render, 1.0f, 1.0f, 1.0f, flashLevel, credits);
}

namespace {

void SetUpCredits(CreditsScene& scene, const Resources& resources)
{
    CopyMesh(&scene.model, resources.crystal);
    scene.list = AllocatePolygonList(50000);
    InitSceneCamera(&scene.camera);
}

void EnterCredits(CreditsScene& scene, FrameContext& frame)
{
    scene.flashLevel = 0.0f;
    const VertexBlock* loaded = frame.resources.crystal.vertexBlock;
    if (VertexBlock* block = scene.model.vertexBlock)
        for (int32_t i = 0; loaded && i < block->count && i < loaded->count; ++i)
            block->screen[i].alpha = loaded->screen[i].alpha;
}

// The model's alpha of this frame, shown in the next, and the flash level.
void CarryCredits(CreditsScene& scene, FrameContext& frame)
{
    const float t = static_cast<float>((frame.demoTime - CreditsPhaseOrigin) * 0.0001);
    Mesh& model = scene.model;
    if (model.vertexBlock) SetVertexAlpha(model.vertexBlock->screen, model.vertexBlock->count, CreditsModelAlpha(t));
    UpdateCreditFlash(&scene.flashLevel, frame.demoTime, frame.elapsedFrames);
}

void DrawCreditsFrame(CreditsScene& scene, FrameContext& frame)
{
    RenderInterface& render = frame.render;
    const SceneTextures& textures = frame.resources.textures;
    Mesh& model = scene.model;
    render.SetBlendMode(BlendMode::OpaqueNearest);
    DrawBackgroundUpper(render, 1.0f, 1.0f, 1.0f, textures.titleCreditsBackground);
    const float t = static_cast<float>((frame.demoTime - CreditsPhaseOrigin) * 0.0001);

    render.SetDepthTest(true);
    render.BindTexture(textures.creditsModelSkin);
    render.SetBlendMode(BlendMode::AlphaBlendBilinear);
    // The camera with the previous frame's level, the model with the previous frame's alpha.
    PlaceCreditsCamera(&scene.camera, t, scene.flashLevel);
    BuildViewMatrix(&scene.matrix, scene.camera);
    TransformAndProjectMesh(model, scene.matrix, scene.camera);
    DrawSortedFrontFaces(render, frame.projection, scene.list, SortMeshFaces(model, scene.list, DepthOrder::NearFirst));
    CarryCredits(scene, frame);

    DrawLineNoiseLayers(render, textures.lineNoise, t);
    DrawCreditBands(render, textures.credits, scene.flashLevel, frame.demoTime);
}

void ReleaseCredits(CreditsScene& scene)
{
    FreeMesh(&scene.model);
    FreePolygonList(&scene.list);
}

using Credits = RoutinesOn<&SceneStates::credits>;

}  // namespace

const SceneRoutines CreditsSceneRoutines = {
    .setUp = Credits::SetUp<SetUpCredits>,
    .enter = Credits::Frame<EnterCredits>,
    .drawFrame = Credits::Frame<DrawCreditsFrame>,
    .carry = Credits::Frame<CarryCredits>,
    .release = Credits::Release<ReleaseCredits>,
};
